#include "inspection/registerconnection.h"

#include "platform/programsettings.h"

#include <QDir>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
const QString FileName = u"Cars.mdb"_s;
const QString Group = u"Database"_s;
const QString PostgreSqlDriver = u"QPSQL"_s;
const QString SqliteDriver = u"QSQLITE"_s;
} // namespace

QString RegisterConnection::Description() const
{
    if (engine == Engine::EmbeddedFile)
        return u"файл «%1»"_s.arg(QDir::toNativeSeparators(filePath));
    const QString host = hostName.isEmpty() ? u"localhost"_s : hostName;
    const QString place = port > 0 ? host + u':' + QString::number(port) : host;
    return u"база «%1» на сервере %2"_s.arg(databaseName, place);
}

RegisterConnection ReadRegisterConnection(const QString &programFolder)
{
    RegisterConnection connection;
    connection.filePath = QDir(programFolder).filePath(FileName);

    const auto settings = OpenProgramSettings(programFolder);
    settings->beginGroup(Group);
    connection.driverName = settings->value(u"Driver"_s).toString().trimmed();
    if (connection.driverName.isEmpty()
        || connection.driverName.compare(SqliteDriver, Qt::CaseInsensitive) == 0)
        return connection;

    connection.engine = connection.driverName.compare(PostgreSqlDriver, Qt::CaseInsensitive) == 0
        ? RegisterConnection::Engine::PostgreSql
        : RegisterConnection::Engine::Unknown;
    connection.hostName = settings->value(u"HostName"_s).toString();
    bool isNumber = false;
    const int port = settings->value(u"Port"_s).toInt(&isNumber);
    connection.port = isNumber ? port : -1;
    connection.databaseName = settings->value(u"DatabaseName"_s).toString();
    connection.userName = settings->value(u"UserName"_s).toString();
    connection.password = settings->value(u"Password"_s).toString();
    return connection;
}

} // namespace kavro
