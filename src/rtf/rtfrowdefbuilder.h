#pragma once

#include "rtfcontrolword.h"
#include "rtfformat.h"

#include <vector>

namespace kavro {

// Builds the row definitions (\trowd ... \cellx) of every table depth.
// Word writes the definition of a nested row inside \nesttableprops right
// before its \nestrow, so each depth keeps its own definition and the outer
// row's survives its nested tables.
class RtfRowDefBuilder
{
public:
    static constexpr int MaxCells = 256; // per row; Word itself stops at 63

    // Handles a table-definition word; false if `word` is none.
    bool handle(RtfWord word, int parameter, bool hasParameter, int depth);

    const RtfRowDef &definition(int depth);

private:
    RtfRowDef &defAt(int depth);
    RtfBorder *borderTarget();

    std::vector<RtfRowDef> m_defs;
    int m_depth = 1;
    RtfCellDef m_pending;
    enum class Side { None, Top, Left, Bottom, Right } m_side = Side::None;
};

} // namespace kavro
