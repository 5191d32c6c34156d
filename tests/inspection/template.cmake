kavro_add_test(tst_template SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_template.cpp)
add_dependencies(tst_template kavro02-template)
target_compile_definitions(tst_template PRIVATE
  KAVRO_TEMPLATE_TOOL="$<TARGET_FILE:kavro02-template>"
  KAVRO_TEMPLATE_RTF="${CMAKE_SOURCE_DIR}/resources/template.rtf")
if(TARGET kavro02)
  # The copy of the template that the program loads from its own folder.
  target_compile_definitions(tst_template PRIVATE
    KAVRO_PROGRAM_TEMPLATE_RTF="${CMAKE_BINARY_DIR}/src/app/template.rtf")
endif()
