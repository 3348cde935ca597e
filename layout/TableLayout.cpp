// The height pass of a table and its layout: row heights from the cells laid out at their column widths
// (spanning cells in increasing span order), a given table height shared among the rows, and every cell's content
// laid out at its final place, aligned vertically in the rows it spans.
//
// Cells are laid out twice: once where their height is learnt, and once at their final place. A table inside a
// cell is laid out in both of its cell's layouts, but lays its own cells out at their final place only in the
// last: the outermost table marks the rows it lays out for the last time.
#include "layout/Table.h"

#include "common/WinMath.h"
#include "layout/Document.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace lantern {

namespace {

// While a table lays itself out: one table deeper, and the first-baseline request of an enclosing list item kept
// away from the lines inside the cells (the table as a whole answers it).
class TTableLayoutScope {
public:
    explicit TTableLayoutScope(ThtDocument& document)
        : document_(document), baseline_(document.FirstLineBaseline)
    {
        ++document.TableDepth;
        document.FirstLineBaseline = nullptr;
    }
    ~TTableLayoutScope()
    {
        --document_.TableDepth;
        document_.FirstLineBaseline = baseline_;
    }
    TTableLayoutScope(const TTableLayoutScope&) = delete;
    TTableLayoutScope& operator=(const TTableLayoutScope&) = delete;

    // The request of the enclosing list item, when it still waits for an answer.
    int* PendingBaseline() const { return baseline_ && *baseline_ == 0 ? baseline_ : nullptr; }

private:
    ThtDocument& document_;
    int* baseline_;
};

// Marks the rows of the outermost table as laid out for the last time.
class TFinalRowScope {
public:
    TFinalRowScope(ThtDocument& document, bool outermost) : document_(document), set_(outermost)
    {
        if (set_)
            document.FinalTableRow = true;
    }
    ~TFinalRowScope()
    {
        if (set_)
            document_.FinalTableRow = false;
    }
    TFinalRowScope(const TFinalRowScope&) = delete;
    TFinalRowScope& operator=(const TFinalRowScope&) = delete;

private:
    ThtDocument& document_;
    bool set_;
};

int ColumnsWidth(const std::vector<int>& widths, int column, int span)
{
    const auto first = widths.begin() + column;
    return std::accumulate(first, first + span, 0);
}

} // namespace

int THtmlTable::Layout(platform::Canvas& canvas, int, int y, int, int, int, int availableHeight, int,
                       TIndentManager& indents, int& maxWidth, int& counter)
{
    TTableLayoutScope scope(*Document);
    PaintTop = BoxTop = VisibleTop = y;
    FirstChar = counter;
    GridWidth = ComputeColumnWidths(canvas, indents, y);
    const int height = LayoutRows(canvas, y, std::max(availableHeight, 0), counter);
    CharCount = counter - FirstChar;
    maxWidth = GridWidth;
    BoxHeight = VisibleHeight = height;
    BoxBottom = VisibleBottom = y + height;
    if (int* baseline = scope.PendingBaseline())
        *baseline = PaintTop + height;
    return height;
}

// ---------------------------------------------------------------------------------------------------------------
// Row heights

bool THtmlTable::RowHeightsStillHold(int tableHeight) const
{
    return heightsPass_ == Document->LayoutPass && heightsTableHeight_ == tableHeight &&
           heightsColWidths_ == ColWidths && RowHeights.size() == Rows.size();
}

void THtmlTable::ComputeRowHeights(platform::Canvas& canvas, int tableHeight)
{
    const int rowCount = static_cast<int>(Rows.size());
    // 1.
    const int height = tableHeight - CellSpacing;
    const int percentBase = std::max(0, height - rowCount * CellSpacing);
    std::vector<int> minHeights(static_cast<std::size_t>(rowCount), 0);
    std::vector<int> desiredHeights(static_cast<std::size_t>(rowCount), 0);
    std::vector<bool> fixed(static_cast<std::size_t>(rowCount), false);
    // 2.
    bool longerSpans = true;
    for (int span = 1; longerSpans; ++span) {
        longerSpans = false;
        MeasureRowsOfSpan(canvas, span, percentBase, minHeights, desiredHeights, fixed, longerSpans);
    }
    // 3.
    ShareTableHeight(height, minHeights, desiredHeights, fixed);
    heightsPass_ = Document->LayoutPass;
    heightsTableHeight_ = tableHeight;
    heightsColWidths_ = ColWidths;
}

