// A session captured by the real program against the simulated instrument,
// replayed by kavro02-sim to a second run of the program, shows the same
// sequence of values: the kavro02-decode traces of the two captures agree
// from the calibration block on.
//
// What is comparable: each run drops what arrives in its first two seconds
// and joins the stream wherever it then is, so the two receivers begin a few
// bytes apart and the lines before the calibration block (detection, the
// request for a zero setting, readings converted without calibration) may
// differ. From the block on both receivers hold the same image, zero
// readings and state, and read the same bytes to the end of the capture:
// every line is the same, except that a value may still use the latest
// raw reading of another channel from before the zero setting (the gas
// values use channel 4, λ channels 0 to 4) until each of those channels
// has been read again after the zero readings.

#include "protocol/capturefile.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

const QString Program = QStringLiteral(KAVRO_PROGRAM);
const QString Simulator = QStringLiteral(KAVRO_SIMULATOR);
const QString Decoder = QStringLiteral(KAVRO_DECODER);

constexpr int ConnectionTimeoutMs = 30000;
constexpr int LiveReadingsMs = 6000;
constexpr int ReplayTimeoutMs = 60000;

// One simulated instrument and one run of the program on it, in a folder
// of their own (the program finds its settings beside its executable).
class Session
{
public:
    Session(const QString &folder, const QString &name)
        : m_folder(folder)
        , m_name(name)
    { }

    QString Log() const { return m_folder + u"/"_s + m_name + u".log"_s; }
    QString CapturePath() const { return m_folder + u"/"_s + m_name + u".txt"_s; }
    QProcess &Program() { return m_program; }

    bool Start(const QStringList &simulatorOptions)
    {
        m_simulator.start(Simulator,
            QStringList { u"--link"_s, m_folder + u"/instrument"_s, u"--log"_s, Log(),
                u"--program-folder"_s, m_folder }
                + simulatorOptions);
        if (!m_simulator.waitForReadyRead(5000))
            return false;
        m_program.setWorkingDirectory(m_folder);
        m_program.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        m_program.setProcessEnvironment(environment);
        m_program.start(m_folder + u"/kavro02"_s, { u"--capture"_s, CapturePath() });
        return m_program.waitForStarted();
    }

    bool Running() const { return m_program.state() == QProcess::Running; }
    QString Output() { return QString::fromLocal8Bit(m_program.readAll()); }

    void Stop(int programSignal)
    {
        ::kill(static_cast<pid_t>(m_program.processId()), programSignal);
        m_program.waitForFinished(5000);
        ::kill(static_cast<pid_t>(m_simulator.processId()), SIGTERM);
        m_simulator.waitForFinished(5000);
    }

private:
    QString m_folder;
    QString m_name;
    QProcess m_simulator;
    QProcess m_program;
};

QStringList Decode(const QString &capture)
{
    QProcess decoder;
    decoder.start(Decoder, { capture });
    decoder.waitForFinished(30000);
    return QString::fromUtf8(decoder.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

QStringList FromBlockOn(const QStringList &trace)
{
    const qsizetype block = trace.indexOf(u"block"_s);
    return block < 0 ? QStringList() : trace.mid(block);
}

// The first line from which every value uses only readings made after the
// zero readings: channels 0 to 4 have all been read since "capture 0".
qsizetype ValuesComparableFrom(const QStringList &trace)
{
    static const QRegularExpression reading(u"^reading ([0-4]) "_s);
    const qsizetype captureEnd = trace.indexOf(u"capture 0"_s);
    if (captureEnd < 0)
        return trace.size();
    QSet<QString> channels;
    for (qsizetype i = captureEnd; i < trace.size(); ++i) {
        const QRegularExpressionMatch match = reading.match(trace.at(i));
        if (match.hasMatch())
            channels.insert(match.captured(1));
        if (channels.size() == 5)
            return i;
    }
    return trace.size();
}

} // namespace

class TestCaptureReplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replayShowsTheSameValues();
};

