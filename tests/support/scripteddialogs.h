#pragma once

#include "ui/appenvironment.h"
#include "ui/userdialogs.h"

#include <QList>
#include <QString>
#include <functional>

namespace kavro::test {

// Records every message box and port choice, and answers them from a
// script (first in, first out). An unscripted question is answered with
// the fallback button / index, so a test never blocks on a modal window.
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