// The rows' heights from their cells that span `span` rows, each laid out at its width to learn its height. A
// cell spanning several rows makes them as tall together as it needs, shared evenly.
void THtmlTable::MeasureRowsOfSpan(platform::Canvas& canvas, int span, int percentBase,
                                   std::vector<int>& minHeights, std::vector<int>& desiredHeights,
                                   std::vector<bool>& fixed, bool& longerSpans)
{
    const int rowCount = static_cast<int>(Rows.size());
    for (int r = 0; r + span <= rowCount; ++r) {
        TCellList& row = *Rows[static_cast<std::size_t>(r)];
        int rowMin = 0, rowDesired = 0;
        bool rowFixed = false, any = false;
        for (int c = 0; c < row.Count(); ++c) {
            TCellObj& cell = *row.Cells[static_cast<std::size_t>(c)];
            if (cell.IsFiller())
                continue;
            cell.CellWidth = ColumnsWidth(ColWidths, c, cell.ColSpan);
            if (cell.RowSpan > span)
                longerSpans = true;
            if (cell.RowSpan != span)
                continue;
            any = true;
            int given = 0;
            if (cell.HeightSpec.Kind == TWidthType::wtAbsolute)
                given = cell.HeightSpec.Value;
            else if (cell.HeightSpec.Kind == TWidthType::wtPercent)
                given = static_cast<int>(
                    RoundHalfEven(static_cast<double>(percentBase) * cell.HeightSpec.Value / 1000));
            else if (rowCount == 1)
                given = percentBase;
            int scratch = FirstChar, widest = 0;
            const int room = std::max(0, given - cell.VertSpacing);
            cell.ContentHeight = cell.Content->LayoutCell(
                canvas, 0, std::max(0, cell.CellWidth - cell.HorzSpacing - CellSpacing), room, room, widest, scratch);
            rowMin = std::max(rowMin, cell.ContentHeight + cell.VertSpacing);
            if (cell.HeightSpec.Kind == TWidthType::wtAbsolute) {
                rowMin = std::max(rowMin, given);
                rowFixed = true;
            } else if (cell.HeightSpec.Kind == TWidthType::wtPercent) {
                rowDesired = std::max(rowDesired, given);
                rowFixed = true;
            }
        }
        rowDesired = std::max(rowDesired, rowMin) + CellSpacing;
        rowMin += CellSpacing;
        const auto at = static_cast<std::size_t>(r);
        if (span == 1) {
            minHeights[at] = std::max(rowMin, 0);
            desiredHeights[at] = std::max(rowDesired, 0);
            fixed[at] = rowFixed;
            continue;
        }
        if (!any || rowMin <= CellSpacing)
            continue;
        // The rows the cells span share what they lack, evenly, the last taking the rest.
        auto spread = [&](std::vector<int>& heights, int needed) {
            const auto first = heights.begin() + r;
            const int lacking = needed - std::accumulate(first, first + span, 0);
            if (lacking <= 0)
                return;
            const int share = lacking / span;
            for (int k = 0; k < span; ++k)
                heights[at + static_cast<std::size_t>(k)] += k + 1 < span ? share : lacking - share * (span - 1);
        };
        for (int k = 0; k < span && rowFixed; ++k)
            fixed[at + static_cast<std::size_t>(k)] = true;
        spread(minHeights, rowMin);
        spread(desiredHeights, rowDesired);
    }
}

