kavro_add_test(tst_mainform UI SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainform.cpp)
# The commands are read back from a pseudo-terminal that plays the instrument.
kavro_add_test(tst_instrumentcontrol UI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_instrumentcontrol.cpp
  LIBS kavro_test_pty)
