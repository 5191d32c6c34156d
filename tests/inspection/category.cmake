kavro_add_test(tst_vehiclecategory SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_vehiclecategory.cpp)
