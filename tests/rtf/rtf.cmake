kavro_add_test(tst_rtfreader SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_rtfreader.cpp)
kavro_add_test(tst_rtfcorpus SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_rtfcorpus.cpp)
# Without the shared folder beside the clone the corpus test skips; CTest then
# lists it as not run instead of passed.
set_tests_properties(tst_rtfcorpus PROPERTIES
  SKIP_REGULAR_EXPRESSION "SKIP   : TestRtfCorpus::initTestCase")
