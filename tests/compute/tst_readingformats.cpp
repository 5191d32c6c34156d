#include "compute/currentreadings.h"
#include "compute/numberformat.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;
using namespace kavro;

// Number texts under a Russian locale, and the limits of the shown values.
class tst_ReadingFormats : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void quantityFormats_data();
    void quantityFormats();
    void generalForm_data();
    void generalForm();
    void followsTheDefaultLocale();
    void shownValuesAreLimited_data();
    void shownValuesAreLimited();
};

void tst_ReadingFormats::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void tst_ReadingFormats::quantityFormats_data()
{
    QTest::addColumn<int>("quantity");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("CO 1.234") << int(qnCO) << 1.234 << u"1,23"_s;
    QTest::newRow("CO top of range") << int(qnCO) << 7.0 << u"7,00"_s;
    QTest::newRow("CH 56, padded") << int(qnCH) << 56.0 << u"  56"_s;
    QTest::newRow("CH 2999.6 rounds up") << int(qnCH) << 2999.6 << u"3000"_s;
    QTest::newRow("CO2 14.5") << int(qnCO2) << 14.5 << u"14,5"_s;
    QTest::newRow("CO2 0") << int(qnCO2) << 0.0 << u" 0,0"_s;
    QTest::newRow("O2 0.5, five wide") << int(qnO2) << 0.5 << u" 0,50"_s;
    QTest::newRow("λ 1.005 (below the half in binary)") << int(qnLambda) << 1.005 << u"1,00"_s;
    QTest::newRow("engine speed 850") << int(qnEngineSpeed) << 850.0 << u" 850"_s;
    QTest::newRow("engine speed 9999") << int(qnEngineSpeed) << 9999.0 << u"9999"_s;
    QTest::newRow("temperature 85.3") << int(qnTemperature) << 85.3 << u"85,30"_s;
    QTest::newRow("negative zero reads as zero") << int(qnCO) << -0.0 << u"0,00"_s;
    QTest::newRow("not a quantity") << 7 << 1.0 << QString();
}

void tst_ReadingFormats::quantityFormats()
{
    QFETCH(int, quantity);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatQuantity(quantity, value), text);
}

void tst_ReadingFormats::generalForm_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("15.5") << 15.5 << u"15,5"_s;
    QTest::newRow("9999") << 9999.0 << u"9999"_s;
    QTest::newRow("99.99") << 99.99 << u"99,99"_s;
    QTest::newRow("0.3, no binary tail") << 0.3 << u"0,3"_s;
    QTest::newRow("0") << 0.0 << u"0"_s;
    QTest::newRow("15 significant digits") << 1.0 / 3 << u"0,333333333333333"_s;
    QTest::newRow("2147483647") << 2147483647.0 << u"2147483647"_s;
}

void tst_ReadingFormats::generalForm()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatGeneral(value), text);
}

void tst_ReadingFormats::followsTheDefaultLocale()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString fixed = FormatQuantity(qnO2, 20.9);
    const QString general = FormatGeneral(15.5);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(fixed, u"20.90"_s);
    QCOMPARE(general, u"15.5"_s);
}

void tst_ReadingFormats::shownValuesAreLimited_data()
{
    QTest::addColumn<int>("quantity");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("shown");

    QTest::newRow("CO without calibration") << int(qnCO) << 2147483647.0 << 7.0;
    QTest::newRow("CO2 below zero") << int(qnCO2) << -0.1 << 0.0;
    QTest::newRow("CH within range") << int(qnCH) << 1234.0 << 1234.0;
    QTest::newRow("O2 above range") << int(qnO2) << 22.5 << 22.0;
    QTest::newRow("λ above range") << int(qnLambda) << 2.5 << 2.0;
    QTest::newRow("engine speed above range") << int(qnEngineSpeed) << 12000.0 << 9999.0;
    QTest::newRow("temperature above range") << int(qnTemperature) << 100.0 << 99.99;
}

void tst_ReadingFormats::shownValuesAreLimited()
{
    QFETCH(int, quantity);
    QFETCH(double, value);
    QFETCH(double, shown);

    CurrentReadings readings;
    QCOMPARE(readings.Store(quantity, value), shown);
    QCOMPARE(readings.ShownValue(quantity), shown);
    QCOMPARE(readings.ChartValue(quantity), value);
    for (int other = 0; other < QuantityCount; ++other) {
        if (other != quantity) {
            QCOMPARE(readings.ShownValues()[std::size_t(other)], 0.0);
            QCOMPARE(readings.ChartValues()[std::size_t(other)], 0.0);
        }
    }
    QCOMPARE(readings.Store(QuantityCount, value), 0.0);
    QCOMPARE(readings.ShownValue(-1), 0.0);
}

QTEST_GUILESS_MAIN(tst_ReadingFormats)
#include "tst_readingformats.moc"
