// kavro02 --capture: the whole program on a pseudo-terminal records what its
// port reads, and marks where its receiver begins to listen.

#include "app/programstart.h"
#include "protocol/capturefile.h"
#include "protocol/instrumentreceiver.h"
#include "protocol/recordinghost.h"
#include "support/programonpty.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::PtyInstrument;
using kavro::test::ScriptedDialogs;

namespace {

constexpr int DropPeriodMs = 300;
const QByteArray ZeroSettingToTheEnd = QByteArray::fromHex("d2"
                                                           "0100"
                                                           "0000");
const QByteArray EndZeroCapture = QByteArray::fromHex("8080");

QByteArray CalibrationBlock()
{
    return char(0xC4) + QByteArray(64, char(0x11));
}

} // namespace

class tst_LineCapture : public QObject, private test::ProgramOnPty
{
    Q_OBJECT

private:
    // Readings until the program asks for a zero setting, which ends at
    // once; the block it then asks for; readings again.
    void Connect()
    {
        instrument_->StartReadings();
        instrument_->onCommand = [this](quint8 code) {
            if (code == 0xD2) {
                instrument_->StopReadings();
                instrument_->Send(ZeroSettingToTheEnd);
            } else if (code == 0xC4) {
                instrument_->Send(CalibrationBlock() + EndZeroCapture);
                instrument_->StartReadings();
            }
        };
        QVERIFY(program_->Run());
        QTRY_VERIFY(program_->Receiver().BlockReceived
            && program_->Receiver().ReceiverState == rsStreaming);
        QTest::qWait(200); // readings again
    }

private Q_SLOTS:
    void init() { QVERIFY(SetUpProgram(SplashTimings { .dropPeriodMs = DropPeriodMs })); }

    void cleanup()
    {
        program_.reset();
        instrument_.reset();
    }

    void recordsWhatThePortReadsAndWhatTheReceiverGot()
    {
        const QString path = folder_->filePath(u"session.txt"_s);
        program_->SetCapturePath(path);
        Connect();
        QVERIFY(dialogs_->messages.isEmpty());

        const CaptureReadResult read = ReadCaptureFile(path);
        QVERIFY2(read.ok() && read.warning.isEmpty(), qPrintable(read.error + read.warning));
        const Capture &capture = read.capture;
        QCOMPARE(capture.started, environment_->now);

        // The program starts deaf; the bytes of its first moments are read
        // and recorded, then the receiver listens.
        QCOMPARE(capture.records.constFirst().kind, CaptureRecord::ReceiverOff);
        qsizetype on = -1;
        for (qsizetype i = 0; i < capture.records.size(); ++i) {
            if (capture.records.at(i).kind == CaptureRecord::ReceiverOn) {
                QCOMPARE(on, -1);
                on = i;
            }
        }
        QVERIFY(on > 1);
        QVERIFY(capture.records.at(on).ms >= DropPeriodMs * 9 / 10);
        const Capture deaf { capture.started, capture.records.mid(0, on) };
        const QByteArray dropped = deaf.AllBytes();
        QVERIFY(!dropped.isEmpty());
        QCOMPARE(dropped, PtyInstrument::Reading.repeated(dropped.size() / 4));

        // The receiver was given exactly the bytes after that line: fed to
        // a receiver of its own they leave the same data behind.
        ReceiverData replica;
        test::RecordingHost host;
        TInstrumentReceiver receiver(replica, host);
        for (const char byte : capture.ReceiverBytes())
            receiver.ReceiveByte(quint8(byte));
        const ReceiverData &program = program_->Receiver();
        QCOMPARE(replica.ReceiverState, program.ReceiverState);
        QCOMPARE(replica.InstrumentImage, program.InstrumentImage);
        QCOMPARE(replica.ImagePos, program.ImagePos);
        QCOMPARE(replica.BlockReceived, true);
        QCOMPARE(replica.ZeroCapture, program.ZeroCapture);
        QCOMPARE(replica.CurrentChannel, program.CurrentChannel);
        QCOMPARE(replica.ReadingValue, program.ReadingValue);
        QCOMPARE(capture.AllBytes(), dropped + capture.ReceiverBytes());
        QVERIFY(capture.ReceiverBytes().contains(QByteArray(CalibrationBlock() + EndZeroCapture)));
    }

    // The capture is a service tool: the operator's program runs on.
    void aCaptureThatCannotBeMadeIsReported()
    {
        const QString path = folder_->filePath(u"no-such-folder/session.txt"_s);
        program_->SetCapturePath(path);
        Connect();
        QCOMPARE(dialogs_->messages.size(), 1);
        const ScriptedDialogs::Shown &message = dialogs_->messages.constFirst();
        QCOMPARE(message.title, u"КАВРО-02"_s);
        QCOMPARE(message.icon, UserDialogs::Icon::Warning);
        QCOMPARE(message.buttons, UserDialogs::Buttons(UserDialogs::Ok));
        QCOMPARE(message.text,
            u"Не удалось начать запись обмена с прибором:\r"
            u"cannot create the capture %1: No such file or directory\r"
            u"Программа работает без записи."_s.arg(path));
        QVERIFY(!program_->LineCapture().IsOpen());
    }

    void withoutTheOptionNothingIsWritten()
    {
        Connect();
        QVERIFY(dialogs_->messages.isEmpty());
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
            QStringList { u"KAVRO02.ini"_s });
        QVERIFY(!program_->LineCapture().IsOpen());
    }
};

QTEST_MAIN(tst_LineCapture)
#include "tst_linecapture.moc"
