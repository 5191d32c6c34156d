# kavro02-sim --replay: line captures played back as the instrument.
kavro_add_test(tst_simreplay
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_simreplay.cpp
  LIBS kavro_sim
  TIMEOUT 60)
add_dependencies(tst_simreplay kavro02-sim)
target_compile_definitions(tst_simreplay PRIVATE KAVRO_SIMULATOR="$<TARGET_FILE:kavro02-sim>")
