#pragma once

#include "support/scripteddialogs.h"

#include <QString>

namespace kavro::test {

// What an operator types into the vehicle dialog, and the category chosen
// in the category dialog (item indexes; date 0 = before 01.10.1986).
struct VehicleEntry
{
    QString number;
    QString region;
    QString make;
    QString surname;
    QString firstName;
    QString patronymic;
    int dateItem = 1;
    int categoryItem = 0; // M1 ... N3
    int treatmentItem = 0; // none, two-component, three-component
};

// The category dialog answered as an operator would: the given items
// clicked, then "Готово".
ScriptedDialogs::DialogHandler ChooseCategoryItems(
    int dateItem, int categoryItem, int treatmentItem);

// The vehicle dialog answered as an operator would: the fields typed,
// "Выбрать комплектацию" clicked (its category dialog answered through
// dialogs), then "Готово". Returns the dialog's result; any question the
// dialog asks is answered by dialogs' script.
ScriptedDialogs::DialogHandler EnterVehicle(const VehicleEntry &entry, ScriptedDialogs &dialogs);

} // namespace kavro::test
