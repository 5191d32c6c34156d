# Line captures: the file format of the bytes received from the instrument
# (kavro02 --capture writes it, the tools read it).
target_sources(kavro_protocol PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/capturefile.h
  ${CMAKE_CURRENT_LIST_DIR}/capturefile.cpp)
