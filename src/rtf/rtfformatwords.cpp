#include "rtfformatwords.h"

namespace kavro {

namespace {

constexpr int MaxTabStops = 64;

bool isOn(int parameter, bool hasParameter)
{
    return !hasParameter || parameter != 0;
}

} // namespace

bool ApplyRtfCharacterWord(RtfCharProps &chars, RtfWord word, int parameter, bool hasParameter)
{
    switch (word) {
    case RtfWord::FontSize:
        chars.halfPoints = hasParameter ? qBound(2, parameter, 3276) : 24;
        return true;
    case RtfWord::Bold:
        chars.bold = isOn(parameter, hasParameter);
        return true;
    case RtfWord::Italic:
        chars.italic = isOn(parameter, hasParameter);
        return true;
    case RtfWord::Underline:
        chars.underline = isOn(parameter, hasParameter);
        return true;
    case RtfWord::UnderlineNone:
        chars.underline = false;
        return true;
    case RtfWord::Strike:
        chars.strike = isOn(parameter, hasParameter);
        return true;
    case RtfWord::Hidden:
        chars.hidden = isOn(parameter, hasParameter);
        return true;
    case RtfWord::Foreground:
        chars.foreground = parameter;
        return true;
    case RtfWord::Background:
        chars.background = parameter;
        return true;
    case RtfWord::Subscript:
        chars.script = isOn(parameter, hasParameter) ? RtfCharProps::Script::Subscript
                                                     : RtfCharProps::Script::Normal;
        return true;
    case RtfWord::Superscript:
        chars.script = isOn(parameter, hasParameter) ? RtfCharProps::Script::Superscript
                                                     : RtfCharProps::Script::Normal;
        return true;
    case RtfWord::NoSuperSub:
        chars.script = RtfCharProps::Script::Normal;
        return true;
    default:
        return false;
    }
}

bool ApplyRtfParagraphWord(RtfParaProps &para, RtfWord word, int parameter, bool hasParameter)
{
    switch (word) {
    case RtfWord::AlignLeft:
        para.alignment = Qt::AlignLeft;
        return true;
    case RtfWord::AlignRight:
        para.alignment = Qt::AlignRight;
        return true;
    case RtfWord::AlignCenter:
        para.alignment = Qt::AlignHCenter;
        return true;
    case RtfWord::AlignJustify:
        para.alignment = Qt::AlignJustify;
        return true;
    case RtfWord::LeftIndent:
        para.leftIndent = RtfTwips(parameter);
        return true;
    case RtfWord::RightIndent:
        para.rightIndent = RtfTwips(parameter);
        return true;
    case RtfWord::FirstLineIndent:
        para.firstLineIndent = RtfTwips(parameter);
        return true;
    case RtfWord::SpaceBefore:
        para.spaceBefore = RtfTwips(parameter);
        return true;
    case RtfWord::SpaceAfter:
        para.spaceAfter = RtfTwips(parameter);
        return true;
    case RtfWord::LineSpacing:
        para.lineSpacing = RtfTwips(parameter);
        return true;
    case RtfWord::LineSpacingMultiple:
        para.lineSpacingMultiple = isOn(parameter, hasParameter);
        return true;
    case RtfWord::TabRight:
        para.nextTabType = QTextOption::RightTab;
        return true;
    case RtfWord::TabCenter:
        para.nextTabType = QTextOption::CenterTab;
        return true;
    case RtfWord::TabDecimal:
        para.nextTabType = QTextOption::DelimiterTab;
        return true;
    case RtfWord::TabPosition:
        if (para.tabs.size() < MaxTabStops)
            para.tabs.append({ RtfTwips(parameter), para.nextTabType });
        para.nextTabType = QTextOption::LeftTab;
        return true;
    case RtfWord::InTable:
        para.inTable = true;
        return true;
    case RtfWord::NestingLevel:
        para.nestingLevel = qBound(0, parameter, RtfMaxTableDepth);
        return true;
    default:
        return false;
    }
}

} // namespace kavro
