# End to end: the real program connects to the simulated instrument on a
# pseudo-terminal (offscreen platform, program copied into a temporary
# folder so that its settings file lands there).
if(TARGET kavro02 AND TARGET kavro02-sim)
  kavro_add_test(tst_endtoend
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_endtoend.cpp
    TIMEOUT 120)
  add_dependencies(tst_endtoend kavro02 kavro02-sim)
  target_compile_definitions(tst_endtoend PRIVATE
    KAVRO_PROGRAM="$<TARGET_FILE:kavro02>"
    KAVRO_SIMULATOR="$<TARGET_FILE:kavro02-sim>")
endif()
