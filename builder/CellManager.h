// Which COL specification a table cell falls under (TCellManager): a small occupancy grid of the rows read so
// far, one character per column, "o" for a free position and "x" for one a cell already covers, so that cells
// pushed right by row spans from above still find their column.
//
// Positions past the end of a row's string are free: a row spanned from far above costs only the positions it
// reaches, and a cell reaching beyond the last specification keeps its span.
#pragma once

#include <string>
#include <vector>

namespace lantern {

class TCellObj;

class TCellManager {
public:
    // The column the next cell of row `row` starts in: its first free position.
    int FindColumn(int row);
    // Marks the positions the cell covers from its column on, in each row it spans. A cell running into one
    // already taken is cut there.
    void AddCell(int row, TCellObj& cell);

    std::vector<std::string> Rows;

private:
    void EnsureRows(int count);
};

} // namespace lantern
