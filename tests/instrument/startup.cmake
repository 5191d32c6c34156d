# Start-up, port selection and connection supervision.
kavro_add_test(tst_portsetup
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tst_portsetup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ptyinstrument.h
    ${CMAKE_CURRENT_LIST_DIR}/ptyinstrument.cpp
  TIMEOUT 60)
kavro_add_test(tst_startup UI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tst_startup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ptyinstrument.h
    ${CMAKE_CURRENT_LIST_DIR}/ptyinstrument.cpp
  TIMEOUT 120)
kavro_add_test(tst_wholeprogram UI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tst_wholeprogram.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ptyinstrument.h
    ${CMAKE_CURRENT_LIST_DIR}/ptyinstrument.cpp
  TIMEOUT 120)
