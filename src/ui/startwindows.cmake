# The windows of the start and of the instrument's notices.
target_sources(kavro_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/splashform.h
  ${CMAKE_CURRENT_LIST_DIR}/splashform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/comselectform.h
  ${CMAKE_CURRENT_LIST_DIR}/comselectform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/noticeplacement.h
  ${CMAKE_CURRENT_LIST_DIR}/noticeplacement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/serviceform.h
  ${CMAKE_CURRENT_LIST_DIR}/serviceform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/warningform.h
  ${CMAKE_CURRENT_LIST_DIR}/warningform.cpp)
