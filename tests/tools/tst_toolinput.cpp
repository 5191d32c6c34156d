// How the command-line tools take their input: kavro02-decode decodes a
// capture while it arrives, kavro02-template refuses a file beyond its size
// limit, and both open file names that are not valid UTF-8 as given.

#include "argumentsasgiven.h"
#include "support/testfiles.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using kavro::test::ReadFile;

namespace {

constexpr qint64 TemplateLimit = 64 * 1024 * 1024;

QString DecodeData(const QString &name)
{
    return QStringLiteral(KAVRO_TEST_DATA "/decode/") + name;
}

// The lines of a hex capture, and the bytes each stands for.
QList<QByteArray> HexLines(const QString &path)
{
    QList<QByteArray> lines = ReadFile(path).split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines)
        line += '\n';
    return lines;
}

QByteArray HexLineBytes(QByteArray line)
{
    if (const qsizetype comment = line.indexOf('#'); comment >= 0)
        line.truncate(comment);
    return QByteArray::fromHex(line);
}

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// Runs a tool through the shell, so that the last argument can hold bytes
// that QProcess (which takes text) would not pass on: "\377" in it is byte 0xFF.
ToolRun RunWithRawName(const QString &tool, const QStringList &options, const QString &rawName)
{
    QTemporaryDir runtimeDir; // without one Qt warns on stderr
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtimeDir.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(u"/bin/sh"_s,
        QStringList { u"-c"_s, u"tool=$1; shift; exec \"$tool\" \"$@\" \"$(printf '%b' \"$0\")\""_s,
            rawName, tool }
            + options);
    ToolRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool WriteRawNamedFile(const QByteArray &name, const QByteArray &content)
{
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

} // namespace

class TestToolInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decoderPrintsWhileThePipeIsOpen_data();
    void decoderPrintsWhileThePipeIsOpen();
    void decoderRefusesAnEndlessHexLine();
    void argumentsKeepEveryByte_data();
    void argumentsKeepEveryByte();
    void namesThatAreNotUtf8_data();
    void namesThatAreNotUtf8();
    void templateSizeLimit_data();
    void templateSizeLimit();
};

void TestToolInput::decoderPrintsWhileThePipeIsOpen_data()
{
    QTest::addColumn<bool>("hex");

    QTest::newRow("hex capture, line by line") << true;
    QTest::newRow("raw bytes, a few at a time") << false;
}

// The capture is fed piece by piece with pauses, as a serial line being
// captured would deliver it: every event is printed before the pipe closes.
void TestToolInput::decoderPrintsWhileThePipeIsOpen()
{
    QFETCH(bool, hex);
    const QList<QByteArray> lines = HexLines(DecodeData(u"countdown-window.hex"_s));
    const QList<QByteArray> expected
        = ReadFile(DecodeData(u"countdown-window.trace"_s)).split('\n');
    QVERIFY(lines.size() > 10);
    QProcess decoder;
    decoder.start(QStringLiteral(KAVRO_DECODER),
        hex ? QStringList { u"--hex"_s, u"-"_s } : QStringList { u"-"_s });
    QVERIFY(decoder.waitForStarted());

    QByteArray out;
    qsizetype linesBeforeHalf = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        decoder.write(hex ? lines[i] : HexLineBytes(lines[i]));
        QTest::qWait(20);
        out += decoder.readAllStandardOutput();
        if (i == lines.size() / 2)
            linesBeforeHalf = out.count('\n');
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        (out += decoder.readAllStandardOutput()).count('\n') >= expected.size() - 1, 10000);
    QCOMPARE(decoder.state(), QProcess::Running); // the pipe is still open
    QVERIFY2(linesBeforeHalf > 0, "nothing printed for the first half of the capture");

    decoder.closeWriteChannel();
    QVERIFY(decoder.waitForFinished(10000));
    QCOMPARE(decoder.exitCode(), 0);
    out += decoder.readAllStandardOutput();
    QCOMPARE(out.split('\n'), expected);
}

// A hex line is decoded once it is whole; one without end is refused before
// it can fill the memory.
void TestToolInput::decoderRefusesAnEndlessHexLine()
{
    QProcess decoder;
    decoder.start(QStringLiteral(KAVRO_DECODER), { u"--hex"_s, u"-"_s });
    QVERIFY(decoder.waitForStarted());
    decoder.write("E0 2A 13 05\n");
    const QByteArray block(64 * 1024, '0');
    for (int i = 0; i < 20 && decoder.state() == QProcess::Running; ++i) {
        decoder.write(block);
        decoder.waitForBytesWritten(10000);
    }
    QVERIFY(decoder.waitForFinished(10000));
    QCOMPARE(decoder.exitCode(), 2);
    QCOMPARE(decoder.readAllStandardError(),
        QByteArray("kavro02-decode: -: line 2 is longer than 1048576 characters\n"));
}

