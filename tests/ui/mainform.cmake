kavro_add_test(tst_mainform UI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainform.cpp)
kavro_add_test(tst_instrumentcontrol UI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_instrumentcontrol.cpp)
