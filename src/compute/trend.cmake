# The trend chart's data without widgets: the store of a monitoring run, the
# points of a visible span, the name of a saved picture.
target_sources(kavro_compute PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/trendseries.h
  ${CMAKE_CURRENT_LIST_DIR}/trendseries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trenddecimation.h
  ${CMAKE_CURRENT_LIST_DIR}/trenddecimation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chartpicturename.h
  ${CMAKE_CURRENT_LIST_DIR}/chartpicturename.cpp)
