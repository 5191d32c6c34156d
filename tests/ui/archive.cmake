# The archive window, the verdict line and the reopened report on both back
# ends (a PostgreSQL server of the test's own).
kavro_add_test(tst_archiveform UI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_archiveform.cpp
  LIBS kavro_test_postgres Qt6::Sql
  TIMEOUT 300)
