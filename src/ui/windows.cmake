if(TARGET kavro_ui)
  target_sources(kavro_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/actionimages.h
    ${CMAKE_CURRENT_LIST_DIR}/actionimages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/appenvironment.h
    ${CMAKE_CURRENT_LIST_DIR}/appenvironment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mainform.h
    ${CMAKE_CURRENT_LIST_DIR}/mainform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shortcuthintmenu.h
    ${CMAKE_CURRENT_LIST_DIR}/shortcuthintmenu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/userdialogs.h
    ${CMAKE_CURRENT_LIST_DIR}/userdialogs.cpp)
endif()
