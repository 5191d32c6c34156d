#include "protocol/instrumentreceiver.h"
#include "recordinghost.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::Events;
using kavro::test::Hex;

namespace {

// A receiver with its program-wide data and a recording host.
struct Rig
{
    ReceiverData data;
    test::RecordingHost host;
    TInstrumentReceiver receiver { data, host };

    Rig() { receiver.SetObserver(&host); }

    QStringList Feed(const QByteArray &bytes)
    {
        for (const char b : bytes)
            receiver.ReceiveByte(static_cast<quint8>(b));
        return host.TakeEvents();
    }

    // Live readings detected (sends 210); events cleared.
    void JoinLiveStream()
    {
        Feed(Hex("E0 2A 13 05 E1 20 10 00"));
        QCOMPARE(data.ReceiverState, rsStreaming);
    }

    // A countdown entered through detection; the next byte is a low byte.
    void JoinCountdown()
    {
        Feed(Hex("05 01 04 01"));
        QCOMPARE(data.ReceiverState, rsCountdown);
    }

    void SetPumpWindow(quint8 b162, quint8 b163, quint8 b164)
    {
        data.InstrumentImage[162] = b162;
        data.InstrumentImage[163] = b163;
        data.InstrumentImage[164] = b164;
    }
};

QByteArray Word(int value)
{
    return QByteArray(1, char(value & 0xFF)) + char(value >> 8);
}

} // namespace

Q_DECLARE_METATYPE(kavro::TReceiverState)

namespace QTest {
template<>
char *toString(const kavro::TReceiverState &state)
{
    return qstrdup(kavro::ReceiverStateName(state).data());
}
} // namespace QTest

class tst_InstrumentReceiver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void detection_data();
    void detection();
    void detectionWrapsAfter256Bytes();
    void detectionAfterLossOfStepAbove255();
    void pumpWindow_data();
    void pumpWindow();
    void countdownEnd_data();
    void countdownEnd();
    void calibrationBlock_data();
    void calibrationBlock();
    void zeroPrefixImageLoop();
    void haltedIgnoresEverything();
    void streamingCodes_data();
    void streamingCodes();
    void readings_data();
    void readings();
    void diagnosticMode_data();
    void diagnosticMode();
    void resetForPortSetup();
    void nestedByteFindsCountdownFinished();
    void nestedBytesOpenOneServiceWindow();
    void nestedBytesDuringCountdown_data();
    void nestedBytesDuringCountdown();
};

// ---- detection ----------------------------------------------------------

