# The readings display: gauges, the scales and numbers pages, the category
# dialog.
target_sources(kavro_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/pixelrounding.h
  ${CMAKE_CURRENT_LIST_DIR}/indicator.h
  ${CMAKE_CURRENT_LIST_DIR}/indicator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/readingpanels.h
  ${CMAKE_CURRENT_LIST_DIR}/readingpanels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/levelspage.h
  ${CMAKE_CURRENT_LIST_DIR}/levelspage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/numberspage.h
  ${CMAKE_CURRENT_LIST_DIR}/numberspage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/radiogroup.h
  ${CMAKE_CURRENT_LIST_DIR}/radiogroup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/categoryform.h
  ${CMAKE_CURRENT_LIST_DIR}/categoryform.cpp)
