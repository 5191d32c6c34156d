# kavro02 --capture: the program records its line on a pseudo-terminal.
kavro_add_test(tst_linecapture UI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_linecapture.cpp
  LIBS kavro_test_pty
  TIMEOUT 60)
