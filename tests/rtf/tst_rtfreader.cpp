#include "rtf/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtTest>

using namespace kavro;
using namespace Qt::StringLiterals;

namespace {

RtfReadResult read(const QByteArray &rtf)
{
    return ReadRtf(rtf);
}

QString plainText(const QByteArray &rtf)
{
    const RtfReadResult result = read(rtf);
    return result.ok() ? result.document->toPlainText() : u"<error>"_s;
}

QList<QTextTable *> tablesIn(QTextFrame *frame)
{
    QList<QTextTable *> tables;
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(child))
            tables.append(table);
    }
    return tables;
}

QString cellText(QTextTable *table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

QByteArray imageHex(const QSize &size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data().toHex();
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusesDataThatIsNotRtf_data();
    void refusesDataThatIsNotRtf();
    void acceptsLeadingByteOrderMarkAndWhiteSpace();
    void text_data();
    void text();
    void lineBreakIsALineSeparator();
    void characterFormat_data();
    void characterFormat();
    void paragraphFormat_data();
    void paragraphFormat();
    void defaultTabWidth_data();
    void defaultTabWidth();
    void tabStopsCountFromTheMargin_data();
    void tabStopsCountFromTheMargin();
    void styleSheetAndDefaults();
    void simpleTable();
    void cellPadding_data();
    void cellPadding();
    void blocksAfterTable_data();
    void blocksAfterTable();
    void mergedCells();
    void rowsWithDifferentCellBoundaries();
    void nestedTable();
    void tooManyCellBoundariesGiveOneColumnPerCell();
    void tableNestingIsLimited();
    void tableCellBorders();
    void emptyParagraphKeepsItsFont();
    void pageBreak();
    void pictureBecomesImageResource_data();
    void pictureBecomesImageResource();
    void unsupportedPictureIsSkipped();
    void pageLayout_data();
    void pageLayout();
    void deepNestingKeepsTextAndDoesNotLeakFormat();
};

void TestRtfReader::refusesDataThatIsNotRtf_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("Hello {\\rtf1 }");
    QTest::newRow("truncated header") << QByteArray("{\\rt");
    QTest::newRow("html") << QByteArray("<html><body>{\\rtf1}</body></html>");
    QTest::newRow("utf-16") << QByteArray("\xFF\xFE{\0\\\0r\0t\0f\0", 10);
}

void TestRtfReader::refusesDataThatIsNotRtf()
{
    QFETCH(QByteArray, data);
    const RtfReadResult result = read(data);
    QVERIFY(!result.ok());
    QVERIFY(!result.error.isEmpty());
}

