#include "calibrationblock.h"
#include "compute/conversions.h"
#include "enginemodel.h"
#include "instrumentcodes.h"
#include "programconversions.h"
#include "protocolresponder.h"
#include "readingencoder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavro;
using namespace kavro::sim;

namespace {

const QString Simulator = QStringLiteral(KAVRO_SIMULATOR);
const QString Decoder = QStringLiteral(KAVRO_DECODER);

// Quantity numbers in the decoder's "value" lines.
enum Quantity { qCO = 0, qCH, qCO2, qO2, qLambda, qRpm, qTemperature };

struct Decoded
{
    QStringList events; // every line but readings, values and pump states
    QMap<int, QList<double>> values; // by quantity, in order
    QMap<int, int> zeroReadings; // by channel, the last stored
};

QByteArray RunSimulatorSession(const QStringList &arguments, const QString &folder)
{
    const QString output = folder + u"/session.bin"_s;
    QProcess simulator;
    simulator.start(Simulator,
        QStringList { u"--output"_s, output, u"--fast"_s, u"--log"_s, folder + u"/session.log"_s }
            + arguments);
    if (!simulator.waitForFinished(30000) || simulator.exitCode() != 0)
        qWarning() << simulator.readAllStandardError();
    QFile file(output);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Decoded Decode(const QString &captureFile)
{
    QProcess decoder;
    decoder.start(Decoder, { captureFile });
    decoder.waitForFinished(30000);
    Decoded decoded;
    const QList<QByteArray> lines = decoder.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> words = line.split(' ');
        if (words.value(0) == "value")
            decoded.values[words.value(1).toInt()].append(words.value(2).toDouble());
        else if (words.value(0) == "zero")
            decoded.zeroReadings[words.value(1).toInt()] = words.value(2).toInt();
        else if (!line.isEmpty() && words.value(0) != "reading" && words.value(0) != "pump")
            decoded.events.append(QString::fromLatin1(line));
    }
    return decoded;
}

double MeanOfLast(const QList<double> &values, qsizetype count)
{
    if (values.isEmpty())
        return qQNaN();
    const QList<double> last = values.mid(std::max<qsizetype>(0, values.size() - count));
    double sum = 0;
    for (double value : last)
        sum += value;
    return sum / static_cast<double>(last.size());
}

// True when the events contain the expected ones in this order (others may
// lie between them).
bool ContainsInOrder(const QStringList &events, const QStringList &expected)
{
    qsizetype at = 0;
    for (const QString &event : events) {
        if (at < expected.size() && event == expected.at(at))
            ++at;
    }
    return at == expected.size();
}

ReadingEncoder ServicedEncoder()
{
    return ReadingEncoder(ProgramConversions(CalibrationBlock::Serviced().Image()));
}

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodedReadingsConvertBack_data();
    void encodedReadingsConvertBack();
    void calibrationBlockOnTheWire();
    void zeroSettingCountsDownThroughThePumpWindow();
    void commandsDuringZeroSettingAreAnsweredAfterIt();
    void decodedSessionGivesTheEngineValues_data();
    void decodedSessionGivesTheEngineValues();
    void scenariosAsTheProgramSeesThem_data();
    void scenariosAsTheProgramSeesThem();
    void fallsSilent();
    void engineFollowsItsSchedule_data();
    void engineFollowsItsSchedule();
    void playsTheInstrumentOnAPseudoTerminal();
    void endsWithTheProgram();
    void keepsAFileInTheWayOfItsLink();
    void refusesBadOptions_data();
    void refusesBadOptions();
};

