// Filling the report template's tags without a window, and the bounds within
// which a template is loaded at all.

#include "inspection/reportfilling.h"
#include "inspection/reporttags.h"
#include "inspection/reporttemplate.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <cmath>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::ReadFile;
using kavro::test::StandardTemplate;

namespace {

// The template with one piece of its RTF replaced.
QByteArray changedTemplate(const QByteArray &from, const QByteArray &to)
{
    QByteArray rtf = StandardTemplate();
    if (rtf.count(from) != 1)
        qFatal("the standard template has no single %s", from.constData());
    return rtf.replace(from, to);
}

std::unique_ptr<QTextDocument> templateDocument(const QByteArray &rtf)
{
    ReportTemplate loaded = ReadReportTemplate(rtf);
    if (!loaded.ok())
        qFatal("template not read: %s", qPrintable(loaded.error));
    return std::move(loaded.document);
}

// A complete measurement of an N3 with three-component after-treatment.
ReportInputs completeInputs()
{
    ReportInputs inputs;
    inputs.vehicle = { u"А123ВС"_s, 77, u"ГАЗ-3309"_s, u"Иванов"_s, u"Пётр"_s, u"Ильич"_s };
    inputs.categoryCode = 54;
    MeasurementResults &results = inputs.results;
    results.Readings[BeforeAdjustment][MinimumIdle] = { 1.5, 85, 14, 1, 0.9, 800, 80 };
    results.Readings[BeforeAdjustment][IncreasedIdle] = { 0.875, 120.4, 14, 1, 1.025, 2100, 81 };
    results.Readings[AfterAdjustment][MinimumIdle] = { 0.25, 5, 14, 1, 1.5, 820, 82 };
    results.Readings[AfterAdjustment][IncreasedIdle] = { 7, 3000, 14, 1, 1.02, 2200, 83 };
    results.BeforeAdjustmentDone = true;
    results.AfterAdjustmentDone = true;
    inputs.co = { 0.3, 0.5 };
    inputs.ch = { 100, 200 };
    inputs.fillingTime = QDateTime(QDate(2026, 12, 8), QTime(9, 5, 7));
    return inputs;
}

QStringList lines(const QTextDocument &document)
{
    return document.toPlainText().split(u'\n');
}

} // namespace

class tst_ReportFilling : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void unwritableValueStopsTheFilling_data();
    void unwritableValueStopsTheFilling();
    void valuesArePlainTextInTheTagsFormat();
    void templateBounds_data();
    void templateBounds();
    void templateFileThatCannotBeRead();
};

void tst_ReportFilling::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void tst_ReportFilling::unwritableValueStopsTheFilling_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("afterCO");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("reason");

    QTest::newRow("after-treatment field 3")
        << 32 + 24 << 0.25 << u"#neutralization#"_s
        << u"код комплектации 56 не задает систему нейтрализации"_s;
    QTest::newRow("class number 4") << 32 + 3 << 0.25 << u"#category#"_s
                                    << u"код комплектации 35 не задает категорию автомобиля"_s;
    QTest::newRow("no category chosen")
        << -1 << 0.25 << u"#category#"_s << u"код комплектации -1 не задает категорию автомобиля"_s;
    QTest::newRow("CO not a number")
        << 54 << std::nan("") << u"#CO21#"_s << u"значение не является числом"_s;
    QTest::newRow("CO infinite") << 54 << HUGE_VAL << u"#CO21#"_s
                                 << u"значение не является числом"_s;
}

void tst_ReportFilling::unwritableValueStopsTheFilling()
{
    QFETCH(int, code);
    QFETCH(double, afterCO);
    QFETCH(QString, tag);
    QFETCH(QString, reason);

    ReportInputs inputs = completeInputs();
    inputs.categoryCode = code;
    inputs.results.Readings[AfterAdjustment][MinimumIdle][qnCO] = afterCO;
    const std::unique_ptr<QTextDocument> document = templateDocument(StandardTemplate());
    const ReportFillResult result = FillReport(*document, inputs);
    QCOMPARE(result.status, ReportFillResult::Status::ValueUnwritable);
    QCOMPARE(result.tag, tag);
    QCOMPARE(result.reason, reason);
    // Filling stopped there: the tag and the ones after it are still in place.
    QVERIFY(document->toPlainText().contains(tag));
    QVERIFY(document->toPlainText().contains(u"#L31#"_s));
}