void TestRtfReader::acceptsLeadingByteOrderMarkAndWhiteSpace()
{
    const RtfReadResult result = read("\xEF\xBB\xBF \r\n\t{\\rtf1 text}");
    QVERIFY(result.ok());
    QVERIFY(result.error.isEmpty());
    QCOMPARE(result.document->toPlainText(), u"text"_s);
}

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("groups") << QByteArray("{\\rtf1 a{b{c}}d}") << u"abcd"_s;
    QTest::newRow("escaped symbols") << QByteArray("{\\rtf1 \\{x\\}\\\\}") << u"{x}\\"_s;
    QTest::newRow("source line breaks are not text")
        << QByteArray("{\\rtf1 ab\r\ncd\nef}") << u"abcdef"_s;
    QTest::newRow("space ends a control word") << QByteArray("{\\rtf1\\b  two}") << u" two"_s;
    QTest::newRow("unknown word skipped") << QByteArray("{\\rtf1 a\\foo12 b}") << u"ab"_s;
    QTest::newRow("ignorable destination skipped")
        << QByteArray("{\\rtf1 a{\\*\\unknowndest hidden {deeper}}b}") << u"ab"_s;
    QTest::newRow("cp1251 hex") << QByteArray(
        "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e1\\'ee\\'f0}")
                                << u"Прибор"_s;
    QTest::newRow("font charset decides") << QByteArray(
        "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Times;}}"
        "\\f0\\'e9 \\f1\\'e9}") << u"é й"_s;
    QTest::newRow("cp866 via \\cpg")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\cpg866 Courier;}}\\f0\\'8f}") << u"П"_s;
    QTest::newRow("shift-jis pair")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}") << u"あ"_s;
    QTest::newRow("utf-8 sequence")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128\\cpg65001 Arial;}}\\f0\\'e4\\'b8\\'ad}")
        << u"中"_s;
    QTest::newRow("symbol font") << QByteArray(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
        "\\f1 l\\'b7\\f0 l}") << u"λ•l"_s;
    QTest::newRow("unicode with fallback") << QByteArray("{\\rtf1 \\u1040?\\u1041?}") << u"АБ"_s;
    QTest::newRow("negative unicode") << QByteArray("{\\rtf1 \\u-3913?x}") << u"\uF0B7x"_s;
    QTest::newRow("uc2 skips two") << QByteArray("{\\rtf1\\uc2 \\u1040\\'c0\\'c0x}") << u"Аx"_s;
    QTest::newRow("uc0 skips none") << QByteArray("{\\rtf1\\uc0 \\u1040x}") << u"Аx"_s;
    QTest::newRow("uc scoped to group")
        << QByteArray("{\\rtf1 {\\uc3 \\u1040 abc}\\u1041?d}") << u"АБd"_s;
    QTest::newRow("fallback stops at group end")
        << QByteArray("{\\rtf1 {\\uc99999999\\u1040 abc}def}") << u"Аdef"_s;
    QTest::newRow("surrogate pair")
        << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << u"\U0001F600"_s;
    QTest::newRow("out of range unicode shows fallback")
        << QByteArray("{\\rtf1 a\\u99999999999?b\\u65536?c}") << u"a?b?c"_s;
    QTest::newRow("paragraphs") << QByteArray("{\\rtf1 one\\par two\\par three}")
                                << u"one\ntwo\nthree"_s;
    QTest::newRow("tab") << QByteArray("{\\rtf1 a\\tab b}") << u"a\tb"_s;
    QTest::newRow("hidden text omitted")
        << QByteArray("{\\rtf1 a{\\v hidden}b\\v c\\v0 d}") << u"abd"_s;
    QTest::newRow("field result shown") << QByteArray(
        "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} end}")
                                        << u"see link end"_s;
    QTest::newRow("headers, footers and notes left out")
        << QByteArray("{\\rtf1 {\\header head}{\\footer foot}{\\headerl hl}body{\\footnote note}"
                      "{\\*\\annotation remark}{\\info{\\title t}} text}")
        << u"body text"_s;
    QTest::newRow("footnote reference number")
        << QByteArray("{\\rtf1 a{\\super\\chftn}{\\footnote\\chftn note} b{\\chftn}}")
        << u"a1 b2"_s;
    QTest::newRow("special characters") << QByteArray(
        "{\\rtf1 a\\~b\\-c\\_d\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}")
                                        << u"a b\u00ADc\u2011d—–•‘’“”"_s;
    QTest::newRow("binary data skipped")
        << QByteArray("{\\rtf1 a{\\*\\blob\\bin5 }{x\\}}b}") << u"ab"_s;
    QTest::newRow("binary length past the end")
        << QByteArray("{\\rtf1 a\\bin999999999 xyz}") << u"a"_s;
    QTest::newRow("upr takes the unicode version")
        << QByteArray("{\\rtf1 {\\upr{ansi}{\\*\\ud{\\u1040?}}}!}") << u"А!"_s;
    QTest::newRow("text after the document group ignored")
        << QByteArray("{\\rtf1 in}}} out") << u"in"_s;
    QTest::newRow("unclosed groups keep text") << QByteArray("{\\rtf1 a{\\b b{\\i c") << u"abc"_s;
    QTest::newRow("unclosed font table")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Times;}\n\\pard Date\\par") << u"Date"_s;
    QTest::newRow("invalid hex escapes") << QByteArray("{\\rtf1 a\\'zzb\\'4 c\\'") << u"abc"_s;
    QTest::newRow("nul bytes dropped") << QByteArray("{\\rtf1 #da\0te#\\'00}", 20) << u"#date#"_s;
    QTest::newRow("long control word stays a word")
        << QByteArray("{\\rtf1 \\" + QByteArray(5000, 'a') + " text}") << u"text"_s;
    QTest::newRow("huge parameters")
        << QByteArray("{\\rtf1\\fs99999999999999999999\\li-99999999999 x}") << u"x"_s;
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(plainText(rtf), expected);
}

void TestRtfReader::lineBreakIsALineSeparator()
{
    const RtfReadResult result = read("{\\rtf1 a\\line b}");
    QCOMPARE(result.document->blockCount(), 1);
    QCOMPARE(result.document->firstBlock().text(), u"a\u2028b"_s);
}