// The encoder searches the program's conversions in reverse: the raw value
// it picks must convert back to the target within the conversion's step.
void TestSimulator::encodedReadingsConvertBack_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("target");
    QTest::addColumn<int>("coZero");
    QTest::addColumn<int>("chZero");
    QTest::addColumn<int>("compensation");
    QTest::addColumn<double>("tolerance");

    QTest::newRow("CO 0.80 % after zero setting")
        << int(chCO) << 0.80 << 372 << 458 << 2440 << 0.01;
    QTest::newRow("CO 2.00 %, compensated") << int(chCO) << 2.00 << 372 << 458 << 2452 << 0.02;
    QTest::newRow("CO 0 % reads 0") << int(chCO) << 0.0 << 372 << 458 << 2440 << 0.0;
    QTest::newRow("CH 180 ppm") << int(chCH) << 180.0 << 372 << 458 << 2440 << 1.0;
    QTest::newRow("CH 380 ppm, compensated") << int(chCH) << 380.0 << 372 << 458 << 2428 << 2.0;
    QTest::newRow("CO2 13.8 %") << int(chCO2) << 13.8 << 372 << 458 << 2440 << 0.05;
    QTest::newRow("CO2 14.5 %, compensated") << int(chCO2) << 14.5 << 0 << 0 << 2452 << 0.1;
    QTest::newRow("O2 20.9 % (air)") << int(chO2) << 20.9 << 0 << 0 << 0 << 0.01;
    QTest::newRow("O2 0.80 %") << int(chO2) << 0.80 << 0 << 0 << 0 << 0.01;
    QTest::newRow("800 rpm") << int(chEngineSpeed) << 800.0 << 0 << 0 << 0 << 4.0;
    QTest::newRow("2500 rpm") << int(chEngineSpeed) << 2500.0 << 0 << 0 << 0 << 4.0;
    QTest::newRow("20 °C") << int(chTemperature) << 20.0 << 0 << 0 << 0 << 0.1;
    QTest::newRow("85 °C") << int(chTemperature) << 85.0 << 0 << 0 << 0 << 0.1;
}

void TestSimulator::encodedReadingsConvertBack()
{
    QFETCH(int, channel);
    QFETCH(double, target);
    QFETCH(int, coZero);
    QFETCH(int, chZero);
    QFETCH(int, compensation);
    QFETCH(double, tolerance);

    ReadingEncoder encoder = ServicedEncoder();
    ZeroLevels zero {};
    zero[chCO] = coZero;
    zero[chCH] = chZero;
    const int raw = encoder.Encode(channel, target, zero, compensation);
    QVERIFY(raw >= 0 && raw <= 4095);

    // Convert with the program's code directly, not through the encoder.
    ReceiverData receiver;
    receiver.InstrumentImage = CalibrationBlock::Serviced().Image();
    receiver.BlockReceived = true;
    receiver.ZeroReadings = zero;
    double converted = 0;
    switch (channel) {
    case chCO:
        converted = ConvertCO(receiver, raw, compensation);
        break;
    case chCH:
        converted = ConvertCH(receiver, raw, compensation);
        break;
    case chCO2:
        converted = ConvertCO2(receiver, raw, compensation);
        break;
    case chO2:
        converted = ConvertO2(receiver.InstrumentImage, raw);
        break;
    case chEngineSpeed:
        converted = ConvertEngineSpeed(receiver.InstrumentImage, raw);
        break;
    default:
        converted = ConvertTemperature(receiver.InstrumentImage, raw);
        break;
    }
    QVERIFY2(std::abs(converted - target) <= tolerance + 1e-9,
        qPrintable(u"raw %1 converts to %2"_s.arg(raw).arg(converted)));
}

void TestSimulator::calibrationBlockOnTheWire()
{
    EngineModel engine({});
    ReadingEncoder encoder = ServicedEncoder();
    const CalibrationBlock block = CalibrationBlock::Serviced();
    ProtocolResponder responder({}, block, engine, encoder);

    responder.ReceiveCommand(code::CalibrationBlock);
    const QByteArray chunk = responder.NextChunk(0);
    QCOMPARE(static_cast<std::uint8_t>(chunk.at(0)), code::CalibrationBlock);
    QCOMPARE(chunk.mid(1, 64), block.Bytes());
    QCOMPARE(static_cast<std::uint8_t>(chunk.at(65)), block.TrailerByte());
    // A live frame follows the block: mode code, then channel 0 selected.
    QCOMPARE(static_cast<std::uint8_t>(chunk.at(66)), code::ModeMeasuring);
    QCOMPARE(static_cast<std::uint8_t>(chunk.at(67)), code::SelectChannel0);

    QCOMPARE(static_cast<std::uint8_t>(block.Bytes().at(0)), 0x02);
    QCOMPARE(static_cast<std::uint8_t>(CalibrationBlock::Erased().Bytes().at(0)), 0xFF);
    QCOMPARE(block.PumpWindowUpper(), 256);
    QCOMPARE(block.PumpWindowLower(), 60);
}

