# The vehicle dialog on a real SQLite register in a temporary program folder.
kavro_add_test(tst_editcarform UI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_editcarform.cpp
  TIMEOUT 120)
