# Start-up, port selection and connection supervision.
target_sources(kavro_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/portindexstore.h ${CMAKE_CURRENT_LIST_DIR}/portindexstore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portsetup.h ${CMAKE_CURRENT_LIST_DIR}/portsetup.cpp)

if(TARGET kavro_ui)
  target_sources(kavro_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/splashform.h ${CMAKE_CURRENT_LIST_DIR}/splashform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/comselectform.h ${CMAKE_CURRENT_LIST_DIR}/comselectform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/programhost.h ${CMAKE_CURRENT_LIST_DIR}/programhost.cpp
    ${CMAKE_CURRENT_LIST_DIR}/programstart.h ${CMAKE_CURRENT_LIST_DIR}/programstart.cpp)
endif()
