# The inspection archive window and the archiving of completed measurements.
target_sources(kavro_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/archiveform.h
  ${CMAKE_CURRENT_LIST_DIR}/archiveform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inspectionarchiving.h
  ${CMAKE_CURRENT_LIST_DIR}/inspectionarchiving.cpp)
