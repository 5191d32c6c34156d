#include "rtfdocumentwriter.h"

#include <QTextTable>
#include <QUrl>

#include <algorithm>

namespace kavro {

using namespace Qt::StringLiterals;

namespace {

bool isBlank(const RtfCell &cell)
{
    return std::all_of(cell.blocks.begin(), cell.blocks.end(), [](const RtfBlock &block) {
        const auto *paragraph = std::get_if<RtfParagraph>(&block);
        return paragraph && paragraph->runs.empty();
    });
}

} // namespace

RtfDocumentWriter::RtfDocumentWriter(const RtfContent &content)
    : m_content(content)
{ }

std::unique_ptr<QTextDocument> RtfDocumentWriter::write()
{
    auto document = std::make_unique<QTextDocument>();
    m_document = document.get();
    for (std::size_t i = 0; i < m_content.pictures.size(); ++i) {
        document->addResource(QTextDocument::ImageResource, QUrl(u"rtf-picture:%1"_s.arg(i)),
            m_content.pictures[i].image);
    }
    QTextOption option = document->defaultTextOption();
    option.setTabStopDistance(toPixels(m_content.defaultTabWidth));
    document->setDefaultTextOption(option);
    QTextCursor cursor(document.get());
    cursor.beginEditBlock();
    m_atEmptyBlock = true;
    writeBlocks(cursor, m_content.body);
    cursor.endEditBlock();
    document->setModified(false);
    return document;
}

void RtfDocumentWriter::writeBlocks(QTextCursor &cursor, const std::vector<RtfBlock> &blocks)
{
    for (const RtfBlock &block : blocks) {
        if (const auto *paragraph = std::get_if<RtfParagraph>(&block))
            writeParagraph(cursor, *paragraph);
        else
            writeTable(cursor, *std::get<std::unique_ptr<RtfTable>>(block));
    }
}

void RtfDocumentWriter::writeParagraph(QTextCursor &cursor, const RtfParagraph &paragraph)
{
    const QTextBlockFormat format = blockFormat(paragraph);
    const QTextCharFormat firstChars
        = charFormat(paragraph.runs.empty() ? paragraph.markProps : paragraph.runs.front().props);
    // Qt shows the empty block that must follow a table with no height, so an
    // empty line there needs a block of its own.
    if (m_afterTable && paragraph.runs.empty())
        m_atEmptyBlock = false;
    m_afterTable = false;
    if (m_atEmptyBlock) {
        // Merged, not set: in a table cell's first block the block's character
        // format is the cell's own format, spans and borders included.
        cursor.setBlockFormat(format);
        cursor.mergeBlockCharFormat(firstChars);
    } else {
        cursor.insertBlock(format, firstChars);
    }
    m_atEmptyBlock = false;
    for (const RtfRun &run : paragraph.runs) {
        if (run.image >= 0) {
            const RtfPicture &picture = m_content.pictures[run.image];
            QTextImageFormat image;
            image.setName(u"rtf-picture:%1"_s.arg(run.image));
            image.setWidth(picture.width / 15.0);
            image.setHeight(picture.height / 15.0);
            cursor.insertImage(image);
        } else {
            cursor.insertText(run.text, charFormat(run.props));
        }
    }
}

void RtfDocumentWriter::writeTable(QTextCursor &cursor, const RtfTable &table)
{
    const RtfTableGrid grid = LayOutRtfTable(table);
    if (grid.rows == 0 || grid.columns == 0)
        return;
    const RtfRowDef &firstRow = table.rows.front().def;

    QTextTableFormat format;
    format.setBorder(0);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    // Each cell gets its row's padding; the table's own would apply to all sides.
    format.setCellPadding(0);
    format.setAlignment(firstRow.alignment);
    format.setLeftMargin(toPixels(qMax(0, grid.left)));
    QList<QTextLength> widths;
    for (const int width : grid.columnWidths)
        widths.append(QTextLength(QTextLength::FixedLength, toPixels(width)));
    format.setColumnWidthConstraints(widths);

    // A table directly after a table would be joined to it by Qt.
    if (!m_atEmptyBlock)
        cursor.insertBlock();
    m_afterTable = false;
    QTextTable *textTable = cursor.insertTable(grid.rows, grid.columns, format);
    for (const RtfGridCell &cell : grid.cells) {
        // The format first: setting it later would drop the spans of the merge.
        QTextTableCell textCell = textTable->cellAt(cell.row, cell.column);
        if (!textCell.isValid())
            continue;
        const std::size_t row = static_cast<std::size_t>(cell.row);
        textCell.setFormat(
            cellFormat(cell.def, row < table.rows.size() ? table.rows[row].def : firstRow));
        if (cell.rowSpan > 1 || cell.columnSpan > 1)
            textTable->mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
        textCell = textTable->cellAt(cell.row, cell.column);
        QTextCursor cellCursor = textCell.firstCursorPosition();
        m_atEmptyBlock = true;
        m_afterTable = false;
        for (std::size_t i = 0; i < cell.sources.size(); ++i) {
            // Cells merged into this one are normally empty; they add no blank lines.
            if (i == 0 || !isBlank(*cell.sources[i]))
                writeBlocks(cellCursor, cell.sources[i]->blocks);
        }
    }
    cursor.setPosition(textTable->lastPosition() + 1);
    m_atEmptyBlock = true;
    m_afterTable = true;
}

QTextBlockFormat RtfDocumentWriter::blockFormat(const RtfParagraph &paragraph) const
{
    const RtfParaProps &props = paragraph.props;
    QTextBlockFormat format;
    format.setAlignment(props.alignment);
    format.setLeftMargin(toPixels(props.leftIndent));
    format.setRightMargin(toPixels(props.rightIndent));
    format.setTextIndent(toPixels(props.firstLineIndent));
    format.setTopMargin(toPixels(props.spaceBefore));
    format.setBottomMargin(toPixels(props.spaceAfter));
    if (props.lineSpacing != 0) {
        if (props.lineSpacingMultiple)
            format.setLineHeight(
                qAbs(props.lineSpacing) * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (props.lineSpacing > 0)
            format.setLineHeight(toPixels(props.lineSpacing), QTextBlockFormat::MinimumHeight);
        else
            format.setLineHeight(toPixels(-props.lineSpacing), QTextBlockFormat::FixedHeight);
    }
    if (const QList<QTextOption::Tab> tabs = tabPositions(paragraph); !tabs.isEmpty())
        format.setTabPositions(tabs);
    if (paragraph.pageBreakBefore)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    return format;
}

QList<QTextOption::Tab> RtfDocumentWriter::tabPositions(const RtfParagraph &paragraph) const
{
    const RtfParaProps &props = paragraph.props;
    // RTF measures tab stops from the margin, Qt from where the first line
    // starts; the document's default distance only fits lines starting there.
    const int origin = props.leftIndent + props.firstLineIndent;
    QList<RtfTabStop> stops = props.tabs;
    std::stable_sort(stops.begin(), stops.end(),
        [](const RtfTabStop &a, const RtfTabStop &b) { return a.position < b.position; });
    if (props.firstLineIndent < 0) {
        // A hanging first line jumps to the indent first.
        const auto beyond = std::find_if(stops.begin(), stops.end(),
            [&](const RtfTabStop &stop) { return stop.position > origin; });
        if (beyond == stops.end() || beyond->position > props.leftIndent)
            stops.insert(beyond, RtfTabStop { props.leftIndent, QTextOption::LeftTab });
    }
    const bool hasTab = std::any_of(paragraph.runs.begin(), paragraph.runs.end(),
        [](const RtfRun &run) { return run.text.contains(u'\t'); });
    if (origin != 0 && hasTab)
        appendDefaultStops(stops, origin);

    QList<QTextOption::Tab> tabs;
    for (const RtfTabStop &stop : stops) {
        if (stop.position > origin)
            tabs.append(QTextOption::Tab(toPixels(stop.position - origin), stop.type));
    }
    return tabs;
}

void RtfDocumentWriter::appendDefaultStops(QList<RtfTabStop> &stops, int origin) const
{
    // Word and LibreOffice put them every \deftab from the margin, after the
    // last stop the paragraph sets, across the text width.
    constexpr int MaxDefaultStops = 64;
    const int step = m_content.defaultTabWidth;
    const RtfPageLayout &page = m_content.page;
    const int textWidth
        = qBound(step, page.paperWidth - page.marginLeft - page.marginRight, RtfMaxTwips);
    const int after = qMax(origin, stops.isEmpty() ? 0 : stops.back().position);
    const int stepsBefore = after >= 0 ? after / step : -((step - 1 - after) / step);
    int position = (stepsBefore + 1) * step;
    for (int count = 0; count < MaxDefaultStops && position <= qMax(textWidth, after + step);
         ++count, position += step)
        stops.append(RtfTabStop { position, QTextOption::LeftTab });
}

QTextCharFormat RtfDocumentWriter::charFormat(const RtfCharProps &props)
{
    if (m_cacheValid && props == m_cachedProps)
        return m_cachedFormat;
    QTextCharFormat format;
    if (const auto font = m_content.fonts.find(props.font);
        font != m_content.fonts.end() && !font->second.name.isEmpty())
        format.setFontFamilies({ font->second.name });
    format.setFontPointSize(props.halfPoints / 2.0);
    format.setFontWeight(props.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(props.italic);
    format.setFontUnderline(props.underline);
    format.setFontStrikeOut(props.strike);
    if (const QColor foreground = color(props.foreground); foreground.isValid())
        format.setForeground(foreground);
    if (const QColor background = color(props.background); background.isValid())
        format.setBackground(background);
    switch (props.script) {
    case RtfCharProps::Script::Subscript:
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        break;
    case RtfCharProps::Script::Superscript:
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        break;
    case RtfCharProps::Script::Normal:
        break;
    }
    m_cachedProps = props;
    m_cachedFormat = format;
    m_cacheValid = true;
    return format;
}

QTextTableCellFormat RtfDocumentWriter::cellFormat(
    const RtfCellDef &def, const RtfRowDef &row) const
{
    QTextTableCellFormat format;
    format.setLeftPadding(toPixels(row.leftPadding()));
    format.setRightPadding(toPixels(row.rightPadding()));
    format.setTopPadding(toPixels(row.topPadding()));
    format.setBottomPadding(toPixels(row.bottomPadding()));
    const auto border = [](const RtfBorder &side) {
        return side.present ? qMax(1.0, toPixels(side.width)) : 0.0;
    };
    format.setTopBorder(border(def.top));
    format.setLeftBorder(border(def.left));
    format.setBottomBorder(border(def.bottom));
    format.setRightBorder(border(def.right_));
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(QColor(Qt::black));
    if (const QColor background = color(def.background); background.isValid())
        format.setBackground(background);
    if (def.verticalAlignment == Qt::AlignVCenter)
        format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    else if (def.verticalAlignment == Qt::AlignBottom)
        format.setVerticalAlignment(QTextCharFormat::AlignBottom);
    return format;
}

QColor RtfDocumentWriter::color(int index) const
{
    // Index 0 (and anything outside the table) is the automatic colour.
    if (index <= 0 || index >= m_content.colors.size())
        return {};
    return m_content.colors[index];
}

} // namespace kavro
