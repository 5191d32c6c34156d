#include "protocol/capturefile.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::ReadFile;

namespace {

const QByteArray Header = "KAVRO02-CAPTURE 1 2026-12-08T10:00:00.000+03:00\n";

QDateTime StartInMoscow()
{
    return QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::OffsetFromUTC, 3 * 3600);
}

} // namespace

class tst_CaptureFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsCaptures_data();
    void readsCaptures();
    void writesTheDocumentedFormat();
    void eachLineReachesTheSystemAtOnce();
    void aFolderGetsAFileForEachStart();
    void failuresAreReported();
};

void tst_CaptureFile::readsCaptures_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("allBytes"); // hex
    QTest::addColumn<QByteArray>("receiverBytes"); // hex
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("warning");

    QTest::newRow("batches, receiver on and off")
        << Header
            + "0 receiver off\n5 00 01\n2000 receiver on\n2050 E3 2A\n2050 13 05\n"
              "2100 receiver off\n2101 96\n"
        << QByteArray("0001e32a130596") << QByteArray("e32a1305") << QString() << QString();
    QTest::newRow("no receiver lines: the receiver got everything")
        << Header + "10 e3 2a\n20 13 05\n"
        << QByteArray("e32a1305") << QByteArray("e32a1305") << QString() << QString();
    QTest::newRow("comments, empty lines, CR LF, a byte order mark, tabs")
        << "\xEF\xBB\xBF" + Header.chopped(1) + "\r\n# note\r\n\r\n  10\tE3  2A \r\n"
        << QByteArray("e32a") << QByteArray("e32a") << QString() << QString();
    QTest::newRow("header only") << Header << QByteArray() << QByteArray() << QString()
                                 << QString();
    QTest::newRow("sound last line without its end is taken")
        << Header + "10 E3 2A\n20 13" << QByteArray("e32a13") << QByteArray("e32a13") << QString()
        << QString();
    QTest::newRow("cut-off last line is left out")
        << Header + "10 E3 2A\n20 13 0" << QByteArray("e32a") << QByteArray("e32a") << QString()
        << u"line 3 is cut off (no line end) and was left out: \"0\" is not a byte in hex "
           "(two hex digits)"_s;
    QTest::newRow("last line cut after its time")
        << Header + "10 E3\n25" << QByteArray("e3") << QByteArray("e3") << QString()
        << u"line 3 is cut off (no line end) and was left out: a time without bytes"_s;

    const QByteArray none;
    QTest::newRow("bad hex") << Header + "10 E3\n20 2G 05\n30 E1\n"
                             << none << none
                             << u"line 3: \"2G\" is not a byte in hex (two hex digits)"_s
                             << QString();
    QTest::newRow("hex run together")
        << Header + "10 E32A\n"
        << none << none << u"line 2: \"E32A\" is not a byte in hex (two hex digits)"_s << QString();
    QTest::newRow("missing header")
        << QByteArray("10 E3 2A\n") << none << none
        << u"not a line capture: the first line must read \"KAVRO02-CAPTURE 1 <date-time>\""_s
        << QString();
    QTest::newRow("empty file") << QByteArray() << none << none
                                << u"empty file: not a line capture"_s << QString();
    QTest::newRow("unknown version")
        << QByteArray("KAVRO02-CAPTURE 2 2026-12-08T10:00:00.000+03:00\n") << none << none
        << u"line 1: capture format version \"2\" is not known (version 1 is)"_s << QString();
    QTest::newRow("no start date-time")
        << QByteArray("KAVRO02-CAPTURE 1 yesterday\n") << none << none
        << u"line 1: expected the start as a date-time such as 2026-12-08T10:00:00.000+03:00 "
           "after the version"_s
        << QString();
    QTest::newRow("time goes back") << Header + "200 E3\n100 2A\n"
                                    << none << none
                                    << u"line 3: time 100 ms is before the 200 ms of the line "
                                       "above"_s
                                    << QString();
    QTest::newRow("negative time")
        << Header + "-5 E3\n"
        << none << none << u"line 2: \"-5\" is not a time in milliseconds"_s << QString();
    QTest::newRow("a time alone") << Header + "5\n6 E3\n"
                                  << none << none << u"line 2: a time without bytes"_s << QString();
    QTest::newRow("unknown receiver word")
        << Header + "5 receiver maybe\n"
        << none << none << u"line 2: expected \"receiver on\" or \"receiver off\""_s << QString();
}

void tst_CaptureFile::readsCaptures()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, allBytes);
    QFETCH(QByteArray, receiverBytes);
    QFETCH(QString, error);
    QFETCH(QString, warning);

    const CaptureReadResult result = ParseCapture(text);
    QCOMPARE(result.error, error);
    QCOMPARE(result.warning, warning);
    QCOMPARE(result.capture.AllBytes().toHex(), allBytes);
    QCOMPARE(result.capture.ReceiverBytes().toHex(), receiverBytes);
    if (result.ok())
        QCOMPARE(result.capture.started, StartInMoscow());
}

