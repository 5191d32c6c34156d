kavro_add_test(compute_constanttables SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_constanttables.cpp)
kavro_add_test(compute_conversions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_conversions.cpp)
kavro_add_test(compute_readingdispatch SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_readingdispatch.cpp)

# kavro02-decode on a capture with a realistic calibration block: the zero and
# value lines are compared line by line with the expected trace.
add_test(NAME compute_decode_idle-engine
  COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:kavro02-decode>
    "-DARGS=--hex;${KAVRO_TEST_DATA}/compute/idle-engine.hex"
    -DEXPECTED=${KAVRO_TEST_DATA}/compute/idle-engine.trace
    -P ${CMAKE_SOURCE_DIR}/tools/kavro02-decode/compare-trace.cmake)