void tst_InstrumentReceiver::detection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("events");
    QTest::addColumn<TReceiverState>("state");
    QTest::addColumn<int>("imagePos");
    QTest::addColumn<bool>("lowNext");
    QTest::addColumn<QByteArray>("image"); // first image bytes; image[2] was 99 before

    const QString streaming = u"state rsStreaming;send 210"_s;
    const QString countdown = u"state rsCountdown;newcar 0;measure 0"_s;

    QTest::newRow("readings, seven bytes: not yet")
        << Hex("E0 2A 13 05 E1 20 10") << u""_s << rsDetecting << 7 << false
        << Hex("E0 2A 13 05 E1 20 10");
    QTest::newRow("readings at the 8th byte")
        << Hex("E0 2A 13 05 E1 20 10 00") << streaming << rsStreaming << 8 << false
        << Hex("E0 2A 13 05 E1 20 10 00");
    QTest::newRow("selects at 3 and 7")
        << Hex("11 22 33 E7 44 55 66 F0") << streaming << rsStreaming << 8 << false
        << Hex("11 22 33 E7 44 55 66 F0");
    QTest::newRow("E8..EF are no channel selects")
        << Hex("E8 00 00 00 EF 11 F8 11 FF") << u""_s << rsDetecting << 9 << false
        << Hex("E8 00 00 00 EF 11 F8 11 FF");
    QTest::newRow("selects three apart") << Hex("E0 11 22 E1 33 44 55 66") << u""_s << rsDetecting
                                         << 8 << false << Hex("E0 11 22 E1 33 44 55 66");
    QTest::newRow("countdown at the 4th byte")
        << Hex("05 01 04 01") << countdown << rsCountdown << 4 << true << Hex("05 01 04 01");
    QTest::newRow("countdown one byte in, at the 5th")
        << Hex("77 05 01 04 01") << countdown << rsCountdown << 5 << true << Hex("77 05 01 04 01");
    QTest::newRow("countdown across the high byte")
        << Hex("00 02 FF 01") << countdown << rsCountdown << 4 << true << Hex("00 02 FF 01");
    QTest::newRow("words two apart")
        << Hex("05 01 03 01 11") << u""_s << rsDetecting << 5 << false << Hex("05 01 03 01 11");
    QTest::newRow("rising words") << Hex("04 01 05 01 11") << u""_s << rsDetecting << 5 << false
                                  << Hex("04 01 05 01 11");
    QTest::newRow("zero prefix at the 2nd byte")
        << Hex("00 00") << u"state rsZeroPrefix"_s << rsZeroPrefix << 2 << false << Hex("00 00 99");
    QTest::newRow("zeros later are no prefix")
        << Hex("11 00 00") << u""_s << rsDetecting << 3 << false << Hex("11 00 00");
    QTest::newRow("further zeros skipped, 1 starts the countdown")
        << Hex("00 00 00 00 00 01") << u"state rsZeroPrefix;"_s + countdown << rsCountdown << 128
        << false << Hex("00 00 99 00");
    QTest::newRow("zero prefix then 07: back, slot skipped")
        << Hex("00 00 07") << u"state rsZeroPrefix;state rsDetecting"_s << rsDetecting << 3 << false
        << Hex("00 00 99 00");
    QTest::newRow("zero prefix, 07, then readings at 3 and 7")
        << Hex("00 00 07 E0 2A 13 05 E1") << u"state rsZeroPrefix;state rsDetecting;"_s + streaming
        << rsStreaming << 8 << false << Hex("00 00 99 E0 2A 13 05 E1");
}

void tst_InstrumentReceiver::detection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, events);
    QFETCH(TReceiverState, state);
    QFETCH(int, imagePos);
    QFETCH(bool, lowNext);
    QFETCH(QByteArray, image);

    Rig rig;
    rig.data.InstrumentImage[2] = 0x99;
    QCOMPARE(rig.Feed(bytes), Events(events));
    QCOMPARE(rig.data.ReceiverState, state);
    QCOMPARE(rig.data.ImagePos, imagePos);
    QCOMPARE(rig.data.CountdownLowNext, lowNext);
    QCOMPARE(rig.data.LastModeCode, 128);
    QCOMPARE(rig.data.ZeroPrefixSeen, bytes.startsWith(Hex("00 00")));
    for (int i = 0; i < image.size(); ++i)
        QCOMPARE(rig.data.InstrumentImage[i], quint8(image[i]));
}

void tst_InstrumentReceiver::detectionWrapsAfter256Bytes()
{
    Rig rig;
    QByteArray noPattern(256, char(0x41));
    noPattern[255] = char(0x7E);
    QCOMPARE(rig.Feed(noPattern), QStringList());
    QCOMPARE(rig.data.InstrumentImage[255], 0x7E);
    QCOMPARE(rig.data.ImagePos, 0);

    // The 257th byte opens a new pass at index 0, tested afresh.
    QCOMPARE(rig.Feed(Hex("F5 11 22 33 F6 44 55")), QStringList());
    QCOMPARE(rig.data.InstrumentImage[0], 0xF5);
    QCOMPARE(rig.Feed(Hex("66")), Events(u"state rsStreaming;send 210"_s));
    QCOMPARE(rig.data.ImagePos, 8);
}

