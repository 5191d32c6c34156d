#pragma once

#include <QString>

namespace kavro {

// Where the vehicle register (table CAR) lives. By default it is the SQLite
// file "Cars.mdb" in the program folder; the group [Database] of the
// program's settings can name a PostgreSQL server instead, which several
// stations then share:
//
//   [Database]
//   Driver=QPSQL
//   HostName=inspection-server   (or the folder of the server's Unix socket)
//   Port=5432
//   DatabaseName=kavro
//   UserName=station1
//   Password=...
struct RegisterConnection
{
    enum class Engine { EmbeddedFile, PostgreSql, Unknown };

    Engine engine = Engine::EmbeddedFile;
    QString filePath; // EmbeddedFile: the database file
    QString driverName; // as written in the settings (Unknown: the unsupported name)
    QString hostName;
    int port = -1; // -1: the driver's default
    QString databaseName;
    QString userName;
    QString password;

    // The register's place in the operator's words: "файл «path»", or
    // "база «name» на сервере host:port".
    QString Description() const;
};

// Reads the group [Database] of the program's settings; without it (or with
// Driver=QSQLITE) the register is the file Cars.mdb in programFolder.
RegisterConnection ReadRegisterConnection(const QString &programFolder);

} // namespace kavro
