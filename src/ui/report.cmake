# The measurement dialog and the report window.
target_sources(kavro_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/dialogfont.h
  ${CMAKE_CURRENT_LIST_DIR}/newmesform.h
  ${CMAKE_CURRENT_LIST_DIR}/newmesform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printform.h
  ${CMAKE_CURRENT_LIST_DIR}/printform.cpp)
