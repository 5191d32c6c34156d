# The windows of a vehicle's test and the commands that open them.
target_sources(kavro_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/inspectionwindows.h
  ${CMAKE_CURRENT_LIST_DIR}/inspectionwindows.cpp)
