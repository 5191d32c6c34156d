#pragma once

#include "rtfformat.h"
#include "rtfreader.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <map>
#include <memory>
#include <variant>
#include <vector>

namespace kavro {

// The document as read, before it becomes a QTextDocument: tables are only
// laid out once all their rows are known.

struct RtfRun
{
    QString text;
    RtfCharProps props;
    int image = -1; // index into RtfContent::images for a picture run
};

struct RtfParagraph
{
    RtfParaProps props;
    RtfCharProps markProps; // character properties at its end: an empty line's height
    bool pageBreakBefore = false;
    std::vector<RtfRun> runs;
};

struct RtfTable;
using RtfBlock = std::variant<RtfParagraph, std::unique_ptr<RtfTable>>;

struct RtfCell
{
    std::vector<RtfBlock> blocks;
};

struct RtfRow
{
    RtfRowDef def;
    std::vector<RtfCell> cells;
};

struct RtfTable
{
    std::vector<RtfRow> rows;
};

struct RtfPicture
{
    QImage image;
    double width = 0; // twips, as shown
    double height = 0;
};

struct RtfFont
{
    QString name;
    int charset = 1; // \fcharset; 1 = the document's code page
    int codePage = 0; // \cpg, 0 when not given
};

struct RtfContent
{
    std::vector<RtfBlock> body;
    std::vector<RtfPicture> pictures;
    std::map<int, RtfFont> fonts;
    QList<QColor> colors; // invalid = automatic
    RtfPageLayout page;
    int defaultTabWidth = 720; // \deftab, twips
};

} // namespace kavro