void tst_ReportFilling::valuesArePlainTextInTheTagsFormat()
{
    ReportInputs inputs = completeInputs();
    // Looks like RTF and holds a tag that is filled later.
    inputs.vehicle.Mark = u"{\\b ЗИЛ}\\par #CO11#"_s;
    const std::unique_ptr<QTextDocument> document
        = templateDocument(changedTemplate(R"(#{\lang1033 model}#)", R"({\b #mo}{\i del#} after)"));
    QVERIFY(FillReport(*document, inputs).ok());

    const QStringList text = lines(*document);
    QVERIFY(text.contains(u"Модель автомобиля: {\\b ЗИЛ}\\par #CO11# after"_s));
    QVERIFY(text.contains(u"Регистрационный знак: А123ВС77"_s));
    QVERIFY(text.contains(u"1,50 %"_s)); // #CO11# filled in the table

    // The model takes the format of the tag's first character: bold, not italic.
    const QTextBlock block
        = document->findBlock(int(document->toPlainText().indexOf(u"{\\b ЗИЛ}"_s)));
    QStringList boldRuns;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().fontWeight() == QFont::Bold)
            boldRuns << it.fragment().text();
        QVERIFY(!it.fragment().charFormat().fontItalic());
    }
    QCOMPARE(boldRuns, QStringList { u"{\\b ЗИЛ}\\par #CO11#"_s });
}

void tst_ReportFilling::templateBounds_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("error"); // empty: loaded

    const auto paragraphs = [](int count, int length) -> QByteArray {
        QByteArray body;
        for (int index = 0; index < count; ++index)
            body += QByteArray(length, 'a') + "\\par ";
        return "{\\rtf1 " + body + "}";
    };
    QTest::newRow("standard") << StandardTemplate() << QString();
    QTest::newRow("after a LibreOffice round trip")
        << ReadFile(QStringLiteral(KAVRO_TEST_DATA "/template/template-libreoffice.rtf"))
        << QString();
    QTest::newRow("longest paragraph")
        << paragraphs(1, MaxTemplateParagraphCharacters) << QString();
    QTest::newRow("paragraph too long")
        << paragraphs(1, MaxTemplateParagraphCharacters + 1)
        << u"a paragraph of 20001 characters, more than the 20000 a template may have"_s;
    QTest::newRow("table cell too long") << QByteArray("{\\rtf1\\trowd\\cellx2000\\pard\\intbl "
        + QByteArray(MaxTemplateParagraphCharacters + 1, 'b') + "\\cell\\row}")
                                         << u"a paragraph of 20001 characters"_s;
    QTest::newRow("text too long") << paragraphs(5, MaxTemplateParagraphCharacters)
                                   << u"100005 characters of text, more than the 100000"_s;
    QTest::newRow("file too large")
        << QByteArray("{\\rtf1 x{\\*\\comment " + QByteArray(MaxTemplateFileBytes, ' ') + "}}")
        << u"4194326 bytes, more than the 4194304 a template may have"_s;
    QTest::newRow("not RTF") << QByteArray("#date#") << u"not a readable RTF document: "_s;
    QTest::newRow("no room for text")
        << changedTemplate(R"(\margl567\margr567)", R"(\margl6000\margr6000)")
        << u"the page of the document is unusable (paper 11906 x 16838 twips"_s;
}

void tst_ReportFilling::templateBounds()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, error);

    const ReportTemplate loaded = ReadReportTemplate(rtf);
    QCOMPARE(loaded.ok(), error.isEmpty());
    QVERIFY2(loaded.error.startsWith(error), qPrintable(loaded.error));
}

void tst_ReportFilling::templateFileThatCannotBeRead()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"template.rtf"_s);
    QVERIFY(LoadReportTemplate(path).error.startsWith(u"cannot read "_s + path));
    QVERIFY(QDir(folder.path()).mkdir(u"template.rtf"_s));
    QVERIFY(LoadReportTemplate(path).error.startsWith(u"cannot read "_s + path));
    QVERIFY(QDir(folder.path()).rmdir(u"template.rtf"_s));

    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(MaxTemplateFileBytes + 1));
    file.close();
    QCOMPARE(LoadReportTemplate(path).error,
        path + u" has 4194305 bytes, more than the 4194304 a template may have"_s);
}

QTEST_MAIN(tst_ReportFilling)
#include "tst_reportfilling.moc"