// Detection that ends at the 256th byte leaves ImagePos at 256; a loss of
// step then resumes detection there. Writes stay inside the image.
void tst_InstrumentReceiver::detectionAfterLossOfStepAbove255()
{
    Rig rig;
    rig.data.ReceiverState = rsStreaming;
    rig.data.ImagePos = 256;
    QCOMPARE(rig.Feed(Hex("C2")), Events(u"state rsDetecting"_s));
    QCOMPARE(rig.data.ImagePos, 256);

    QCOMPARE(rig.Feed(Hex("31")), QStringList());
    QCOMPARE(rig.data.InstrumentImage[0], 0x31);
    QCOMPARE(rig.data.ImagePos, 257);

    // A whole round more: every position once, the counter stays bounded.
    QByteArray round(256, char(0x42));
    round[254] = char(0x43);
    round[255] = char(0x44);
    QCOMPARE(rig.Feed(round), QStringList());
    QCOMPARE(rig.data.InstrumentImage[255], 0x43);
    QCOMPARE(rig.data.InstrumentImage[0], 0x44);
    QCOMPARE(rig.data.ImagePos, 513);
    // Another round: the counter steps back from 768 and stays bounded.
    round.fill(char(0x45));
    QCOMPARE(rig.Feed(round), QStringList());
    QCOMPARE(rig.data.InstrumentImage[0], 0x45);
    QCOMPARE(rig.data.ImagePos, 513);

    // Selects now land at 1 and 5: detected at once, with n far above 8.
    QCOMPARE(rig.Feed(Hex("E0 11 22 33")), QStringList());
    QCOMPARE(rig.Feed(Hex("E1")), Events(u"state rsStreaming;send 210"_s));
    QCOMPARE(rig.data.InstrumentImage[1], 0xE0);
    QCOMPARE(rig.data.InstrumentImage[5], 0xE1);
}

// ---- countdown ------------------------------------------------------------

void tst_InstrumentReceiver::pumpWindow_data()
{
    QTest::addColumn<QByteArray>("windowBytes"); // image 162, 163, 164
    QTest::addColumn<int>("word");
    QTest::addColumn<bool>("running");

    // upper = 256 * 2 + 1 = 513, lower = 256 * 1 + 44 = 300
    const QByteArray window = Hex("02 01 2C");
    QTest::newRow("above upper") << window << 514 << false;
    QTest::newRow("upper bound") << window << 513 << true;
    QTest::newRow("inside") << window << 400 << true;
    QTest::newRow("lower bound") << window << 300 << true;
    QTest::newRow("below lower") << window << 299 << false;
    QTest::newRow("0 never ends a window test inside") << window << 0 << false;
    // upper = 256, lower = 0: byte 163 counts in both bounds
    QTest::newRow("byte 163 shared, 0 inside") << Hex("01 00 00") << 0 << true;
    QTest::newRow("byte 163 shared, 256") << Hex("01 00 00") << 256 << true;
    QTest::newRow("byte 163 shared, 257") << Hex("01 00 00") << 257 << false;
    // upper = 5, lower = 1280: an empty window
    QTest::newRow("empty window") << Hex("00 05 00") << 5 << false;
}

void tst_InstrumentReceiver::pumpWindow()
{
    QFETCH(QByteArray, windowBytes);
    QFETCH(int, word);
    QFETCH(bool, running);

    Rig rig;
    rig.host.splashExists = false;
    rig.JoinCountdown();
    rig.SetPumpWindow(quint8(windowBytes[0]), quint8(windowBytes[1]), quint8(windowBytes[2]));
    rig.host.pumpRunning = !running;
    const QStringList events = rig.Feed(Word(word));
    QCOMPARE(events.value(0), u"service show"_s);
    QCOMPARE(events.value(1), u"pump %1"_s.arg(int(running)));
    QCOMPARE(int(rig.data.CountdownValue), word);
    QCOMPARE(rig.data.CountdownLowNext, true);
    QCOMPARE(rig.data.ReceiverState, word == 0 ? rsStreaming : rsCountdown);
}

