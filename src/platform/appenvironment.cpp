#include "platform/appenvironment.h"

#include <QCoreApplication>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace kavro {

QDateTime SystemEnvironment::Now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemEnvironment::NowMsSinceEpoch() const
{
    return QDateTime::currentMSecsSinceEpoch();
}

QString SystemEnvironment::ProgramFolder() const
{
    return QCoreApplication::applicationDirPath();
}

void SystemEnvironment::EndProgram(int exitCode)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return;
    // exit() ends only the event loops that run now (a modal splash or
    // message box, the main loop). The start sequence may still be on its way
    // to the main loop, so the loops that start later end as well.
    QCoreApplication::exit(exitCode);
    const QString name = u"EndProgramTimer"_s;
    if (application->findChild<QTimer *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *laterLoops = new QTimer(application);
    laterLoops->setObjectName(name);
    QObject::connect(
        laterLoops, &QTimer::timeout, [exitCode] { QCoreApplication::exit(exitCode); });
    laterLoops->start(0);
}

} // namespace kavro