void TestToolInput::argumentsKeepEveryByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readable");

    QTest::newRow("ASCII") << QByteArray("capture.bin") << u"capture.bin"_s;
    QTest::newRow("Cyrillic") << QByteArray("запись.bin") << u"запись.bin"_s;
    QTest::newRow("four-byte character") << QByteArray("\xF0\x9F\x94\xA7") << u"🔧"_s;
    QTest::newRow("byte 0xFF") << QByteArray("a\xFF"
                                             "b")
                               << u"a\uFFFDb"_s;
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << u"\uFFFD\uFFFD"_s;
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << u"\uFFFD\uFFFD\uFFFD"_s;
    QTest::newRow("above U+10FFFF")
        << QByteArray("\xF4\x90\x80\x80") << u"\uFFFD\uFFFD\uFFFD\uFFFD"_s;
    QTest::newRow("cut short before a valid one") << QByteArray("\xE2\x82Ж") << u"\uFFFD\uFFFDЖ"_s;
}

void TestToolInput::argumentsKeepEveryByte()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readable);
    QByteArray program("tool");
    char *argv[] = { program.data(), bytes.data() };
    const QStringList arguments = kavro::tools::ArgumentsAsGiven(2, argv);
    QCOMPARE(arguments.size(), 2);
    QCOMPARE(arguments[0], u"tool"_s);
    QCOMPARE(kavro::tools::LocalName(arguments[1]), bytes);
    QCOMPARE(kavro::tools::ReadableName(arguments[1]), readable);
}

void TestToolInput::namesThatAreNotUtf8_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("expectedOut");

    QTest::newRow("kavro02-decode")
        << QStringLiteral(KAVRO_DECODER) << ReadFile(DecodeData(u"diagnostic.bin"_s))
        << ReadFile(DecodeData(u"diagnostic.trace"_s));
    QTest::newRow("kavro02-template")
        << QStringLiteral(KAVRO_TEMPLATE_TOOL) << ReadFile(QStringLiteral(KAVRO_TEMPLATE_RTF))
        << QByteArray("#date# found\n");
}

// "\377" is byte 0xFF, which no UTF-8 text holds.
void TestToolInput::namesThatAreNotUtf8()
{
    QFETCH(QString, tool);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, expectedOut);
    QTemporaryDir dir;
    QVERIFY(!content.isEmpty());
    const QByteArray rawName = QFile::encodeName(dir.path()) + "/input-\xFF.bin";
    QVERIFY(WriteRawNamedFile(rawName, content));
    // QTemporaryDir cannot name it either.
    const auto removeFile = qScopeGuard([&] { ::unlink(rawName.constData()); });

    const ToolRun run = RunWithRawName(tool, {}, dir.path() + u"/input-\\377.bin"_s);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.startsWith(expectedOut), run.out.left(200).constData());

    // Refused with the name as it can be shown.
    const ToolRun missing = RunWithRawName(tool, {}, dir.path() + u"/other-\\377.bin"_s);
    QCOMPARE(missing.exitCode, 2);
    QVERIFY2(missing.err.contains(dir.path() + u"/other-\uFFFD.bin: "_s + qt_error_string(ENOENT)),
        qPrintable(missing.err));
}

void TestToolInput::templateSizeLimit_data()
{
    QTest::addColumn<QString>("file"); // empty: a sparse file of `size` bytes
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("message");

    const QString tooLarge
        = u"larger than 67108864 bytes (64 MB), far more than a report template holds"_s;
    QTest::newRow("one byte beyond 64 MB") << QString() << TemplateLimit + 1 << tooLarge;
    QTest::newRow("an endless device") << u"/dev/zero"_s << qint64(0) << tooLarge;
    QTest::newRow("exactly 64 MB is read")
        << QString() << TemplateLimit << u"is not a readable RTF document"_s;
}

// Refused with a message and exit status 2, without reading the file whole.
void TestToolInput::templateSizeLimit()
{
    QFETCH(QString, file);
    QFETCH(qint64, size);
    QFETCH(QString, message);
    QTemporaryDir dir;
    if (file.isEmpty()) {
        file = dir.filePath(u"template.rtf"_s);
        QFile sparse(file);
        QVERIFY(sparse.open(QIODevice::WriteOnly));
        QVERIFY(sparse.resize(size));
    }

    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, dir.path());
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(KAVRO_TEMPLATE_TOOL), { file });
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 2);
    QCOMPARE(tool.readAllStandardOutput(), QByteArray());
    const QString err = QString::fromUtf8(tool.readAllStandardError());
    QVERIFY2(err.startsWith(u"kavro02-template: "_s) && err.contains(file) && err.contains(message),
        qPrintable(err));
}

QTEST_GUILESS_MAIN(TestToolInput)
#include "tst_toolinput.moc"
