#pragma once

#include "app/programstart.h"
#include "support/ptyinstrument.h"
#include "support/scripteddialogs.h"

#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace kavro::test {

// What the tests of the whole program on a pseudo-terminal start from: a
// fresh program folder whose settings store port index 0 and put COM1 on the
// pseudo-terminal the instrument plays, scripted dialogs, a settable clock,
// and the program's start sequence (not yet run). A test class derives from
// it beside QObject and calls SetUpProgram in its init().
class ProgramOnPty
{
protected:
    // False when the folder or the pseudo-terminal cannot be had.
    bool SetUpProgram(SplashTimings timings)
    {
        folder_ = std::make_unique<QTemporaryDir>();
        instrument_ = std::make_unique<PtyInstrument>();
        if (!folder_->isValid() || !instrument_->IsOpen())
            return false;
        QSettings settings(IniPath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("COM"), 0);
        settings.sync();
        NamePort(1, *instrument_);
        dialogs_ = std::make_unique<ScriptedDialogs>();
        environment_ = std::make_unique<FakeEnvironment>(folder_->path());
        program_ = std::make_unique<ProgramStart>(*environment_, *dialogs_, timings);
        return true;
    }

    QString IniPath() const { return folder_->filePath(QStringLiteral("KAVRO02.ini")); }

    // Puts port COMn on the pseudo-terminal's device in the settings.
    void NamePort(int n, const PtyInstrument &pty) const
    {
        QSettings settings(IniPath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Ports/COM%1").arg(n), pty.SlavePath());
        settings.sync();
    }

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<PtyInstrument> instrument_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<FakeEnvironment> environment_;
    std::unique_ptr<ProgramStart> program_;
};

} // namespace kavro::test
