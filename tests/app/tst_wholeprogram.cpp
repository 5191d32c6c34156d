#include "app/programhost.h"
#include "app/programstart.h"
#include "device/commportdriver.h"
#include "support/programonpty.h"
#include "ui/mainform.h"

#include <QAction>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTest>
#include <cerrno>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::PtyInstrument;
using kavro::test::ScriptedDialogs;

namespace {
constexpr char StartZeroSetting = char(0xD2);
constexpr char SendBlock = char(0xC4);
constexpr char PumpSwitch = char(0xD0);
constexpr char EndZeroCapture = char(0x80);
const QString Title = u"КАВРО-02"_s;
const QString ConnectionLost
    = u"Потеряно соединение с прибором.\rВключите прибор и запустите приложение еще раз"_s;

QByteArray Word(int value)
{
    QByteArray word;
    word.append(char(value & 0xFF)); // low byte first
    word.append(char(value >> 8));
    return word;
}

// The instrument's calibration block, 64 bytes from image index 128. Bytes
// 162 to 164 give the countdown's pump window: [256*b163 + b164, 256*b162 + b163].
QByteArray CalibrationBlock(int b162, int b163, int b164)
{
    QByteArray block(64, char(0x11));
    block[162 - 128] = char(b162);
    block[163 - 128] = char(b163);
    block[164 - 128] = char(b164);
    return block;
}

// Channel 3, raw 0x123: the high, middle and low nibble bytes.
const QByteArray OtherReading = QByteArray::fromHex("e3211203");
} // namespace

class tst_WholeProgram : public QObject, private test::ProgramOnPty
{
    Q_OBJECT

private:
    std::unique_ptr<PtyInstrument> otherPort_; // COM2

    TMainForm &MainForm() { return *program_->MainForm(); }
    ReceiverData &Data() { return program_->Receiver(); }

    bool WordCompleted(int value)
    {
        return Data().CountdownValue == value && Data().CountdownLowNext;
    }

    // Starts the program with the instrument sending readings. The program
    // finds the stream and asks for a zero setting; the instrument answers
    // with code 210 and the low byte of its first countdown word, which makes
    // the splash give way. Returns as the start sequence does.
    bool StartUntilCountdown(int firstWord)
    {
        instrument_->StartReadings();
        instrument_->onCommand = [this, firstWord](quint8 code) {
            if (code == quint8(StartZeroSetting)) {
                instrument_->StopReadings();
                instrument_->Send(QByteArray(1, StartZeroSetting) + Word(firstWord).left(1));
            }
        };
        const bool runs = program_->Run();
        instrument_->onCommand = nullptr;
        return runs;
    }

    // The block the program asked for, then operating mode 128 (the first
    // byte after the block only completes it) and live readings again.
    void SendBlockAndResume(const QByteArray &block)
    {
        instrument_->Send(SendBlock + block + EndZeroCapture + EndZeroCapture);
        QTRY_VERIFY(
            Data().BlockReceived && Data().ReceiverState == rsStreaming && !Data().ZeroCapture);
        instrument_->StartReadings();
    }

    // The whole start: readings, countdown 1..0, block; the watchdog runs.
    void Connect()
    {
        QVERIFY(StartUntilCountdown(1));
        instrument_->Send(Word(1).mid(1) + Word(0));
        QTRY_COMPARE(instrument_->received.right(1), QByteArray(1, SendBlock));
        SendBlockAndResume(CalibrationBlock(0, 0, 0));
        QVERIFY(MainForm().Timer1->isActive());
    }

    // The instrument is unplugged: the port closes at once with the system's
    // reason, and then the port is quiet for good.
    void UnplugAndSeePortClose()
    {
        TCommPortDriver &port = *MainForm().COM1;
        QTest::ignoreMessage(QtWarningMsg,
            qPrintable(u"%1 (%2) closed, its device has gone: %3"_s.arg(
                port.PortName(), instrument_->SlavePath(), qt_error_string(EIO))));
        const quint64 ticks = port.Activity().PollTicks;
        instrument_->Unplug();
        QTRY_VERIFY(!port.IsConnected());
        QVERIFY(port.Activity().PollTicks - ticks <= 1);
        QCOMPARE(port.LastError(), qt_error_string(EIO));
        const TPortActivity closed = port.Activity();
        QTest::qWait(500);
        QCOMPARE(port.Activity().PortSignals, closed.PortSignals);
        QCOMPARE(port.Activity().PollTicks, closed.PollTicks);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(SetUpProgram(SplashTimings { .dropPeriodMs = 300 }));
        otherPort_ = std::make_unique<PtyInstrument>();
        QVERIFY(otherPort_->IsOpen());
        NamePort(2, *otherPort_);
    }

    void cleanup() { program_.reset(); }

