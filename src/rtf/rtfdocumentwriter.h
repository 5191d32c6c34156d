#pragma once

#include "rtfcontent.h"
#include "rtftablegrid.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

namespace kavro {

// Turns the content read from RTF into a QTextDocument. Lengths become
// document units, pixels at 96 dpi (one pixel is 15 twips), which is what
// QTextDocument scales from when it prints; font sizes stay in points.
class RtfDocumentWriter
{
public:
    explicit RtfDocumentWriter(const RtfContent &content);

    std::unique_ptr<QTextDocument> write();

    static double toPixels(int twips) { return twips / 15.0; }

private:
    void writeBlocks(QTextCursor &cursor, const std::vector<RtfBlock> &blocks);
    void writeParagraph(QTextCursor &cursor, const RtfParagraph &paragraph);
    void writeTable(QTextCursor &cursor, const RtfTable &table);
    QTextBlockFormat blockFormat(const RtfParagraph &paragraph) const;
    QList<QTextOption::Tab> tabPositions(const RtfParagraph &paragraph) const;
    void appendDefaultStops(QList<RtfTabStop> &stops, int origin) const;
    QTextCharFormat charFormat(const RtfCharProps &props);
    QTextTableCellFormat cellFormat(const RtfCellDef &def, const RtfRowDef &row) const;
    QColor color(int index) const;

    const RtfContent &m_content;
    QTextDocument *m_document = nullptr;
    bool m_atEmptyBlock = true; // the cursor's block is new and still unused
    bool m_afterTable = false; // ... and it is the block Qt keeps after a table
    RtfCharProps m_cachedProps;
    QTextCharFormat m_cachedFormat;
    bool m_cacheValid = false;
};

} // namespace kavro
