# A capture of the real program against kavro02-sim, replayed to a second
# run of the program: both runs show the same values (kavro02-decode traces).
if(TARGET kavro02 AND TARGET kavro02-sim)
  kavro_add_test(tst_capturereplay
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_capturereplay.cpp
    TIMEOUT 180)
  add_dependencies(tst_capturereplay kavro02 kavro02-sim kavro02-decode)
  target_compile_definitions(tst_capturereplay PRIVATE
    KAVRO_PROGRAM="$<TARGET_FILE:kavro02>"
    KAVRO_SIMULATOR="$<TARGET_FILE:kavro02-sim>"
    KAVRO_DECODER="$<TARGET_FILE:kavro02-decode>")
endif()