void tst_InstrumentReceiver::countdownEnd_data()
{
    QTest::addColumn<bool>("splashExists");
    QTest::addColumn<bool>("splashTimerFired");
    QTest::addColumn<bool>("measurementVisible");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("events");

    // Words 2, 1, 0 with the pump window 0..256 (image 162..164 = 01 00 00).
    const QString end = u"pump 1;state rsStreaming;pump 0;capture 1;send 196;newcar 1"_s;
    QTest::newRow("splash open, two seconds over")
        << true << true << false << 0
        << u"splash close;service show;pump 1;pump 1;"_s + end + u";service close"_s;
    QTest::newRow("splash within its two seconds")
        << true << false << false << 0 << u"pump 1;pump 1;"_s + end;
    QTest::newRow("no splash, vehicle page shown")
        << false << true << false << 2
        << u"service show;pump 1;pump 1;"_s + end + u";measure 1;service close"_s;
    QTest::newRow("measurement dialog open")
        << false << true << true << 1
        << u"measurement close;service show;pump 1;pump 1;"_s + end + u";measure 1;service close"_s;
}

void tst_InstrumentReceiver::countdownEnd()
{
    QFETCH(bool, splashExists);
    QFETCH(bool, splashTimerFired);
    QFETCH(bool, measurementVisible);
    QFETCH(int, page);
    QFETCH(QString, events);

    Rig rig;
    rig.host.splashExists = splashExists;
    rig.host.splashTimerFired = splashTimerFired;
    rig.host.shownPage = page;
    rig.SetPumpWindow(0x01, 0x00, 0x00);
    rig.JoinCountdown();
    rig.host.measurementDialogVisible = measurementVisible;
    QCOMPARE(rig.Feed(Word(2) + Word(1) + Word(0)), Events(events));
    QCOMPARE(rig.data.ReceiverState, rsStreaming);
    QCOMPARE(rig.data.ZeroCapture, true);
    QCOMPARE(rig.host.serviceWindows, 0);
    QCOMPARE(rig.receiver.ServiceWindowOpen(), false);
}

// ---- calibration block ------------------------------------------------------

void tst_InstrumentReceiver::calibrationBlock_data()
{
    QTest::addColumn<bool>("zeroPrefixSeen");
    QTest::addColumn<bool>("zeroCapture");
    QTest::addColumn<bool>("splashExists");
    QTest::addColumn<quint8>("firstByte");
    QTest::addColumn<QString>("events");
    QTest::addColumn<TReceiverState>("state");
    QTest::addColumn<int>("imagePos");

    QTest::newRow("64 bytes, splash open")
        << false << true << true << quint8(0x01)
        << u"block;state rsStreaming;splash close;watchdog start"_s << rsStreaming << 192;
    QTest::newRow("64 bytes, splash gone")
        << false << false << false << quint8(0x01) << u"block;state rsStreaming;watchdog start"_s
        << rsStreaming << 192;
    QTest::newRow("65 after a zero prefix, capture off")
        << true << false << true << quint8(0x01) << u"block;state rsDetecting"_s << rsDetecting
        << 0;
    QTest::newRow("65 after a zero prefix, capture on")
        << true << true << true << quint8(0x01) << u"block"_s << rsCalibrationBlock << 0;
    QTest::newRow("empty block halts, splash stays")
        << false << false << true << quint8(0xFF) << u"block;state rsHalted"_s << rsHalted << 192;
    QTest::newRow("empty block after a zero prefix")
        << true << true << true << quint8(0xFF) << u"block;state rsHalted"_s << rsHalted << 193;
}

