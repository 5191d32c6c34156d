#include "inspection/vehiclecategory.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavro;

// The category code and the gauge scales it sets.
class tst_VehicleCategory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encoding_data();
    void encoding();
    void incompleteChoiceHasNoCode();
    void decodingOtherCodes_data();
    void decodingOtherCodes();
    void scales_data();
    void scales();
    void afterTreatmentField24KeepsCategoryScales();
};

void tst_VehicleCategory::encoding_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("treatment");
    QTest::addColumn<int>("code");

    const char *names[] = { "M1", "M2", "M3", "N1", "N2", "N3" };
    const int base[] = { 32, 33, 34, 36, 37, 38 };
    const char *treatments[] = { "none", "two-component", "three-component" };
    for (int c = 0; c < 6; ++c)
        for (int t = 0; t < 3; ++t)
            QTest::addRow("%s, %s", names[c], treatments[t]) << c << t << base[c] + 8 * t;
}

// Every choice of the dialog has its code, which gives the choice back.
void tst_VehicleCategory::encoding()
{
    QFETCH(int, category);
    QFETCH(int, treatment);
    QFETCH(int, code);

    const CategoryChoice choice { true, category, treatment };
    QCOMPARE(EncodeVehicleCategory(choice), code);
    QCOMPARE(DecodeVehicleCategory(code), choice);
}

void tst_VehicleCategory::incompleteChoiceHasNoCode()
{
    QCOMPARE(EncodeVehicleCategory({ false, -1, -1 }), 0);
    QCOMPARE(EncodeVehicleCategory({ false, 4, 2 }), 0); // the date decides
    QCOMPARE(EncodeVehicleCategory({ true, 4, -1 }), -1);
    QCOMPARE(EncodeVehicleCategory({ true, -1, 2 }), -1);
    QCOMPARE(EncodeVehicleCategory({ true, 6, 0 }), -1);
}

void tst_VehicleCategory::decodingOtherCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<CategoryChoice>("choice");

    QTest::newRow("-1, not chosen") << -1 << CategoryChoice {};
    QTest::newRow("0") << 0 << CategoryChoice {};
    QTest::newRow("1, from an old database") << 1 << CategoryChoice {};
    QTest::newRow("31") << 31 << CategoryChoice {};
    QTest::newRow("after-treatment field 3") << 32 + 24 + 1 << CategoryChoice { true, 1, -1 };
    QTest::newRow("class N, number 3") << 32 + 4 + 3 << CategoryChoice { true, -1, 0 };
}

void tst_VehicleCategory::decodingOtherCodes()
{
    QFETCH(int, code);
    QFETCH(CategoryChoice, choice);
    QCOMPARE(DecodeVehicleCategory(code), choice);
}

void tst_VehicleCategory::scales_data()
{
    QTest::addColumn<int>("code");
    // CO low, high; CH low, high; engine speed low, high
    QTest::addColumn<QList<double>>("limits");

    QTest::newRow("before 01.10.1986") << 0 << QList<double> { 4.5, 4.5, 600, 600, 900, 900 };
    QTest::newRow("code 17 reads as before 01.10.1986")
        << 17 << QList<double> { 4.5, 4.5, 600, 600, 900, 900 };
    QTest::newRow("not chosen reads as before 01.10.1986")
        << -1 << QList<double> { 4.5, 4.5, 600, 600, 900, 900 };
    QTest::newRow("M1, none") << 32 << QList<double> { 2.0, 3.5, 600, 1200, 1100, 2500 };
    QTest::newRow("N1, two-component") << 44 << QList<double> { 0.6, 1.0, 200, 400, 1100, 2000 };
    QTest::newRow("M1, three-component") << 48 << QList<double> { 0.3, 0.5, 100, 100, 1100, 2000 };
    QTest::newRow("N3, none") << 38 << QList<double> { 2.0, 3.5, 1000, 2500, 900, 2000 };
    QTest::newRow("M2, two-component") << 41 << QList<double> { 3.5, 3.5, 250, 1200, 900, 2000 };
    QTest::newRow("N2, three-component") << 53 << QList<double> { 0.3, 0.3, 200, 200, 900, 2000 };
    QTest::newRow("M3, three-component") << 50 << QList<double> { 0.3, 0.3, 200, 200, 900, 2000 };
}

void tst_VehicleCategory::scales()
{
    QFETCH(int, code);
    QFETCH(QList<double>, limits);

    const GaugeScales scales = ScalesForCategory(code, GaugeScales {});
    QCOMPARE(scales[qnCO], (GaugeScale { 7, limits[0], limits[1] }));
    QCOMPARE(scales[qnCH], (GaugeScale { 3000, limits[2], limits[3] }));
    QCOMPARE(scales[qnEngineSpeed], (GaugeScale { 9999, limits[4], limits[5] }));
    QCOMPARE(scales[qnCO2], (GaugeScale { 15.5, 14, 14 }));
    QCOMPARE(scales[qnO2], (GaugeScale { 22, 3, 3 }));
    QCOMPARE(scales[qnLambda], (GaugeScale { 2, 0.8, 1.2 }));
    QCOMPARE(scales[qnTemperature], (GaugeScale { 99.99, 80, 80 }));
}

void tst_VehicleCategory::afterTreatmentField24KeepsCategoryScales()
{
    GaugeScales previous {};
    previous[qnCO] = { 7, 0.6, 1.0 };
    previous[qnCH] = { 3000, 200, 400 };
    previous[qnEngineSpeed] = { 9999, 1100, 2000 };
    previous[qnO2] = { 1, 2, 3 };

    const GaugeScales scales = ScalesForCategory(32 + 24 + 4, previous);

    QCOMPARE(scales[qnCO], previous[qnCO]);
    QCOMPARE(scales[qnCH], previous[qnCH]);
    QCOMPARE(scales[qnEngineSpeed], previous[qnEngineSpeed]);
    QCOMPARE(scales[qnO2], (GaugeScale { 22, 3, 3 }));
    QCOMPARE(scales[qnTemperature], (GaugeScale { 99.99, 80, 80 }));
}

QTEST_GUILESS_MAIN(tst_VehicleCategory)
#include "tst_vehiclecategory.moc"
