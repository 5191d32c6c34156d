// The inspection archive on both back ends (the SQLite file Cars.mdb and a
// PostgreSQL server the test starts): what a completed measurement stores,
// how a registration's later measurements update it, the list's filters and
// pages, and a database that refuses to be written.

#include "inspection/archivedreportsource.h"
#include "inspection/inspectionarchive.h"
#include "inspection/inspectionrecorder.h"
#include "support/fakemeasurementhost.h"
#include "support/registerbackends.h"
#include "support/testfiles.h"
#include "support/verifyok.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::StandardTemplate;
using kavro::test::WriteFile;

namespace {

using Values = MeasurementResults::QuantityValues;

// The main window of an N1 with three-component after-treatment, measured
// before and after adjustment.
void SetUpN1ThreeComponent(test::FakeMeasurementHost &host, MeasurementResults &results)
{
    host.SetCategory(36 + 16);
    results.Readings[BeforeAdjustment][MinimumIdle]
        = Values { 1.25, 150, 13.9, 1.1, 0.95, 810, 78 };
    results.Readings[BeforeAdjustment][IncreasedIdle]
        = Values { 0.9, 130, 14.1, 0.9, 1.07, 2150, 80.5 };
    results.Readings[AfterAdjustment][MinimumIdle] = Values { 0.8, 95, 14.4, 0.6, 1.01, 830, 84 };
    results.Readings[AfterAdjustment][IncreasedIdle]
        = Values { 0.123456789012345, 99.5, 14.6, 0.5, 1.02, 2230, 85.25 };
    results.BeforeAdjustmentDone = true;
    results.AfterAdjustmentDone = true;
    host.results = &results;
}

const VehicleRecord Vehicle { u"А123ВС"_s, 77, u"Лада 'Гранта'; DROP TABLE CAR"_s, u"О'Коннор"_s,
    u"Пётр"_s, u""_s, 36 + 16 };

InspectionRecord Inspection(const QString &number, const QDateTime &at, bool passed = true)
{
    InspectionRecord record;
    record.inspectedAt = at;
    record.vehicle = { number, 50, u"ГАЗ-3110"_s, u"Иванов"_s, u"Иван"_s, u"Иванович"_s, 33 };
    record.categoryCode = 33;
    record.results.AfterAdjustmentDone = true;
    record.verdict = { passed, passed ? u"соответствует"_s : u"не соответствует"_s, {} };
    return record;
}

QStringList Numbers(const QList<InspectionListEntry> &entries)
{
    QStringList numbers;
    for (const InspectionListEntry &entry : entries)
        numbers << entry.federalNumber;
    return numbers;
}

} // namespace

class tst_InspectionArchive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { test::RegisterBackEnds::AddRows(); }
    void initTestCase();
    void init();
    void cleanup() { backEnds_.Finish(); }

    void completeInspectionStoredAndReopened();
    void laterMeasurementsUpdateTheRegistrationsInspection();
    void storedReportKeepsItsTemplate();
    void filterAndPages();
    void readOnlyDatabaseRefuses();

private:
    QString Folder() const { return backEnds_.Folder(); }

    test::RegisterBackEnds backEnds_;
};

void tst_InspectionArchive::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void tst_InspectionArchive::init()
{
    QFETCH_GLOBAL(QString, backEnd);
    PREPARE_BACK_END(backEnds_, backEnd);
    QVERIFY(WriteFile(QDir(Folder()).filePath(u"template.rtf"_s), StandardTemplate()));
}

