#include "app/portsetup.h"

#include "device/portindexstore.h"
#include "platform/programname.h"
#include "platform/userdialogs.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
constexpr int FirstPortIndex = 0; // COM1
constexpr int LastPortIndex = 3; // COM4
constexpr int NoSelection = -1;

bool IsPortIndex(int index)
{
    return index >= FirstPortIndex && index <= LastPortIndex;
}

// The dialog's items are the defined ports; any other stored index selects none.
int Preselection(std::optional<int> stored)
{
    return stored && IsPortIndex(*stored) ? *stored : NoSelection;
}
} // namespace

TPortNumber PortFromIndex(int index)
{
    return IsPortIndex(index) ? TPortNumber(pnCOM1 + index) : pnCustom;
}

PortSetup::PortSetup(TCommPortDriver &port, PortIndexStore &store, UserDialogs &dialogs)
    : port_(port)
    , store_(store)
    , dialogs_(dialogs)
{ }

bool PortSetup::OpenInstrumentPort(QWidget *dialogParent)
{
    port_.Disconnect();
    if (!store_.KeyExists()) {
        const int chosen = dialogs_.ChoosePort(dialogParent, FirstPortIndex);
        store_.WriteIndex(chosen);
        SelectPort(chosen);
    } else if (const auto stored = store_.ReadIndex()) {
        SelectPort(*stored);
    } else {
        store_.WriteIndex(FirstPortIndex);
        SelectPort(FirstPortIndex);
    }

    while (!port_.Connect()) {
        if (!AskForAnotherPort(dialogParent, u"Невозможно открыть COM-порт"_s))
            return false;
        const int chosen = dialogs_.ChoosePort(dialogParent, Preselection(store_.ReadIndex()));
        store_.WriteIndex(chosen);
        SelectPort(chosen);
    }
    return true;
}

void PortSetup::ChooseAnotherPort(QWidget *dialogParent)
{
    const auto stored = store_.ReadIndex();
    if (!stored) {
        store_.WriteIndex(FirstPortIndex);
        return;
    }
    int chosen = Preselection(stored);
    do {
        chosen = dialogs_.ChoosePort(dialogParent, chosen);
        store_.WriteIndex(chosen);
        port_.Disconnect();
        SelectPort(chosen);
        if (port_.Connect())
            return;
    } while (AskForAnotherPort(dialogParent, u"Ошибка при подключении к COM-порту"_s));
}

void PortSetup::SelectPort(int index)
{
    // The device paths of COM1 to COM4 may have been edited since the last time.
    port_.SetDeviceMap(PortDeviceMap::Load(*store_.OpenSettings()));
    const TPortNumber number = PortFromIndex(index);
    if (number == pnCustom)
        port_.SetPortName(QString()); // no device by that name: Connect fails
    else
        port_.SetPort(number);
}

// The system's reason why the port did not open follows the question.
bool PortSetup::AskForAnotherPort(QWidget *dialogParent, const QString &firstLine)
{
    QString text = firstLine + u"\rВыбрать другой COM-порт?"_s;
    if (!port_.LastError().isEmpty())
        text += u'\r' + port_.LastError();
    return dialogs_.Message(dialogParent, ProgramName, text, UserDialogs::Icon::Question,
               UserDialogs::Yes | UserDialogs::No)
        == UserDialogs::Yes;
}

} // namespace kavro
