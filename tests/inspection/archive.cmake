# The verdict, and the inspection archive on a real SQLite file and on a
# PostgreSQL server that the test starts itself.
kavro_add_test(tst_verdict SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_verdict.cpp)
kavro_add_test(tst_inspectionarchive
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_inspectionarchive.cpp
  LIBS kavro_test_postgres Qt6::Sql
  TIMEOUT 300)