void TestSimulator::zeroSettingCountsDownThroughThePumpWindow()
{
    EngineModel engine({});
    ReadingEncoder encoder = ServicedEncoder();
    ProtocolResponder::Settings settings;
    settings.countdownStart = 300;
    settings.countdownWordSeconds = 0.025;
    ProtocolResponder responder(settings, CalibrationBlock::Serviced(), engine, encoder);

    responder.ReceiveCommand(code::ZeroSetting);
    QByteArray first = responder.NextChunk(1.0);
    QCOMPARE(first.first(2), QByteArray("\x80\xD2"));
    first.remove(0, 2);

    // One word per 25 ms, low byte first, from 300 down to 0; nothing in between.
    QByteArray words = first;
    double now = 1.0;
    QVERIFY(responder.NextChunk(now).isEmpty());
    for (int word = 299; word >= 0; --word) {
        now = responder.NextDueTime();
        const QByteArray chunk = responder.NextChunk(now);
        QCOMPARE(chunk.size(), 2);
        words += chunk;
        const bool inWindow = word >= 60 && word <= 256;
        QVERIFY2(engine.PumpRunning() == (inWindow && word != 0),
            qPrintable(u"pump at word %1"_s.arg(word)));
    }
    QCOMPARE(now, 1.0 + 300 * 0.025);
    for (int i = 0; i <= 300; ++i) {
        const int word = static_cast<std::uint8_t>(words.at(2 * i))
            + 256 * static_cast<std::uint8_t>(words.at(2 * i + 1));
        QCOMPARE(word, 300 - i);
    }
    // Then zero-level frames.
    QCOMPARE(static_cast<std::uint8_t>(responder.NextChunk(now).at(0)), code::ModeZeroReadings);
}

void TestSimulator::commandsDuringZeroSettingAreAnsweredAfterIt()
{
    EngineModel engine({});
    ReadingEncoder encoder = ServicedEncoder();
    ProtocolResponder::Settings settings;
    settings.countdownStart = 2;
    ProtocolResponder responder(settings, CalibrationBlock::Serviced(), engine, encoder);

    responder.ReceiveCommand(code::ZeroSetting);
    QByteArray stream = responder.NextChunk(0);
    responder.ReceiveCommand(code::PumpSwitch);
    for (int i = 0; i < 2; ++i)
        stream += responder.NextChunk(responder.NextDueTime());
    // The countdown is not interrupted by the echo.
    QCOMPARE(stream,
        QByteArray::fromHex("80d2"
                            "0200"
                            "0100"
                            "0000"));

    const QByteArray after = responder.NextChunk(1.0);
    QCOMPARE(static_cast<std::uint8_t>(after.at(0)), code::PumpSwitch);
    QCOMPARE(static_cast<std::uint8_t>(after.at(1)), code::ModeZeroReadings);
    QVERIFY(engine.PumpRunning());
}

// A whole session as the program would hold it: the simulator's bytes for
// the program's commands (210 on joining, 196 after the countdown, 208 for
// the pump), fed to the program's receiver and conversions by the decoder.
void TestSimulator::decodedSessionGivesTheEngineValues_data()
{
    QTest::addColumn<QStringList>("engineOptions");
    QTest::addColumn<QList<double>>("expected"); // CO, CH, CO2, O2, λ, rpm, °C
    QTest::addColumn<QList<double>>("tolerance");

    const QList<double> exact { 0.02, 2, 0.1, 0.02, 0.01, 5, 0.2 };
    const QList<double> noisy { 0.03, 4, 0.15, 0.03, 0.02, 15, 0.3 };
    QTest::newRow("warm, minimum idle")
        << QStringList { u"--warm"_s, u"--noise"_s, u"0"_s }
        << QList<double> { 0.80, 180, 13.8, 0.80, 1.007, 800, 85 } << exact;
    QTest::newRow("warm, increased idle")
        << QStringList { u"--warm"_s, u"--raised"_s, u"--noise"_s, u"0"_s }
        << QList<double> { 0.30, 90, 14.5, 0.50, 1.011, 2500, 85 } << exact;
    QTest::newRow("cold start") << QStringList { u"--warm-up"_s, u"1000000"_s, u"--noise"_s,
        u"0"_s } << QList<double> { 2.00, 380, 12.6, 1.00, 0.972, 800, 20 }
                                << exact;
    QTest::newRow("warm, minimum idle, with noise")
        << QStringList { u"--warm"_s, u"--seed"_s, u"5"_s }
        << QList<double> { 0.80, 180, 13.8, 0.80, 1.007, 800, 85 } << noisy;
}

