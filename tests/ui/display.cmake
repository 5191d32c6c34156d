kavro_add_test(tst_readingsdisplay UI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_readingsdisplay.cpp)
kavro_add_test(tst_indicator UI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_indicator.cpp)
kavro_add_test(tst_categoryform UI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_categoryform.cpp)
