#include "compute/calibration.h"
#include "compute/conversions.h"
#include "compute/quantities.h"
#include "testreceivers.h"

#include <QLoggingCategory>
#include <QTest>

#include <cmath>

using namespace kavro;
using namespace kavro::test;
using namespace Qt::StringLiterals;

namespace {

// Collects the messages of the CO debug category while it lives.
class CoDebugRecorder
{
public:
    CoDebugRecorder()
    {
        s_messages.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("kavro.co.debug=true"));
        m_previous = qInstallMessageHandler(&Record);
    }
    ~CoDebugRecorder()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    QStringList Messages() const { return s_messages; }

private:
    static void Record(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtDebugMsg && qstrcmp(context.category, "kavro.co") == 0)
            s_messages << message;
    }

    static inline QStringList s_messages;
    QtMessageHandler m_previous = nullptr;
};

} // namespace

class TestConversions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void calibrationWordsAreBigEndian();
    void gasesWaitForTheCalibrationBlock();
    void zeroCorrection_data();
    void zeroCorrection();
    void codesBeyondTheCurves();
    void zeroLevelGain_data();
    void zeroLevelGain();
    void compensate_data();
    void compensate();
    void co2_data();
    void co2();
    void o2();
    void engineSpeed_data();
    void engineSpeed();
    void temperature_data();
    void temperature();
    void lambdaFromGases_data();
    void lambdaFromGases();
    void computeLambdaWithZeroDivisor();
    void coReadingsGoToTheDebugOutput();
    void clamp_data();
    void clamp();
};

void TestConversions::calibrationWordsAreBigEndian()
{
    TInstrumentImage image {};
    image[129] = 0x12; // ChScale
    image[130] = 0x34;
    image[137] = 0xC8; // RpmTrim, a single byte
    image[138] = 0xFF; // RpmScale, unsigned
    image[139] = 0xFE;
    image[171] = 0xFC; // ChCompCoefficient, signed: 0xFC18 is -1000
    image[172] = 0x18;
    image[173] = 0x7F; // CoCompCoefficient: 32767 is the largest positive
    image[174] = 0xFF;
    image[175] = 0x55; // not a calibration byte
    image[176] = 0x80; // Co2CompCoefficient: 0x8000 is -32768
    image[177] = 0x00;

    const Calibration c = ReadCalibration(image);
    QCOMPARE(c.ChScale, 0x1234);
    QCOMPARE(c.RpmTrim, 200);
    QCOMPARE(c.RpmScale, 65534);
    QCOMPARE(c.ChCompCoefficient, -1000);
    QCOMPARE(c.CoCompCoefficient, 32767);
    QCOMPARE(c.Co2CompCoefficient, -32768);
    QCOMPARE(c.CoScale, 0);

    TInstrumentImage written {};
    written[175] = 0x55;
    WriteCalibration(c, written);
    QCOMPARE(written, image);
}

void TestConversions::gasesWaitForTheCalibrationBlock()
{
    ReceiverData receiver = CalibratedReceiver();
    receiver.BlockReceived = false;
    QCOMPARE(ConvertCH(receiver, 2000, NeutralCompensationRaw), 2147483647.0);
    QCOMPARE(ConvertCO(receiver, 2000, NeutralCompensationRaw), 2147483647.0);
    QCOMPARE(ConvertCO2(receiver, 2000, NeutralCompensationRaw), 2147483647.0);

    // O2, engine speed and temperature read whatever the image holds.
    const TInstrumentImage empty {};
    QCOMPARE(ConvertO2(empty, 4095), 0.0);
    QCOMPARE(ConvertEngineSpeed(empty, 4095), 375.0);
    QCOMPARE(ConvertTemperature(empty, 4095), 0.0);
    QCOMPARE(ConvertO2(receiver.InstrumentImage, 4190), 20.95);
}

void TestConversions::zeroCorrection_data()
{
    QTest::addColumn<int>("zeroReading");
    QTest::addColumn<int>("raw");
    QTest::addColumn<double>("ch");
    QTest::addColumn<double>("co");

    QTest::newRow("below the zero reading") << 1000 << 995 << 0.0 << 0.0;
    QTest::newRow("at the zero reading") << 1000 << 1000 << 0.0 << 0.0;
    QTest::newRow("one above") << 1000 << 1001 << 0.0 << 0.0;
    QTest::newRow("two above") << 1000 << 1002 << 1.0 << 0.01;
    QTest::newRow("zero reading 0, code 1000") << 0 << 2000 << 830.0 << 3.24;
    QTest::newRow("zero reading 1000, code 1000") << 1000 << 3000 << 890.0 << 4.38;
}

