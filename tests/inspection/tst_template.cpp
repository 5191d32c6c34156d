// The standard report template and the template checker kavro02-template,
// run as a separate process exactly as an operator or the build would run it.

#include "inspection/reporttags.h"
#include "rtf/rtfreader.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

using namespace Qt::StringLiterals;
using kavro::test::ProgramOutput;
using kavro::test::ReadFile;
using kavro::test::StandardTemplate;
using kavro::test::WriteFile;

namespace {

struct ToolRun
{
    int exitCode = -1;
    QStringList outLines;
    QString err;
};

ToolRun runTool(const QStringList &arguments)
{
    // Without a runtime folder Qt warns on stderr, which the tool itself keeps for its messages.
    QTemporaryDir runtimeDir;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtimeDir.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KAVRO_TEMPLATE_TOOL), arguments);
    ToolRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.outLines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    if (run.outLines.constLast().isEmpty())
        run.outLines.removeLast();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList tagLines(const QStringList &missingTags)
{
    QStringList lines;
    for (const kavro::ReportTag &tag : kavro::ReportTags()) {
        const QString tagText = tag.text.toString();
        lines << tagText + (missingTags.contains(tagText) ? u" missing"_s : u" found"_s);
    }
    return lines;
}

QString standardTemplatePath()
{
    return QStringLiteral(KAVRO_TEMPLATE_RTF);
}

QString testData(const QString &name)
{
    return QStringLiteral(KAVRO_TEST_DATA "/template/") + name;
}

std::unique_ptr<QTextDocument> readStandardTemplate()
{
    kavro::RtfReadResult result = kavro::ReadRtf(StandardTemplate());
    return std::move(result.document);
}

QTextTable *onlyTable(QTextDocument &document)
{
    const QList<QTextFrame *> frames = document.rootFrame()->childFrames();
    return frames.size() == 1 ? qobject_cast<QTextTable *>(frames.constFirst()) : nullptr;
}

// Every piece of text with its formatting, cells included, in document order.
QList<QTextFragment> fragments(const QTextDocument &document)
{
    QList<QTextFragment> list;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            list << it.fragment();
    }
    return list;
}

constexpr double twipsPerPixel = 15.0; // at 96 dots per inch

} // namespace

class TestTemplate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valueTagNamesFollowTheirCells();
    void standardTemplateHoldsAllTags_data();
    void standardTemplateHoldsAllTags();
    void resourceIsTheStandardTemplate();
    void standardTemplateTable();
    void standardTemplateEmphasis();
    void changedTemplates_data();
    void changedTemplates();
    void unreadableFiles_data();
    void unreadableFiles();
    void badArguments_data();
    void badArguments();
    void visibleTextOfTheStandardTemplate();
    void standardTemplatePrintsToPdf();
    void pdfPageOfTheFile_data();
    void pdfPageOfTheFile();
    void unusablePdf_data();
    void unusablePdf();
    void sampleReport_data();
    void sampleReport();
    void sampleNeedsEveryTag();
    void templateTheWindowRefuses();
};

void TestTemplate::valueTagNamesFollowTheirCells()
{
    int valueTags = 0;
    for (const kavro::ReportTag &tag : kavro::ReportTags()) {
        if (tag.source != kavro::ReportTagSource::TableValue)
            continue;
        ++valueTags;
        const kavro::ReportTableCell cell = tag.cell;
        const bool lambda = cell.quantity == kavro::ReportQuantity::Lambda;
        const QString prefix = lambda                    ? u"L"_s
            : cell.quantity == kavro::ReportQuantity::CO ? u"CO"_s
                                                         : u"CH"_s;
        // λ is taken at increased idle, yet its tags carry a 1 in the speed place.
        const int speedDigit = lambda ? 1 : int(cell.speed);
        const QString expected = u"#%1%2%3#"_s.arg(prefix).arg(int(cell.row)).arg(speedDigit);
        QCOMPARE(tag.text.toString(), expected);
        if (lambda)
            QCOMPARE(cell.speed, kavro::ReportEngineSpeed::IncreasedIdle);
    }
    QCOMPARE(valueTags, 15);
}

void TestTemplate::standardTemplateHoldsAllTags_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("as written") << standardTemplatePath();
    // Saved again by a word processor: runs, fonts and tables written its own way.
    QTest::newRow("after a LibreOffice round trip") << testData(u"template-libreoffice.rtf"_s);
