# Line captures: the file format, and kavro02-decode reading captures.
kavro_add_test(tst_capturefile SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_capturefile.cpp)

set(capture_data ${KAVRO_TEST_DATA}/decode)
set(capture_compare ${CMAKE_SOURCE_DIR}/tools/kavro02-decode/compare-trace.cmake)
function(kavro_add_capture_decode_test name)
  add_test(NAME decode_${name}
    COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:kavro02-decode> ${ARGN} -P ${capture_compare})
endfunction()

# Only what the receiver was given: the bytes while it was off change nothing.
kavro_add_capture_decode_test(capture "-DARGS=${capture_data}/capture-notices.txt"
  -DEXPECTED=${capture_data}/notices.trace)
# Recognised by its first line also with --hex.
kavro_add_capture_decode_test(capture-hex-option "-DARGS=--hex\;${capture_data}/capture-notices.txt"
  -DEXPECTED=${capture_data}/notices.trace)
# A writer cut off in the middle of its last line: that line is left out.
kavro_add_capture_decode_test(capture-cut-off "-DARGS=${capture_data}/capture-cut-off.txt"
  -DEXPECTED=${capture_data}/notices.trace)
kavro_add_capture_decode_test(capture-bad-hex "-DARGS=${capture_data}/capture-bad-hex.txt"
  -DEXPECT_STATUS=2 "-DEXPECT_STDERR=capture-bad-hex.txt: line 3: \"2G\" is not a byte in hex")
kavro_add_capture_decode_test(capture-bad-version "-DARGS=${capture_data}/capture-bad-version.txt"
  -DEXPECT_STATUS=2 "-DEXPECT_STDERR=line 1: capture format version \"2\" is not known")
kavro_add_capture_decode_test(capture-no-header "-DARGS=${capture_data}/capture-no-header.txt"
  -DEXPECT_STATUS=2 "-DEXPECT_STDERR=looks like a line capture without its first line")