    void connectsAndSupervises()
    {
        QVERIFY(StartUntilCountdown(3));

        // The live stream was found: one request for a zero setting. The
        // countdown then replaced the splash by the zero setting window.
        QCOMPARE(instrument_->received, QByteArray(1, StartZeroSetting));
        QVERIFY(!program_->Host()->SplashExists());
        QVERIFY(MainForm().isVisible());
        QVERIFY(MainForm().ServiceWindow() && MainForm().ServiceWindow()->isVisible());
        QVERIFY(!MainForm().actNewCar->isEnabled());
        QVERIFY(!MainForm().Timer1->isActive());

        // No calibration yet, so the pump window is [0, 0]: the pump shows
        // stopped; at the word 0 the program asks for the block.
        instrument_->Send(Word(3).mid(1));
        QTRY_VERIFY(WordCompleted(3));
        QVERIFY(!MainForm().PumpRunning());
        instrument_->Send(Word(0));
        QTRY_COMPARE(instrument_->received, QByteArray() + StartZeroSetting + SendBlock);
        QVERIFY(!MainForm().PumpRunning());
        QVERIFY(Data().ZeroCapture);
        QVERIFY(!MainForm().ServiceWindow());
        QVERIFY(MainForm().actNewCar->isEnabled());

        SendBlockAndResume(CalibrationBlock(1, 0, 100)); // pump window [100, 256]
        QVERIFY(MainForm().Timer1->isActive());
        QCOMPARE(MainForm().Timer1->interval(), 2000);
        QTRY_COMPARE(MainForm().RawReading(3), 2613);

        // The instrument runs its zero setting again while a measurement
        // dialog is open: the dialog is closed before the pump picture
        // changes, so the pump guard stays quiet.
        QDialog measurement;
        program_->Host()->SetMeasurementDialog(&measurement);
        measurement.show();
        instrument_->StopReadings();
        instrument_->Send(QByteArray(1, StartZeroSetting) + Word(300).left(1));
        QTRY_VERIFY(MainForm().ServiceWindow() && MainForm().ServiceWindow()->isVisible());
        QVERIFY(!measurement.isVisible());

        // The pump picture follows the window, bounds included.
        const QList<std::pair<int, bool>> course = { { 300, false }, { 257, false }, { 256, true },
            { 200, true }, { 100, true }, { 99, false }, { 0, false } };
        bool lowByteSent = true;
        for (const auto &[word, running] : course) {
            instrument_->Send(lowByteSent ? Word(word).mid(1) : Word(word));
            lowByteSent = false;
            QTRY_VERIFY2(word == 0 ? Data().ReceiverState == rsStreaming : WordCompleted(word),
                qPrintable(u"word %1"_s.arg(word)));
            QCOMPARE(MainForm().PumpRunning(), running);
            QCOMPARE(MainForm().actPump->isChecked(), running);
        }
        QTRY_COMPARE(instrument_->received.count(SendBlock), 2);
        QVERIFY(!instrument_->received.contains(PumpSwitch));
        QVERIFY(!MainForm().ServiceWindow());
        QVERIFY(dialogs_->messages.isEmpty());
        SendBlockAndResume(CalibrationBlock(1, 0, 100));

        // Readings keep the watchdog quiet; two silent seconds end the program.
        QTest::qWait(2500);
        QCOMPARE(environment_->endCalls, 0);
        QVERIFY(dialogs_->messages.isEmpty());
        instrument_->StopReadings();
        QElapsedTimer silence;
        silence.start();
        QTRY_COMPARE_WITH_TIMEOUT(environment_->endCalls, 1, 8000);
        QVERIFY2(silence.elapsed() >= 1800 && silence.elapsed() <= 6000,
            qPrintable(u"ended after %1 ms"_s.arg(silence.elapsed())));
        QCOMPARE(dialogs_->messages.size(), 1);
        QCOMPARE(dialogs_->messages[0].title, Title);
        QCOMPARE(dialogs_->messages[0].text,
            u"Потеряно соединение с прибором.\rВключите прибор и запустите приложение еще раз"_s);
        QCOMPARE(dialogs_->messages[0].icon, UserDialogs::Icon::Error);
        QCOMPARE(dialogs_->messages[0].buttons, UserDialogs::Ok);
        QVERIFY(!MainForm().Timer1->isActive());
    }

    // During a maintenance notice the instrument may fall silent.
    void maintenanceNotice()
    {
        Connect();
        instrument_->StopReadings();
        instrument_->Send(QByteArray::fromHex("c1"));
        QTRY_VERIFY(MainForm().NoticeWindow() && MainForm().NoticeWindow()->isVisible());
        QVERIFY(!MainForm().Timer1->isActive());
        QVERIFY(!MainForm().actNewCar->isEnabled());
        QVERIFY(!MainForm().actCalibr->isEnabled());

        QTest::qWait(2500);
        QCOMPARE(environment_->endCalls, 0);

        instrument_->Send(QByteArray::fromHex("c2"));
        QTRY_VERIFY(!MainForm().NoticeWindow());
        QVERIFY(MainForm().Timer1->isActive());
        QVERIFY(MainForm().actNewCar->isEnabled());
        QVERIFY(!MainForm().actCalibr->isEnabled());
        // The watchdog is back: silence now ends the program.
        QTRY_COMPARE_WITH_TIMEOUT(environment_->endCalls, 1, 8000);
        QVERIFY(dialogs_->messages.value(0).text.startsWith(u"Потеряно соединение"_s));
    }

