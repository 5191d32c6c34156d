#pragma once

#include "platform/userdialogs.h"

namespace kavro {

// The production dialogs: QMessageBox, the real port choice dialog, the
// platform's file and printer dialogs.
class QtUserDialogs : public UserDialogs
{
public:
    Button Message(QWidget *parent, const QString &title, const QString &text, Icon icon,
        Buttons buttons) override;
    int ChoosePort(QWidget *parent, int preselectedIndex) override;
    int ExecModal(QDialog &dialog) override;
    QString ChooseSaveFileName(QWidget *parent, const SaveFileRequest &request) override;
    bool ChoosePrinter(QWidget *parent, QPrinter &printer) override;
};

} // namespace kavro