void TestRtfReader::characterFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("strike");
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QColor>("foreground");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<int>("verticalAlignment");

    const QByteArray header = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
                              "{\\f1\\fswiss\\fcharset204 Arial;}}"
                              "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    const int normal = QFont::Normal;
    const int bold = QFont::Bold;
    const QColor none;
    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);
    const int base = QTextCharFormat::AlignNormal;
    QTest::newRow("default") << header + "plain}" << u"plain"_s << normal << false << false << false
                             << 12.0 << u"Times New Roman"_s << none << none << base;
    QTest::newRow("bold") << header + "{\\b bold}}" << u"bold"_s << bold << false << false << false
                          << 12.0 << u"Times New Roman"_s << none << none << base;
    QTest::newRow("bold off") << header + "\\b\\b0 off}" << u"off"_s << normal << false << false
                              << false << 12.0 << u"Times New Roman"_s << none << none << base;
    QTest::newRow("italic underline strike")
        << header + "\\i\\ul\\strike mixed}" << u"mixed"_s << normal << true << true << true << 12.0
        << u"Times New Roman"_s << none << none << base;
    QTest::newRow("ulnone") << header + "\\ul\\ulnone x}" << u"x"_s << normal << false << false
                            << false << 12.0 << u"Times New Roman"_s << none << none << base;
    QTest::newRow("font and size") << header + "\\f1\\fs21 arial}" << u"arial"_s << normal << false
                                   << false << false << 10.5 << u"Arial"_s << none << none << base;
    QTest::newRow("colours") << header + "\\cf1\\highlight2 coloured}" << u"coloured"_s << normal
                             << false << false << false << 12.0 << u"Times New Roman"_s << red
                             << blue << base;
    QTest::newRow("colour index outside table")
        << header + "\\cf9 auto}" << u"auto"_s << normal << false << false << false << 12.0
        << u"Times New Roman"_s << none << none << base;
    QTest::newRow("subscript") << header + "n{\\sub min}}" << u"min"_s << normal << false << false
                               << false << 12.0 << u"Times New Roman"_s << none << none
                               << int(QTextCharFormat::AlignSubScript);
    QTest::newRow("superscript") << header + "{\\super 2}}" << u"2"_s << normal << false << false
                                 << false << 12.0 << u"Times New Roman"_s << none << none
                                 << int(QTextCharFormat::AlignSuperScript);
    QTest::newRow("group restores")
        << header + "{\\b\\i\\f1\\fs40 in}out}" << u"out"_s << normal << false << false << false
        << 12.0 << u"Times New Roman"_s << none << none << base;
    QTest::newRow("plain resets") << header + "\\b\\i\\fs40\\f1\\cf1\\plain reset}" << u"reset"_s
                                  << normal << false << false << false << 12.0
                                  << u"Times New Roman"_s << none << none << base;
}

void TestRtfReader::characterFormat()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, word);
    const RtfReadResult result = read(rtf);
    const QTextCursor found = result.document->find(word);
    QVERIFY2(!found.isNull(), qPrintable(word));
    const QTextCharFormat format = found.charFormat();
    QTEST(format.fontWeight(), "weight");
    QTEST(format.fontItalic(), "italic");
    QTEST(format.fontUnderline(), "underline");
    QTEST(format.fontStrikeOut(), "strike");
    QTEST(format.fontPointSize(), "pointSize");
    QTEST(format.fontFamilies().toStringList().value(0), "family");
    QFETCH(QColor, foreground);
    QCOMPARE(format.hasProperty(QTextFormat::ForegroundBrush), foreground.isValid());
    if (foreground.isValid())
        QCOMPARE(format.foreground().color(), foreground);
    QFETCH(QColor, background);
    QCOMPARE(format.hasProperty(QTextFormat::BackgroundBrush), background.isValid());
    if (background.isValid())
        QCOMPARE(format.background().color(), background);
    QTEST(int(format.verticalAlignment()), "verticalAlignment");
}

