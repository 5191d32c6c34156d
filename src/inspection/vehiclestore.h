#pragma once

#include "inspection/registerconnection.h"
#include "inspection/vehiclerecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

class QSqlDatabase;
class QSqlQuery;

namespace kavro {

// The outcome of a register operation: empty on success, otherwise the
// database's error text (or, for a register that cannot be opened, the
// program's own words for the operator).
struct StoreStatus
{
    QString error;
    bool Ok() const { return error.isEmpty(); }
};

// A value read from the register, or the error text why it could not be.
template<typename T>
struct StoreAnswer
{
    T value {};
    QString error;
    bool Ok() const { return error.isEmpty(); }
};

// One entry of the number list: the row's ID and its registration number.
struct CarListEntry
{
    qint64 ID = 0;
    QString FederalNumber;
};

// One row of table CAR. Region is kept as the text stored, which may be
// longer than the two digits the dialog lets the operator type.
struct CarRow
{
    qint64 ID = 0; // assigned by the database; never written by the program
    QString FederalNumber;
    QString Region;
    QString Mark;
    QString OwnerTName;
    QString OwnerFName;
    QString OwnerSName;
    int CarCategory = VehicleRecord::NoCategory;
};

// The vehicle register: table CAR in the SQLite file Cars.mdb in the program
// folder, or on the PostgreSQL server named in the program's settings
// (RegisterConnection). Every value is bound to its statement, never pasted
// into SQL text. Nothing throws: each operation returns the database's error
// text.
//
// Open() (re)connects each time it is called, so the dialog that calls it at
// every showing picks up a server that has come back or changed settings.
class VehicleStore
{
public:
    static constexpr std::chrono::milliseconds DefaultBusyTimeout { 5000 };

    explicit VehicleStore(QString programFolder);
    ~VehicleStore();
    VehicleStore(const VehicleStore &) = delete;
    VehicleStore &operator=(const VehicleStore &) = delete;

    // Closes any previous connection, reads where the register lives, opens
    // it and creates table CAR when it is missing. A file that is not an
    // SQLite database is left untouched and the store stays closed.
    StoreStatus Open();
    void Close();
    // The table is open: the register can be read and written.
    bool IsOpen() const { return open_; }
    // Why the last Open() failed, in words for the operator.
    const QString &OpenError() const { return openError_; }
    const RegisterConnection &Connection() const { return connection_; }
    // The Qt SQL connection name of the current connection (unique per
    // opening), for anyone who needs the same connection.
    const QString &ConnectionName() const { return connectionName_; }

    // How long a write waits for another station's lock before it fails;
    // applies from the next Open().
    void SetBusyTimeout(std::chrono::milliseconds timeout) { busyTimeout_ = timeout; }

    // Every row's ID and number, in table order (ascending ID).
    StoreAnswer<QList<CarListEntry>> AllNumbers() const;
    // "SELECT DISTINCT Mark FROM CAR", in the order the database returns.
    StoreAnswer<QStringList> DistinctMarks() const;
    StoreAnswer<std::optional<CarRow>> FindById(qint64 id) const;
    // The first row (lowest ID) whose number equals number exactly.
    StoreAnswer<std::optional<CarRow>> FindFirstByNumber(const QString &number) const;
    // Writes every column but ID of the row with row.ID.
    StoreStatus Update(const CarRow &row);
    // Adds row as a new row; the database assigns its ID.
    StoreStatus Append(const CarRow &row);

private:
    QSqlDatabase Database() const;
    StoreStatus OpenEmbeddedFile();
    StoreStatus OpenServer();
    StoreStatus PrepareEmbeddedFile(QSqlDatabase &database);
    StoreStatus CreateTableIfMissing(QSqlDatabase &database);
    StoreStatus Failed(const QString &operatorText);
    // Where the register is and the reason it could not be opened.
    StoreStatus CannotOpen(const QString &reason);
    QString QueryError(const QSqlQuery &query) const;
    StoreAnswer<std::optional<CarRow>> FindOne(const QString &condition, const QVariant &key) const;

    QString programFolder_;
    RegisterConnection connection_;
    QString connectionName_;
    QString openError_;
    bool open_ = false;
    std::chrono::milliseconds busyTimeout_ = DefaultBusyTimeout;
};

} // namespace kavro
