#include "rtfcontrolword.h"

#include <QHash>

namespace kavro {

namespace {

using W = RtfWord;

QHash<QByteArrayView, RtfWord> makeTable()
{
    QHash<QByteArrayView, RtfWord> table {
        { "fonttbl", W::FontTable },
        { "colortbl", W::ColorTable },
        { "stylesheet", W::StyleSheet },
        { "pict", W::Picture },
        { "fldrslt", W::FieldResult },
        { "defchp", W::DefaultCharFormat },
        { "defpap", W::DefaultParaFormat },
        { "nesttableprops", W::NestedTableProps },
        { "shppict", W::ShapePicture },
        { "upr", W::Upr },
        { "ud", W::UprUnicode },

        { "ansi", W::Ansi },
        { "mac", W::Mac },
        { "pc", W::Pc },
        { "pca", W::Pca },
        { "ansicpg", W::AnsiCodePage },
        { "deff", W::DefaultFont },
        { "paperw", W::PaperWidth },
        { "paperh", W::PaperHeight },
        { "margl", W::MarginLeft },
        { "margr", W::MarginRight },
        { "margt", W::MarginTop },
        { "deftab", W::DefaultTab },
        { "margb", W::MarginBottom },
        { "uc", W::UnicodeSkip },
        { "u", W::Unicode },

        { "fcharset", W::FontCharset },
        { "cpg", W::FontCodePage },
        { "red", W::Red },
        { "green", W::Green },
        { "blue", W::Blue },

        { "plain", W::Plain },
        { "f", W::Font },
        { "fs", W::FontSize },
        { "b", W::Bold },
        { "i", W::Italic },
        { "ul", W::Underline },
        { "uld", W::Underline },
        { "uldb", W::Underline },
        { "ulw", W::Underline },
        { "ulth", W::Underline },
        { "uldash", W::Underline },
        { "uldashd", W::Underline },
        { "uldashdd", W::Underline },
        { "ulwave", W::Underline },
        { "ulhwave", W::Underline },
        { "ululdbwave", W::Underline },
        { "ulthd", W::Underline },
        { "ulthdash", W::Underline },
        { "ulnone", W::UnderlineNone },
        { "strike", W::Strike },
        { "striked", W::Strike },
        { "cf", W::Foreground },
        { "cb", W::Background },
        { "highlight", W::Background },
        { "chcbpat", W::Background },
        { "sub", W::Subscript },
        { "super", W::Superscript },
        { "nosupersub", W::NoSuperSub },
        { "v", W::Hidden },
        { "cs", W::CharStyle },

        { "pard", W::ParagraphDefault },
        { "ql", W::AlignLeft },
        { "qr", W::AlignRight },
        { "qc", W::AlignCenter },
        { "qj", W::AlignJustify },
        { "qd", W::AlignJustify },
        { "li", W::LeftIndent },
        { "lin", W::LeftIndent },
        { "ri", W::RightIndent },
        { "rin", W::RightIndent },
        { "fi", W::FirstLineIndent },
        { "sb", W::SpaceBefore },
        { "sa", W::SpaceAfter },
        { "sl", W::LineSpacing },
        { "slmult", W::LineSpacingMultiple },
        { "tx", W::TabPosition },
        { "tb", W::TabPosition },
        { "tqr", W::TabRight },
        { "tqc", W::TabCenter },
        { "tqdec", W::TabDecimal },
        { "s", W::ParagraphStyle },
        { "intbl", W::InTable },
        { "itap", W::NestingLevel },

        { "par", W::Par },
        { "line", W::Line },
        { "tab", W::Tab },
        { "page", W::Page },
        { "sect", W::Section },
        { "cell", W::Cell },
        { "row", W::Row },
        { "nestcell", W::NestedCell },
        { "nestrow", W::NestedRow },
        { "chftn", W::FootnoteNumber },
        { "emdash", W::EmDash },
        { "endash", W::EnDash },
        { "bullet", W::Bullet },
        { "lquote", W::LeftQuote },
        { "rquote", W::RightQuote },
        { "ldblquote", W::LeftDoubleQuote },
        { "rdblquote", W::RightDoubleQuote },
        { "emspace", W::EmSpace },
        { "enspace", W::EnSpace },
        { "zwj", W::ZeroWidthJoiner },
        { "zwnj", W::ZeroWidthNonJoiner },

        { "trowd", W::RowDefaults },
        { "cellx", W::CellRight },
        { "trleft", W::RowLeft },
        { "trgaph", W::RowGap },
        { "trpaddl", W::RowPaddingLeft },
        { "trpaddr", W::RowPaddingRight },
        { "trpaddt", W::RowPaddingTop },
        { "trpaddb", W::RowPaddingBottom },
        { "trpaddfl", W::RowPaddingUnitLeft },
        { "trpaddfr", W::RowPaddingUnitRight },
        { "trpaddft", W::RowPaddingUnitTop },
        { "trpaddfb", W::RowPaddingUnitBottom },
        { "trql", W::RowAlignLeft },
        { "trqc", W::RowAlignCenter },
        { "trqr", W::RowAlignRight },
        { "clmgf", W::CellMergeFirst },
        { "clmrg", W::CellMerged },
        { "clvmgf", W::CellVMergeFirst },
        { "clvmrg", W::CellVMerged },
        { "clbrdrt", W::CellBorderTop },
        { "clbrdrl", W::CellBorderLeft },
        { "clbrdrb", W::CellBorderBottom },
        { "clbrdrr", W::CellBorderRight },
        { "brdrnone", W::BorderNone },
        { "brdrnil", W::BorderNone },
        { "brdrw", W::BorderWidth },
        { "clvertalt", W::CellVAlignTop },
        { "clvertalc", W::CellVAlignCenter },
        { "clvertalb", W::CellVAlignBottom },
        { "clcbpat", W::CellBackground },

        { "pngblip", W::PngBlip },
        { "jpegblip", W::JpegBlip },
        { "picwgoal", W::PictureWidthGoal },
        { "pichgoal", W::PictureHeightGoal },
        { "picscalex", W::PictureScaleX },
        { "picscaley", W::PictureScaleY },
    };
    // Border styles: any of them makes the border visible.
    for (const char *style : { "brdrs", "brdrth", "brdrsh", "brdrdb", "brdrdot", "brdrdash",
             "brdrhair", "brdrinset", "brdroutset", "brdrtriple", "brdrdashsm", "brdrdashd",
             "brdrdashdd", "brdrwavy", "brdrengrave", "brdremboss", "brdrframe" })
        table.insert(QByteArrayView(style), W::BorderStyle);
    // Text that is not part of the body: headers, footers, notes, document
    // information and tables the reader has no use for.
    for (const char *name : { "info", "header", "headerl", "headerr", "headerf", "footer",
             "footerl", "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor",
             "atndate", "atnref", "atrfstart", "atrfend", "bkmkstart", "bkmkend", "fldinst", "xe",
             "tc", "tcn", "txe", "rxe", "template", "revtbl", "listtable", "listoverridetable",
             "pgdsctbl", "rsidtbl", "filetbl", "objdata", "shpinst", "shprslt", "shptxt",
             "nonshppict", "do", "themedata", "colorschememapping", "datastore", "latentstyles",
             "xmlnstbl", "generator", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn",
             "private", "pn", "pntxta", "pntxtb", "fldpriv", "formfield", "background", "userprops",
             "docvar", "keycode", "listpicture", "falt", "panose", "blipuid", "picprop", "comment",
             "title", "subject", "author", "operator", "keywords", "doccomm", "company", "category",
             "manager", "hlinkbase", "nextfile", "mmathPr", "protusertbl", "wgrffmtfilter",
             "pgptbl", "nonesttables" })
        table.insert(QByteArrayView(name), W::SkippedDestination);
    return table;
}

} // namespace

RtfWord LookUpRtfWord(QByteArrayView name)
{
    static const QHash<QByteArrayView, RtfWord> table = makeTable();
    return table.value(name, RtfWord::Unknown);
}

} // namespace kavro
