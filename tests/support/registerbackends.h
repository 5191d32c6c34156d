#pragma once

#include "support/postgresserver.h"

#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace kavro::test {

// A program folder whose register is either the SQLite file Cars.mdb in it
// or a PostgreSQL server of the test's own (named in its KAVRO02.ini), and a
// second connection to the same database for looking behind the program.
// The server is started once and kept for all rows; its tables are dropped
// at each Prepare().
class RegisterBackEnds
{
public:
    static inline const QString Sqlite = QStringLiteral("SQLite");
    static inline const QString Postgres = QStringLiteral("PostgreSQL");

    static void AddRows()
    {
        QTest::addColumn<QString>("backEnd");
        QTest::newRow("SQLite") << Sqlite;
        QTest::newRow("PostgreSQL") << Postgres;
    }

    // A fresh program folder on backEnd. False with reason when it cannot be
    // had (reason empty: skip, the server programs are missing).
    bool Prepare(const QString &backEnd, QString &reason)
    {
        Finish();
        backEnd_ = backEnd;
        folder_ = std::make_unique<QTemporaryDir>();
        if (!folder_->isValid()) {
            reason = QStringLiteral("no temporary folder");
            return false;
        }
        if (backEnd_ != Postgres)
            return true;
        if (const std::optional<QString> missing = PostgresServer::Unavailable()) {
            reason = *missing;
            skipped_ = true;
            return false;
        }
        if (!server_)
            server_ = std::make_unique<PostgresServer>();
        if (!server_->IsRunning() && !server_->Start()) {
            reason = server_->Error();
            return false;
        }
        QSettings settings(Folder() + QStringLiteral("/KAVRO02.ini"), QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("Database"));
        settings.setValue(QStringLiteral("Driver"), QStringLiteral("QPSQL"));
        settings.setValue(QStringLiteral("HostName"), server_->SocketFolder());
        settings.setValue(QStringLiteral("Port"), server_->Port());
        settings.setValue(QStringLiteral("DatabaseName"), server_->DatabaseName());
        settings.setValue(QStringLiteral("UserName"), server_->UserName());
        settings.setValue(QStringLiteral("Password"), server_->Password());
        settings.sync();
        // A database an earlier row made read-only is writable again.
        Exec(QStringLiteral("SET default_transaction_read_only = off"));
        Exec(QStringLiteral("ALTER DATABASE ") + server_->DatabaseName()
            + QStringLiteral(" RESET default_transaction_read_only"));
        for (const char *table : { "INSPECTION", "INSPECTION_TEMPLATE", "CAR" })
            Exec(QStringLiteral("DROP TABLE IF EXISTS ") + QLatin1String(table));
        Disconnect();
        return true;
    }

    // Whether the last Prepare() found no server programs (a QSKIP, not a failure).
    bool Skipped() const { return skipped_; }

    void Finish()
    {
        Disconnect();
        skipped_ = false;
        if (folder_)
            QFile::setPermissions(FilePath(), QFile::ReadOwner | QFile::WriteOwner);
    }

    const QString &BackEnd() const { return backEnd_; }
    bool IsServer() const { return backEnd_ == Postgres; }
    QString Folder() const { return folder_->path(); }
    QString FilePath() const { return folder_->filePath(QStringLiteral("Cars.mdb")); }
    PostgresServer *Server() const { return server_.get(); }

    // Makes the register refuse every write: the file loses its write
    // permission, or the server's database turns read-only for new sessions.
    bool MakeReadOnly()
    {
        if (!IsServer())
            return QFile::setPermissions(FilePath(), QFile::ReadOwner | QFile::ReadGroup);
        const bool done = Exec(QStringLiteral("ALTER DATABASE ") + server_->DatabaseName()
            + QStringLiteral(" SET default_transaction_read_only = on"));
        Disconnect();
        return done;
    }

    // A connection of another program to the same database.
    QSqlDatabase Other()
    {
        if (QSqlDatabase::contains(OtherName))
            return QSqlDatabase::database(OtherName);
        QSqlDatabase database;
        if (!IsServer()) {
            database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), OtherName);
            database.setDatabaseName(FilePath());
        } else {
            database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), OtherName);
            database.setHostName(server_->SocketFolder());
            database.setPort(server_->Port());
            database.setDatabaseName(server_->DatabaseName());
            database.setUserName(server_->UserName());
            database.setPassword(server_->Password());
        }
        if (!database.open())
            qWarning() << "other connection:" << database.lastError().text();
        return database;
    }

    bool Exec(const QString &statement)
    {
        QSqlQuery query(Other());
        if (query.exec(statement))
            return true;
        qWarning() << statement << query.lastError().text();
        return false;
    }

    // The first column of every row of a query.
    QVariantList Column(const QString &statement)
    {
        QVariantList values;
        QSqlQuery query(Other());
        if (!query.exec(statement))
            qWarning() << statement << query.lastError().text();
        while (query.next())
            values << query.value(0);
        return values;
    }

    void Disconnect()
    {
        if (QSqlDatabase::contains(OtherName)) {
            QSqlDatabase::database(OtherName, false).close();
            QSqlDatabase::removeDatabase(OtherName);
        }
    }

private:
    static inline const QString OtherName = QStringLiteral("kavro-test-other-program");
    QString backEnd_;
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<PostgresServer> server_;
    bool skipped_ = false;
};

} // namespace kavro::test

// Prepares backEnd in a test function (or init) of the back ends' rows: the
// test is skipped where the server programs are missing, and fails where the
// back end cannot be had otherwise.
#define PREPARE_BACK_END(backEnds, backEnd)                                                        \
    do {                                                                                           \
        QString reason_;                                                                           \
        if (!(backEnds).Prepare((backEnd), reason_)) {                                             \
            if ((backEnds).Skipped())                                                              \
                QSKIP(qPrintable(reason_));                                                        \
            QFAIL(qPrintable(reason_));                                                            \
        }                                                                                          \
    } while (false)