#ifdef KAVRO_PROGRAM_TEMPLATE_RTF
    QTest::newRow("beside the program") << QStringLiteral(KAVRO_PROGRAM_TEMPLATE_RTF);
#endif
}

void TestTemplate::standardTemplateHoldsAllTags()
{
    QFETCH(QString, path);
    QVERIFY2(QFile::exists(path), qPrintable(path));
    const ToolRun run = runTool({ path });
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.outLines, tagLines({}));
}

void TestTemplate::resourceIsTheStandardTemplate()
{
    const QByteArray resource = ReadFile(u":/template.rtf"_s);
    QVERIFY(!resource.isEmpty());
    QCOMPARE(resource, ReadFile(standardTemplatePath()));
}

void TestTemplate::standardTemplateTable()
{
    const std::unique_ptr<QTextDocument> document = readStandardTemplate();
    QVERIFY(document);
    QTextTable *table = onlyTable(*document);
    QVERIFY(table);
    QCOMPARE(table->rows(), 5);
    QCOMPARE(table->columns(), 6);
    QCOMPARE(table->format().leftMargin(), 1320 / twipsPerPixel);

    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    const QList<int> twips = { 2006, 1418, 1419, 1418, 1419, 1560 };
    QCOMPARE(widths.size(), twips.size());
    for (int column = 0; column < twips.size(); ++column) {
        QCOMPARE(widths[column].type(), QTextLength::FixedLength);
        QVERIFY2(qAbs(widths[column].rawValue() - twips[column] / twipsPerPixel) < 0.01,
            qPrintable(QString::number(column)));
    }

    // The gas headings span two columns each; every cell has all four borders.
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            const bool gasHeading = row == 0 && (column == 1 || column == 3);
            QCOMPARE(cell.columnSpan(), gasHeading ? 2 : 1);
            QCOMPARE(cell.rowSpan(), 1);
            if (gasHeading)
                ++column;
            const QTextTableCellFormat format = cell.format().toTableCellFormat();
            const QString where = u"%1,%2"_s.arg(row).arg(column);
            QVERIFY2(format.topBorder() > 0 && format.bottomBorder() > 0, qPrintable(where));
            QVERIFY2(format.leftBorder() > 0 && format.rightBorder() > 0, qPrintable(where));
        }
    }
}

void TestTemplate::standardTemplateEmphasis()
{
    const std::unique_ptr<QTextDocument> document = readStandardTemplate();
    QVERIFY(document);
    QTextTable *table = onlyTable(*document);
    QVERIFY(table);

    const QStringList boldTexts = { u"Содержание вредных выбросов в отработавших газах"_s,
        u"Оксид углерода (СО)"_s, u"Углеводороды (СН)"_s };
    QStringList bold;
    QStringList subscript;
    for (const QTextFragment &fragment : fragments(*document)) {
        const QTextCharFormat format = fragment.charFormat();
        const QString text = fragment.text();
        QCOMPARE(format.fontFamilies().toStringList(), QStringList { u"Times New Roman"_s });
        if (format.fontWeight() == QFont::Bold)
            bold << text;
        if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            subscript << text;
        const bool inTable = table->firstPosition() <= fragment.position()
            && fragment.position() < table->lastPosition();
        const double size = text == boldTexts.constFirst() ? 16 : inTable ? 10 : 12;
        QVERIFY2(format.fontPointSize() == size, qPrintable(text));
    }
    QCOMPARE(bold, boldTexts);
    QCOMPARE(subscript, QStringList({ u"мин"_s, u"пов"_s, u"мин"_s, u"пов"_s }));
}

void TestTemplate::changedTemplates_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QStringList>("missing");

    const QByteArray date = R"(#{\lang1033 date}#)";
    const QByteArray l31 = R"(#{\lang1033 L31}#)";
    QTest::newRow("#L31# removed") << l31 << QByteArray() << QStringList { u"#L31#"_s };
    QTest::newRow("#L31# only in hidden text")
        << l31 << QByteArray(R"({\v #L31#})") << QStringList { u"#L31#"_s };
    QTest::newRow("#date# in four formatting runs")
        << date << QByteArray(R"({\b #}{\i da}{\ul te}{\fs40 #})") << QStringList();
    QTest::newRow("#date# around a bookmark")
        << date << QByteArray(R"(#da{\*\bkmkstart x}{\*\bkmkend x}te#)") << QStringList();
    QTest::newRow("#date# broken by a line break")
        << date << QByteArray(R"(#da\line te#)") << QStringList { u"#date#"_s };
    QTest::newRow("#date# written as Unicode escapes")
        << date << QByteArray(R"(\u35?\u100?\u97?\u116?\u101?\u35?)") << QStringList();
    QTest::newRow("#date# twice") << date << QByteArray(date + ' ' + date) << QStringList();
    // The report filling looks for tags regardless of case.
    QTest::newRow("#model# in upper case")
        << QByteArray(R"(#{\lang1033 model}#)") << QByteArray("#MODEL#") << QStringList();
    QTest::newRow("#model# misspelt") << QByteArray(R"(#{\lang1033 model}#)")
                                      << QByteArray("#modell#") << QStringList { u"#model#"_s };
}

