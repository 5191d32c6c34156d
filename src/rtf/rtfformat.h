#pragma once

#include <QList>
#include <QTextOption>
#include <Qt>

namespace kavro {

// Lengths beyond about 110 inches mean nothing on paper; clamping every
// length read to this keeps later arithmetic far from overflow.
constexpr int RtfMaxTwips = 158400;

// Tables nested deeper than this are flattened into the innermost allowed
// level (no text is lost): Qt lays out each level of nesting about twice per
// level above it, so the layout time doubles with every level.
constexpr int RtfMaxTableDepth = 6;

inline int RtfTwips(int value)
{
    return qBound(-RtfMaxTwips, value, RtfMaxTwips);
}

// Character properties as RTF states them; lengths stay in RTF units until
// the document is written.
struct RtfCharProps
{
    enum class Script { Normal, Subscript, Superscript };

    int font = -1; // \f: font table number, -1 for none
    int halfPoints = 24; // \fs
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false; // \v: not shown
    int foreground = 0; // \cf: colour table index, 0 = automatic
    int background = 0; // \highlight, \cb, \chcbpat: 0 = none
    Script script = Script::Normal;

    bool operator==(const RtfCharProps &) const = default;
};

struct RtfTabStop
{
    int position = 0; // twips
    QTextOption::TabType type = QTextOption::LeftTab;

    bool operator==(const RtfTabStop &) const = default;
};

// Paragraph properties; lengths in twips.
struct RtfParaProps
{
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0; // \sl: 0 single, > 0 at least, < 0 exactly
    bool lineSpacingMultiple = false; // \slmult1: \sl is in 240ths of a line
    QList<RtfTabStop> tabs;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    bool inTable = false; // \intbl
    int nestingLevel = 1; // \itap

    // 0 for body text, otherwise the table nesting depth.
    int tableDepth() const { return inTable ? qMax(1, nestingLevel) : 0; }
};

struct RtfBorder
{
    bool present = false;
    int width = 15; // twips (\brdrw), a hairline when not given
};

// One \cellx of a row definition and the \cl... words before it.
struct RtfCellDef
{
    int right = 0; // twips, from the row's origin
    bool mergeFirst = false; // \clmgf
    bool merged = false; // \clmrg
    bool vMergeFirst = false; // \clvmgf
    bool vMerged = false; // \clvmrg
    RtfBorder top, left, bottom, right_;
    int background = 0; // \clcbpat
    Qt::Alignment verticalAlignment = Qt::AlignTop;
};

// \trpadd* of one side of a row's cells: the space between border and
// text, counted only when its unit (\trpaddf*) is 3, twips.
struct RtfRowPadding
{
    static constexpr int Twips = 3;

    int value = 0;
    int unit = 0;

    bool given() const { return unit == Twips; }
};

// \trowd ... : the layout of a table row.
struct RtfRowDef
{
    int left = 0; // \trleft
    int gap = 0; // \trgaph: half the space between cells
    RtfRowPadding paddingLeft, paddingRight, paddingTop, paddingBottom;
    Qt::Alignment alignment = Qt::AlignLeft;
    QList<RtfCellDef> cells;

    // Space between border and text, twips: \trgaph at the sides and none
    // above and below unless the row gives its own.
    int leftPadding() const { return paddingLeft.given() ? paddingLeft.value : gap; }
    int rightPadding() const { return paddingRight.given() ? paddingRight.value : gap; }
    int topPadding() const { return paddingTop.given() ? paddingTop.value : 0; }
    int bottomPadding() const { return paddingBottom.given() ? paddingBottom.value : 0; }
};

} // namespace kavro
