kavro_add_test(tst_instrumentreceiver SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_instrumentreceiver.cpp)
kavro_add_test(tst_receiverrobustness SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_receiverrobustness.cpp)

# kavro02-decode on captures with hand-derived traces (tests/data/decode).
set(decode_data ${KAVRO_TEST_DATA}/decode)
set(decode_compare ${CMAKE_SOURCE_DIR}/tools/kavro02-decode/compare-trace.cmake)

function(kavro_add_decode_test name)
  add_test(NAME decode_${name}
    COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:kavro02-decode> ${ARGN} -P ${decode_compare})
endfunction()

foreach(capture live-join countdown-window zero-prefix-loop zero-prefix-return halt notices diagnostic)
  kavro_add_decode_test(${capture} "-DARGS=--hex\;${decode_data}/${capture}.hex"
    -DEXPECTED=${decode_data}/${capture}.trace)
endforeach()
kavro_add_decode_test(countdown-window-page1
  "-DARGS=--page\;1\;--hex\;${decode_data}/countdown-window.hex"
  -DEXPECTED=${decode_data}/countdown-window.page1.trace)
kavro_add_decode_test(raw-binary "-DARGS=${decode_data}/diagnostic.bin"
  -DEXPECTED=${decode_data}/diagnostic.trace)
kavro_add_decode_test(stdin "-DARGS=--hex\;-" -DSTDIN=${decode_data}/notices.hex
  -DEXPECTED=${decode_data}/notices.trace)
kavro_add_decode_test(bad-odd-hex "-DARGS=--hex\;${decode_data}/bad-odd.hex"
  -DEXPECT_STATUS=2 "-DEXPECT_STDERR=line 1: \"1\" is not a whole number of hex byte pairs")
kavro_add_decode_test(bad-hex-digit "-DARGS=--hex\;${decode_data}/bad-digit.hex"
  -DEXPECT_STATUS=2 "-DEXPECT_STDERR=\"2G\" is not a whole number of hex byte pairs")
kavro_add_decode_test(unreadable-file "-DARGS=${decode_data}/no-such-capture.bin"
  -DEXPECT_STATUS=2 "-DEXPECT_STDERR=cannot read ${decode_data}/no-such-capture.bin")
kavro_add_decode_test(bad-page "-DARGS=--page\;x\;${decode_data}/diagnostic.bin"
  -DEXPECT_STATUS=2 "-DEXPECT_STDERR=--page needs a page index")
