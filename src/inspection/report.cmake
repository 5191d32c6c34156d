# The idle-speed measurement without its window, and the report: template
# loading within bounds, tag filling, printing on the template's page.
target_sources(kavro_inspection PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/measurementresults.h
  ${CMAKE_CURRENT_LIST_DIR}/measurementhost.h
  ${CMAKE_CURRENT_LIST_DIR}/measurementprocedure.h
  ${CMAKE_CURRENT_LIST_DIR}/measurementprocedure.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reportfilling.h
  ${CMAKE_CURRENT_LIST_DIR}/reportfilling.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reportprinting.h
  ${CMAKE_CURRENT_LIST_DIR}/reportprinting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reportsource.h
  ${CMAKE_CURRENT_LIST_DIR}/reporttemplate.h
  ${CMAKE_CURRENT_LIST_DIR}/reporttemplate.cpp)
