# How the command-line tools take their input: kavro02-decode decodes while
# the capture arrives, kavro02-template refuses a file beyond its size limit,
# and both open file names that are not valid UTF-8 as given.
kavro_add_test(tst_toolinput
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_toolinput.cpp
  LIBS kavro_toolsupport
  TIMEOUT 120)
add_dependencies(tst_toolinput kavro02-decode kavro02-template)
target_compile_definitions(tst_toolinput PRIVATE
  KAVRO_DECODER="$<TARGET_FILE:kavro02-decode>"
  KAVRO_TEMPLATE_TOOL="$<TARGET_FILE:kavro02-template>"
  KAVRO_TEMPLATE_RTF="${CMAKE_SOURCE_DIR}/resources/template.rtf")