void TestTemplate::changedTemplates()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QStringList, missing);

    QByteArray rtf = ReadFile(standardTemplatePath());
    QVERIFY2(rtf.count(from) == 1, from.constData());
    rtf.replace(from, to);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"template.rtf"_s);
    QVERIFY(WriteFile(path, rtf));

    const ToolRun run = runTool({ path });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.outLines, tagLines(missing));
}

void TestTemplate::unreadableFiles_data()
{
    QTest::addColumn<QByteArray>("content"); // null: the path does not exist
    QTest::addColumn<bool>("directory");
    QTest::addColumn<QString>("message");

    QTest::newRow("plain text") << QByteArray("Дата измерений: #date#\n") << false
                                << u"is not a readable RTF document"_s;
    QTest::newRow("empty file") << QByteArray("") << false << u"is not a readable RTF document"_s;
    QTest::newRow("a document of another kind") << QByteArray("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
                                                << false << u"is not a readable RTF document"_s;
    QTest::newRow("no such file") << QByteArray() << false << u"cannot read"_s;
    QTest::newRow("a folder") << QByteArray() << true << u"cannot read"_s;
}

void TestTemplate::unreadableFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, directory);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"template.rtf"_s);
    if (directory)
        QVERIFY(QDir(dir.path()).mkdir(u"template.rtf"_s));
    else if (!content.isNull())
        QVERIFY(WriteFile(path, content));

    const ToolRun run = runTool({ path });
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.outLines, QStringList());
    QVERIFY2(run.err.startsWith(u"kavro02-template: "_s), qPrintable(run.err));
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(run.err.contains(path), qPrintable(run.err));
}

void TestTemplate::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    const QString file = standardTemplatePath();
    QTest::newRow("no file") << QStringList() << u"exactly one FILE expected"_s;
    QTest::newRow("two files") << QStringList { file, file } << u"exactly one FILE expected"_s;
    QTest::newRow("unknown option")
        << QStringList { u"--html"_s, file } << u"Unknown option 'html'"_s;
    QTest::newRow("--pdf without OUT")
        << QStringList { file, u"--pdf"_s } << u"Missing value after '--pdf'"_s;
}

void TestTemplate::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    const ToolRun run = runTool(arguments);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.outLines, QStringList());
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(run.err.contains(u"Usage: "_s), qPrintable(run.err));
    QVERIFY2(run.err.contains(u"[options] FILE"_s), qPrintable(run.err));
}

void TestTemplate::visibleTextOfTheStandardTemplate()
{
    const ToolRun run = runTool({ u"--text"_s, standardTemplatePath() });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.outLines.mid(0, kavro::ReportTagCount), tagLines({}));
    QCOMPARE(run.outLines.value(kavro::ReportTagCount), u"--- text ---"_s);

    // Six empty lines, then the indented lines; the table's cells follow one
    // per line, with as many empty lines between as the table's frame makes.
    const QStringList text = run.outLines.mid(kavro::ReportTagCount + 1);
    QCOMPARE(text.mid(0, 7), QStringList(6, QString()) << u"Дата измерений: #date#"_s);
    QStringList expected = QString::fromUtf8(ReadFile(testData(u"template.txt"_s))).split(u'\n');
    expected.removeAll(QString());
    QStringList visibleLines = text;
    visibleLines.removeAll(QString());
    QCOMPARE(visibleLines, expected);
}

