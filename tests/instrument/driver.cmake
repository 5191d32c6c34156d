kavro_add_test(tst_commportdriver
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tst_commportdriver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pseudoterminal.h
    ${CMAKE_CURRENT_LIST_DIR}/pseudoterminal.cpp
  TIMEOUT 120)