void TestConversions::zeroCorrection()
{
    QFETCH(int, zeroReading);
    QFETCH(int, raw);
    QFETCH(double, ch);
    QFETCH(double, co);

    ReceiverData receiver = CalibratedReceiver();
    receiver.ZeroReadings[3] = zeroReading;
    receiver.ZeroReadings[1] = zeroReading;
    QCOMPARE(ConvertCH(receiver, raw, NeutralCompensationRaw), ch);
    QCOMPARE(ConvertCO(receiver, raw, NeutralCompensationRaw), co);

    // Each gas reads its own slot.
    receiver.ZeroReadings[3] = receiver.ZeroReadings[1] = 0;
    receiver.ZeroReadings[0] = receiver.ZeroReadings[2] = 4095;
    QVERIFY(ConvertCH(receiver, 2000, NeutralCompensationRaw) == 830.0);
}

void TestConversions::codesBeyondTheCurves()
{
    Calibration calibration = HalvingCalibration();
    calibration.ChScale = calibration.CoScale = 65535;
    const ReceiverData receiver = CalibratedReceiver(calibration);
    // Codes 3008 and 1664 are the first beyond the CH and CO curves.
    QCOMPARE(ConvertCH(receiver, 3010, NeutralCompensationRaw), 2147483647.0);
    QCOMPARE(ConvertCO(receiver, 1666, NeutralCompensationRaw), 21474836.47);
    QVERIFY(ConvertCH(receiver, 3008, NeutralCompensationRaw) < 4000.0);
    QVERIFY(ConvertCO(receiver, 1664, NeutralCompensationRaw) < 20.0);
}

void TestConversions::zeroLevelGain_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("zeroReading");
    QTest::addColumn<int>("result");

    // A value of 32768 shows the chosen gain itself.
    QTest::newRow("zero reading 15: entry 0") << 32768 << 15 << 31731;
    QTest::newRow("zero reading 16: entry 1") << 32768 << 16 << 31768;
    QTest::newRow("zero reading 2879: entry 179") << 32768 << 2879 << 38257;
    QTest::newRow("zero reading 4095 is limited to entry 179") << 32768 << 4095 << 38257;
    QTest::newRow("negative zero reading: entry 0") << 32768 << -5 << 31731;
    QTest::newRow("rounds down") << 858 << 0 << 830;
    QTest::newRow("InvalidValue passes") << InvalidValue << 0 << InvalidValue;
    QTest::newRow("too large for 32 bits") << 2000000000 << 4095 << InvalidValue;
}

void TestConversions::zeroLevelGain()
{
    QFETCH(int, value);
    QFETCH(int, zeroReading);
    QFETCH(int, result);
    QCOMPARE(ZeroLevelGain(value, zeroReading, ChZeroGain), result);
}

void TestConversions::compensate_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("compensationRaw");
    QTest::addColumn<int>("compScale");
    QTest::addColumn<int>("coefficient");
    QTest::addColumn<int>("result");

    QTest::newRow("scaled to 1220: unchanged") << 300 << 2440 << 32768 << 1000 << 300;
    QTest::newRow("scaled to 1320: 300 becomes 330") << 300 << 2640 << 32768 << 1000 << 330;
    QTest::newRow("negative coefficient lowers") << 300 << 2640 << 32768 << -1000 << 270;
    QTest::newRow("1220.5 rounds to even 1220") << 1000 << 2441 << 32768 << 1 << 1000;
    QTest::newRow("1221.5 rounds to even 1222") << 1000 << 2443 << 32768 << 1 << 3000;
    QTest::newRow("truncates toward zero") << -3 << 2640 << 32768 << 1000 << -3;
    QTest::newRow("negative result") << 100 << 0 << 32768 << 610 << -100;
    QTest::newRow("InvalidValue passes") << InvalidValue << 2640 << 32768 << 1000 << InvalidValue;
    QTest::newRow("coefficient 0") << 300 << 2640 << 32768 << 0 << InvalidValue;
    QTest::newRow("coefficient 0 at 1220") << 300 << 2440 << 32768 << 0 << InvalidValue;
    QTest::newRow("too large for 32 bits") << 2000000000 << 4095 << 65535 << 1 << InvalidValue;
    QTest::newRow("too small for 32 bits") << 2000000000 << 0 << 65535 << 1 << InvalidValue;
    QTest::newRow("tiny coefficient, real readings") << 3296 << 4095 << 65535 << 1 << 9479296;
}

void TestConversions::compensate()
{
    QFETCH(int, value);
    QFETCH(int, compensationRaw);
    QFETCH(int, compScale);
    QFETCH(int, coefficient);
    QFETCH(int, result);
    QCOMPARE(Compensate(value, compensationRaw, compScale, coefficient), result);
}