// A given table height is shared among the rows: nothing beyond their minima when it is too small, up to their
// desired heights in proportion, and beyond those to the rows whose height was not fixed.
void THtmlTable::ShareTableHeight(int height, const std::vector<int>& minHeights,
                                  const std::vector<int>& desiredHeights, const std::vector<bool>& fixed)
{
    const std::size_t rowCount = Rows.size();
    RowHeights = minHeights;
    if (rowCount == 0)
        return;
    const long long minSum = std::accumulate(minHeights.begin(), minHeights.end(), 0LL);
    const long long desiredSum = std::accumulate(desiredHeights.begin(), desiredHeights.end(), 0LL);
    const auto loose = static_cast<int>(std::count(fixed.begin(), fixed.end(), false));
    if (minSum >= height)
        return;
    auto lastTakesTheRest = [&] {
        long long others = 0;
        for (std::size_t r = 0; r + 1 < rowCount; ++r)
            others += RowHeights[r];
        RowHeights.back() = static_cast<int>(height - others);
    };
    if (desiredSum >= height) {
        const double scale = static_cast<double>(height - minSum) / static_cast<double>(desiredSum - minSum);
        for (std::size_t r = 0; r + 1 < rowCount; ++r)
            RowHeights[r] = minHeights[r] +
                            static_cast<int>(RoundHalfEven(scale * (desiredHeights[r] - minHeights[r])));
        lastTakesTheRest();
    } else if (loose == 0) {
        for (std::size_t r = 0; r + 1 < rowCount; ++r)
            RowHeights[r] = static_cast<int>(RoundHalfEven(static_cast<double>(desiredHeights[r]) * height /
                                                           static_cast<double>(std::max(desiredSum, 1LL))));
        lastTakesTheRest();
    } else {
        RowHeights = desiredHeights;
        const long long extra = height - desiredSum;
        int given = 0;
        for (std::size_t r = 0, seen = 0; r < rowCount; ++r) {
            if (fixed[r])
                continue;
            const int part = ++seen < static_cast<std::size_t>(loose) ? static_cast<int>(extra / loose)
                                                                       : static_cast<int>(extra - given);
            RowHeights[r] += part;
            given += part;
        }
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Rows and cells at their place

int THtmlTable::LayoutRows(platform::Canvas& canvas, int y, int tableHeight, int& counter)
{
    if (!RowHeightsStillHold(tableHeight))
        ComputeRowHeights(canvas, tableHeight);
    HeadRowsHeight = HeadRowCount = FootRowsHeight = 0;
    FirstFootRow = -1;
    FooterTop = 0;
    bool headOrFoot = false, body = false;
    const int rowCount = static_cast<int>(Rows.size());
    rowTops_.resize(static_cast<std::size_t>(rowCount));
    rowReach_.resize(static_cast<std::size_t>(rowCount));
    int rowY = y, reach = y;
    for (int r = 0; r < rowCount; ++r) {
        TCellList& row = *Rows[static_cast<std::size_t>(r)];
        const int height = RowHeights[static_cast<std::size_t>(r)];
        row.RowHeight = height;
        if (row.Part == 0) {
            HeadRowsHeight += height;
            ++HeadRowCount;
            headOrFoot = true;
        } else if (row.Part == 2) {
            if (FirstFootRow < 0) {
                FirstFootRow = r;
                FooterTop = rowY;
            }
            FootRowsHeight += height;
            headOrFoot = true;
        } else {
            body = true;
        }
        row.TallestSpan = 0;
        for (const auto& cell : row.Cells)
            if (!cell->IsFiller()) {
                const auto first = RowHeights.begin() + r;
                cell->SpanHeight = std::accumulate(first, first + cell->RowSpan, 0);
                row.TallestSpan = std::max(row.TallestSpan, cell->SpanHeight);
            }
        {
            TFinalRowScope lastTime(*Document, Document->TableDepth == 1);
            if (Document->FinalTableRow)
                for (const auto& cell : row.Cells)
                    if (!cell->IsFiller())
                        LayoutCellContent(canvas, *cell, rowY, counter);
        }
        rowTops_[static_cast<std::size_t>(r)] = rowY;
        reach = std::max(reach, rowY + row.TallestSpan);
        rowReach_[static_cast<std::size_t>(r)] = reach;
        rowY += height;
    }
    HasParts = headOrFoot && body;
    return rowY - y + CellSpacing;
}

void THtmlTable::LayoutCellContent(platform::Canvas& canvas, TCellObj& cell, int rowY, int& counter)
{
    if (cell.HasContent()) {
        const int room = std::max(0, cell.SpanHeight - cell.ContentHeight - CellSpacing - cell.VertSpacing);
        switch (cell.VAlign) {
        case VAlignTop: cell.VAlignOffset = 0; break;
        case VAlignMiddle: cell.VAlignOffset = room / 2; break;
        case VAlignBaseline:
        case VAlignBottom: cell.VAlignOffset = room; break;
        default: break;
        }
        const int top = rowY + CellSpacing + cell.PadTop + cell.BrdTop + cell.VAlignOffset;
        const int height = std::max(0, cell.SpanHeight - cell.VertSpacing - CellSpacing);
        int widest = 0;
        cell.Content->LayoutCell(canvas, top, std::max(0, cell.CellWidth - CellSpacing - cell.HorzSpacing), height,
                                 height, widest, counter);
    } else if (cell.Content) {
        // An empty cell still holds its place among the positions.
        cell.Content->FirstChar = counter;
        cell.Content->CharCount = 0;
    }
    if (cell.BackgroundImage && Document->ShowImages) {
        if (cell.BackgroundImage->Load() == TBackgroundSource::State::Failed)
            cell.BackgroundImage.reset();
        else
            cell.BackgroundPending = true;
    }
}

} // namespace lantern
