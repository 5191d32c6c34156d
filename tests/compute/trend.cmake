kavro_add_test(compute_trendseries SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_trendseries.cpp)
