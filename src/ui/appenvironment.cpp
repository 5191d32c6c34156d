#include "ui/appenvironment.h"

#include <QCoreApplication>
#include <QTimer>

namespace kavro {

QDateTime SystemEnvironment::Now() const
{
    return QDateTime::currentDateTime();
}

QString SystemEnvironment::ProgramFolder() const
{
    return QCoreApplication::applicationDirPath();
}

void SystemEnvironment::EndProgram(int exitCode)
{
    // exit() ends only the event loops running now (a modal splash or
    // message box and the main loop). The start sequence may still be on its
    // way to the main loop, so every loop that runs later is ended as well.
    QCoreApplication::exit(exitCode);
    auto *laterLoops = new QTimer(QCoreApplication::instance());
    QObject::connect(
        laterLoops, &QTimer::timeout, [exitCode] { QCoreApplication::exit(exitCode); });
    laterLoops->start(0);
}

} // namespace kavro
