#include "inspection/vehiclestore.h"
#include "support/registerbackends.h"
#include "support/verifyok.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavro;
using namespace std::chrono_literals;

namespace {

CarRow Car(const QString &number, const QString &mark = u"ВАЗ-2107"_s,
    const QString &surname = u"Иванов"_s, int category = 33)
{
    return { 0, number, u"77"_s, mark, surname, u"Пётр"_s, u"Ильич"_s, category };
}

bool SameColumns(const CarRow &a, const CarRow &b)
{
    return a.FederalNumber == b.FederalNumber && a.Region == b.Region && a.Mark == b.Mark
        && a.OwnerTName == b.OwnerTName && a.OwnerFName == b.OwnerFName
        && a.OwnerSName == b.OwnerSName && a.CarCategory == b.CarCategory;
}

QList<qint64> Ids(const QList<CarListEntry> &entries)
{
    QList<qint64> ids;
    for (const CarListEntry &entry : entries)
        ids << entry.ID;
    return ids;
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

// Every store test runs on both back ends: the SQLite file beside the program
// and a PostgreSQL server the test starts itself (skipped where the server
// programs are not installed).
class tst_VehicleStore : public QObject
{
    Q_OBJECT

private:
    test::RegisterBackEnds backEnds_;

    QString Folder() const { return backEnds_.Folder(); }
    QString FilePath() const { return backEnds_.FilePath(); }
    bool IsServer() const { return backEnds_.IsServer(); }
    test::PostgresServer &Server() const { return *backEnds_.Server(); }
    // A connection of another program to the same register.
    QSqlDatabase OtherStationConnection() { return backEnds_.Other(); }
    bool Exec(const QString &statement) { return backEnds_.Exec(statement); }

private Q_SLOTS:
    void initTestCase_data() { test::RegisterBackEnds::AddRows(); }
    void init();
    void cleanup() { backEnds_.Finish(); }

    void firstOpeningCreatesTheTable();
    void valuesStoredUnchanged_data();
    void valuesStoredUnchanged();
    void listsInTableOrder();
    void firstOfDuplicatesUpdated();
    void secondStationWritesAtTheSameTime();
    void missingTable();
    void readOnlyFile();
    void foreignFileUntouched_data();
    void foreignFileUntouched();
    void unknownDriverNamed();
    void serverStoppedAndBack();
    void loginRefused();
};

void tst_VehicleStore::init()
{
    QFETCH_GLOBAL(QString, backEnd);
    PREPARE_BACK_END(backEnds_, backEnd);
}

void tst_VehicleStore::firstOpeningCreatesTheTable()
{
    VehicleStore store(Folder());
    QVERIFY(!QFile::exists(FilePath()));
    VERIFY_OK(store.Open());
    QVERIFY(store.IsOpen());
    QCOMPARE(store.AllNumbers().value.size(), 0);
    QCOMPARE(store.DistinctMarks().value, QStringList());

    const QSqlRecord columns = OtherStationConnection().record(u"car"_s);
    QStringList names;
    for (int i = 0; i < columns.count(); ++i)
        names << columns.fieldName(i).toLower();
    QCOMPARE(names,
        QStringList({ u"id"_s, u"federalnumber"_s, u"region"_s, u"mark"_s, u"ownertname"_s,
            u"ownerfname"_s, u"ownersname"_s, u"carcategory"_s }));
    if (!IsServer()) {
        QCOMPARE(FileBytes(FilePath()).left(16), QByteArray("SQLite format 3\0", 16));
        QSqlQuery mode(OtherStationConnection());
        QVERIFY(mode.exec(u"PRAGMA journal_mode"_s) && mode.next());
        QCOMPARE(mode.value(0).toString(), u"wal"_s);
    }

    // A later opening keeps what is there.
    VERIFY_OK(store.Append(Car(u"А001АА"_s)));
    VERIFY_OK(store.Open());
    QCOMPARE(store.AllNumbers().value.size(), 1);
}

void tst_VehicleStore::valuesStoredUnchanged_data()
{
    QTest::addColumn<CarRow>("row");
    QTest::newRow("quotes") << CarRow { 0, u"O'B\"1\""_s, u"77"_s, u"'Жигули'"_s, u"О'Коннор"_s,
        u"\"Пётр\""_s, u"`x`"_s, 32 };
    QTest::newRow("semicolons and SQL") << CarRow { 0, u"A1; DROP TABLE CAR; --"_s, u"1;2"_s,
        u"ГАЗ;'); DELETE FROM CAR; --"_s, u";"_s, u"--"_s, u"/* */"_s, 53 };
    QTest::newRow("Cyrillic") << CarRow { 0, u"е777кх"_s, u"199"_s, u"Лада Ёлка"_s,
        u"Щербаков-Ёжиков"_s, u"Юлия"_s, u"Эдуардовна"_s, 0 };
    QTest::newRow("empty names, wildcards")
        << CarRow { 0, u"%_\\"_s, u"05"_s, u"УАЗ"_s, u"Петров"_s, u""_s, u""_s, 38 + 16 };
}

void tst_VehicleStore::valuesStoredUnchanged()
{
    QFETCH(CarRow, row);
    VehicleStore store(Folder());
    VERIFY_OK(store.Open());
    VERIFY_OK(store.Append(Car(u"другой"_s)));
    VERIFY_OK(store.Append(row));

    const auto numbers = store.AllNumbers();
    QCOMPARE(numbers.value.size(), 2);
    QCOMPARE(numbers.value[1].FederalNumber, row.FederalNumber);
    const auto byId = store.FindById(numbers.value[1].ID);
    const auto byNumber = store.FindFirstByNumber(row.FederalNumber);
    QVERIFY(byId.value && byNumber.value);
    QVERIFY(SameColumns(*byId.value, row));
    QCOMPARE(byNumber.value->ID, numbers.value[1].ID);
    QVERIFY(store.DistinctMarks().value.contains(row.Mark));

    // Stored as the texts themselves (no NULL for an empty name).
    QSqlQuery raw(OtherStationConnection());
    QVERIFY(raw.exec(u"SELECT OwnerFName, Mark FROM CAR ORDER BY ID DESC"_s) && raw.next());
    QVERIFY(!raw.value(0).isNull());
    QCOMPARE(raw.value(1).toString(), row.Mark);
}

void tst_VehicleStore::listsInTableOrder()
{
    VehicleStore store(Folder());
    VERIFY_OK(store.Open());
    for (const auto &[number, mark] : { std::pair(u"В2"_s, u"ГАЗ"_s), std::pair(u"А1"_s, u"ВАЗ"_s),
             std::pair(u"Б3"_s, u"ГАЗ"_s), std::pair(u"Г4"_s, u"ГАЗ"_s) })
        VERIFY_OK(store.Append(Car(number, mark)));

    const QList<CarListEntry> entries = store.AllNumbers().value;
    QStringList numbers;
    for (const CarListEntry &entry : entries)
        numbers << entry.FederalNumber;
    QCOMPARE(numbers, QStringList({ u"В2"_s, u"А1"_s, u"Б3"_s, u"Г4"_s }));
    QList<qint64> sorted = Ids(entries);
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(Ids(entries), sorted);
    QVERIFY(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
    QStringList marks = store.DistinctMarks().value;
    marks.sort();
    QCOMPARE(marks, QStringList({ u"ВАЗ"_s, u"ГАЗ"_s }));
}

void tst_VehicleStore::firstOfDuplicatesUpdated()
{
    VehicleStore store(Folder());
    VERIFY_OK(store.Open());
    VERIFY_OK(store.Append(Car(u"Х100ХХ"_s, u"ВАЗ"_s, u"Первый"_s)));
    VERIFY_OK(store.Append(Car(u"Х100ХХ"_s, u"ВАЗ"_s, u"Второй"_s)));
    // Whole-value match only: no prefix, no other case.
    QVERIFY(!store.FindFirstByNumber(u"Х100Х"_s).value);
    QVERIFY(!store.FindFirstByNumber(u"х100хх"_s).value);

    std::optional<CarRow> first = store.FindFirstByNumber(u"Х100ХХ"_s).value;
    QVERIFY(first);
    QCOMPARE(first->OwnerTName, u"Первый"_s);
    first->OwnerTName = u"Исправленный"_s;
    first->CarCategory = 0;
    VERIFY_OK(store.Update(*first));

    const QList<qint64> ids = Ids(store.AllNumbers().value);
    QCOMPARE(ids.size(), 2);
    QCOMPARE(store.FindById(ids[0]).value->OwnerTName, u"Исправленный"_s);
    QCOMPARE(store.FindById(ids[0]).value->CarCategory, 0);
    QCOMPARE(store.FindById(ids[1]).value->OwnerTName, u"Второй"_s);

    // A row deleted by someone else cannot be updated, and says so.
    QVERIFY(Exec(u"DELETE FROM CAR"_s));
    QVERIFY(store.Update(*first).error.contains(u"ID %1"_s.arg(first->ID)));
}

void tst_VehicleStore::secondStationWritesAtTheSameTime()
{
    VehicleStore mine(Folder());
    VehicleStore other(Folder());
    mine.SetBusyTimeout(300ms);
    VERIFY_OK(mine.Open());
    VERIFY_OK(other.Open());
    VERIFY_OK(other.Append(Car(u"ДРУГОЙ1"_s)));
    VERIFY_OK(mine.Append(Car(u"МОЙ1"_s)));
    QCOMPARE(mine.AllNumbers().value.size(), 2);
    QCOMPARE(other.FindFirstByNumber(u"МОЙ1"_s).value->FederalNumber, u"МОЙ1"_s);

    // Another program holds the write lock: reading goes on, a write waits for
    // the time-out and then fails with the database's words.
    QVERIFY(Exec(!IsServer() ? u"BEGIN IMMEDIATE"_s : u"BEGIN"_s));
    if (IsServer())
        QVERIFY(Exec(u"LOCK TABLE CAR IN EXCLUSIVE MODE"_s));
    QVERIFY(Exec(u"INSERT INTO CAR (FederalNumber) VALUES ('ЗАНЯТО')"_s));
    QVERIFY(mine.FindFirstByNumber(u"ДРУГОЙ1"_s).value);
    QElapsedTimer waited;
    waited.start();
    const StoreStatus locked = mine.Append(Car(u"МОЙ2"_s));
    QVERIFY2(locked.error.contains(!IsServer() ? u"database is locked"_s : u"lock timeout"_s),
        qPrintable(locked.error));
    QVERIFY(waited.elapsed() >= 250);
    QVERIFY(Exec(u"COMMIT"_s));
    VERIFY_OK(mine.Append(Car(u"МОЙ2"_s)));
    QCOMPARE(mine.AllNumbers().value.size(), 4);
}

void tst_VehicleStore::missingTable()
{
    VehicleStore store(Folder());
    VERIFY_OK(store.Open());
    QVERIFY(Exec(u"DROP TABLE CAR"_s));
    const StoreStatus append = store.Append(Car(u"Б/Т"_s));
    QVERIFY2(append.error.contains(
                 !IsServer() ? u"no such table: CAR"_s : u"relation \"car\" does not exist"_s),
        qPrintable(append.error));
    QVERIFY(!store.AllNumbers().Ok());
    VERIFY_OK(store.Open()); // the next opening creates it again
    VERIFY_OK(store.Append(Car(u"Б/Т"_s)));
}

void tst_VehicleStore::readOnlyFile()
{
    if (IsServer())
        QSKIP("a file of its own");
    {
        VehicleStore store(Folder());
        VERIFY_OK(store.Open());
        VERIFY_OK(store.Append(Car(u"Р001РР"_s)));
    }
    QVERIFY(QFile::setPermissions(FilePath(), QFile::ReadOwner | QFile::ReadGroup));
    const QByteArray before = FileBytes(FilePath());

    VehicleStore store(Folder());
    VERIFY_OK(store.Open());
    const QList<CarListEntry> entries = store.AllNumbers().value;
    QCOMPARE(entries.size(), 1);
    CarRow row = *store.FindById(entries[0].ID).value;
    row.Mark = u"Волга"_s;
    QVERIFY(store.Update(row).error.startsWith(u"attempt to write a readonly database"_s));
    QVERIFY(store.Append(Car(u"Р002РР"_s)).error.contains(u"readonly"_s));
    store.Close();
    QCOMPARE(FileBytes(FilePath()), before);
}

void tst_VehicleStore::foreignFileUntouched_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    QByteArray jet = QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(2000, 'j');
    QByteArray ace
        = QByteArray("\x00\x01\x00\x00Standard ACE DB\x00", 20) + QByteArray(4096, '\x7f');
    const QString access = u"— база данных Microsoft Access от прежней версии программы"_s;
    const QString other = u"не является базой данных автомобилей (SQLite)"_s;
    QTest::newRow("Access 97-2003") << jet << access;
    QTest::newRow("Access 2007") << ace << access;
    QTest::newRow("text") << QByteArray("FederalNumber;Region\nА001АА;77\n") << other;
    QTest::newRow("cut SQLite header") << QByteArray("SQLite form") << other;
}

void tst_VehicleStore::foreignFileUntouched()
{
    if (IsServer())
        QSKIP("a file of its own");
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    QFile file(FilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    VehicleStore store(Folder());
    for (int opening = 0; opening < 2; ++opening) {
        const StoreStatus status = store.Open();
        QVERIFY2(status.error.contains(u"«%1»"_s.arg(FilePath())), qPrintable(status.error));
        QVERIFY2(status.error.contains(problem), qPrintable(status.error));
        QVERIFY(status.error.contains(u"Файл оставлен без изменений."_s));
        QVERIFY(!store.IsOpen());
        QCOMPARE(store.Append(Car(u"А1"_s)).error, status.error);
        QCOMPARE(store.AllNumbers().error, status.error);
    }
    QCOMPARE(FileBytes(FilePath()), bytes);
    QCOMPARE(QDir(Folder()).entryList(QDir::Files), QStringList { u"Cars.mdb"_s });
}

void tst_VehicleStore::unknownDriverNamed()
{
    if (IsServer())
        QSKIP("settings only");
    QSettings(QDir(Folder()).filePath(u"KAVRO02.ini"_s), QSettings::IniFormat)
        .setValue(u"Database/Driver"_s, u"QODBC"_s);
    VehicleStore store(Folder());
    QVERIFY(store.Open().error.contains(u"указан драйвер базы данных «QODBC»"_s));
    QVERIFY(!QFile::exists(FilePath()));
}

void tst_VehicleStore::serverStoppedAndBack()
{
    if (!IsServer())
        QSKIP("a server of its own");
    VehicleStore store(Folder());
    VERIFY_OK(store.Open());
    VERIFY_OK(store.Append(Car(u"С1"_s)));

    // Stopped in the middle: every operation reports the failure.
    QVERIFY2(Server().Stop(), qPrintable(Server().Error()));
    const StoreStatus append = store.Append(Car(u"С2"_s));
    QVERIFY2(append.error.contains(u"terminating connection"_s), qPrintable(append.error));
    QCOMPARE(store.FindFirstByNumber(u"С1"_s).error,
        u"Соединение с базой данных автомобилей (база «postgres» на сервере %1:%2) разорвано."_s
            .arg(Server().SocketFolder())
            .arg(Server().Port()));
    // Down at the opening: the message names the server and the reason.
    const StoreStatus opening = store.Open();
    QVERIFY2(opening.error.contains(Server().SocketFolder())
            && opening.error.contains(u"Не удалось открыть базу данных автомобилей"_s),
        qPrintable(opening.error));
    QCOMPARE(store.AllNumbers().error, opening.error);

    // Back again: the next opening works, without the failed row.
    QVERIFY2(Server().Start(), qPrintable(Server().Error()));
    VERIFY_OK(store.Open());
    const QList<CarListEntry> entries = store.AllNumbers().value;
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].FederalNumber, u"С1"_s);
}

void tst_VehicleStore::loginRefused()
{
    if (!IsServer())
        QSKIP("a server of its own");
    QSettings(QDir(Folder()).filePath(u"KAVRO02.ini"_s), QSettings::IniFormat)
        .setValue(u"Database/Password"_s, u"wrong"_s);
    VehicleStore store(Folder());
    const StoreStatus status = store.Open();
    QVERIFY2(status.error.contains(u"password authentication failed for user \"kavro\""_s),
        qPrintable(status.error));
    QVERIFY(!store.IsOpen());
}

QTEST_GUILESS_MAIN(tst_VehicleStore)
#include "tst_vehiclestore.moc"