void tst_InstrumentReceiver::calibrationBlock()
{
    QFETCH(bool, zeroPrefixSeen);
    QFETCH(bool, zeroCapture);
    QFETCH(bool, splashExists);
    QFETCH(quint8, firstByte);
    QFETCH(QString, events);
    QFETCH(TReceiverState, state);
    QFETCH(int, imagePos);

    Rig rig;
    rig.JoinLiveStream();
    rig.data.ZeroPrefixSeen = zeroPrefixSeen;
    rig.data.ZeroCapture = zeroCapture;
    rig.host.splashExists = splashExists;
    rig.data.InstrumentImage.fill(0xEE);

    const int length = zeroPrefixSeen ? 65 : 64;
    QByteArray block(length, Qt::Uninitialized);
    block[0] = char(firstByte);
    for (int i = 1; i < length; ++i)
        block[i] = char(i);
    QCOMPARE(rig.Feed(Hex("C4")), Events(u"state rsCalibrationBlock"_s));
    QCOMPARE(rig.data.ImagePos, 128);
    QCOMPARE(rig.Feed(block), QStringList());
    QCOMPARE(rig.data.BlockReceived, false);

    QCOMPARE(rig.Feed(Hex("AB")), Events(events)); // dropped
    QCOMPARE(rig.data.BlockReceived, true);
    QCOMPARE(rig.data.ReceiverState, state);
    QCOMPARE(rig.data.ImagePos, imagePos);
    for (int i = 0; i < length; ++i)
        QCOMPARE(rig.data.InstrumentImage[128 + i], quint8(block[i]));
    for (int i = 128 + length; i < 256; ++i)
        QCOMPARE(rig.data.InstrumentImage[i], 0xEE);
    QCOMPARE(rig.data.InstrumentImage[127], 0xEE);
}

// With capture on, after a zero prefix whole images of 193 bytes follow.
void tst_InstrumentReceiver::zeroPrefixImageLoop()
{
    Rig rig;
    rig.Feed(Hex("00 00 01") + Word(0)); // zero prefix, countdown ended at once
    QCOMPARE(rig.data.ZeroCapture, true);
    rig.Feed(Hex("C4") + QByteArray(65, char(0x10)) + Hex("AB"));
    QCOMPARE(rig.data.ReceiverState, rsCalibrationBlock);
    QCOMPARE(rig.data.ImagePos, 0);

    for (int pass = 0; pass < 2; ++pass) {
        QByteArray image(193, Qt::Uninitialized);
        for (int i = 0; i < 193; ++i)
            image[i] = char(i + pass);
        QCOMPARE(rig.Feed(image), QStringList());
        QCOMPARE(rig.Feed(Hex("E0")), Events(u"block"_s));
        QCOMPARE(rig.data.ImagePos, 0);
        for (int i = 0; i < 193; ++i)
            QCOMPARE(rig.data.InstrumentImage[i], quint8(i + pass));
        QCOMPARE(rig.data.InstrumentImage[193], 0);
    }
}

void tst_InstrumentReceiver::haltedIgnoresEverything()
{
    Rig rig;
    rig.JoinLiveStream();
    rig.Feed(Hex("C4 FF") + QByteArray(63, 0) + Hex("00"));
    QCOMPARE(rig.data.ReceiverState, rsHalted);
    const ReceiverData before = rig.data;
    QCOMPARE(rig.Feed(Hex("E3 2A 13 05 80 85 C1 C2 C4 D0 D2 96 00 00 05 01 04 01")), QStringList());
    QCOMPARE(rig.data.InstrumentImage, before.InstrumentImage);
    QCOMPARE(rig.data.ReceiverState, rsHalted);
    QCOMPARE(rig.data.ImagePos, before.ImagePos);
    QCOMPARE(rig.data.LastModeCode, before.LastModeCode);
}

// ---- live stream ------------------------------------------------------------