void TestRtfReader::paragraphFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("right");
    QTest::addColumn<double>("indent");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("bottom");
    QTest::addColumn<int>("lineHeightType");
    QTest::addColumn<double>("lineHeight");
    QTest::addColumn<QList<double>>("tabs");

    // Document units are pixels at 96 dpi: 15 twips each.
    const int single = QTextBlockFormat::SingleHeight;
    QTest::newRow("default") << QByteArray("{\\rtf1 x\\par}") << int(Qt::AlignLeft) << 0.0 << 0.0
                             << 0.0 << 0.0 << 0.0 << single << 0.0 << QList<double>();
    QTest::newRow("centred") << QByteArray("{\\rtf1\\qc x\\par}") << int(Qt::AlignHCenter) << 0.0
                             << 0.0 << 0.0 << 0.0 << 0.0 << single << 0.0 << QList<double>();
    QTest::newRow("right") << QByteArray("{\\rtf1\\qr x\\par}") << int(Qt::AlignRight) << 0.0 << 0.0
                           << 0.0 << 0.0 << 0.0 << single << 0.0 << QList<double>();
    QTest::newRow("justified") << QByteArray("{\\rtf1\\qj x\\par}") << int(Qt::AlignJustify) << 0.0
                               << 0.0 << 0.0 << 0.0 << 0.0 << single << 0.0 << QList<double>();
    QTest::newRow("indents and spacing")
        << QByteArray("{\\rtf1\\li1320\\ri300\\fi-150\\sb120\\sa240 x\\par}") << int(Qt::AlignLeft)
        << 88.0 << 20.0 << -10.0 << 8.0 << 16.0 << single << 0.0
        << QList<double> { 10.0 }; // the hanging indent is a tab stop
    QTest::newRow("line spacing multiple")
        << QByteArray("{\\rtf1\\sl360\\slmult1 x\\par}") << int(Qt::AlignLeft) << 0.0 << 0.0 << 0.0
        << 0.0 << 0.0 << int(QTextBlockFormat::ProportionalHeight) << 150.0 << QList<double>();
    QTest::newRow("line spacing at least")
        << QByteArray("{\\rtf1\\sl300\\slmult0 x\\par}") << int(Qt::AlignLeft) << 0.0 << 0.0 << 0.0
        << 0.0 << 0.0 << int(QTextBlockFormat::MinimumHeight) << 20.0 << QList<double>();
    QTest::newRow("line spacing exactly")
        << QByteArray("{\\rtf1\\sl-300\\slmult0 x\\par}") << int(Qt::AlignLeft) << 0.0 << 0.0 << 0.0
        << 0.0 << 0.0 << int(QTextBlockFormat::FixedHeight) << 20.0 << QList<double>();
    QTest::newRow("tab stops") << QByteArray("{\\rtf1\\tx720\\tqr\\tx2880 a\\tab b\\par}")
                               << int(Qt::AlignLeft) << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << single
                               << 0.0 << QList<double> { 48.0, 192.0 };
    QTest::newRow("pard resets") << QByteArray("{\\rtf1\\qc\\li720\\tx720\\pard x\\par}")
                                 << int(Qt::AlignLeft) << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << single
                                 << 0.0 << QList<double>();
    QTest::newRow("properties at the paragraph's end count")
        << QByteArray("{\\rtf1 x\\qr\\par}") << int(Qt::AlignRight) << 0.0 << 0.0 << 0.0 << 0.0
        << 0.0 << single << 0.0 << QList<double>();
}

void TestRtfReader::paragraphFormat()
{
    QFETCH(QByteArray, rtf);
    const RtfReadResult result = read(rtf);
    const QTextBlockFormat format = result.document->firstBlock().blockFormat();
    QTEST(int(format.alignment()), "alignment");
    QTEST(format.leftMargin(), "left");
    QTEST(format.rightMargin(), "right");
    QTEST(format.textIndent(), "indent");
    QTEST(format.topMargin(), "top");
    QTEST(format.bottomMargin(), "bottom");
    QTEST(format.lineHeightType(), "lineHeightType");
    QTEST(format.lineHeight(), "lineHeight");
    QList<double> tabs;
    for (const QTextOption::Tab &tab : format.tabPositions())
        tabs.append(tab.position);
    QTEST(tabs, "tabs");
    if (tabs.size() == 2)
        QCOMPARE(format.tabPositions().at(1).type, QTextOption::RightTab);
}

void TestRtfReader::defaultTabWidth_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<double>("distance");
    QTest::newRow("half an inch when not given") << QByteArray("{\\rtf1 a\\tab b}") << 48.0;
    QTest::newRow("deftab") << QByteArray("{\\rtf1\\deftab708 a\\tab b}") << 708 / 15.0;
    QTest::newRow("nonsense ignored") << QByteArray("{\\rtf1\\deftab-5 a}") << 48.0;
}

void TestRtfReader::defaultTabWidth()
{
    QFETCH(QByteArray, rtf);
    QTEST(read(rtf).document->defaultTextOption().tabStopDistance(), "distance");
}

void TestRtfReader::tabStopsCountFromTheMargin_data()
{
    QTest::addColumn<QByteArray>("paragraph");
    QTest::addColumn<int>("textAt"); // twips from the margin, where "x" starts
    QTest::addColumn<QList<int>>("firstTabs"); // twips from where the line starts
    QTest::newRow("default stops past an indent")
        << QByteArray("\\li1320\\tab\\tab\\tab\\tab x") << 5 * 708
        << QList<int> { 1416 - 1320, 2124 - 1320, 2832 - 1320, 3540 - 1320 };
    QTest::newRow("first line indent")
        << QByteArray("\\li300\\fi400\\tab x") << 708 << QList<int> { 8, 716 };
    QTest::newRow("hanging indent is a stop")
        << QByteArray("\\li720\\fi-720\\tab x") << 720 << QList<int> { 720 };
    QTest::newRow("set stop, then defaults after it")
        << QByteArray("\\li1000\\tx1500\\tab\\tab x") << 2124 << QList<int> { 500, 1124 };
    QTest::newRow("no indent keeps the document's distance")
        << QByteArray("\\tab\\tab x") << 1416 << QList<int> {};
}

