if(TARGET kavro_ui)
  target_sources(kavro_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/noticeplacement.h
    ${CMAKE_CURRENT_LIST_DIR}/noticeplacement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serviceform.h
    ${CMAKE_CURRENT_LIST_DIR}/serviceform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/warningform.h
    ${CMAKE_CURRENT_LIST_DIR}/warningform.cpp)
endif()