void TestConversions::co2_data()
{
    QTest::addColumn<int>("co2Scale");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("compensationRaw");
    QTest::addColumn<double>("co2");

    // Co2Scale 32768: code = Round(raw / 2).
    QTest::newRow("code 0") << 32768 << 0 << NeutralCompensationRaw << -0.1;
    QTest::newRow("code 0.5 rounds to 0") << 32768 << 1 << NeutralCompensationRaw << -0.1;
    QTest::newRow("code 1") << 32768 << 2 << NeutralCompensationRaw << 0.0;
    QTest::newRow("code 1.5 rounds to 2") << 32768 << 3 << NeutralCompensationRaw << 0.0;
    QTest::newRow("code 52") << 32768 << 104 << NeutralCompensationRaw << 0.0;
    QTest::newRow("code 52.5 rounds to 52") << 32768 << 105 << NeutralCompensationRaw << 0.0;
    QTest::newRow("code 53") << 32768 << 106 << NeutralCompensationRaw << 0.1;
    QTest::newRow("code 103") << 32768 << 206 << NeutralCompensationRaw << 0.1;
    QTest::newRow("code 104") << 32768 << 208 << NeutralCompensationRaw << 0.2;
    QTest::newRow("code 2145") << 32768 << 4290 << NeutralCompensationRaw << 16.9;
    QTest::newRow("code 2146") << 32768 << 4292 << NeutralCompensationRaw << 17.0;
    QTest::newRow("code 4095") << 65535 << 4095 << NeutralCompensationRaw << 17.0;
    QTest::newRow("code 2084 compensated by 1320") << 32768 << 4168 << 2640 << 15.4;
}

void TestConversions::co2()
{
    QFETCH(int, co2Scale);
    QFETCH(int, raw);
    QFETCH(int, compensationRaw);
    QFETCH(double, co2);

    Calibration calibration = HalvingCalibration();
    calibration.Co2Scale = co2Scale;
    QCOMPARE(ConvertCO2(CalibratedReceiver(calibration), raw, compensationRaw), co2);
}

void TestConversions::o2()
{
    const ReceiverData receiver = CalibratedReceiver();
    QCOMPARE(ConvertO2(receiver.InstrumentImage, 4190), 20.95);
    QCOMPARE(ConvertO2(receiver.InstrumentImage, 4191), 20.95); // 2095.5 truncated
    QCOMPARE(ConvertO2(receiver.InstrumentImage, 161), 0.8);
    QCOMPARE(ConvertO2(receiver.InstrumentImage, 0), 0.0);
}

void TestConversions::engineSpeed_data()
{
    QTest::addColumn<int>("rpmTrim");
    QTest::addColumn<int>("rpmMinimum");
    QTest::addColumn<int>("raw");
    QTest::addColumn<double>("rpm");

    // RpmScale 32768: v = 4 * (raw >> 1).
    QTest::newRow("trim 128 is unity, 800") << 128 << 0 << 400 << 800.0;
    QTest::newRow("trim 128 is unity, 7996") << 128 << 0 << 3999 << 7996.0;
    QTest::newRow("trim 255 below 6000") << 255 << 0 << 400 << 478.0;
    QTest::newRow("trim 255 above 6000") << 255 << 0 << 4000 << 8124.0;
    QTest::newRow("trim 0 keeps 6000") << 0 << 0 << 3000 << 6000.0;
    QTest::newRow("trim 0 at 0") << 0 << 0 << 0 << 375.0;
    QTest::newRow("below RpmMinimum") << 128 << 500 << 249 << 0.0;
    QTest::newRow("at RpmMinimum") << 128 << 500 << 250 << 500.0;
}

void TestConversions::engineSpeed()
{
    QFETCH(int, rpmTrim);
    QFETCH(int, rpmMinimum);
    QFETCH(int, raw);
    QFETCH(double, rpm);

    Calibration calibration = HalvingCalibration();
    calibration.RpmTrim = rpmTrim;
    calibration.RpmMinimum = rpmMinimum;
    QCOMPARE(ConvertEngineSpeed(CalibratedReceiver(calibration).InstrumentImage, raw), rpm);
}

void TestConversions::temperature_data()
{
    QTest::addColumn<int>("t");
    QTest::addColumn<double>("celsius");

    QTest::newRow("t 993, c -0.26") << 993 << 0.0;
    QTest::newRow("t 994, c 0.01") << 994 << 0.0;
    QTest::newRow("t 1000, c 1.63") << 1000 << 1.6;
    QTest::newRow("t 1088, c 25.39") << 1088 << 25.3;
    QTest::newRow("t 1347, c 95.32") << 1347 << 95.3;
    QTest::newRow("t 1364, c 99.91") << 1364 << 99.9;
    QTest::newRow("t 1365, c 100.18") << 1365 << 99.9;
    QTest::newRow("t 2047") << 2047 << 99.9;
    QTest::newRow("t 0") << 0 << 0.0;
}

