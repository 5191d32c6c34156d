# What the displays show: number formats and the current readings.
target_sources(kavro_compute PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/numberformat.h
  ${CMAKE_CURRENT_LIST_DIR}/numberformat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/currentreadings.h
  ${CMAKE_CURRENT_LIST_DIR}/currentreadings.cpp)
