// kavro02-sim --replay: a line capture played back as the instrument.

#include "capturereplay.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace kavro;
using namespace kavro::sim;
using kavro::test::ReadFile;

namespace {

const QString Simulator = QStringLiteral(KAVRO_SIMULATOR);

const QByteArray Header = "KAVRO02-CAPTURE 1 2026-12-08T10:00:00.000+03:00\n";

void WriteFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class tst_SimReplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void batchesFallDueAtTheirRecordedDistance();
    void playsEveryReceivedByteOntoTheLine_data();
    void playsEveryReceivedByteOntoTheLine();
    void refusesWhatItCannotPlay_data();
    void refusesWhatItCannotPlay();
};

void tst_SimReplay::batchesFallDueAtTheirRecordedDistance()
{
    const CaptureReadResult read = ParseCapture(QByteArray(Header
        + "0 receiver off\n"
          "1400 E3 2A\n"
          "1450 13 05\n"
          "2000 receiver on\n"
          "2400 E1\n"));
    QVERIFY(read.ok());
    CaptureReplay replay(read.capture);
    QCOMPARE(replay.ByteCount(), 5);

    // The quiet time before the first batch is not played.
    QCOMPARE(replay.NextDueTime(), 0.0);
    QCOMPARE(replay.NextChunk(0.0), QByteArray("\xE3\x2A"));
    QCOMPARE(replay.NextDueTime(), 0.05);
    QCOMPARE(replay.NextChunk(0.04), QByteArray());
    replay.ReceiveCommand(0xD2); // the program's commands change nothing
    // A late caller gets everything due at once, in order.
    QCOMPARE(replay.NextChunk(1.5), QByteArray("\x13\x05\xE1"));
    QVERIFY(replay.Finished());
    QVERIFY(std::isinf(replay.NextDueTime()));
    QCOMPARE(replay.NextChunk(100.0), QByteArray());
}

// Into a file, so that every byte can be compared: the bytes received while
// the program's receiver was off are played too (they were on the line).
void tst_SimReplay::playsEveryReceivedByteOntoTheLine_data()
{
    QTest::addColumn<QStringList>("pacing");
    QTest::addColumn<double>("earliestEnd"); // session time of the end note
    QTest::addColumn<double>("latestEnd");

    QTest::newRow("recorded pace") << QStringList() << 0.6 << 1.4;
    QTest::newRow("fast") << QStringList { u"--fast"_s } << 0.6 << 0.61;
}

void tst_SimReplay::playsEveryReceivedByteOntoTheLine()
{
    QFETCH(QStringList, pacing);
    QFETCH(double, earliestEnd);
    QFETCH(double, latestEnd);

    QTemporaryDir folder;
    const QString capture = folder.filePath(u"field.txt"_s);
    WriteFile(capture,
        Header
            + "0 receiver off\n"
              "100 00 00 05 01\n"
              "250 receiver on\n"
              "300 E3 2A 13 05\n"
              "700 E1 20 10 00 96\n");
    const QString output = folder.filePath(u"line.bin"_s);
    const QString log = folder.filePath(u"sim.log"_s);
    QProcess simulator;
    simulator.start(Simulator,
        QStringList { u"--replay"_s, capture, u"--output"_s, output, u"--duration"_s, u"1.5"_s,
            u"--log"_s, log }
            + pacing);
    QVERIFY(simulator.waitForFinished(10000));
    QCOMPARE(simulator.exitCode(), 0);

    QCOMPARE(ReadFile(output).toHex(' '), QByteArray("00 00 05 01 e3 2a 13 05 e1 20 10 00 96"));
    const QRegularExpressionMatch end = QRegularExpression(
        u"([\\d.]+) # end of the capture: 13 bytes replayed; the instrument falls silent"_s)
                                            .match(QString::fromUtf8(ReadFile(log)));
    QVERIFY2(end.hasMatch(), ReadFile(log).constData());
    const double endTime = end.captured(1).toDouble();
    QVERIFY2(endTime >= earliestEnd && endTime <= latestEnd, qPrintable(end.captured(0)));
}

void tst_SimReplay::refusesWhatItCannotPlay_data()
{
    QTest::addColumn<QByteArray>("capture"); // empty: no such file
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");

    QTest::newRow("no such file") << QByteArray() << QStringList()
                                  << u"cannot read %1: No such file or directory"_s;
    QTest::newRow("no header") << QByteArray("100 E3 2A\n") << QStringList()
                               << u"%1: not a line capture: the first line must read "
                                  "\"KAVRO02-CAPTURE 1 <date-time>\""_s;
    QTest::newRow("bad line") << Header + "100 E3\n50 2A\n"
                              << QStringList()
                              << u"%1: line 3: time 50 ms is before the 100 ms of the line "
                                 "above"_s;
    QTest::newRow("a scenario option")
        << Header << QStringList { u"--zero-prefix"_s }
        << u"--replay plays the capture as recorded; --zero-prefix does not apply"_s;
}

void tst_SimReplay::refusesWhatItCannotPlay()
{
    QFETCH(QByteArray, capture);
    QFETCH(QStringList, options);
    QFETCH(QString, message);

    QTemporaryDir folder;
    const QString path = folder.filePath(u"field.txt"_s);
    if (!capture.isEmpty())
        WriteFile(path, capture);
    QProcess simulator;
    simulator.setWorkingDirectory(folder.path());
    simulator.start(Simulator, QStringList { u"--replay"_s, path } + options);
    QVERIFY(simulator.waitForFinished(5000));
    QCOMPARE(simulator.exitCode(), 2);
    const QString error = QString::fromLocal8Bit(simulator.readAllStandardError());
    const QString expected = message.contains(u"%1"_s) ? message.arg(path) : message;
    QCOMPARE(error, u"kavro02-sim: "_s + expected + u"\n"_s);
}

QTEST_GUILESS_MAIN(tst_SimReplay)
#include "tst_simreplay.moc"
