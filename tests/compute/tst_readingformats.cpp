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

// The display limits themselves are quantities.h's; here: which view keeps
// which, and that one quantity leaves the others alone.
void tst_ReadingFormats::shownValuesAreLimited()
{
    CurrentReadings readings;
    QCOMPARE(readings.Store(qnCO, 2147483647.0), 7.0);
    QCOMPARE(readings.Store(qnCO2, -0.1), 0.0);
    QCOMPARE(readings.ShownValues(), (CurrentReadings::Values { 7, 0, 0, 0, 0, 0, 0 }));
    QCOMPARE(
        readings.ChartValues(), (CurrentReadings::Values { 2147483647.0, 0, -0.1, 0, 0, 0, 0 }));
    QCOMPARE(readings.Store(QuantityCount, 5), 0.0);
    QCOMPARE(readings.ShownValue(-1), 0.0);
    QCOMPARE(readings.ChartValue(QuantityCount), 0.0);
}

QTEST_GUILESS_MAIN(tst_ReadingFormats)
#include "tst_readingformats.moc"