// The exact text of a capture, and the same records read back.
void tst_CaptureFile::writesTheDocumentedFormat()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"session.txt"_s);
    CaptureWriter writer;
    QCOMPARE(writer.Open(path, StartInMoscow()), QString());
    const QList<CaptureRecord> records {
        { 0, CaptureRecord::ReceiverOff, {} },
        { 1432, CaptureRecord::Bytes, QByteArray::fromHex("e32a1305e1201000") },
        { 2001, CaptureRecord::ReceiverOn, {} },
        { 2051, CaptureRecord::Bytes, QByteArray::fromHex("00ff") },
    };
    for (const CaptureRecord &record : records)
        writer.Write(record);
    writer.Close();
    writer.Write(records.last()); // ignored once closed

    QCOMPARE(ReadFile(path),
        Header
            + "0 receiver off\n"
              "1432 E3 2A 13 05 E1 20 10 00\n"
              "2001 receiver on\n"
              "2051 00 FF\n");
    const CaptureReadResult back = ReadCaptureFile(path);
    QVERIFY2(back.ok(), qPrintable(back.error));
    QCOMPARE(back.capture.records, records);
    QCOMPARE(back.capture.started, StartInMoscow());

    // Times from the writer's own clock: from its start, never decreasing.
    QCOMPARE(writer.Open(path, StartInMoscow()), QString());
    const quint8 bytes[] = { 0xE3, 0x2A };
    writer.WriteBytes(bytes, 2);
    QTest::qWait(30);
    writer.WriteReceiverState(true);
    writer.WriteBytes(bytes, 0); // nothing to record
    writer.Close();
    const CaptureReadResult timed = ReadCaptureFile(path);
    QCOMPARE(timed.capture.records.size(), 2);
    QCOMPARE(timed.capture.records.at(0).bytes, QByteArray("\xE3\x2A"));
    QVERIFY(timed.capture.records.at(0).ms < 30);
    QVERIFY(timed.capture.records.at(1).ms >= 30);
}

// A crash of the program loses nothing written: each line is in the file
// as soon as the writer returns, with the file still open.
void tst_CaptureFile::eachLineReachesTheSystemAtOnce()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"live.txt"_s);
    CaptureWriter writer;
    QCOMPARE(writer.Open(path, StartInMoscow()), QString());
    QCOMPARE(ReadFile(path), Header);
    for (int batch = 1; batch <= 3; ++batch) {
        const quint8 byte = quint8(batch);
        writer.WriteBytes(&byte, 1);
        const CaptureReadResult seen = ReadCaptureFile(path);
        QVERIFY(seen.ok() && seen.warning.isEmpty());
        QCOMPARE(seen.capture.AllBytes(), QByteArray::fromHex("010203").left(batch));
    }
    QVERIFY(writer.IsOpen());
}

void tst_CaptureFile::aFolderGetsAFileForEachStart()
{
    QTemporaryDir folder;
    CaptureWriter first;
    CaptureWriter second;
    QCOMPARE(first.Open(folder.path(), StartInMoscow()), QString());
    QCOMPARE(second.Open(folder.path() + u"/"_s, StartInMoscow()), QString());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
        QStringList({ u"kavro02-20261208-100000-2.txt"_s, u"kavro02-20261208-100000.txt"_s }));
    QCOMPARE(QFileInfo(second.FileName()).fileName(), u"kavro02-20261208-100000-2.txt"_s);
}

void tst_CaptureFile::failuresAreReported()
{
    CaptureWriter writer;
    QString reported;
    writer.SetOnFailure([&reported](const QString &error) { reported = error; });

    const QString missing = QDir::tempPath() + u"/no-such-folder-kavro/session.txt"_s;
    QCOMPARE(writer.Open(missing, StartInMoscow()),
        u"cannot create the capture %1: No such file or directory"_s.arg(missing));
    QVERIFY(!writer.IsOpen());

    // A full disk: the header already fails; the capture ends there.
    const QString expected = u"cannot write the capture /dev/full: No space left on device"_s;
    QCOMPARE(writer.Open(u"/dev/full"_s, StartInMoscow()), expected);
    QCOMPARE(writer.Error(), expected);
    QCOMPARE(reported, expected);
    QVERIFY(!writer.IsOpen());
    const quint8 byte = 0xE3;
    writer.WriteBytes(&byte, 1); // ignored, no second report
    QCOMPARE(writer.Error(), expected);

    QCOMPARE(ReadCaptureFile(missing).error,
        u"cannot read %1: No such file or directory"_s.arg(missing));
}

QTEST_GUILESS_MAIN(tst_CaptureFile)
#include "tst_capturefile.moc"
