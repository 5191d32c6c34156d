target_sources(kavro_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/portsetup.h
  ${CMAKE_CURRENT_LIST_DIR}/portsetup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/programhost.h
  ${CMAKE_CURRENT_LIST_DIR}/programhost.cpp
  ${CMAKE_CURRENT_LIST_DIR}/programstart.h
  ${CMAKE_CURRENT_LIST_DIR}/programstart.cpp)