void tst_InspectionArchive::completeInspectionStoredAndReopened()
{
    test::FakeMeasurementHost host;
    MeasurementResults results;
    SetUpN1ThreeComponent(host, results);
    const QDateTime at(QDate(2026, 12, 8), QTime(10, 15, 30, 250));

    InspectionRecorder recorder(Folder());
    recorder.VehicleRegistered(Vehicle);
    const std::optional<RecordingOutcome> outcome = recorder.MeasurementCompleted(host, at);
    QVERIFY(outcome);
    VERIFY_OK(outcome->stored);
    QCOMPARE(outcome->verdict,
        (InspectionVerdict {
            false, u"не соответствует"_s, { u"CO на минимальных оборотах 0,80 % > 0,30 %"_s } }));
    QVERIFY(recorder.CurrentInspectionId() > 0);

    InspectionArchive archive(Folder());
    VERIFY_OK(archive.Open(false));
    const auto loaded = archive.Load(recorder.CurrentInspectionId());
    VERIFY_OK(loaded);
    QVERIFY(loaded.value);
    const InspectionRecord &record = *loaded.value;
    QCOMPARE(record.ID, recorder.CurrentInspectionId());
    QCOMPARE(record.inspectedAt, at);
    QCOMPARE(record.vehicle.Mark, Vehicle.Mark);
    QCOMPARE(record.vehicle.FederalNumber, Vehicle.FederalNumber);
    QCOMPARE(record.vehicle.Region, 77);
    QCOMPARE(record.vehicle.OwnerTName, Vehicle.OwnerTName);
    QCOMPARE(record.vehicle.OwnerFName, Vehicle.OwnerFName);
    QCOMPARE(record.vehicle.OwnerSName, QString());
    QCOMPARE(record.categoryCode, 52);
    // All 28 readings to the last bit, and both flags.
    for (int adjustment = 0; adjustment < 2; ++adjustment)
        for (int phase = 0; phase < 2; ++phase)
            QCOMPARE(
                record.results.Readings[adjustment][phase], results.Readings[adjustment][phase]);
    QVERIFY(record.results.BeforeAdjustmentDone && record.results.AfterAdjustmentDone);
    const VerdictLimits limits { { 7, 0.3, 0.5 }, { 3000, 100, 100 }, { 9999, 1100, 2000 } };
    QCOMPARE(record.limits, limits);
    QCOMPARE(record.verdict, outcome->verdict);
    QCOMPARE(record.templateRtf, StandardTemplate());

    // One row, its number searchable; the register's own table is there too.
    QCOMPARE(
        backEnds_.Column(u"SELECT NumberKey FROM INSPECTION"_s), QVariantList { u"А123ВС77"_s });
    QCOMPARE(backEnds_.Column(u"SELECT COUNT(*) FROM CAR"_s).value(0).toInt(), 0);
    QCOMPARE(backEnds_.Column(u"SELECT COUNT(*) FROM INSPECTION_TEMPLATE"_s).value(0).toInt(), 1);
    QStringList indexes;
    const QVariantList names = backEnds_.Column(backEnds_.IsServer()
            ? u"SELECT indexname FROM pg_indexes WHERE tablename = 'inspection'"_s
            : u"SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'INSPECTION'"_s);
    for (const QVariant &name : names)
        indexes << name.toString().toLower();
    for (const QString &index : { u"inspection_inspectedat"_s, u"inspection_numberkey"_s })
        QVERIFY2(indexes.contains(index), qPrintable(indexes.join(u' ')));

    // The report's view of it gives back what the main window gave.
    ArchivedReportSource source;
    source.SetInspection(record);
    QCOMPARE(source.ReportTime(), std::optional<QDateTime>(at));
    QCOMPARE(source.Verdict(), outcome->verdict);
    QCOMPARE(source.GaugeScaleValue(gsHighLimit, qnCO), 0.5);
    QCOMPARE(source.GaugeScaleValue(gsMaxValue, qnEngineSpeed), 9999.0);
    QCOMPARE(source.GaugeScaleValue(gsLowLimit, qnO2), 0.0);
    QCOMPARE(CollectReportInputs(Vehicle, source, QDateTime()).fillingTime, at);
}

void tst_InspectionArchive::laterMeasurementsUpdateTheRegistrationsInspection()
{
    test::FakeMeasurementHost host;
    MeasurementResults results;
    SetUpN1ThreeComponent(host, results);
    results.AfterAdjustmentDone = false;
    InspectionRecorder recorder(Folder());
    const QDateTime first(QDate(2026, 12, 8), QTime(10, 0));
    recorder.VehicleRegistered(Vehicle);

    // Before adjustment only: no inspection yet.
    QVERIFY(!recorder.MeasurementCompleted(host, first));
    QCOMPARE(recorder.CurrentInspectionId(), 0);

    results.AfterAdjustmentDone = true;
    VERIFY_OK(recorder.MeasurementCompleted(host, first)->stored);
    const qint64 id = recorder.CurrentInspectionId();

    // Measured again after adjustment: the same row, with the new values.
    results.Readings[AfterAdjustment][MinimumIdle][qnCO] = 0.25;
    const std::optional<RecordingOutcome> again
        = recorder.MeasurementCompleted(host, first.addSecs(300));
    VERIFY_OK(again->stored);
    QVERIFY(again->verdict.passed);
    QCOMPARE(recorder.CurrentInspectionId(), id);
    QCOMPARE(backEnds_.Column(u"SELECT ID FROM INSPECTION"_s), QVariantList { id });
    QCOMPARE(backEnds_.Column(u"SELECT AfterMinCO FROM INSPECTION"_s).value(0).toDouble(), 0.25);
    QCOMPARE(backEnds_.Column(u"SELECT Passed FROM INSPECTION"_s).value(0).toInt(), 1);
    QCOMPARE(backEnds_.Column(u"SELECT InspectedAt FROM INSPECTION"_s).value(0).toString(),
        u"2026-12-08 10:05:00.000"_s);

    // Someone deleted it meanwhile: it is written anew rather than lost.
    QVERIFY(backEnds_.Exec(u"DELETE FROM INSPECTION"_s));
    VERIFY_OK(recorder.MeasurementCompleted(host, first.addSecs(400))->stored);
    QVERIFY(recorder.CurrentInspectionId() != id);
    const qint64 rewritten = recorder.CurrentInspectionId();

    // The next registration starts a new inspection; the old one stays.
    VehicleRecord next = Vehicle;
    next.FederalNumber = u"В777ОР"_s;
    recorder.VehicleRegistered(next);
    QCOMPARE(recorder.CurrentInspectionId(), 0);
    VERIFY_OK(recorder.MeasurementCompleted(host, first.addSecs(600))->stored);
    QVERIFY(recorder.CurrentInspectionId() > rewritten);
    QCOMPARE(backEnds_.Column(u"SELECT FederalNumber FROM INSPECTION ORDER BY ID"_s),
        (QVariantList { u"А123ВС"_s, u"В777ОР"_s }));
}

