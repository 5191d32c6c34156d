#pragma once

#include <QString>

class QWidget;

namespace kavro {

// Every message box, question and standard dialog the program shows goes
// through this seam, so that tests can script the answers and check the
// exact texts. Production: QtUserDialogs.
class UserDialogs
{
public:
    enum class Icon { Information, Warning, Error, Question };
    enum Button { NoButton = 0x0, Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };
    using Buttons = int; // a combination of Button values

    virtual ~UserDialogs() = default;

    // A modal message box; returns the button that closed it.
    virtual Button Message(
        QWidget *parent, const QString &title, const QString &text, Icon icon, Buttons buttons)
        = 0;

    // The port choice dialog (TCOMSelectForm) shown modally with
    // preselectedIndex selected (-1: none); returns the selected index
    // (-1 when none is selected), however the dialog was closed.
    virtual int ChoosePort(QWidget *parent, int preselectedIndex) = 0;
};

// The production dialogs: QMessageBox and the real port choice dialog.
class QtUserDialogs : public UserDialogs
{
public:
    Button Message(QWidget *parent, const QString &title, const QString &text, Icon icon,
        Buttons buttons) override;
    int ChoosePort(QWidget *parent, int preselectedIndex) override;
};

} // namespace kavro
