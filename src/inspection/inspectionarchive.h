#pragma once

#include "inspection/inspectionrecord.h"
#include "inspection/vehiclestore.h"

#include <QList>
#include <QString>
#include <optional>

class QSqlDatabase;
class QSqlQuery;

namespace kavro {

// Where the archive's list continues: the last entry shown (the list runs
// newest first, by date and time, then by ID).
struct InspectionListPosition
{
    QDateTime inspectedAt;
    qint64 ID = 0;
};

// The inspection archive: tables INSPECTION and INSPECTION_TEMPLATE in the
// vehicle register's database (Cars.mdb or the PostgreSQL server, connected
// as the register is, through VehicleStore). The tables are created when
// missing; every value is bound. Each template is kept once, under the
// SHA-256 of its bytes.
class InspectionArchive
{
public:
    explicit InspectionArchive(QString programFolder);

    // (Re)connects. Writing creates the tables when they are missing; a
    // reader of a database without them sees an empty archive.
    StoreStatus Open(bool forWriting);
    void Close() { store_.Close(); }
    bool IsOpen() const { return store_.IsOpen(); }
    const RegisterConnection &Connection() const { return store_.Connection(); }
    QString ConnectionName() const { return store_.ConnectionName(); }

    // Stores record: a new inspection when its ID is 0 (or the row is gone),
    // else over the row with that ID. Returns the row's ID.
    StoreAnswer<qint64> Save(const InspectionRecord &record);
    StoreAnswer<std::optional<InspectionRecord>> Load(qint64 id) const;

    // Up to limit entries that pass filter, newest first, after position
    // (from the newest without it).
    StoreAnswer<QList<InspectionListEntry>> List(const InspectionFilter &filter,
        const std::optional<InspectionListPosition> &after, int limit) const;
    StoreAnswer<qint64> Count(const InspectionFilter &filter) const;

private:
    QSqlDatabase Database() const;
    bool IsServer() const;
    StoreStatus CreateTables(QSqlDatabase &database);
    // The steps of Save, on the statement query of its transaction.
    StoreStatus StoreTemplate(QSqlQuery &query, const QByteArray &rtf, const QString &hash);
    StoreAnswer<qint64> Insert(
        QSqlQuery &query, const InspectionRecord &record, const QString &templateHash);
    StoreAnswer<bool> Update(
        QSqlQuery &query, const InspectionRecord &record, const QString &templateHash);

    VehicleStore store_;
    bool hasTables_ = false;
};

} // namespace kavro