void TestRtfReader::tabStopsCountFromTheMargin()
{
    QFETCH(QByteArray, paragraph);
    QFETCH(int, textAt);
    QFETCH(QList<int>, firstTabs);
    const RtfReadResult result = read("{\\rtf1\\deftab708 x\\par\\pard " + paragraph + "\\par}");
    QVERIFY(result.ok());
    const QTextBlock reference = result.document->firstBlock();
    const QTextBlock tabbed = reference.next();
    QList<int> tabs;
    for (const QTextOption::Tab &tab : tabbed.blockFormat().tabPositions())
        tabs.append(qRound(tab.position * 15));
    QCOMPARE(tabs.mid(0, firstTabs.size()), firstTabs);

    result.document->documentLayout(); // lays the document out
    const auto xOf = [](const QTextBlock &block, int index) {
        const QTextLayout *layout = block.layout();
        return layout->position().x() + layout->lineAt(0).cursorToX(index);
    };
    const double x = xOf(tabbed, int(tabbed.text().indexOf(u'x'))) - xOf(reference, 0);
    QVERIFY2(qAbs(x - textAt / 15.0) < 0.1, qPrintable(QString::number(x * 15)));
}

void TestRtfReader::styleSheetAndDefaults()
{
    const RtfReadResult result
        = read("{\\rtf1\\deff0{\\fonttbl{\\f0 Times;}{\\f1 Arial;}}"
               "{\\*\\defchp \\fs22}{\\*\\defpap \\sa200}"
               "{\\stylesheet{\\ql\\f0\\fs22 Normal;}{\\s1\\qc\\sb240\\b\\f1\\fs32 heading 1;}}"
               "\\pard\\plain\\s1 Title\\par\\pard\\plain body\\par}");
    QTextBlock title = result.document->firstBlock();
    QCOMPARE(title.text(), u"Title"_s);
    QCOMPARE(title.blockFormat().alignment(), Qt::AlignHCenter);
    QCOMPARE(title.blockFormat().topMargin(), 16.0);
    const QTextCharFormat titleChars = result.document->find(u"Title"_s).charFormat();
    QCOMPARE(titleChars.fontWeight(), int(QFont::Bold));
    QCOMPARE(titleChars.fontPointSize(), 16.0);
    QCOMPARE(titleChars.fontFamilies().toStringList(), QStringList { u"Arial"_s });

    const QTextBlock body = title.next();
    QCOMPARE(body.blockFormat().alignment(), Qt::AlignLeft);
    QCOMPARE(body.blockFormat().bottomMargin(), 200 / 15.0);
    const QTextCharFormat bodyChars = result.document->find(u"body"_s).charFormat();
    QCOMPARE(bodyChars.fontPointSize(), 11.0);
    QCOMPARE(bodyChars.fontWeight(), int(QFont::Normal));
    QCOMPARE(bodyChars.fontFamilies().toStringList(), QStringList { u"Times"_s });
}

void TestRtfReader::simpleTable()
{
    const RtfReadResult result = read("{\\rtf1 before\\par"
                                      "\\trowd\\trleft1320\\trgaph108\\cellx3326\\cellx4744"
                                      "\\pard\\intbl A1\\cell B1\\cell\\row"
                                      "\\trowd\\trleft1320\\trgaph108\\cellx3326\\cellx4744"
                                      "\\pard\\intbl A2\\cell B2\\par second line\\cell\\row"
                                      "\\pard after\\par}");
    const QList<QTextTable *> tables = tablesIn(result.document->rootFrame());
    QCOMPARE(tables.size(), 1);
    QTextTable *table = tables.front();
    QCOMPARE(table->rows(), 2);
    QCOMPARE(table->columns(), 2);
    QCOMPARE(cellText(table, 0, 0), u"A1"_s);
    QCOMPARE(cellText(table, 0, 1), u"B1"_s);
    QCOMPARE(cellText(table, 1, 0), u"A2"_s);
    QCOMPARE(cellText(table, 1, 1), u"B2\u2029second line"_s);
    const QTextTableFormat format = table->format();
    QCOMPARE(format.leftMargin(), 88.0);
    QCOMPARE(format.cellPadding(), 0.0);
    const QList<QTextLength> widths = format.columnWidthConstraints();
    QCOMPARE(widths.size(), 2);
    QCOMPARE(widths[0], QTextLength(QTextLength::FixedLength, 2006 / 15.0));
    QCOMPARE(widths[1], QTextLength(QTextLength::FixedLength, 1418 / 15.0));
    const QString text = result.document->toPlainText();
    QVERIFY2(text.startsWith(u"before\n"_s), qPrintable(text));
    QVERIFY2(text.endsWith(u"\nafter"_s), qPrintable(text));
}

