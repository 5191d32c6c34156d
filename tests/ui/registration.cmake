# "Новый автомобиль" from the main window through the vehicle and category
# dialogs into the register, and what the registration changes.
kavro_add_test(tst_registration UI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_registration.cpp
  LIBS kavro_test_operator)
