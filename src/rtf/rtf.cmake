# The RTF reader: bytes of an RTF file into a QTextDocument (core layer).
set(kavro_rtf_sources
  ${CMAKE_CURRENT_LIST_DIR}/rtfreader.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfreader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtftokenizer.h
  ${CMAKE_CURRENT_LIST_DIR}/rtftokenizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtfcodepage.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfcodepage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtfcontrolword.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfcontrolword.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtfformat.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfformatwords.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfformatwords.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtfcontent.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfrowdefbuilder.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfrowdefbuilder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtftableassembler.h
  ${CMAKE_CURRENT_LIST_DIR}/rtftableassembler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtftablegrid.h
  ${CMAKE_CURRENT_LIST_DIR}/rtftablegrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtfheadertables.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfheadertables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtfpicturecollector.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfpicturecollector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtfparser.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfparser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtfdocumentwriter.h
  ${CMAKE_CURRENT_LIST_DIR}/rtfdocumentwriter.cpp)
target_sources(kavro_rtf PRIVATE ${kavro_rtf_sources})
# The fuzzer compiles these itself, with coverage instrumentation.
set(KAVRO_RTF_SOURCES ${kavro_rtf_sources} CACHE INTERNAL "Sources of the RTF reader")
