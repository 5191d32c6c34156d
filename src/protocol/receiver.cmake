target_sources(kavro_protocol PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/instrumentcodes.h
  ${CMAKE_CURRENT_LIST_DIR}/receiverdata.h
  ${CMAKE_CURRENT_LIST_DIR}/receiverhost.h
  ${CMAKE_CURRENT_LIST_DIR}/instrumentreceiver.h
  ${CMAKE_CURRENT_LIST_DIR}/instrumentreceiver.cpp)
