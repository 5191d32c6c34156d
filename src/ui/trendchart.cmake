# The trend chart (Chart1 on Panel34), the monitoring dialog and the
# monitoring mode that runs them.
target_sources(kavro_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/trendchart.h
  ${CMAKE_CURRENT_LIST_DIR}/trendchart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monparamsform.h
  ${CMAKE_CURRENT_LIST_DIR}/monparamsform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trendmonitor.h
  ${CMAKE_CURRENT_LIST_DIR}/trendmonitor.cpp)
