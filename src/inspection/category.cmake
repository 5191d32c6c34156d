# Vehicle categories and the gauge scales and limits they set.
target_sources(kavro_inspection PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/vehiclecategory.h
  ${CMAKE_CURRENT_LIST_DIR}/vehiclecategory.cpp)
