# A complete inspection in one process with the real windows (offscreen): the
# instrument is played on a pseudo-terminal with raw readings found by the
# simulator's reverse search of the program's conversions.
kavro_add_test(tst_inspection UI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_inspection.cpp
  LIBS kavro_test_pty kavro_test_operator kavro_sim
  TIMEOUT 180)