void TestConversions::temperature()
{
    QFETCH(int, t);
    QFETCH(double, celsius);
    // TempScale 32768: t = raw >> 1.
    const ReceiverData receiver = CalibratedReceiver();
    QCOMPARE(ConvertTemperature(receiver.InstrumentImage, 2 * t), celsius);
    QCOMPARE(ConvertTemperature(receiver.InstrumentImage, 2 * t + 1), celsius);
}

void TestConversions::lambdaFromGases_data()
{
    QTest::addColumn<double>("co");
    QTest::addColumn<double>("co2");
    QTest::addColumn<double>("o2");
    QTest::addColumn<double>("ch");
    QTest::addColumn<int>("lambdaE5"); // λ × 100000, rounded

    QTest::newRow("CO 0.5 CO2 14.5 O2 0.5 CH 100") << 0.5 << 14.5 << 0.5 << 100.0 << 100474;
    QTest::newRow("CO 2.0 CO2 13.0 O2 0.3 CH 300") << 2.0 << 13.0 << 0.3 << 300.0 << 94311;
    QTest::newRow("CO 0.1 CO2 14.0 O2 1.0 CH 50") << 0.1 << 14.0 << 1.0 << 50.0 << 104452;
    QTest::newRow("CO 0") << 0.0 << 14.5 << 0.5 << 100.0 << 0;
    QTest::newRow("CO2 0") << 0.5 << 0.0 << 0.5 << 100.0 << 0;
    QTest::newRow("CO / CO2 = -3.5") << 1.75 << -0.5 << 0.5 << 100.0 << 0;
    QTest::newRow("CO2 + CO + 0.0006 CH = 0") << 0.1 << -0.1 << 0.5 << 0.0 << 0;
    QTest::newRow("CO2 -0.1 as converted") << 0.5 << -0.1 << 0.5 << 100.0 << 37241;
}

void TestConversions::lambdaFromGases()
{
    QFETCH(double, co);
    QFETCH(double, co2);
    QFETCH(double, o2);
    QFETCH(double, ch);
    QFETCH(int, lambdaE5);

    const double lambda = LambdaFromGases(co, co2, o2, ch);
    QVERIFY(std::isfinite(lambda));
    QCOMPARE(std::nearbyint(lambda * 100000), static_cast<double>(lambdaE5));
}

void TestConversions::computeLambdaWithZeroDivisor()
{
    // CO2 code 0 reads -0.1 and CO 0.1 with CH 0: CO2 + CO + 0.0006 CH is 0.
    ReceiverData receiver = CalibratedReceiver();
    receiver.ZeroReadings[1] = 384; // CoZeroGain entry 24 keeps 10 at 10
    TRawReadings raw {};
    raw[0] = 0;
    raw[1] = 584;
    raw[2] = 100;
    raw[3] = 0;
    raw[4] = NeutralCompensationRaw;
    QCOMPARE(ConvertCO(receiver, raw[1], raw[4]), 0.1);
    QCOMPARE(ConvertCO2(receiver, raw[0], raw[4]), -0.1);
    QCOMPARE(ComputeLambda(receiver, raw), 0.0);

    raw[0] = 2 * 2084; // CO2 14.0
    QVERIFY(ComputeLambda(receiver, raw) > 1.0);
}

void TestConversions::coReadingsGoToTheDebugOutput()
{
    const bool rulesFromEnvironment = qEnvironmentVariableIsSet("QT_LOGGING_RULES");
    if (!rulesFromEnvironment)
        QVERIFY(!lcKavroCo().isDebugEnabled()); // off unless enabled

    ReceiverData receiver = CalibratedReceiver();
    TRawReadings raw {};
    raw[1] = 777;
    {
        CoDebugRecorder recorder;
        ConvertCO(receiver, 2613, NeutralCompensationRaw);
        receiver.BlockReceived = false;
        ConvertCO(receiver, 0, NeutralCompensationRaw);
        ComputeLambda(receiver, raw);
        QCOMPARE(recorder.Messages(), (QStringList { u"2613"_s, u"0"_s, u"777"_s }));
    }
    if (!rulesFromEnvironment)
        QVERIFY(!lcKavroCo().isDebugEnabled());
}

void TestConversions::clamp_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("result");

    // O2 is shown from 0 to 22 % vol.
    QTest::newRow("below") << -0.1 << 0.0;
    QTest::newRow("inside") << 14.5 << 14.5;
    QTest::newRow("above") << 2147483647.0 << 22.0;
    QTest::newRow("at the top") << 22.0 << 22.0;
}

void TestConversions::clamp()
{
    QFETCH(double, value);
    QFETCH(double, result);
    QCOMPARE(LimitToDisplayRange(qnO2, value), result);
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
