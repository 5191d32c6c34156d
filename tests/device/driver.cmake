kavro_add_test(tst_commportdriver
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_commportdriver.cpp
  LIBS kavro_test_pty
  TIMEOUT 120)
