# Windows described as golden dumps of the widget tree (tests/golden/).
if(NOT KAVRO_CORE_ONLY)
  add_library(kavro_test_widgets STATIC
    ${CMAKE_CURRENT_LIST_DIR}/widgetdump.h
    ${CMAKE_CURRENT_LIST_DIR}/widgetdump.cpp)
  kavro_set_warnings(kavro_test_widgets)
  target_include_directories(kavro_test_widgets PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
  target_link_libraries(kavro_test_widgets PUBLIC Qt6::Widgets Qt6::Test)
  target_compile_definitions(kavro_test_widgets PRIVATE
    KAVRO_GOLDEN_DIR="${CMAKE_CURRENT_LIST_DIR}/../golden"
    KAVRO_BINARY_DIR="${CMAKE_BINARY_DIR}")
endif()

# An operator's steps in the program's dialogs, for tests of whole tasks.
if(NOT KAVRO_CORE_ONLY)
  add_library(kavro_test_operator STATIC
    ${CMAKE_CURRENT_LIST_DIR}/operatorsteps.h
    ${CMAKE_CURRENT_LIST_DIR}/operatorsteps.cpp)
  kavro_set_warnings(kavro_test_operator)
  target_include_directories(kavro_test_operator PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
  target_link_libraries(kavro_test_operator PUBLIC kavro_app kavro_source_tree Qt6::Test)
endif()
