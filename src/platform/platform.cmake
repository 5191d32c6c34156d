target_sources(kavro_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/appenvironment.h
  ${CMAKE_CURRENT_LIST_DIR}/appenvironment.cpp
  ${CMAKE_CURRENT_LIST_DIR}/programname.h
  ${CMAKE_CURRENT_LIST_DIR}/userdialogs.h)