void tst_InspectionArchive::storedReportKeepsItsTemplate()
{
    test::FakeMeasurementHost host;
    MeasurementResults results;
    SetUpN1ThreeComponent(host, results);
    const QString templatePath = QDir(Folder()).filePath(u"template.rtf"_s);
    const QDateTime at(QDate(2026, 12, 9), QTime(9, 0));

    InspectionRecorder recorder(Folder());
    InspectionArchive archive(Folder());
    QList<qint64> ids;
    const auto measure = [&] {
        recorder.VehicleRegistered(Vehicle);
        const std::optional<RecordingOutcome> outcome = recorder.MeasurementCompleted(host, at);
        ids << recorder.CurrentInspectionId();
        return outcome && outcome->stored.Ok();
    };
    // Two inspections with the same template keep it once.
    QVERIFY(measure());
    QVERIFY(measure());
    QCOMPARE(backEnds_.Column(u"SELECT COUNT(*) FROM INSPECTION_TEMPLATE"_s).value(0).toInt(), 1);

    // A later template does not change what the stored ones print.
    QByteArray edited = StandardTemplate();
    edited.replace("\\'cd\\'e0\\'f1\\'f2\\'f0\\'ee\\'e9\\'f9\\'e8\\'ea", "Master");
    QVERIFY(WriteFile(templatePath, edited));
    QVERIFY(measure());
    // A template that does not fill is not kept: that report takes the file of its moment.
    QVERIFY(
        WriteFile(templatePath, QByteArray(StandardTemplate()).replace("#{\\lang1033 L31}#", "")));
    QVERIFY(measure());
    // Nor is a missing one.
    QVERIFY(QFile::remove(templatePath));
    QVERIFY(measure());

    VERIFY_OK(archive.Open(false));
    const QList<QByteArray> expected { StandardTemplate(), StandardTemplate(), edited, {}, {} };
    for (qsizetype index = 0; index < ids.size(); ++index)
        QCOMPARE(archive.Load(ids[index]).value->templateRtf, expected[index]);
    QCOMPARE(backEnds_.Column(u"SELECT COUNT(*) FROM INSPECTION_TEMPLATE"_s).value(0).toInt(), 2);
    QVERIFY(!archive.Load(ids.constLast() + 1000).value);
}

