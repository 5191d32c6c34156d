# The command line and line captures (kavro02 --capture FILE).
target_sources(kavro_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/programoptions.h
  ${CMAKE_CURRENT_LIST_DIR}/programoptions.cpp)
