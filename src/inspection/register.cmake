# The vehicle register: table CAR in Cars.mdb (SQLite) or on a PostgreSQL
# server named in the program's settings.
target_sources(kavro_inspection PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/vehiclerecord.h
  ${CMAKE_CURRENT_LIST_DIR}/registerconnection.h
  ${CMAKE_CURRENT_LIST_DIR}/registerconnection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registerfile.h
  ${CMAKE_CURRENT_LIST_DIR}/registerfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vehiclestore.h
  ${CMAKE_CURRENT_LIST_DIR}/vehiclestore.cpp)
