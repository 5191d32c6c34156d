# The simulated instrument: its parts, its sessions decoded by the program's
# own receiver and conversions (kavro02-decode), and the real executable on
# a pseudo-terminal.
kavro_add_test(tst_simulator
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_simulator.cpp
  LIBS kavro_sim
  TIMEOUT 120)
add_dependencies(tst_simulator kavro02-sim kavro02-decode)
target_compile_definitions(tst_simulator PRIVATE
  KAVRO_SIMULATOR="$<TARGET_FILE:kavro02-sim>"
  KAVRO_DECODER="$<TARGET_FILE:kavro02-decode>")
