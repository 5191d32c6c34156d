// The idle-speed measurement without its window: the speed instructions that
// follow the engine speed gauge, and the reset for a new vehicle.

#include "inspection/measurementprocedure.h"
#include "support/fakemeasurementhost.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavro;

class tst_Measurement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void instructionFollowsTheSpeedGauge_data();
    void instructionFollowsTheSpeedGauge();
    void newVehicleClearsOnlyTheFlags();
};

void tst_Measurement::instructionFollowsTheSpeedGauge_data()
{
    QTest::addColumn<double>("lowLimit");
    QTest::addColumn<double>("highLimit");
    QTest::addColumn<double>("maxValue");
    QTest::addColumn<QString>("minimumIdle");
    QTest::addColumn<QString>("increasedIdle");

    // The engine speed limits of each category class.
    QTest::newRow("made before 01.10.1986")
        << 900.0 << 900.0 << 9999.0 << u"100-900"_s << u"900-9999"_s;
    QTest::newRow("M1/N1 without after-treatment")
        << 1100.0 << 2500.0 << 9999.0 << u"100-1100"_s << u"2500-9999"_s;
    QTest::newRow("M1/N1 with after-treatment")
        << 1100.0 << 2000.0 << 9999.0 << u"100-1100"_s << u"2000-9999"_s;
    QTest::newRow("M2, M3, N2, N3") << 900.0 << 2000.0 << 9999.0 << u"100-900"_s << u"2000-9999"_s;
    // Whole numbers to the nearest, halves to the even neighbour.
    QTest::newRow("halves to even") << 900.5 << 2001.5 << 9998.5 << u"100-900"_s << u"2002-9998"_s;
    QTest::newRow("nearest") << 1099.7 << 2000.2 << 9999.49 << u"100-1100"_s << u"2000-9999"_s;
}

void tst_Measurement::instructionFollowsTheSpeedGauge()
{
    QFETCH(double, lowLimit);
    QFETCH(double, highLimit);
    QFETCH(double, maxValue);
    QFETCH(QString, minimumIdle);
    QFETCH(QString, increasedIdle);

    const QString text
        = u"Установите частоту вращения коленчатого вала двигателя в пределах %1 об/мин."_s;
    test::FakeMeasurementHost host;
    host.SetSpeedScale(lowLimit, highLimit, maxValue);
    MeasurementProcedure procedure(host);
    procedure.Start();
    QCOMPARE(procedure.PhaseHeading(), u"Измерение на минимальных оборотах"_s);
    QCOMPARE(procedure.Instruction(), text.arg(minimumIdle));
    QVERIFY(!procedure.Remember(AfterAdjustment));
    QCOMPARE(procedure.PhaseHeading(), u"Измерение на максимальных оборотах"_s);
    QCOMPARE(procedure.Instruction(), text.arg(increasedIdle));
}

void tst_Measurement::newVehicleClearsOnlyTheFlags()
{
    test::FakeMeasurementHost host;
    MeasurementProcedure procedure(host);
    for (AdjustmentKind adjustment : { BeforeAdjustment, AfterAdjustment }) {
        host.shown.fill(int(adjustment) + 1.5);
        procedure.Start();
        procedure.Remember(adjustment);
        QVERIFY(procedure.Remember(adjustment));
    }
    const MeasurementResults stored = procedure.Results();
    QVERIFY(stored.BeforeAdjustmentDone && stored.AfterAdjustmentDone);
    QVERIFY(host.printEnabled);

    procedure.ResetForNewVehicle();
    QVERIFY(!procedure.Results().BeforeAdjustmentDone);
    QVERIFY(!procedure.Results().AfterAdjustmentDone);
    QCOMPARE(host.printEnabledCalls.constLast(), false);
    QCOMPARE(procedure.Results().Readings, stored.Readings);
    QCOMPARE(procedure.Results().Readings[AfterAdjustment][MinimumIdle][qnTemperature], 2.5);
}

QTEST_GUILESS_MAIN(tst_Measurement)
#include "tst_measurement.moc"