void TestTemplate::standardTemplatePrintsToPdf()
{
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    const QString pdfinfo = QStandardPaths::findExecutable(u"pdfinfo"_s);
    QVERIFY2(!pdftotext.isEmpty() && !pdfinfo.isEmpty(), "poppler-utils is not installed");

    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"template.pdf"_s);
    const ToolRun run = runTool({ u"--pdf"_s, pdf, standardTemplatePath() });
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);

    const QString info = ProgramOutput(pdfinfo, { pdf });
    QVERIFY2(info.contains(QRegularExpression(u"Pages: +1\n"_s)), qPrintable(info));

    // Blanks collapsed: pdftotext spaces the table's columns as it sees fit.
    QString text = ProgramOutput(pdftotext, { u"-layout"_s, pdf, u"-"_s });
    text.replace(QRegularExpression(u"[ \t]+"_s), u" "_s);
    const QStringList expected = {
        u"Дата измерений: #date#"_s,
        u"Комплектация автомобиля:"_s,
        u"- система нейтрализации #neutralization#"_s,
        u"Содержание вредных выбросов в отработавших газах"_s,
        u"Оксид углерода (СО)"_s,
        u"Углеводороды (СН)"_s,
        u"Коэффициент λ"_s,
        u"Обороты двигателя"_s,
        u"До регулировки #CO11# #CO12# #CH11# #CH12# #L11#"_s,
        u"После регулировки #CO21# #CO22# #CH21# #CH22# #L21#"_s,
        u"По норме #CO31# #CO32# #CH31# #CH32# #L31#"_s,
        u"Настройщик"_s,
        u"Примечания:"_s,
    };
    for (const QString &line : expected)
        QVERIFY2(text.contains(line), qPrintable(line + u"\n---\n"_s + text));
    for (const kavro::ReportTag &tag : kavro::ReportTags())
        QVERIFY2(text.contains(tag.text), qPrintable(tag.text.toString()));
}

void TestTemplate::pdfPageOfTheFile_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("pageSize");
    QTest::addColumn<double>("textLeft"); // points from the paper's left edge

    const QByteArray page = R"(\paperw11906\paperh16838\margl567\margr567)";
    // The PDF writer gives the page in whole points.
    // Left margin 567 + indent 1320 twips.
    QTest::newRow("A4 upright, as written") << page << page << u"595 x 842 pts (A4)"_s << 94.35;
    QTest::newRow("A4 turned") << page
                               << QByteArray(
                                      R"(\paperw16838\paperh11906\landscape\margl567\margr567)")
                               << u"842 x 595 pts (A4)"_s << 94.35;
    QTest::newRow("no page given: letter, margins 1800 twips")
        << page << QByteArray() << u"612 x 792 pts (letter)"_s << 156.0;
}

void TestTemplate::pdfPageOfTheFile()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, pageSize);
    QFETCH(double, textLeft);

    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    const QString pdfinfo = QStandardPaths::findExecutable(u"pdfinfo"_s);
    QVERIFY2(!pdftotext.isEmpty() && !pdfinfo.isEmpty(), "poppler-utils is not installed");

    QByteArray rtf = ReadFile(standardTemplatePath());
    QVERIFY(rtf.count(from) == 1);
    rtf.replace(from, to);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"template.rtf"_s);
    const QString pdf = dir.filePath(u"template.pdf"_s);
    QVERIFY(WriteFile(path, rtf));
    const ToolRun run = runTool({ u"--pdf"_s, pdf, path });
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);

    const QString info = ProgramOutput(pdfinfo, { pdf });
    QVERIFY2(
        info.contains(QRegularExpression(u"Page size: +"_s + QRegularExpression::escape(pageSize))),
        qPrintable(info));

    // Where the first indented line begins: the page's left margin plus the indent.
    const QString boxes = ProgramOutput(pdftotext, { u"-bbox"_s, pdf, u"-"_s });
    const QRegularExpressionMatch word
        = QRegularExpression(u"<word xMin=\"([0-9.]+)\"[^>]*>Дата</word>"_s).match(boxes);
    QVERIFY2(word.hasMatch(), qPrintable(boxes.left(2000)));
    QVERIFY2(qAbs(word.captured(1).toDouble() - textLeft) < 1.0, qPrintable(word.captured(0)));
}

void TestTemplate::unusablePdf_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("pdfName");
    QTest::addColumn<QString>("message");

    const QByteArray margins = R"(\margl567\margr567)";
    QTest::newRow("folder missing")
        << margins << margins << u"no-such-folder/template.pdf"_s << u"cannot write "_s;
    QTest::newRow("margins wider than the paper")
        << margins << QByteArray(R"(\margl6000\margr6000)") << u"template.pdf"_s
        << u"the page of the document is unusable (paper 11906 x 16838 twips, margins left "
           u"6000, right 6000, top 1134, bottom 1134)"_s;
    QTest::newRow("paper of 1.76 metres")
        << QByteArray(R"(\paperw11906)") << QByteArray(R"(\paperw100000)") << u"template.pdf"_s
        << u"the page of the document is unusable (paper 100000 x 16838 twips"_s;
}

