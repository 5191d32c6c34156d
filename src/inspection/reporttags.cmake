target_sources(kavro_inspection PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/reporttags.h
  ${CMAKE_CURRENT_LIST_DIR}/reporttags.cpp)