void TestRtfReader::cellPadding_data()
{
    QTest::addColumn<QByteArray>("rowWords");
    QTest::addColumn<QList<double>>("padding"); // left, right, top, bottom, twips
    QTest::newRow("gap at the sides only")
        << QByteArray("\\trgaph108") << QList<double> { 108, 108, 0, 0 };
    QTest::newRow("twips padding wins over the gap")
        << QByteArray("\\trgaph108\\trpaddl60\\trpaddr90\\trpaddt30\\trpaddb45"
                      "\\trpaddfl3\\trpaddfr3\\trpaddft3\\trpaddfb3")
        << QList<double> { 60, 90, 30, 45 };
    QTest::newRow("unit before value")
        << QByteArray("\\trgaph108\\trpaddfl3\\trpaddl20") << QList<double> { 20, 108, 0, 0 };
    QTest::newRow("padding without its unit is ignored")
        << QByteArray("\\trgaph50\\trpaddl20\\trpaddt20") << QList<double> { 50, 50, 0, 0 };
    QTest::newRow("nonsense bounded")
        << QByteArray("\\trgaph99999\\trpaddt-5\\trpaddft3") << QList<double> { 1440, 1440, 0, 0 };
}

void TestRtfReader::cellPadding()
{
    QFETCH(QByteArray, rowWords);
    QFETCH(QList<double>, padding);
    const RtfReadResult result = read("{\\rtf1\\trowd" + rowWords
        + "\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
          "\\trowd\\trgaph15\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row}");
    QTextTable *table = tablesIn(result.document->rootFrame()).value(0);
    QVERIFY(table);
    QCOMPARE(table->format().cellPadding(), 0.0);
    for (int column = 0; column < 2; ++column) {
        const QTextTableCellFormat first = table->cellAt(0, column).format().toTableCellFormat();
        QCOMPARE(first.leftPadding(), padding[0] / 15);
        QCOMPARE(first.rightPadding(), padding[1] / 15);
        QCOMPARE(first.topPadding(), padding[2] / 15);
        QCOMPARE(first.bottomPadding(), padding[3] / 15);
        // Each row keeps its own definition's padding.
        const QTextTableCellFormat second = table->cellAt(1, column).format().toTableCellFormat();
        QCOMPARE(second.leftPadding(), 1.0);
        QCOMPARE(second.topPadding(), 0.0);
    }
}

void TestRtfReader::blocksAfterTable_data()
{
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("blocks");
    QTest::addColumn<int>("emptyLinesAbove");
    // Qt keeps an empty block after every table and shows it with no height:
    // empty lines from the file come after it.
    QTest::newRow("empty line") << QByteArray("\\pard\\fs24\\par \\pard\\fs24 X\\par")
                                << QStringList { QString(), QString(), u"X"_s } << 1;
    QTest::newRow("two empty lines")
        << QByteArray("\\pard\\par\\par X\\par")
        << QStringList { QString(), QString(), QString(), u"X"_s } << 2;
    QTest::newRow("text directly") << QByteArray("\\pard X\\par") << QStringList { u"X"_s } << 0;
}

void TestRtfReader::blocksAfterTable()
{
    QFETCH(QByteArray, after);
    QFETCH(int, emptyLinesAbove);
    const RtfReadResult result = read(
        "{\\rtf1\\trowd\\trgaph108\\cellx2000\\pard\\intbl\\fs24 A\\cell\\row " + after + "}");
    QTextTable *table = tablesIn(result.document->rootFrame()).value(0);
    QVERIFY(table);
    QStringList blocks;
    for (QTextBlock block = result.document->findBlock(table->lastPosition() + 1); block.isValid();
         block = block.next())
        blocks.append(block.text());
    QTEST(blocks, "blocks");

    // X moves down by the height of one line (same font) per empty line.
    const auto topAndHeightOfLast = [](QTextDocument *document) {
        const QRectF rect = document->documentLayout()->blockBoundingRect(document->lastBlock());
        return std::pair { rect.top(), rect.height() };
    };
    const auto [top, height] = topAndHeightOfLast(result.document.get());
    const RtfReadResult direct = read(
        "{\\rtf1\\trowd\\trgaph108\\cellx2000\\pard\\intbl\\fs24 A\\cell\\row \\pard X\\par}");
    const double gap = top - topAndHeightOfLast(direct.document.get()).first;
    QCOMPARE(gap, emptyLinesAbove * height);
}

void TestRtfReader::mergedCells()
{
    const RtfReadResult result = read("{\\rtf1"
                                      "\\trowd\\cellx1000\\clmgf\\cellx2000\\clmrg\\cellx3000"
                                      "\\intbl\\cell CO\\cell\\cell\\row"
                                      "\\trowd\\clvmgf\\cellx1000\\cellx2000\\cellx3000"
                                      "\\intbl tall\\cell a\\cell b\\cell\\row"
                                      "\\trowd\\clvmrg\\cellx1000\\cellx2000\\cellx3000"
                                      "\\intbl\\cell c\\cell d\\cell\\row}");
    QTextTable *table = tablesIn(result.document->rootFrame()).value(0);
    QVERIFY(table);
    QCOMPARE(table->rows(), 3);
    QCOMPARE(table->columns(), 3);
    const QTextTableCell heading = table->cellAt(0, 1);
    QCOMPARE(heading.columnSpan(), 2);
    QCOMPARE(cellText(table, 0, 1), u"CO"_s);
    const QTextTableCell tall = table->cellAt(1, 0);
    QCOMPARE(tall.rowSpan(), 2);
    QCOMPARE(cellText(table, 1, 0), u"tall"_s);
    QCOMPARE(cellText(table, 2, 2), u"d"_s);
}

