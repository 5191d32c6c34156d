kavro_add_test(compute_constanttables SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_constanttables.cpp)
kavro_add_test(compute_conversions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_conversions.cpp)
kavro_add_test(compute_readingdispatch SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_readingdispatch.cpp)
