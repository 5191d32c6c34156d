# The vehicle register on a real SQLite file and on a PostgreSQL server that
# the test starts itself.
kavro_add_test(tst_vehiclestore
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_vehiclestore.cpp
  LIBS kavro_test_postgres
  TIMEOUT 300)