void TestSimulator::decodedSessionGivesTheEngineValues()
{
    QFETCH(QStringList, engineOptions);
    QFETCH(QList<double>, expected);
    QFETCH(QList<double>, tolerance);

    QTemporaryDir folder;
    const QByteArray bytes
        = RunSimulatorSession(QStringList { u"--duration"_s, u"20"_s, u"--countdown"_s, u"40"_s,
                                  u"--commands"_s, u"0.1:210,1.5:196,1.6:208"_s }
                + engineOptions,
            folder.path());
    // 20 s of a 960 bytes/s line, less the countdown's pauses.
    QVERIFY2(
        bytes.size() > 17000 && bytes.size() <= 19200, qPrintable(QString::number(bytes.size())));

    const Decoded decoded = Decode(folder.path() + u"/session.bin"_s);
    QVERIFY2(ContainsInOrder(decoded.events,
                 { u"state rsStreaming"_s, u"send 210"_s, u"state rsCountdown"_s, u"capture 1"_s,
                     u"send 196"_s, u"state rsCalibrationBlock"_s, u"block"_s,
                     u"state rsStreaming"_s, u"watchdog start"_s, u"capture 0"_s }),
        qPrintable(decoded.events.join(u"; "_s)));
    // The program captured the sensors' zero levels after the zero setting.
    QVERIFY(std::abs(decoded.zeroReadings.value(chCO) - 372) <= 1);
    QVERIFY(std::abs(decoded.zeroReadings.value(chCH) - 458) <= 1);

    // The last 5 s of values (about 145 frames).
    for (int quantity = qCO; quantity <= qTemperature; ++quantity) {
        const double mean = MeanOfLast(decoded.values.value(quantity), 145);
        QVERIFY2(std::abs(mean - expected.at(quantity)) <= tolerance.at(quantity),
            qPrintable(u"quantity %1: %2, expected %3"_s.arg(quantity).arg(mean).arg(
                expected.at(quantity))));
    }
}

void TestSimulator::scenariosAsTheProgramSeesThem_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("expectedEvents");
    QTest::addColumn<QStringList>("absentEvents");

    const QString join = u"0.1:210,1.5:196"_s;
    QTest::newRow("joined mid-countdown")
        << QStringList { u"--mid-countdown"_s, u"--commands"_s, u"1.0:196"_s }
        << QStringList { u"state rsCountdown"_s, u"service show"_s, u"send 196"_s, u"block"_s,
               u"state rsStreaming"_s }
        << QStringList { u"send 210"_s };
    QTest::newRow("zero prefix") << QStringList { u"--zero-prefix"_s, u"--commands"_s,
        u"1.0:196"_s }
                                 << QStringList { u"state rsZeroPrefix"_s, u"state rsCountdown"_s,
                                        u"send 196"_s, u"state rsCalibrationBlock"_s, u"block"_s }
                                 << QStringList { u"watchdog start"_s };
    QTest::newRow("empty calibration block")
        << QStringList { u"--empty-block"_s, u"--commands"_s, join }
        << QStringList { u"send 196"_s, u"state rsCalibrationBlock"_s, u"block"_s,
               u"state rsHalted"_s }
        << QStringList { u"watchdog start"_s };
    QTest::newRow("maintenance notice")
        << QStringList { u"--maintenance"_s, u"3:4"_s, u"--commands"_s, join }
        << QStringList { u"watchdog start"_s, u"notice show"_s, u"watchdog stop"_s,
               u"notice close"_s, u"newcar 1"_s, u"watchdog start"_s }
        << QStringList {};
    QTest::newRow("diagnostic mode")
        << QStringList { u"--diagnostic"_s, u"3:160"_s, u"--commands"_s, join }
        << QStringList { u"watchdog start"_s, u"diagnostic"_s } << QStringList {};
}

void TestSimulator::scenariosAsTheProgramSeesThem()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, expectedEvents);
    QFETCH(QStringList, absentEvents);

    QTemporaryDir folder;
    QVERIFY(!RunSimulatorSession(
        QStringList { u"--duration"_s, u"5"_s, u"--countdown"_s, u"30"_s } + options, folder.path())
                 .isEmpty());
    const Decoded decoded = Decode(folder.path() + u"/session.bin"_s);
    QVERIFY2(
        ContainsInOrder(decoded.events, expectedEvents), qPrintable(decoded.events.join(u"; "_s)));
    for (const QString &absent : absentEvents)
        QVERIFY2(!decoded.events.contains(absent), qPrintable(absent));
}