void TestTemplate::unusablePdf()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, pdfName);
    QFETCH(QString, message);

    QByteArray rtf = ReadFile(standardTemplatePath());
    QVERIFY(rtf.count(from) == 1);
    rtf.replace(from, to);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"template.rtf"_s);
    const QString pdf = dir.filePath(pdfName);
    QVERIFY(WriteFile(path, rtf));

    const ToolRun run = runTool({ u"--pdf"_s, pdf, path });
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(run.outLines, tagLines({}));
    QVERIFY2(run.err.startsWith(u"kavro02-template: "_s), qPrintable(run.err));
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFile::exists(pdf));
}

void TestTemplate::sampleReport_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("standard") << standardTemplatePath();
    QTest::newRow("after a LibreOffice round trip") << testData(u"template-libreoffice.rtf"_s);
}

void TestTemplate::sampleReport()
{
    QFETCH(QString, path);
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    QVERIFY2(!pdftotext.isEmpty(), "poppler-utils is not installed");

    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"sample.pdf"_s);
    const ToolRun run = runTool({ u"--sample"_s, u"--text"_s, u"--pdf"_s, pdf, path });
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    // The tags are checked in the template as it is; the text is the filled one.
    QCOMPARE(run.outLines.mid(0, kavro::ReportTagCount + 1), tagLines({}) << u"--- text ---"_s);
    const QStringList text = run.outLines.mid(kavro::ReportTagCount + 1);
    for (const QString &line : { u"Модель автомобиля: КамАЗ-6520"_s,
             u"Регистрационный знак: А123ВС77"_s, u"Владелец: Петров Сергей Николаевич"_s,
             u"\t\t\t\t- категория N3"_s, u"\t\t\t\t- система нейтрализации трехкомпонентная"_s,
             u"\t\t\t\t- произведен после 01.10.1986"_s, u" 310 ppm"_s, u"  60 ppm"_s })
        QVERIFY2(text.contains(line), qPrintable(line));

    // The tests run in the C locale: a point before the decimals.
    QString printed = ProgramOutput(pdftotext, { u"-layout"_s, pdf, u"-"_s });
    printed.replace(QRegularExpression(u"[ \t]+"_s), u" "_s);
    for (const QString &line : { u"До регулировки 0.85 % 0.62 % 310 ppm 240 ppm 0.98"_s,
             u"После регулировки 0.18 % 0.12 % 95 ppm 60 ppm 1.00"_s,
             u"По норме 0.30 % 0.30 % 200 ppm 200 ppm 0.97-1.03"_s })
        QVERIFY2(printed.contains(line), qPrintable(line + u"\n---\n"_s + printed));
    QVERIFY2(!printed.contains(u'#'), qPrintable(printed));
}

void TestTemplate::sampleNeedsEveryTag()
{
    QByteArray rtf = ReadFile(standardTemplatePath());
    rtf.replace(R"(#{\lang1033 L31}#)", "");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"template.rtf"_s);
    const QString pdf = dir.filePath(u"sample.pdf"_s);
    QVERIFY(WriteFile(path, rtf));

    const ToolRun run = runTool({ u"--sample"_s, u"--pdf"_s, pdf, path });
    QCOMPARE(run.exitCode, 4);
    QCOMPARE(run.outLines, tagLines({ u"#L31#"_s }));
    QCOMPARE(run.err, u"kavro02-template: cannot fill the sample report: #L31# missing\n"_s);
    QVERIFY(!QFile::exists(pdf));
}

void TestTemplate::templateTheWindowRefuses()
{
    // Every tag is there, but one paragraph would take the window too long to lay out.
    QByteArray rtf = ReadFile(standardTemplatePath());
    rtf.replace("\\'cf\\'f0\\'e8\\'ec\\'e5\\'f7\\'e0\\'ed\\'e8\\'ff:", QByteArray(30000, 'x'));
    QTemporaryDir dir;
    const QString path = dir.filePath(u"template.rtf"_s);
    QVERIFY(WriteFile(path, rtf));

    const ToolRun run = runTool({ path });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.outLines, tagLines({}));
    QCOMPARE(run.err,
        u"kavro02-template: the report window refuses this template: a paragraph of 30063 "
        u"characters, more than the 20000 a template may have\n"_s);
}

QTEST_MAIN(TestTemplate)
#include "tst_template.moc"
