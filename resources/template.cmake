# The standard report template: carried inside kavro_inspection as ":/template.rtf"
# (the report window's initial content) and placed beside the program, where
# the report window loads it from and the operator may edit it.
qt_add_resources(kavro_inspection "template"
  PREFIX "/"
  BASE ${CMAKE_CURRENT_LIST_DIR}
  FILES ${CMAKE_CURRENT_LIST_DIR}/template.rtf)

if(TARGET kavro02)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/template.rtf ${CMAKE_BINARY_DIR}/src/app/template.rtf COPYONLY)
endif()