void tst_InspectionArchive::filterAndPages()
{
    InspectionArchive archive(Folder());
    // A reader of a database without the archive sees it empty and creates nothing.
    VERIFY_OK(archive.Open(false));
    QCOMPARE(archive.List({}, {}, 10).value.size(), 0);
    QCOMPARE(archive.Count({}).value, 0);
    QVERIFY(!backEnds_.Other().tables().contains(u"inspection"_s, Qt::CaseInsensitive));

    VERIFY_OK(archive.Open(true));
    const QDate day(2026, 3, 10);
    // Stored out of order; two at the same moment.
    const QList<std::pair<QString, QDateTime>> stored = {
        { u"А123ВС"_s, QDateTime(day, QTime(9, 0)) },
        { u"В456ОР"_s, QDateTime(day.addDays(-1), QTime(23, 59, 59, 999)) },
        { u"А124ВС"_s, QDateTime(day.addDays(1), QTime(0, 0)) },
        { u"Х100%_"_s, QDateTime(day, QTime(12, 0)) },
        { u"К001КК"_s, QDateTime(day, QTime(12, 0)) },
        { u"М1"_s, QDateTime(day.addDays(30), QTime(8, 0)) },
    };
    for (const auto &[number, at] : stored)
        VERIFY_OK(archive.Save(Inspection(number, at)));

    const auto list = [&](const InspectionFilter &filter) {
        return Numbers(archive.List(filter, {}, 100).value);
    };
    // Newest first; at the same moment the later stored first.
    QCOMPARE(list({}),
        QStringList({ u"М1"_s, u"А124ВС"_s, u"К001КК"_s, u"Х100%_"_s, u"А123ВС"_s, u"В456ОР"_s }));
    // Part of the number (with the region), in any case, Latin look-alikes, blanks.
    QCOMPARE(list({ u"12"_s, {}, {} }), QStringList({ u"А124ВС"_s, u"А123ВС"_s }));
    QCOMPARE(list({ u"a 123 bc"_s, {}, {} }), QStringList({ u"А123ВС"_s }));
    QCOMPARE(list({ u"вс50"_s, {}, {} }), QStringList({ u"А124ВС"_s, u"А123ВС"_s }));
    // LIKE's wildcards are plain characters.
    QCOMPARE(list({ u"%_"_s, {}, {} }), QStringList({ u"Х100%_"_s }));
    QCOMPARE(list({ u"_"_s, {}, {} }), QStringList({ u"Х100%_"_s }));
    // Whole days, both ends included.
    QCOMPARE(list({ {}, day, day }), QStringList({ u"К001КК"_s, u"Х100%_"_s, u"А123ВС"_s }));
    QCOMPARE(list({ {}, day.addDays(-1), day.addDays(1) }).size(), 5);
    QCOMPARE(list({ {}, day.addDays(1), {} }), QStringList({ u"М1"_s, u"А124ВС"_s }));
    QCOMPARE(list({ {}, {}, day.addDays(-1) }), QStringList({ u"В456ОР"_s }));
    QCOMPARE(list({ u"А12"_s, day, day }), QStringList({ u"А123ВС"_s }));
    QCOMPARE(archive.Count({ u"А12"_s, {}, {} }).value, 2);
    QCOMPARE(archive.Count({}).value, 6);

    // Pages continue after the last entry shown, also between equal moments.
    QStringList paged;
    std::optional<InspectionListPosition> after;
    for (;;) {
        const QList<InspectionListEntry> page = archive.List({}, after, 2).value;
        if (page.isEmpty())
            break;
        paged += Numbers(page);
        after = InspectionListPosition { page.constLast().inspectedAt, page.constLast().ID };
    }
    QCOMPARE(paged, list({}));

    const InspectionListEntry first = archive.List({ u"А123"_s, {}, {} }, {}, 1).value.at(0);
    QCOMPARE(first.region, 50);
    QCOMPARE(first.owner, u"Иванов Иван Иванович"_s);
    QCOMPARE(first.mark, u"ГАЗ-3110"_s);
    QCOMPARE(first.categoryCode, 33);
    QCOMPARE(first.verdictText, u"соответствует"_s);
    QCOMPARE(first.inspectedAt, QDateTime(day, QTime(9, 0)));
}

void tst_InspectionArchive::readOnlyDatabaseRefuses()
{
    test::FakeMeasurementHost host;
    MeasurementResults results;
    SetUpN1ThreeComponent(host, results);
    const QDateTime at(QDate(2026, 12, 8), QTime(11, 0));
    InspectionRecorder recorder(Folder());
    recorder.VehicleRegistered(Vehicle);
    VERIFY_OK(recorder.MeasurementCompleted(host, at)->stored);

    QVERIFY(backEnds_.MakeReadOnly());
    const QString refusal
        = backEnds_.IsServer() ? u"read-only transaction"_s : u"readonly database"_s;
    // Measured again, and another vehicle: both refused with the database's words.
    results.Readings[AfterAdjustment][MinimumIdle][qnCO] = 0.1;
    std::optional<RecordingOutcome> again = recorder.MeasurementCompleted(host, at.addSecs(60));
    QVERIFY2(again->stored.error.contains(refusal), qPrintable(again->stored.error));
    QVERIFY(again->verdict.passed); // decided all the same
    recorder.VehicleRegistered({ u"Е001ЕЕ"_s, 1, u"УАЗ"_s, u"Ким"_s, {}, {}, 32 });
    again = recorder.MeasurementCompleted(host, at.addSecs(120));
    QVERIFY2(again->stored.error.contains(refusal), qPrintable(again->stored.error));

    InspectionArchive archive(Folder());
    VERIFY_OK(archive.Open(false));
    const QList<InspectionListEntry> entries = archive.List({}, {}, 10).value;
    QCOMPARE(entries.size(), 1);
    QCOMPARE(
        archive.Load(entries[0].ID).value->results.Readings[AfterAdjustment][MinimumIdle][qnCO],
        0.8);
}

QTEST_GUILESS_MAIN(tst_InspectionArchive)
#include "tst_inspectionarchive.moc"
