target_sources(kavro_device PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/commportdriver.h
  ${CMAKE_CURRENT_LIST_DIR}/commportdriver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portdevicemap.h
  ${CMAKE_CURRENT_LIST_DIR}/portdevicemap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portindexstore.h
  ${CMAKE_CURRENT_LIST_DIR}/portindexstore.cpp)
