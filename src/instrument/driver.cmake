# The serial port driver and the map of port names to device paths.
target_sources(kavro_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/commportdriver.h
  ${CMAKE_CURRENT_LIST_DIR}/commportdriver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portdevicemap.h
  ${CMAKE_CURRENT_LIST_DIR}/portdevicemap.cpp)