void TestRtfReader::rowsWithDifferentCellBoundaries()
{
    // The first row has one wide cell over the two cells of the second.
    const RtfReadResult result = read("{\\rtf1"
                                      "\\trowd\\cellx1000\\cellx3000\\intbl x\\cell wide\\cell\\row"
                                      "\\trowd\\cellx1000\\cellx2000\\cellx3000"
                                      "\\intbl y\\cell a\\cell b\\cell\\row}");
    QTextTable *table = tablesIn(result.document->rootFrame()).value(0);
    QVERIFY(table);
    QCOMPARE(table->columns(), 3);
    QCOMPARE(table->cellAt(0, 1).columnSpan(), 2);
    QCOMPARE(cellText(table, 0, 1), u"wide"_s);
    QCOMPARE(cellText(table, 1, 2), u"b"_s);
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    QCOMPARE(widths.size(), 3);
    QCOMPARE(widths[2].rawValue(), 1000 / 15.0);
}

void TestRtfReader::nestedTable()
{
    const RtfReadResult result
        = read("{\\rtf1\\trowd\\cellx2000\\cellx4000"
               "\\pard\\intbl outer\\par"
               "\\pard\\intbl\\itap2 inner1\\nestcell inner2\\nestcell"
               "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
               "\\pard\\intbl after inner\\cell right\\cell"
               "\\trowd\\cellx2000\\cellx4000\\row}");
    QTextTable *outer = tablesIn(result.document->rootFrame()).value(0);
    QVERIFY(outer);
    QCOMPARE(outer->rows(), 1);
    QCOMPARE(outer->columns(), 2);
    QCOMPARE(cellText(outer, 0, 1), u"right"_s);
    const QList<QTextTable *> inner = tablesIn(outer);
    QCOMPARE(inner.size(), 1);
    QCOMPARE(inner.front()->columns(), 2);
    QCOMPARE(cellText(inner.front(), 0, 0), u"inner1"_s);
    QCOMPARE(cellText(inner.front(), 0, 1), u"inner2"_s);
    const QString text = result.document->toPlainText().simplified();
    QCOMPARE(text, u"outer inner1 inner2 after inner right"_s);
}

void TestRtfReader::tooManyCellBoundariesGiveOneColumnPerCell()
{
    // 100 rows, each cut at its own place: an exact grid would need 101 columns.
    QByteArray rtf = "{\\rtf1";
    for (int row = 0; row < 100; ++row) {
        rtf += "\\trowd\\cellx" + QByteArray::number(100 + row) + "\\cellx5000\\intbl L"
            + QByteArray::number(row) + "\\cell R\\cell\\row";
    }
    const RtfReadResult result = read(rtf + "}");
    QTextTable *table = tablesIn(result.document->rootFrame()).value(0);
    QVERIFY(table);
    QCOMPARE(table->rows(), 100);
    QCOMPARE(table->columns(), 2);
    QCOMPARE(cellText(table, 99, 0), u"L99"_s);
    QCOMPARE(cellText(table, 99, 1), u"R"_s);
    QVERIFY(table->format().columnWidthConstraints().isEmpty());
}

void TestRtfReader::tableNestingIsLimited()
{
    // Ten levels of nesting are read as six; the text of the deeper ones stays.
    QByteArray rtf = "{\\rtf1";
    for (int level = 10; level >= 2; --level) {
        rtf += "\\pard\\intbl\\itap" + QByteArray::number(level) + " t" + QByteArray::number(level)
            + "\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}";
    }
    rtf += "\\pard\\intbl t1\\cell\\trowd\\cellx1000\\row}";
    const RtfReadResult result = read(rtf);
    int depth = 0;
    for (QTextFrame *frame = result.document->rootFrame(); !tablesIn(frame).isEmpty();
         frame = tablesIn(frame).front())
        ++depth;
    QCOMPARE(depth, 6);
    QCOMPARE(result.document->toPlainText().simplified(), u"t10 t9 t8 t7 t6 t5 t4 t3 t2 t1"_s);
}

