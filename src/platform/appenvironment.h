#pragma once

#include <QDateTime>
#include <QString>

namespace kavro {

// What the program takes from its surroundings: the clock, the folder of
// its executable (database, template, pictures, settings file) and the way
// it ends. Tests replace it so that nothing waits for real time or ends the
// test runner.
class AppEnvironment
{
public:
    virtual ~AppEnvironment() = default;
    virtual QDateTime Now() const = 0;
    // The same instant as milliseconds since the epoch, for clocks read many
    // times a second: a local QDateTime looks up the time zone each time.
    virtual qint64 NowMsSinceEpoch() const { return Now().toMSecsSinceEpoch(); }
    virtual QString ProgramFolder() const = 0;
    // Ends the program after the current event; every way out goes here.
    virtual void EndProgram(int exitCode) = 0;
};

// Production: system clock, QCoreApplication::applicationDirPath(), and
// QCoreApplication::exit().
class SystemEnvironment : public AppEnvironment
{
public:
    QDateTime Now() const override;
    qint64 NowMsSinceEpoch() const override;
    QString ProgramFolder() const override;
    void EndProgram(int exitCode) override;
};

} // namespace kavro
