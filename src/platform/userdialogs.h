#pragma once

#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace kavro {

// What the operator is asked when a file is to be saved.
struct SaveFileRequest
{
    QString title;
    QString folder; // shown first
    QString proposedName; // file name without folder
    QString filter; // "Bitmaps (*.bmp)"
    QString defaultSuffix; // added to a name typed without one, e.g. "bmp"
};

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

    // One of the program's own dialogs shown modally; returns its result
    // (QDialog::Accepted or QDialog::Rejected).
    virtual int ExecModal(QDialog &dialog) = 0;

    // The save-file dialog; the chosen path, or empty when cancelled. It asks
    // before an existing file is overwritten.
    virtual QString ChooseSaveFileName(QWidget *parent, const SaveFileRequest &request) = 0;

    // The printer dialog: no page range, no selection, no printing to a
    // file, one copy. True when the operator chose a printer, which is then
    // set up in printer.
    virtual bool ChoosePrinter(QWidget *parent, QPrinter &printer) = 0;
};

} // namespace kavro
