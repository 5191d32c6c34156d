target_sources(kavro_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/actionimages.h
  ${CMAKE_CURRENT_LIST_DIR}/actionimages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mainform.h
  ${CMAKE_CURRENT_LIST_DIR}/mainform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shortcuthintmenu.h
  ${CMAKE_CURRENT_LIST_DIR}/shortcuthintmenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qtuserdialogs.h
  ${CMAKE_CURRENT_LIST_DIR}/qtuserdialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qttranslations.h
  ${CMAKE_CURRENT_LIST_DIR}/qttranslations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/displaypacer.h
  ${CMAKE_CURRENT_LIST_DIR}/displaypacer.cpp)
