# The vehicle dialog and its number list.
target_sources(kavro_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/editcarform.h
  ${CMAKE_CURRENT_LIST_DIR}/editcarform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vehiclenumbermodel.h
  ${CMAKE_CURRENT_LIST_DIR}/vehiclenumbermodel.cpp)
