# A PostgreSQL server of a test's own (initdb, pg_ctl, a Unix socket in a
# temporary folder), for the register and every later test that needs one.
add_library(kavro_test_postgres STATIC
  ${CMAKE_CURRENT_LIST_DIR}/postgresserver.h
  ${CMAKE_CURRENT_LIST_DIR}/postgresserver.cpp)
kavro_set_warnings(kavro_test_postgres)
target_include_directories(kavro_test_postgres PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(kavro_test_postgres PUBLIC Qt6::Core)
