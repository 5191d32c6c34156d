#include "rtfrowdefbuilder.h"

namespace kavro {

namespace {

// An inch: more space than that around a cell's text is nonsense.
constexpr int RtfMaxPadding = 1440;

} // namespace

bool RtfRowDefBuilder::handle(RtfWord word, int parameter, bool hasParameter, int depth)
{
    switch (word) {
    case RtfWord::RowDefaults:
        m_depth = qBound(1, depth, RtfMaxTableDepth);
        defAt(m_depth) = {};
        m_pending = {};
        m_side = Side::None;
        return true;
    case RtfWord::CellRight: {
        RtfRowDef &def = defAt(m_depth);
        m_pending.right = RtfTwips(parameter);
        if (def.cells.size() < MaxCells)
            def.cells.append(m_pending);
        m_pending = {};
        m_side = Side::None;
        return true;
    }
    case RtfWord::RowLeft:
        defAt(m_depth).left = RtfTwips(parameter);
        return true;
    case RtfWord::RowGap:
        defAt(m_depth).gap = qBound(0, parameter, RtfMaxPadding);
        return true;
    case RtfWord::RowPaddingLeft:
        defAt(m_depth).paddingLeft.value = qBound(0, parameter, RtfMaxPadding);
        return true;
    case RtfWord::RowPaddingRight:
        defAt(m_depth).paddingRight.value = qBound(0, parameter, RtfMaxPadding);
        return true;
    case RtfWord::RowPaddingTop:
        defAt(m_depth).paddingTop.value = qBound(0, parameter, RtfMaxPadding);
        return true;
    case RtfWord::RowPaddingBottom:
        defAt(m_depth).paddingBottom.value = qBound(0, parameter, RtfMaxPadding);
        return true;
    case RtfWord::RowPaddingUnitLeft:
        defAt(m_depth).paddingLeft.unit = parameter;
        return true;
    case RtfWord::RowPaddingUnitRight:
        defAt(m_depth).paddingRight.unit = parameter;
        return true;
    case RtfWord::RowPaddingUnitTop:
        defAt(m_depth).paddingTop.unit = parameter;
        return true;
    case RtfWord::RowPaddingUnitBottom:
        defAt(m_depth).paddingBottom.unit = parameter;
        return true;
    case RtfWord::RowAlignLeft:
        defAt(m_depth).alignment = Qt::AlignLeft;
        return true;
    case RtfWord::RowAlignCenter:
        defAt(m_depth).alignment = Qt::AlignHCenter;
        return true;
    case RtfWord::RowAlignRight:
        defAt(m_depth).alignment = Qt::AlignRight;
        return true;
    case RtfWord::CellMergeFirst:
        m_pending.mergeFirst = true;
        return true;
    case RtfWord::CellMerged:
        m_pending.merged = true;
        return true;
    case RtfWord::CellVMergeFirst:
        m_pending.vMergeFirst = true;
        return true;
    case RtfWord::CellVMerged:
        m_pending.vMerged = true;
        return true;
    case RtfWord::CellBorderTop:
        m_side = Side::Top;
        return true;
    case RtfWord::CellBorderLeft:
        m_side = Side::Left;
        return true;
    case RtfWord::CellBorderBottom:
        m_side = Side::Bottom;
        return true;
    case RtfWord::CellBorderRight:
        m_side = Side::Right;
        return true;
    case RtfWord::BorderStyle:
        if (RtfBorder *border = borderTarget())
            border->present = true;
        return true;
    case RtfWord::BorderNone:
        if (RtfBorder *border = borderTarget())
            border->present = false;
        return true;
    case RtfWord::BorderWidth:
        if (RtfBorder *border = borderTarget(); border && hasParameter)
            border->width = qBound(0, parameter, 1440);
        return true;
    case RtfWord::CellVAlignTop:
        m_pending.verticalAlignment = Qt::AlignTop;
        return true;
    case RtfWord::CellVAlignCenter:
        m_pending.verticalAlignment = Qt::AlignVCenter;
        return true;
    case RtfWord::CellVAlignBottom:
        m_pending.verticalAlignment = Qt::AlignBottom;
        return true;
    case RtfWord::CellBackground:
        m_pending.background = parameter;
        return true;
    default:
        return false;
    }
}

const RtfRowDef &RtfRowDefBuilder::definition(int depth)
{
    return defAt(qBound(1, depth, RtfMaxTableDepth));
}

RtfRowDef &RtfRowDefBuilder::defAt(int depth)
{
    if (static_cast<int>(m_defs.size()) < depth)
        m_defs.resize(depth);
    return m_defs[depth - 1];
}

RtfBorder *RtfRowDefBuilder::borderTarget()
{
    switch (m_side) {
    case Side::Top:
        return &m_pending.top;
    case Side::Left:
        return &m_pending.left;
    case Side::Bottom:
        return &m_pending.bottom;
    case Side::Right:
        return &m_pending.right_;
    case Side::None:
        break;
    }
    return nullptr;
}

} // namespace kavro
