kavro_add_test(compute_readingformats SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_readingformats.cpp)