    void diagnosticMode()
    {
        Connect();
        bool portOpenAtMessage = true;
        bool watchdogAtMessage = true;
        int endsAtMessage = -1;
        dialogs_->onMessage = [&](const ScriptedDialogs::Shown &) {
            portOpenAtMessage = MainForm().COM1->IsConnected();
            watchdogAtMessage = MainForm().Timer1->isActive();
            endsAtMessage = environment_->endCalls;
        };
        instrument_->Send(QByteArray::fromHex("96"));

        QTRY_COMPARE(environment_->endCalls, 1);
        QCOMPARE(dialogs_->messages.size(), 1);
        const auto &shown = dialogs_->messages[0];
        QCOMPARE(shown.title, Title);
        QCOMPARE(shown.text,
            u" Данная версия программы не поддерживает работу в режиме диагностики\r"
            u" Приложение будет закрыто"_s);
        QCOMPARE(shown.icon, UserDialogs::Icon::Warning);
        QCOMPARE(shown.buttons, UserDialogs::Ok);
        // The port is closed and the watchdog stopped before the message, the end after it.
        QVERIFY(!portOpenAtMessage);
        QVERIFY(!watchdogAtMessage);
        QCOMPARE(endsAtMessage, 0);
        QVERIFY(!instrument_->SlaveOpenInProcess());
    }

    void vanishedInstrument_data()
    {
        QTest::addColumn<bool>("insideDialog");

        QTest::newRow("while running") << false;
        QTest::newRow("inside a modal dialog") << true;
    }

    // Unplugged, the instrument falls silent: the watchdog reports it as it
    // reports silence, also from a modal dialog's event loop.
    void vanishedInstrument()
    {
        QFETCH(bool, insideDialog);
        Connect();
        int endsWhileDialogOpen = -1;
        if (insideDialog) {
            dialogs_->portAnswers = { 1 };
            dialogs_->onPortChoice = [&](int) {
                UnplugAndSeePortClose();
                QTRY_COMPARE_WITH_TIMEOUT(environment_->endCalls, 1, 8000);
                endsWhileDialogOpen = environment_->endCalls;
            };
            MainForm().actCOMSelect->trigger();
            QCOMPARE(endsWhileDialogOpen, 1);
        } else {
            UnplugAndSeePortClose();
            QTRY_COMPARE_WITH_TIMEOUT(environment_->endCalls, 1, 8000);
        }
        QCOMPARE(dialogs_->messages.size(), 1);
        QCOMPARE(dialogs_->messages[0].title, Title);
        QCOMPARE(dialogs_->messages[0].text, ConnectionLost);
        QCOMPARE(dialogs_->messages[0].icon, UserDialogs::Icon::Error);
        QCOMPARE(dialogs_->messages[0].buttons, UserDialogs::Ok);
        QVERIFY(!MainForm().Timer1->isActive());
    }

    // Before the calibration block the watchdog does not run; the splash
    // goes on asking for another port as it does for a silent instrument.
    void vanishedInstrumentDuringSplash()
    {
        program_ = std::make_unique<ProgramStart>(*environment_, *dialogs_,
            SplashTimings { .dropPeriodMs = 300, .questionPeriodMs = 400 });
        bool splashAsked = false;
        QTimer::singleShot(0, [&] {
            UnplugAndSeePortClose();
            QTRY_VERIFY(!dialogs_->messages.isEmpty());
            splashAsked = program_->Host()->SplashExists();
            program_->Host()->CloseSplash();
        });

        QVERIFY(program_->Run());
        QVERIFY(splashAsked);
        QCOMPARE(dialogs_->messages[0].text, u"Прибор не отвечает. Выбрать другой COM-порт?\r"_s);
        QCOMPARE(environment_->endCalls, 0);
    }

    void portChangeWhileConnected()
    {
        Connect();
        const int imagePos = Data().ImagePos;
        dialogs_->portAnswers = { 1 };
        MainForm().actCOMSelect->trigger();

        QCOMPARE(dialogs_->portChoicesShownWith, QList<int> { 0 });
        QVERIFY(!instrument_->SlaveOpenInProcess());
        QVERIFY(otherPort_->SlaveOpenInProcess());
        QCOMPARE(QSettings(IniPath(), QSettings::IniFormat).value(u"COM"_s), QVariant(1));

        // The receiver goes on where it was: readings are shown at once, no
        // new detection, no new zero setting.
        otherPort_->StartReadings(OtherReading);
        QTRY_COMPARE(MainForm().RawReading(3), 0x123);
        QCOMPARE(Data().ReceiverState, rsStreaming);
        QVERIFY(Data().BlockReceived);
        QCOMPARE(Data().ImagePos, imagePos);
        QTest::qWait(2200); // a watchdog tick with the new port's bytes
        QCOMPARE(environment_->endCalls, 0);
        QVERIFY(otherPort_->received.isEmpty());
    }
};

QTEST_MAIN(tst_WholeProgram)
#include "tst_wholeprogram.moc"
