#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

const QString Program = QStringLiteral(KAVRO_PROGRAM);
const QString Simulator = QStringLiteral(KAVRO_SIMULATOR);

constexpr int ConnectionTimeoutMs = 30000;
constexpr int LiveReadingsMs = 6000;

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void programConnectsToTheSimulatedInstrument();
};

void TestEndToEnd::programConnectsToTheSimulatedInstrument()
{
    // The program finds its settings beside its executable, and a symbolic
    // link would lead it back to the build folder: copy it.
    QTemporaryDir folder;
    const QString programCopy = folder.filePath(u"kavro02"_s);
    QVERIFY(QFile::copy(Program, programCopy));
    const QString link = folder.filePath(u"instrument"_s);
    const QString log = folder.filePath(u"simulator.log"_s);

    QProcess simulator;
    simulator.start(Simulator,
        { u"--link"_s, link, u"--log"_s, log, u"--program-folder"_s, folder.path(),
            u"--countdown"_s, u"60"_s });
    QVERIFY(simulator.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    QCOMPARE(QFileInfo(link).symLinkTarget(), device);
    {
        QSettings settings(folder.filePath(u"KAVRO02.ini"_s), QSettings::IniFormat);
        QCOMPARE(settings.value(u"COM"_s).toInt(), 0);
        QCOMPARE(settings.value(u"Ports/COM1"_s).toString(), link);
    }

    QProcess program;
    program.setWorkingDirectory(folder.path());
    program.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    program.setProcessEnvironment(environment);
    program.start(programCopy, {});
    QVERIFY(program.waitForStarted());

    // Splash, stream detected (210), zero setting, block requested (196).
    QTRY_VERIFY_WITH_TIMEOUT(
        kavro::test::SimulatorCommands(log).size() >= 2 || program.state() != QProcess::Running,
        ConnectionTimeoutMs);
    QVERIFY2(program.state() == QProcess::Running,
        qPrintable(QString::fromLocal8Bit(program.readAll())));
    QCOMPARE(kavro::test::SimulatorCommands(log), (QStringList { u"210"_s, u"196"_s }));

    // Live readings keep the connection watchdog satisfied.
    QTest::qWait(LiveReadingsMs);
    QVERIFY2(program.state() == QProcess::Running,
        qPrintable(QString::fromLocal8Bit(program.readAll())));
    QCOMPARE(kavro::test::SimulatorCommands(log), (QStringList { u"210"_s, u"196"_s }));

    program.terminate();
    QVERIFY(program.waitForFinished(5000));
    ::kill(static_cast<pid_t>(simulator.processId()), SIGTERM);
    QVERIFY(simulator.waitForFinished(5000));
    QCOMPARE(simulator.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());

    // The program opened the device once and the readings ran at line speed.
    const QString text = QString::fromUtf8(kavro::test::ReadFile(log));
    QCOMPARE(text.count(u"program opened the device"_s), 1);
    const QRegularExpressionMatch sent
        = QRegularExpression(u"(\\d+) bytes sent in ([\\d.]+) s"_s).match(text);
    QVERIFY(sent.hasMatch());
    const double seconds = sent.captured(2).toDouble();
    const double bytes = sent.captured(1).toDouble();
    qInfo("simulator sent %.0f bytes in %.3f s", bytes, seconds);
    QVERIFY(bytes <= 960 * seconds + 48);
    QVERIFY(bytes >= 480 * (seconds - 2)); // countdown pauses, a busy machine
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