void TestSimulator::fallsSilent()
{
    QTemporaryDir folder;
    const QByteArray bytes = RunSimulatorSession(
        { u"--duration"_s, u"10"_s, u"--countdown"_s, u"20"_s, u"--silent-after"_s, u"4"_s,
            u"--commands"_s, u"0.1:210,1.0:196,5:208"_s },
        folder.path());
    // At most 4 s of line time, less the countdown's pauses; no echo of
    // the late 208.
    QVERIFY2(bytes.size() > 2500 && bytes.size() <= 4 * 960 + 66,
        qPrintable(QString::number(bytes.size())));
    QVERIFY(!bytes.endsWith(static_cast<char>(code::PumpSwitch)));
    const Decoded decoded = Decode(folder.path() + u"/session.bin"_s);
    QCOMPARE(decoded.events.last(), u"capture 0"_s); // the watchdog runs; silence follows
    QVERIFY(decoded.events.contains(u"watchdog start"_s));
}

void TestSimulator::engineFollowsItsSchedule_data()
{
    QTest::addColumn<double>("at");
    QTest::addColumn<double>("rpm");
    QTest::addColumn<double>("temperature");

    // --cycle 20 with a warm-up of 300 s: increased idle from 20 s to 40 s.
    QTest::newRow("start") << 0.0 << 800.0 << 20.0;
    QTest::newRow("minimum idle") << 15.0 << 800.0 << 29.1;
    QTest::newRow("increased idle") << 35.0 << 2500.0 << 39.2;
    QTest::newRow("minimum idle again") << 55.0 << 800.0 << 47.5;
    QTest::newRow("nearly warm") << 290.0 << 800.0 << 81.4;
}

void TestSimulator::engineFollowsItsSchedule()
{
    QFETCH(double, at);
    QFETCH(double, rpm);
    QFETCH(double, temperature);

    EngineModel::Settings settings;
    settings.cycleSeconds = 20;
    settings.warmUpSeconds = 300;
    EngineModel engine(settings);
    for (double t = 0; t <= at; t += 0.5)
        engine.Advance(t);
    QVERIFY2(
        std::abs(engine.Exact().rpm - rpm) < 5, qPrintable(QString::number(engine.Exact().rpm)));
    QVERIFY2(std::abs(engine.Exact().temperature - temperature) < 0.1,
        qPrintable(QString::number(engine.Exact().temperature)));
}

