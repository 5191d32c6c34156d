#pragma once

#include "platform/appenvironment.h"
#include "platform/userdialogs.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <functional>

namespace kavro::test {

// Records every message box, port choice, modal dialog, file and printer
// choice, and answers them from a script (first in, first out). An
// unscripted question is answered with the fallback button / index, an
// unscripted modal dialog is rejected and an unscripted file or printer
// choice cancelled, so a test never blocks on a modal window.
class ScriptedDialogs : public UserDialogs
{
public:
    struct Shown
    {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
    };

    QList<Shown> messages;
    QList<int> portChoicesShownWith; // preselected index of each port dialog
    QList<Button> answers; // answers to the next message boxes
    QList<int> portAnswers; // indexes chosen in the next port dialogs
    Button fallbackAnswer = No;
    int fallbackPort = -1;
    std::function<void(const Shown &)> onMessage; // runs while the box is "open"
    std::function<void(int)> onPortChoice; // runs while the port dialog is "open"
    QList<const QWidget *> parents; // parent of each message box and port dialog, in order

    // Modal dialogs: each handler acts on the dialog as the operator would
    // (it may show further dialogs) and returns the dialog's result.
    using DialogHandler = std::function<int(QDialog &)>;
    QList<DialogHandler> dialogHandlers;
    QStringList modalDialogs; // objectName of each dialog shown modally

    QList<SaveFileRequest> saveRequests;
    QStringList saveAnswers; // chosen paths; empty: cancelled

    using PrinterHandler = std::function<bool(QPrinter &)>;
    QList<PrinterHandler> printerHandlers; // set up the printer, true: confirmed
    int printerDialogs = 0;

    Button Message(QWidget *parent, const QString &title, const QString &text, Icon icon,
        Buttons buttons) override
    {
        parents.append(parent);
        messages.append({ title, text, icon, buttons });
        if (onMessage)
            onMessage(messages.last());
        if (!answers.isEmpty())
            return answers.takeFirst();
        return (buttons & fallbackAnswer) ? fallbackAnswer : Button(buttons & -buttons);
    }

    int ChoosePort(QWidget *parent, int preselectedIndex) override
    {
        parents.append(parent);
        portChoicesShownWith.append(preselectedIndex);
        if (onPortChoice)
            onPortChoice(preselectedIndex);
        if (!portAnswers.isEmpty())
            return portAnswers.takeFirst();
        return fallbackPort == -1 ? preselectedIndex : fallbackPort;
    }

    int ExecModal(QDialog &dialog) override
    {
        modalDialogs.append(dialog.objectName());
        if (dialogHandlers.isEmpty())
            return QDialog::Rejected;
        return dialogHandlers.takeFirst()(dialog);
    }

    QString ChooseSaveFileName(QWidget *parent, const SaveFileRequest &request) override
    {
        parents.append(parent);
        saveRequests.append(request);
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }

    bool ChoosePrinter(QWidget *parent, QPrinter &printer) override
    {
        parents.append(parent);
        ++printerDialogs;
        return !printerHandlers.isEmpty() && printerHandlers.takeFirst()(printer);
    }
};

// A program environment with a settable clock, a given folder and an end
// that is only recorded.
class FakeEnvironment : public AppEnvironment
{
public:
    explicit FakeEnvironment(QString folder)
        : folder_(std::move(folder))
    { }

    QDateTime now = QDateTime(QDate(2026, 12, 8), QTime(10, 0));
    int endCalls = 0;
    int exitCode = -1;

    QDateTime Now() const override { return now; }
    QString ProgramFolder() const override { return folder_; }
    void EndProgram(int code) override
    {
        ++endCalls;
        exitCode = code;
    }

private:
    QString folder_;
};

} // namespace kavro::test