void TestRtfReader::tableCellBorders()
{
    const RtfReadResult result
        = read("{\\rtf1\\trowd\\clbrdrt\\brdrs\\brdrw30\\clbrdrb\\brdrnone\\cellx1000"
               "\\cellx2000\\intbl a\\cell b\\cell\\row}");
    QTextTable *table = tablesIn(result.document->rootFrame()).value(0);
    QVERIFY(table);
    const QTextTableCellFormat bordered = table->cellAt(0, 0).format().toTableCellFormat();
    QCOMPARE(bordered.topBorder(), 2.0);
    QCOMPARE(bordered.bottomBorder(), 0.0);
    QCOMPARE(bordered.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    const QTextTableCellFormat plain = table->cellAt(0, 1).format().toTableCellFormat();
    QCOMPARE(plain.topBorder(), 0.0);
}

void TestRtfReader::emptyParagraphKeepsItsFont()
{
    const RtfReadResult result
        = read("{\\rtf1{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs24\\par\\fs32\\par text}");
    QTextBlock first = result.document->firstBlock();
    QCOMPARE(first.text(), QString());
    QCOMPARE(first.charFormat().fontPointSize(), 12.0);
    QCOMPARE(
        first.charFormat().fontFamilies().toStringList(), QStringList { u"Times New Roman"_s });
    QCOMPARE(first.next().charFormat().fontPointSize(), 16.0);
}

void TestRtfReader::pageBreak()
{
    const RtfReadResult result = read("{\\rtf1 one\\page two\\par three}");
    QCOMPARE(result.document->toPlainText(), u"one\ntwo\nthree"_s);
    const QTextBlock one = result.document->firstBlock();
    QCOMPARE(one.blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_Auto);
    QCOMPARE(one.next().blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    QCOMPARE(one.next().next().blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_Auto);
}

void TestRtfReader::pictureBecomesImageResource_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png") << QByteArray("\\pngblip") << QByteArray("PNG");
    QTest::newRow("jpeg") << QByteArray("\\jpegblip") << QByteArray("JPEG");
}

void TestRtfReader::pictureBecomesImageResource()
{
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, format);
    const QByteArray rtf = "{\\rtf1 a{\\pict" + kind + "\\picw2\\pich3\\picwgoal600\\pichgoal900\n"
        + imageHex(QSize(2, 3), format.constData()) + "}b}";
    const RtfReadResult result = read(rtf);
    QCOMPARE(result.document->toPlainText(), u"a\uFFFCb"_s);
    QTextCursor cursor(result.document.get());
    cursor.setPosition(2);
    const QTextImageFormat image = cursor.charFormat().toImageFormat();
    QVERIFY(image.isValid());
    QCOMPARE(image.width(), 40.0);
    QCOMPARE(image.height(), 60.0);
    const QVariant resource
        = result.document->resource(QTextDocument::ImageResource, QUrl(image.name()));
    QCOMPARE(resource.value<QImage>().size(), QSize(2, 3));
}

void TestRtfReader::unsupportedPictureIsSkipped()
{
    QCOMPARE(plainText("{\\rtf1 a{\\pict\\wmetafile8 0100090000}b"
                       "{\\pict\\pngblip 0badc0ffee}c}"),
        u"abc"_s);
}

void TestRtfReader::pageLayout_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QList<int>>("expected"); // width, height, left, right, top, bottom

    QTest::newRow("defaults") << QByteArray("{\\rtf1 x}")
                              << QList<int> { 12240, 15840, 1800, 1800, 1440, 1440 };
    QTest::newRow("A4") << QByteArray("{\\rtf1\\paperw11906\\paperh16838\\margl1701\\margr850"
                                      "\\margt1134\\margb1134 x}")
                        << QList<int> { 11906, 16838, 1701, 850, 1134, 1134 };
    QTest::newRow("nonsense ignored")
        << QByteArray("{\\rtf1\\paperw0\\paperh99999999999\\margl-5\\margr200000 x}")
        << QList<int> { 12240, 15840, 1800, 1800, 1440, 1440 };
}

void TestRtfReader::pageLayout()
{
    QFETCH(QByteArray, rtf);
    const RtfPageLayout page = read(rtf).page;
    QTEST((QList<int> { page.paperWidth, page.paperHeight, page.marginLeft, page.marginRight,
              page.marginTop, page.marginBottom }),
        "expected");
}

void TestRtfReader::deepNestingKeepsTextAndDoesNotLeakFormat()
{
    const int depth = 100000;
    const QByteArray rtf = "{\\rtf1 " + QByteArray(depth, '{')
        + "\\b deep{\\*\\x gone}{\\fonttbl{\\f9 Gone;}}{\\field{\\*\\fldinst X}{\\fldrslt !}}"
        + QByteArray(depth, '}') + " plain}";
    const RtfReadResult result = read(rtf);
    QCOMPARE(result.document->toPlainText(), u"deep! plain"_s);
    QCOMPARE(result.document->find(u"plain"_s).charFormat().fontWeight(), int(QFont::Normal));
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
