#pragma once

#include "rtfcontent.h"

#include <vector>

namespace kavro {

// One cell of the laid-out grid: where it sits, how far it spans and the
// cells of the file whose content it shows (more than one when merged).
struct RtfGridCell
{
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    RtfCellDef def;
    std::vector<const RtfCell *> sources;
};

// A table's rows put on one grid of columns. Rows of a Word table may cut
// their cells at different \cellx positions; the grid has a column between
// every two neighbouring boundaries, so each cell spans the columns it covers.
struct RtfTableGrid
{
    int rows = 0;
    int columns = 0;
    int left = 0; // twips
    QList<int> columnWidths; // twips; empty when the widths are unknown
    std::vector<RtfGridCell> cells;
};

// Bounded: a table whose boundaries would give a grid far larger than its
// number of cells (or more than MaxColumns columns) is laid out with one column
// per cell, and if even that is too large, in a single column.
RtfTableGrid LayOutRtfTable(const RtfTable &table);

} // namespace kavro
