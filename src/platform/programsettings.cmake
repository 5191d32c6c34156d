target_sources(kavro_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/programsettings.h
  ${CMAKE_CURRENT_LIST_DIR}/programsettings.cpp)
