target_sources(kavro_compute PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/calibration.h
  ${CMAKE_CURRENT_LIST_DIR}/calibration.cpp
  ${CMAKE_CURRENT_LIST_DIR}/constanttables.h
  ${CMAKE_CURRENT_LIST_DIR}/constanttables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/conversions.h
  ${CMAKE_CURRENT_LIST_DIR}/conversions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quantities.h
  ${CMAKE_CURRENT_LIST_DIR}/readingdispatch.h
  ${CMAKE_CURRENT_LIST_DIR}/readingdispatch.cpp)
