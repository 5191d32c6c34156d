# The trend chart's kept columns against the points of all samples.
kavro_add_test(compute_trenddecimationcache
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_trenddecimationcache.cpp)
