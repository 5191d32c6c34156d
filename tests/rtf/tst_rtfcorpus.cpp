#include "rtf/rtfreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <QtTest>

using namespace kavro;
using namespace Qt::StringLiterals;

namespace {

// Corpus files whose text differs from LibreOffice's extraction on purpose,
// with the reason and a piece of our text that shows the difference.
struct KnownDifference
{
    const char *file;
    const char *reason;
    const char16_t *ourText;
};

const KnownDifference knownDifferences[] = {
    { "adversarial-uc-huge.rtf",
        "LibreOffice wraps out-of-range \\uc values; we skip the stated count, up to the group's "
        "end",
        u"Аvisible after group" },
    { "adversarial-unicode-extremes.rtf",
        "LibreOffice skips fallback text across braces; we stop at a brace and show the fallback "
        "of an invalid \\u",
        u"fallback crossing group: Аxyzafter" },
    { "rtfparserkit-testJapaneseUtf8Encoding.rtf",
        "LibreOffice ignores the font's \\cpg65001 and shows the UTF-8 bytes as cp1252", u"中國" },
    { "rtfpipe-Issue51.rtf", "LibreOffice's text export keeps hidden (\\v) text",
        u"I&W (Mght-Qnre)" },
    { "rtfpipe-ListGoogle.rtf",
        "LibreOffice writes its own bullet instead of the list text's ● (\\u9679)", u"● Bullet" },
    { "rtfpipe-phprtflite-footnotes.rtf",
        "LibreOffice numbers endnotes apart (i, ii, ...); we number every \\chftn in order",
        u"semper a elit.3" },
    { "rtfpipe-phprtflite-formfields.rtf",
        "LibreOffice's text export leaves out form-field results", u"labelsGuten Tag" },
};

// Files LibreOffice could not load, with text we still recover from them.
struct NoReference
{
    const char *file;
    const char16_t *ourText;
};

const NoReference noReferences[] = {
    { "adversarial-unbalanced-open.rtf", u"Date: #date# bold bold-italic underlined" },
    { "adversarial-bin-overrun.rtf", u"before bin" },
    { "adversarial-control-word-edge.rtf", u"long control word" },
    { "adversarial-5mb-nospace.rtf", u"AAAA#date#BBBB" }, // its reference is not kept
};

QString corpusDir()
{
    return QStringLiteral(KAVRO_SHARED_DIR) + u"/rtf-corpus"_s;
}

// Body text as a reader sees it: whitespace runs collapsed, no byte-order
// mark, no object placeholders for pictures.
QString normalised(QString text)
{
    text.remove(QChar::ByteOrderMark);
    text.remove(QChar::ObjectReplacementCharacter);
    return text.simplified();
}

const KnownDifference *knownDifference(const QString &file)
{
    for (const KnownDifference &entry : knownDifferences) {
        if (file == QLatin1String(entry.file))
            return &entry;
    }
    return nullptr;
}

const NoReference *noReference(const QString &file)
{
    for (const NoReference &entry : noReferences) {
        if (file == QLatin1String(entry.file))
            return &entry;
    }
    return nullptr;
}

} // namespace

class TestRtfCorpus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void listedFilesExist();
    void readsLikeLibreOffice_data();
    void readsLikeLibreOffice();
};

// The corpus lies in the shared folder beside the clone, which a user's
// clone does not have; CI requires it (KAVRO_REQUIRE_SHARED=1).
void TestRtfCorpus::initTestCase()
{
    if (QFileInfo(corpusDir()).isDir())
        return;
    const QString message
        = u"%1 is missing: the RTF corpus lies in the folder shared/ beside the clone"_s.arg(
            QDir::cleanPath(corpusDir()));
    if (qEnvironmentVariableIntValue("KAVRO_REQUIRE_SHARED") == 1)
        QFAIL(qPrintable(message + u" (required: KAVRO_REQUIRE_SHARED=1)"_s));
    QSKIP(qPrintable(message));
}

void TestRtfCorpus::listedFilesExist()
{
    const QDir dir(corpusDir());
    QVERIFY2(dir.exists(), qPrintable(dir.path()));
    for (const KnownDifference &entry : knownDifferences)
        QVERIFY2(dir.exists(QLatin1String(entry.file)), entry.file);
    for (const NoReference &entry : noReferences) {
        QVERIFY2(dir.exists(QLatin1String(entry.file)), entry.file);
        QVERIFY2(
            !dir.exists(QString::fromLatin1(entry.file).chopped(4) + u".lo.txt"_s), entry.file);
    }
    QVERIFY(dir.entryList({ u"*.rtf"_s }, QDir::Files).size() >= 50);
}

void TestRtfCorpus::readsLikeLibreOffice_data()
{
    QTest::addColumn<QString>("file");
    const QDir dir(corpusDir());
    for (const QString &file : dir.entryList({ u"*.rtf"_s }, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(file)) << file;
}

void TestRtfCorpus::readsLikeLibreOffice()
{
    QFETCH(QString, file);
    const QDir dir(corpusDir());
    QFile rtf(dir.filePath(file));
    QVERIFY(rtf.open(QIODevice::ReadOnly));
    const RtfReadResult result = ReadRtf(rtf.readAll());
    QVERIFY2(result.ok(), qPrintable(result.error));
    const QString ours = normalised(result.document->toPlainText());

    QFile reference(dir.filePath(file.chopped(4) + u".lo.txt"_s));
    if (!reference.open(QIODevice::ReadOnly)) {
        const NoReference *entry = noReference(file);
        QVERIFY2(entry, "a file without LibreOffice's text must be listed in noReferences");
        QVERIFY2(ours.contains(QString::fromUtf16(entry->ourText)), qPrintable(ours.left(500)));
        return;
    }
    const QString expected = normalised(QString::fromUtf8(reference.readAll()));
    if (const KnownDifference *entry = knownDifference(file)) {
        QVERIFY(!ours.isEmpty());
        QVERIFY2(ours != expected, "now matches LibreOffice: remove it from knownDifferences");
        QVERIFY2(ours.contains(QString::fromUtf16(entry->ourText)), qPrintable(ours.left(500)));
        return;
    }
    if (ours != expected) {
        qsizetype at = 0;
        while (at < ours.size() && at < expected.size() && ours[at] == expected[at])
            ++at;
        const qsizetype from = qMax<qsizetype>(0, at - 40);
        QFAIL(qPrintable(u"differs at character %1:\n ours: %2\n   LO: %3"_s.arg(at).arg(
            ours.mid(from, 120), expected.mid(from, 120))));
    }
}

QTEST_MAIN(TestRtfCorpus)
#include "tst_rtfcorpus.moc"
