#pragma once

#include "device/commportdriver.h"

class QWidget;

namespace kavro {

class PortIndexStore;
class UserDialogs;

// The port of a stored or chosen index: 0 to 3 give COM1 to COM4; any other
// index (a value out of range, a dialog closed with nothing selected) gives
// pnCustom, no defined port.
TPortNumber PortFromIndex(int index);

// Which serial port the program talks to: the remembered index, the user's
// choice in the port dialog, and the loop that opens the port.
class PortSetup
{
public:
    PortSetup(TCommPortDriver &port, PortIndexStore &store, UserDialogs &dialogs);

    // The set-up at start: the remembered port, or the user's choice when
    // none is remembered, then opened; offers another port while opening
    // fails. True when the port is open.
    bool OpenInstrumentPort(QWidget *dialogParent);

    // The command "Выбрать порт...": the user chooses a port, which replaces
    // the open one. Without a remembered index it only stores COM1.
    void ChooseAnotherPort(QWidget *dialogParent);

private:
    void SelectPort(int index);
    bool AskForAnotherPort(QWidget *dialogParent, const QString &firstLine);

    TCommPortDriver &port_;
    PortIndexStore &store_;
    UserDialogs &dialogs_;
};

} // namespace kavro
