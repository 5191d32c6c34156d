# The pseudo-terminal that plays the instrument in the serial tests: driven
# directly (PseudoTerminal) or from the event loop (PtyInstrument), and a
# program folder with two of them for the port set-up tests (PortFolder).
add_library(kavro_test_pty STATIC
  ${CMAKE_CURRENT_LIST_DIR}/pseudoterminal.h
  ${CMAKE_CURRENT_LIST_DIR}/pseudoterminal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ptyinstrument.h
  ${CMAKE_CURRENT_LIST_DIR}/ptyinstrument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portfolder.h)
kavro_set_warnings(kavro_test_pty)
target_include_directories(kavro_test_pty PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(kavro_test_pty PUBLIC Qt6::Core)
