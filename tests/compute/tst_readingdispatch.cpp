#include "compute/readingdispatch.h"
#include "testreceivers.h"

#include <QTest>

#include <vector>

using namespace kavro;
using namespace kavro::test;

namespace {

struct ShownValue
{
    int Quantity;
    double Value;
    bool operator==(const ShownValue &) const = default;
};

struct StoredZero
{
    int Channel;
    int RawValue;
    bool operator==(const StoredZero &) const = default;
};

class RecordingSink : public ReadingSink
{
public:
    void ShowValue(int quantity, double value) override { Shown.push_back({ quantity, value }); }
    void ZeroReadingStored(int channel, int rawValue) override
    {
        Zeros.push_back({ channel, rawValue });
    }

    std::vector<ShownValue> Shown;
    std::vector<StoredZero> Zeros;
};

} // namespace

class TestReadingDispatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void convertsByChannel_data();
    void convertsByChannel();
    void compensationIsReadAfterStoring();
    void channelFourGivesOnlyLambda();
    void zeroCaptureFreezesRawReadings();
    void channelsOutsideTheRangeAreIgnored();
    void convertsBeforeTheCalibrationBlock();

private:
    ReceiverData m_receiver;
    RecordingSink m_sink;
};

void TestReadingDispatch::init()
{
    m_receiver = CalibratedReceiver();
    m_sink = RecordingSink {};
}

void TestReadingDispatch::convertsByChannel_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("quantity"); // -1: stored only
    QTest::addColumn<double>("value");

    // Halving calibration, neutral compensation (see testreceivers.h).
    QTest::newRow("0: CO2") << 0 << 4168 << int { qnCO2 } << 14.0;
    QTest::newRow("1: CO") << 1 << 2000 << int { qnCO } << 3.24;
    QTest::newRow("2: O2") << 2 << 4190 << int { qnO2 } << 20.95;
    QTest::newRow("3: CH") << 3 << 2000 << int { qnCH } << 830.0;
    QTest::newRow("6: engine speed") << 6 << 400 << int { qnEngineSpeed } << 800.0;
    QTest::newRow("7: temperature") << 7 << 2176 << int { qnTemperature } << 25.3;
    for (int channel : { 5, 8, 9, 10, 11, 12, 13, 14, 15 })
        QTest::addRow("%d: stored only", channel) << channel << 1234 << -1 << 0.0;
}

void TestReadingDispatch::convertsByChannel()
{
    QFETCH(int, channel);
    QFETCH(int, raw);
    QFETCH(int, quantity);
    QFETCH(double, value);

    ReadingDispatch dispatch(m_receiver, m_sink);
    dispatch.ChannelReading(4, NeutralCompensationRaw);
    m_sink.Shown.clear();

    dispatch.ChannelReading(channel, raw);
    QCOMPARE(dispatch.RawReading(channel), raw);
    if (quantity < 0) {
        QVERIFY(m_sink.Shown.empty());
    } else {
        QCOMPARE(m_sink.Shown.size(), std::size_t { 1 });
        QCOMPARE(m_sink.Shown[0].Quantity, quantity);
        QCOMPARE(m_sink.Shown[0].Value, value);
    }
    QVERIFY(m_sink.Zeros.empty());
    QCOMPARE(m_receiver.ZeroReadings, (std::array<std::int32_t, ZeroReadingChannels> {}));
}

void TestReadingDispatch::compensationIsReadAfterStoring()
{
    ReadingDispatch dispatch(m_receiver, m_sink);
    dispatch.ChannelReading(4, 2640); // scales to 1320: +10 % with coefficient 1000
    dispatch.ChannelReading(3, 2000);
    QCOMPARE(m_sink.Shown.back(), (ShownValue { qnCH, 913.0 }));
    dispatch.ChannelReading(4, NeutralCompensationRaw);
    dispatch.ChannelReading(3, 2000);
    QCOMPARE(m_sink.Shown.back(), (ShownValue { qnCH, 830.0 }));
}

void TestReadingDispatch::channelFourGivesOnlyLambda()
{
    ReadingDispatch dispatch(m_receiver, m_sink);
    dispatch.ChannelReading(0, 4168); // CO2 14.0
    dispatch.ChannelReading(1, 2000); // CO 3.24
    dispatch.ChannelReading(2, 161); // O2 0.8
    dispatch.ChannelReading(3, 2000); // CH 830
    m_sink.Shown.clear();

    dispatch.ChannelReading(4, NeutralCompensationRaw);
    QCOMPARE(m_sink.Shown.size(), std::size_t { 1 });
    QCOMPARE(m_sink.Shown[0].Quantity, int { qnLambda });
    QCOMPARE(m_sink.Shown[0].Value, LambdaFromGases(3.24, 14.0, 0.8, 830.0));

    // λ uses the compensation reading that has just arrived.
    dispatch.ChannelReading(4, 2640);
    QCOMPARE(m_sink.Shown[1].Value, LambdaFromGases(3.56, 15.4, 0.8, 913.0));
}

void TestReadingDispatch::zeroCaptureFreezesRawReadings()
{
    ReadingDispatch dispatch(m_receiver, m_sink);
    for (int channel = 0; channel < 16; ++channel)
        dispatch.ChannelReading(channel, 100 + channel);
    const TRawReadings before = dispatch.RawReadings();
    m_sink.Shown.clear();

    m_receiver.ZeroCapture = true;
    for (int channel = 0; channel < 16; ++channel)
        dispatch.ChannelReading(channel, 2000 + channel);

    QCOMPARE(dispatch.RawReadings(), before);
    QVERIFY(m_sink.Shown.empty());
    for (int channel = 0; channel < ZeroReadingChannels; ++channel)
        QCOMPARE(m_receiver.ZeroReadings[static_cast<std::size_t>(channel)], 2000 + channel);
    QCOMPARE(m_sink.Zeros.size(), std::size_t { 14 });
    QCOMPARE(m_sink.Zeros.front(), (StoredZero { 0, 2000 }));
    QCOMPARE(m_sink.Zeros.back(), (StoredZero { 13, 2013 }));

    // The captured zero readings take effect once the capture ends.
    m_receiver.ZeroCapture = false;
    dispatch.ChannelReading(3, 2000 + 3 + 1);
    QCOMPARE(m_sink.Shown.back(), (ShownValue { qnCH, 0.0 }));
    QCOMPARE(dispatch.RawReading(3), 2004);
}

void TestReadingDispatch::channelsOutsideTheRangeAreIgnored()
{
    ReadingDispatch dispatch(m_receiver, m_sink);
    dispatch.ChannelReading(-1, 5);
    dispatch.ChannelReading(16, 5);
    m_receiver.ZeroCapture = true;
    dispatch.ChannelReading(-1, 5);
    dispatch.ChannelReading(16, 5);
    QVERIFY(m_sink.Shown.empty());
    QVERIFY(m_sink.Zeros.empty());
    QCOMPARE(dispatch.RawReadings(), TRawReadings {});
    QCOMPARE(dispatch.RawReading(16), 0);
}

void TestReadingDispatch::convertsBeforeTheCalibrationBlock()
{
    m_receiver.BlockReceived = false;
    ReadingDispatch dispatch(m_receiver, m_sink);
    dispatch.ChannelReading(3, 2000);
    dispatch.ChannelReading(6, 400);
    QCOMPARE(m_sink.Shown,
        (std::vector<ShownValue> { { qnCH, 2147483647.0 }, { qnEngineSpeed, 800.0 } }));
}

QTEST_GUILESS_MAIN(TestReadingDispatch)
#include "tst_readingdispatch.moc"