void TestCaptureReplay::replayShowsTheSameValues()
{
    QTemporaryDir folder;
    QVERIFY(QFile::copy(Program, folder.filePath(u"kavro02"_s)));

    // The first run against the simulated instrument, ended from outside.
    Session first(folder.path(), u"first"_s);
    QVERIFY(first.Start({ u"--countdown"_s, u"60"_s }));
    QTRY_VERIFY_WITH_TIMEOUT(
        test::SimulatorCommands(first.Log()).size() >= 2 || !first.Running(), ConnectionTimeoutMs);
    QTest::qWait(LiveReadingsMs);
    QVERIFY2(first.Running(), qPrintable(first.Output()));
    first.Stop(SIGTERM);

    // The second run gets the first run's capture, from after its first two
    // seconds, so that it sees every byte. At its end the instrument falls
    // silent; the program, which then waits in its lost-connection message,
    // is killed: a crash must not cost the capture its bytes.
    Session second(folder.path(), u"second"_s);
    QVERIFY(second.Start({ u"--replay"_s, first.CapturePath(), u"--start-after"_s, u"2.5"_s }));
    QTRY_VERIFY_WITH_TIMEOUT(
        test::ReadFile(second.Log()).contains("end of the capture") || !second.Running(),
        ReplayTimeoutMs);
    QTest::qWait(1000); // the port's last poll
    QVERIFY2(second.Running(), qPrintable(second.Output()));
    second.Stop(SIGKILL);
    // The program took the replay for the instrument: it joined in the
    // readings before the zero setting, as the first run did, asked for the
    // zero setting and, at its end, for the calibration block.
    const QStringList commands = test::SimulatorCommands(second.Log());
    QVERIFY2(commands == QStringList({ u"210"_s, u"196"_s }), qPrintable(commands.join(u' ')));

    const CaptureReadResult one = ReadCaptureFile(first.CapturePath());
    const CaptureReadResult two = ReadCaptureFile(second.CapturePath());
    QVERIFY2(one.ok() && one.warning.isEmpty(), qPrintable(one.error + one.warning));
    QVERIFY2(two.ok() && two.warning.isEmpty(), qPrintable(two.error + two.warning));

    // The second capture holds the first one's bytes.
    const QByteArray bytesOne = one.capture.AllBytes();
    const QByteArray bytesTwo = two.capture.AllBytes();
    qInfo(
        "first capture %lld bytes, second %lld", qint64(bytesOne.size()), qint64(bytesTwo.size()));
    QCOMPARE(bytesTwo, bytesOne);

    const QStringList traceOne = FromBlockOn(Decode(first.CapturePath()));
    const QStringList traceTwo = FromBlockOn(Decode(second.CapturePath()));
    const qsizetype values = traceOne.filter(QRegularExpression(u"^value "_s)).size();
    qInfo("from the calibration block on: %lld trace lines, %lld values", qint64(traceOne.size()),
        qint64(values));
    QVERIFY2(values >= 500, "several seconds of live values");
    const qsizetype valuesFrom = ValuesComparableFrom(traceOne);
    const qsizetype valuesCompared
        = traceOne.mid(valuesFrom).filter(QRegularExpression(u"^value "_s)).size();
    qInfo("values equal from line %lld after the block on: %lld of %lld", qint64(valuesFrom + 1),
        qint64(valuesCompared), qint64(values));
    QVERIFY(valuesFrom < 200);
    QCOMPARE(traceTwo.size(), traceOne.size());
    for (qsizetype i = 0; i < traceOne.size(); ++i) {
        if (i < valuesFrom && traceOne.at(i).startsWith(u"value "_s))
            continue;
        QVERIFY2(traceOne.at(i) == traceTwo.at(i),
            qPrintable(
                u"line %1 after the block: \"%2\" then \"%3\" in the replay"_s.arg(i + 1).arg(
                    traceOne.at(i), traceTwo.at(i))));
    }
}

QTEST_GUILESS_MAIN(TestCaptureReplay)
#include "tst_capturereplay.moc"