void tst_InstrumentReceiver::streamingCodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("captureBefore");
    QTest::addColumn<QString>("events");
    QTest::addColumn<TReceiverState>("state");
    QTest::addColumn<int>("lastModeCode");
    QTest::addColumn<bool>("capture");

    const QString countdown = u"state rsCountdown;newcar 0;measure 0"_s;
    QTest::newRow("128 ends capture")
        << Hex("80") << true << u"capture 0"_s << rsStreaming << 128 << false;
    QTest::newRow("128 without capture")
        << Hex("80") << false << u""_s << rsStreaming << 128 << false;
    QTest::newRow("133 starts capture")
        << Hex("85") << false << u"capture 1"_s << rsStreaming << 133 << true;
    QTest::newRow("modes 129..143 only remembered")
        << Hex("81 84 86 8F") << true << u""_s << rsStreaming << 143 << true;
    QTest::newRow("210 right after detection")
        << Hex("D2") << false << countdown << rsCountdown << 128 << false;
    QTest::newRow("210 after mode 133")
        << Hex("85 D2") << false << u"capture 1;"_s + countdown << rsCountdown << 133 << true;
    QTest::newRow("210 after mode 132")
        << Hex("84 D2") << false << countdown << rsCountdown << 132 << false;
    QTest::newRow("210 after mode 134 ignored")
        << Hex("86 D2") << false << u""_s << rsStreaming << 134 << false;
    QTest::newRow("210 after mode 143 ignored")
        << Hex("8F D2") << false << u""_s << rsStreaming << 143 << false;
    QTest::newRow("196 block follows") << Hex("C4") << false << u"state rsCalibrationBlock"_s
                                       << rsCalibrationBlock << 128 << false;
    QTest::newRow("208 twice toggles the pump")
        << Hex("D0 D0") << false << u"pump 1;pump 0"_s << rsStreaming << 128 << false;
    QTest::newRow("notice on, off")
        << Hex("C1 C2") << false
        << u"newcar 0;measure 0;notice show;watchdog stop;notice close;newcar 1;watchdog start"_s
        << rsStreaming << 128 << false;
    QTest::newRow("second notice on keeps the open one")
        << Hex("C1 C1 C2") << false
        << u"newcar 0;measure 0;notice show;watchdog stop;newcar 0;measure 0;watchdog stop;"
           "notice close;newcar 1;watchdog start"_s
        << rsStreaming << 128 << false;
    QTest::newRow("notice off twice: loss of step")
        << Hex("C1 C2 C2") << false
        << u"newcar 0;measure 0;notice show;watchdog stop;notice close;newcar 1;watchdog start;"
           "state rsDetecting"_s
        << rsDetecting << 128 << false;
    QTest::newRow("ignored codes") << Hex("B0 BF C0 C3 C5 CF D1 D3 DF E8 EF F8 FF") << true << u""_s
                                   << rsStreaming << 128 << true;
}

void tst_InstrumentReceiver::streamingCodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, captureBefore);
    QFETCH(QString, events);
    QFETCH(TReceiverState, state);
    QFETCH(int, lastModeCode);
    QFETCH(bool, capture);

    Rig rig;
    rig.JoinLiveStream();
    rig.data.ZeroCapture = captureBefore;
    rig.data.CurrentChannel = 5;
    QCOMPARE(rig.Feed(bytes), Events(events));
    QCOMPARE(rig.data.ReceiverState, state);
    QCOMPARE(rig.data.LastModeCode, lastModeCode);
    QCOMPARE(rig.data.ZeroCapture, capture);
    QCOMPARE(rig.data.ImagePos, state == rsCalibrationBlock ? 128 : 8);
    QCOMPARE(rig.data.CurrentChannel, 5);
    QCOMPARE(rig.host.noticeWindows, 0);
    QCOMPARE(rig.receiver.NoticeWindowOpen(), false);
    if (state == rsCountdown)
        QCOMPARE(rig.data.CountdownLowNext, true);
}

