# Action pictures of the main window and the notice window's icon (SVG).
if(TARGET kavro_ui)
  target_sources(kavro_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/icons.qrc)
endif()
