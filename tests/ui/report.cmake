kavro_add_test(tst_newmesform UI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_newmesform.cpp
  LIBS kavro_test_pty)
kavro_add_test(tst_printform UI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_printform.cpp)