void tst_InstrumentReceiver::readings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("events");

    QTest::newRow("four-byte reading") << Hex("E3 2A 13 05") << u"reading 3 2613"_s;
    QTest::newRow("low nibble alone resends")
        << Hex("E3 2A 13 05 07") << u"reading 3 2613;reading 3 2615"_s;
    QTest::newRow("fourth nibble position ignored") << Hex("E3 2A 13 3F 05") << u"reading 3 2613"_s;
    QTest::newRow("bit 6 ignored") << Hex("E0 6A 53 45") << u"reading 0 2613"_s;
    QTest::newRow("channels 8..15") << Hex("F2 2A 13 05 F7 2F 1F 0F F0 20 10 00")
                                    << u"reading 10 2613;reading 15 4095;reading 8 0"_s;
    QTest::newRow("channel stays selected")
        << Hex("E7 21 12 03 24 15 06") << u"reading 7 291;reading 7 1110"_s;
    QTest::newRow("status codes between nibbles")
        << Hex("E1 2A 81 13 D1 05") << u"reading 1 2613"_s;
    QTest::newRow("before any channel select") << Hex("2F 1F 0F") << u"reading 0 4095"_s;
    QTest::newRow("captured readings are delivered too")
        << Hex("85 E4 21 12 03 80 05") << u"capture 1;reading 4 291;capture 0;reading 4 293"_s;
}

void tst_InstrumentReceiver::readings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, events);

    Rig rig;
    rig.JoinLiveStream();
    QCOMPARE(rig.Feed(bytes), Events(events));
}

void tst_InstrumentReceiver::diagnosticMode_data()
{
    QTest::addColumn<quint8>("code");
    QTest::addColumn<bool>("diagnostic");

    QTest::newRow("143 is an operating mode") << quint8(143) << false;
    QTest::newRow("144") << quint8(144) << true;
    QTest::newRow("150") << quint8(150) << true;
    QTest::newRow("175") << quint8(175) << true;
    QTest::newRow("176 is ignored") << quint8(176) << false;
}

void tst_InstrumentReceiver::diagnosticMode()
{
    QFETCH(quint8, code);
    QFETCH(bool, diagnostic);

    Rig rig;
    rig.JoinLiveStream();
    rig.Feed(Hex("C1")); // whatever the windows show
    const QByteArray codeByte(1, char(code));
    const QStringList events = rig.Feed(codeByte);
    if (!diagnostic) {
        QCOMPARE(events, QStringList());
        return;
    }
    QCOMPARE(events,
        QStringList({ u"diagnostic %1"_s.arg(code), u"disconnect"_s, u"watchdog stop"_s,
            u"message  Данная версия программы не поддерживает работу в режиме "
            u"диагностики\r Приложение будет закрыто"_s,
            u"mainwindow close"_s }));
    QCOMPARE(rig.data.LastModeCode, int(code));
    // The rest of the batch finds the program closing: no second message.
    QCOMPARE(rig.Feed(codeByte + Hex("E3 2A 13 05 C2")), QStringList());
}

void tst_InstrumentReceiver::resetForPortSetup()
{
    Rig rig;
    rig.JoinLiveStream();
    rig.Feed(Hex("C4 FF") + QByteArray(64, 0));
    QCOMPARE(rig.data.ReceiverState, rsHalted);
    rig.receiver.ResetForPortSetup();
    QCOMPARE(rig.host.TakeEvents(), Events(u"state rsDetecting"_s));
    QCOMPARE(rig.data.ImagePos, 192); // only the state is reset
    QCOMPARE(rig.data.BlockReceived, true);
}

// ---- bytes delivered from nested message loops ------------------------------

// The pump guard's message runs a nested loop; a mode 128 delivered there
// comes after the word 0 and must end the capture that the word 0 began.
void tst_InstrumentReceiver::nestedByteFindsCountdownFinished()
{
    Rig rig;
    rig.host.splashExists = false;
    rig.JoinCountdown();
    bool delivered = false;
    rig.host.onEvent = [&](const QString &event) {
        if (event.startsWith(u"pump"_s) && !delivered) {
            delivered = true;
            rig.receiver.ReceiveByte(0x80);
        }
    };
    rig.Feed(Word(0));
    QVERIFY(delivered);
    QCOMPARE(rig.data.ReceiverState, rsStreaming);
    QCOMPARE(rig.data.ZeroCapture, false);
    QCOMPARE(rig.data.LastModeCode, 128);
    QCOMPARE(rig.data.CountdownLowNext, true);
}

