kavro_add_test(tst_measurement SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_measurement.cpp)
kavro_add_test(tst_reportfilling SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_reportfilling.cpp)
