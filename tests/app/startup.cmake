# Start-up, port selection and connection supervision.
kavro_add_test(tst_portsetup UI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_portsetup.cpp
  LIBS kavro_test_pty
  TIMEOUT 60)
kavro_add_test(tst_startup UI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_startup.cpp
  LIBS kavro_test_pty
  TIMEOUT 120)
kavro_add_test(tst_wholeprogram UI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_wholeprogram.cpp
  LIBS kavro_test_pty
  TIMEOUT 120)