// Countdown bytes delivered while the service window opens or the splash
// closes must not stack a second service window.
void tst_InstrumentReceiver::nestedBytesOpenOneServiceWindow()
{
    Rig rig;
    rig.JoinCountdown();
    int depth = 0;
    rig.host.onEvent = [&](const QString &event) {
        if ((event == u"service show"_s || event == u"splash close"_s) && depth < 3) {
            ++depth;
            rig.receiver.ReceiveByte(0x03);
        }
    };
    rig.Feed(Hex("03 01"));
    QCOMPARE(rig.host.serviceWindows, 1);
    QVERIFY(rig.receiver.ServiceWindowOpen());
    rig.host.onEvent = nullptr;
    rig.Feed(Word(0) + Word(0));
    QCOMPARE(rig.host.serviceWindows, 0);
}

// A countdown byte's windows (measurement dialog, splash, service window)
// run nested loops that deliver the next bytes: each "event=bytes" item
// delivers its bytes, in turn, the first time that event follows the
// previous item's. The byte that was interrupted counts before them.
void tst_InstrumentReceiver::nestedBytesDuringCountdown_data()
{
    QTest::addColumn<bool>("splashExists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("nested");
    QTest::addColumn<QString>("events");
    QTest::addColumn<TReceiverState>("state");
    QTest::addColumn<int>("countdownValue");
    QTest::addColumn<int>("serviceWindows");

    // Low byte 03 first, high byte 01 in the nested loop: the word 259.
    QTest::newRow("high byte while the dialog closes")
        << false << Hex("03") << QStringList { u"measurement close=01"_s }
        << u"measurement close;service show;pump 0"_s << rsCountdown << 259 << 1;
    // The high byte 00 ends the countdown, two readings arrive while the
    // service window opens, and a 194 without a notice sends the receiver
    // back to detection; the interrupted low byte must not complete another
    // word 0 there (it used to: detection straight to streaming, 196 sent).
    QTest::newRow("countdown ended and step lost while the dialog closes")
        << false << Hex("00")
        << QStringList { u"measurement close=00 C2"_s, u"service show=00 00"_s }
        << u"measurement close;service show;reading 0 0;reading 0 0;pump 1;state rsStreaming;"
           u"pump 0;capture 1;send 196;newcar 1;service close;state rsDetecting"_s
        << rsDetecting << 0 << 0;
}

void tst_InstrumentReceiver::nestedBytesDuringCountdown()
{
    QFETCH(bool, splashExists);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, nested);
    QFETCH(QString, events);
    QFETCH(TReceiverState, state);
    QFETCH(int, countdownValue);
    QFETCH(int, serviceWindows);

    Rig rig;
    rig.host.splashExists = splashExists;
    rig.JoinCountdown(); // pump window 0..0: only the word 0 lies inside
    rig.host.measurementDialogVisible = true;
    rig.host.onEvent = [&](const QString &event) {
        if (nested.isEmpty() || !nested.first().startsWith(event + u'='))
            return;
        const QByteArray deliver = Hex(nested.takeFirst().section(u'=', 1).toLatin1());
        for (const char b : deliver)
            rig.receiver.ReceiveByte(static_cast<quint8>(b));
    };
    QCOMPARE(rig.Feed(bytes), Events(events));
    QVERIFY2(nested.isEmpty(), qPrintable(nested.join(u' ')));
    QCOMPARE(rig.data.ReceiverState, state);
    QCOMPARE(int(rig.data.CountdownValue), countdownValue);
    QCOMPARE(rig.host.serviceWindows, serviceWindows);
    QCOMPARE(int(rig.receiver.ServiceWindowOpen()), serviceWindows);
}

QTEST_GUILESS_MAIN(tst_InstrumentReceiver)
#include "tst_instrumentreceiver.moc"
