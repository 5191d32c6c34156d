# Beyond the original: the pass/fail verdict, the inspection archive in the
# register's database, and reports saved as PDF files.
target_sources(kavro_inspection PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/verdict.h
  ${CMAKE_CURRENT_LIST_DIR}/verdict.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reportsource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inspectionrecord.h
  ${CMAKE_CURRENT_LIST_DIR}/inspectionarchive.h
  ${CMAKE_CURRENT_LIST_DIR}/inspectionarchive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inspectionrecorder.h
  ${CMAKE_CURRENT_LIST_DIR}/inspectionrecorder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archivedreportsource.h
  ${CMAKE_CURRENT_LIST_DIR}/archivedreportsource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inspectionlistmodel.h
  ${CMAKE_CURRENT_LIST_DIR}/inspectionlistmodel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reportpdf.h
  ${CMAKE_CURRENT_LIST_DIR}/reportpdf.cpp)
