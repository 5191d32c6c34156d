kavro_add_test(tst_trendmonitor UI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_trendmonitor.cpp)