void TestSimulator::playsTheInstrumentOnAPseudoTerminal()
{
    QTemporaryDir folder;
    const QString link = folder.path() + u"/instrument"_s;
    const QString log = folder.path() + u"/commands.log"_s;
    QProcess simulator;
    simulator.start(Simulator, { u"--link"_s, link, u"--log"_s, log });
    QVERIFY(simulator.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    QVERIFY2(device.startsWith(u"/dev/pts/"_s), qPrintable(device));
    QCOMPARE(QFileInfo(link).symLinkTarget(), device);

    const int fd = ::open(QFile::encodeName(link).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios raw {};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);

    // Read for two seconds: never faster than the line, frames of
    // mode code + channel-select and three nibble bytes for channels 0 to 7.
    QByteArray received;
    QElapsedTimer clock;
    clock.start();
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    while (clock.elapsed() < 2000) {
        char buffer[512];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0)
            received.append(buffer, count);
        QTest::qWait(5);
    }
    const double seconds = static_cast<double>(clock.elapsed()) / 1000;
    qInfo("received %lld bytes in %.3f s: %.0f bytes/s", static_cast<long long>(received.size()),
        seconds, static_cast<double>(received.size()) / seconds);
    QVERIFY(received.size() <= static_cast<qsizetype>(960 * seconds) + 48);
    QVERIFY(received.size() >= 480); // even on a busy machine
    const qsizetype frame = received.indexOf(static_cast<char>(code::ModeMeasuring));
    QVERIFY(frame >= 0 && frame + 33 <= received.size());
    for (int channel = 0; channel < 8; ++channel) {
        const QByteArray reading = received.mid(frame + 1 + 4 * channel, 4);
        QCOMPARE(static_cast<std::uint8_t>(reading.at(0)), code::SelectChannel0 + channel);
        QCOMPARE(reading.at(1) & 0xF0, 0x20);
        QCOMPARE(reading.at(2) & 0xF0, 0x10);
        QCOMPARE(reading.at(3) & 0xF0, 0x00);
    }

    const char commands[] = { char(210), char(196), char(208) };
    QCOMPARE(::write(fd, commands, sizeof commands), ssize_t(3));
    QTRY_VERIFY_WITH_TIMEOUT(
        QFile(log).size() > 0 &&
            [&] {
                QFile file(log);
                file.open(QIODevice::ReadOnly);
                return file.readAll().count("received") == 3;
            }(),
        5000);
    ::close(fd);

    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(logFile.readAll()).split(u'\n');
    QStringList received3;
    for (const QString &line : lines) {
        if (line.contains(u"received"_s))
            received3 << line.section(u"received "_s, 1).section(u' ', 0, 0);
    }
    QCOMPARE(received3, (QStringList { u"210"_s, u"196"_s, u"208"_s }));

    // The engine is steered by SIGUSR1 and by lines on standard input.
    const auto logText = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    ::kill(static_cast<pid_t>(simulator.processId()), SIGUSR1);
    QTRY_VERIFY_WITH_TIMEOUT(logText().contains(u"engine to increased idle"_s), 5000);
    simulator.write("i\n");
    QTRY_VERIFY_WITH_TIMEOUT(logText().contains(u"engine to minimum idle"_s), 5000);

    ::kill(static_cast<pid_t>(simulator.processId()), SIGTERM);
    QVERIFY(simulator.waitForFinished(5000));
    QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(simulator.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimulator::endsWithTheProgram()
{
    QTemporaryDir folder;
    const QString link = folder.path() + u"/instrument"_s;
    QProcess program;
    program.start(u"sleep"_s, { u"30"_s });
    QVERIFY(program.waitForStarted());
    QProcess simulator;
    simulator.start(Simulator,
        { u"--link"_s, link, u"--log"_s, folder.path() + u"/log"_s, u"--exit-with-pid"_s,
            QString::number(program.processId()) });
    QVERIFY(simulator.waitForReadyRead(5000));
    QVERIFY(QFileInfo(link).isSymLink());
    QTest::qWait(300);
    QCOMPARE(simulator.state(), QProcess::Running);

    program.kill();
    program.waitForFinished();
    QVERIFY(simulator.waitForFinished(3000));
    QCOMPARE(simulator.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimulator::keepsAFileInTheWayOfItsLink()
{
    QTemporaryDir folder;
    const QString taken = folder.filePath(u"notes.txt"_s);
    QFile file(taken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();

    QProcess simulator;
    simulator.start(Simulator, { u"--link"_s, taken });
    QVERIFY(simulator.waitForFinished(5000));
    QCOMPARE(simulator.exitCode(), 1);
    QVERIFY(simulator.readAllStandardError().contains("exists and is not a symbolic link"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestSimulator::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("countdown 0") << QStringList { u"--countdown"_s, u"0"_s }
                                 << u"--countdown: expected a number from 1 to 65534"_s;
    QTest::newRow("not a number") << QStringList { u"--noise"_s, u"loud"_s }
                                  << u"--noise: expected a number from 0 to 10"_s;
    QTest::newRow("no diagnostic code") << QStringList { u"--diagnostic"_s, u"5:100"_s }
                                        << u"--diagnostic: expected AT or AT:CODE"_s;
    QTest::newRow("command beyond a byte")
        << QStringList { u"--commands"_s, u"1:300"_s } << u"--commands: expected a list"_s;
    QTest::newRow("file without duration")
        << QStringList { u"--output"_s, u"x.bin"_s } << u"--output needs --duration"_s;
    QTest::newRow("notice ends before it starts")
        << QStringList { u"--maintenance"_s, u"5:2"_s } << u"UNTIL not before AT"_s;
    QTest::newRow("stray argument") << QStringList { u"COM1"_s } << u"unexpected argument"_s;
    QTest::newRow("gone parent") << QStringList { u"--exit-with-pid"_s, u"999999999"_s }
                                 << u"is not running"_s;
}

void TestSimulator::refusesBadOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    QTemporaryDir folder;
    QProcess simulator;
    simulator.setWorkingDirectory(folder.path());
    simulator.start(Simulator, arguments);
    QVERIFY(simulator.waitForFinished(5000));
    QCOMPARE(simulator.exitCode(), 2);
    const QString error = QString::fromLocal8Bit(simulator.readAllStandardError());
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
