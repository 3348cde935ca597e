// Painting a table and the questions about points in it. Only the rows near the area being painted are visited;
// each cell paints its background, its content clipped to its border box, and its border. Everything here reads
// the geometry the last layout stored.
#include "layout/Table.h"

#include "layout/Borders.h"
#include "layout/Document.h"
#include "layout/FontRuns.h"
#include "platform/Canvas.h"

#include <algorithm>

namespace lantern {

namespace {

bool Meets(const Rect& a, const Rect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

std::pair<int, int> THtmlTable::RowsNear(int top, int bottom) const
{
    // A row reaches down as far as its tallest cell; the reach runs monotonically, the tops do too.
    const auto first = std::upper_bound(rowReach_.begin(), rowReach_.end(), top) - rowReach_.begin();
    const auto last = std::lower_bound(rowTops_.begin(), rowTops_.end(), bottom) - rowTops_.begin();
    return {static_cast<int>(first), static_cast<int>(std::max(first, last))};
}

int THtmlTable::Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
                      int yRef)
{
    PaintX = x;
    const int result = PaintTop + BoxHeight;
    const int viewTop = Document->ViewTop;
    if (BoxTop - viewTop >= clip.bottom || BoxBottom - viewTop <= clip.top)
        return result;
    const auto [first, last] = RowsNear(clip.top + viewTop, clip.bottom + viewTop);
    for (int r = first; r < last; ++r)
        PaintRow(canvas, clip, indents.PaintClipWidth, r, xRef, yRef);
    return result;
}

void THtmlTable::PaintRow(platform::PaintCanvas& canvas, const Rect& clip, int clipWidth, int row, int xRef,
                          int yRef)
{
    const TCellList& cells = *Rows[static_cast<std::size_t>(row)];
    const int y = rowTops_[static_cast<std::size_t>(row)];
    int x = PaintX;
    for (int c = 0; c < cells.Count() && c < ColumnCount; ++c) {
        TCellObj& cell = *cells.Cells[static_cast<std::size_t>(c)];
        if (!cell.IsFiller() && cell.RowSpan > 0)
            PaintTableCell(canvas, clip, clipWidth, cell, x, y, xRef, yRef);
        x += ColWidths[static_cast<std::size_t>(c)];
    }
}

void THtmlTable::PaintTableCell(platform::PaintCanvas& canvas, const Rect& clip, int clipWidth, TCellObj& cell,
                                int x, int y, int xRef, int yRef)
{
    const int viewTop = Document->ViewTop;
    const Rect border{x + CellSpacing, y + CellSpacing - viewTop, x + cell.CellWidth, y + cell.SpanHeight - viewTop};
    if (cell.Content)
        cell.Content->HitRect = border;
    if (!Meets(border, clip))
        return;
    const Rect padding{border.left + cell.BrdLeft, border.top + cell.BrdTop, border.right - cell.BrdRight,
                       border.bottom - cell.BrdBottom};
    PaintCellBackground(canvas, clip, cell, padding);
    if (cell.HasContent()) {
        platform::CanvasSaver saved(canvas);
        canvas.IntersectClipRect(border);
        const int contentY = y + CellSpacing + cell.PadTop + cell.BrdTop + cell.VAlignOffset;
        cell.Content->PaintCell(canvas, clip, clipWidth, x + CellSpacing + cell.PadLeft + cell.BrdLeft, contentY,
                                xRef, yRef);
    }
    if (cell.HasContent() || cell.ShowEmpty) {
        const Color background = cell.Content && cell.Content->HasBgColor ? cell.Content->BgColor : clNone;
        PaintBorderRing(canvas, border, padding, background, BorderSidesOf(cell.Box));
    }
}

// The background fills the padding box and the pixel next to it on the sides with a border, so no seam shows
// between a cell's colour and a hairline border drawn over it.
void THtmlTable::PaintCellBackground(platform::PaintCanvas& canvas, const Rect& clip, TCellObj& cell,
                                     const Rect& padding)
{
    ThtDocument& doc = *Document;
    Rect area = padding;
    if (!cell.HasAnyBorderStyle) {
        area = Rect{area.left - (cell.BrdLeft > 0), area.top - (cell.BrdTop > 0), area.right + (cell.BrdRight > 0),
                    area.bottom + (cell.BrdBottom > 0)};
    } else if (BorderWidth > 0) {
        area = Rect{area.left - 1, area.top - 1, area.right + 1, area.bottom + 1};
    }
    if (cell.BackgroundPending)
        SettleBackground(cell.BackgroundImage, cell.BackgroundPending, cell.BackgroundTile, cell.ImageOpaque,
                         cell.BackgroundPlacement);
    const Rect band{area.left, std::max(clip.top - 2, area.top), area.right, std::min(area.bottom, clip.bottom)};
    if (band.IsEmpty())
        return;
    const bool colored = cell.Content && cell.Content->HasBgColor && (!doc.Printing || doc.PrintTableBackground);
    PaintBackgroundBand(canvas, band, padding, colored ? cell.Content->BgColor : clNone, cell.BackgroundTile,
                        cell.BackgroundPlacement);
}

// ---------------------------------------------------------------------------------------------------------------
// Points

TCellObj* THtmlTable::CellAt(int x, int y) const
{
    const auto [first, last] = RowsNear(y, y + 1);
    for (int r = first; r < last; ++r) {
        const int top = rowTops_[static_cast<std::size_t>(r)];
        const TCellList& row = *Rows[static_cast<std::size_t>(r)];
        int left = PaintX;
        for (int c = 0; c < row.Count() && c < ColumnCount; ++c) {
            TCellObj& cell = *row.Cells[static_cast<std::size_t>(c)];
            if (!cell.IsFiller() && cell.Content && x >= left && x < left + cell.CellWidth && y >= top &&
                y < top + cell.SpanHeight)
                return &cell;
            left += ColWidths[static_cast<std::size_t>(c)];
        }
    }
    return nullptr;
}

THitKinds THtmlTable::HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                              TFormControlObj*& control, u16& title)
{
    target.reset();
    control = nullptr;
    title.clear();
    if (y < BoxTop || y >= BoxBottom || x < PaintX || x > PaintX + GridWidth)
        return 0;
    TCellObj* cell = CellAt(x, y);
    return cell ? cell->Content->HitLink(canvas, x, y, target, control, title) : 0;
}

bool THtmlTable::HitObject(int x, int y, TFloatingObj*& object, int& objectX, int& objectY)
{
    object = nullptr;
    TCellObj* cell = CellAt(x, y);
    return cell && cell->Content->HitObject(x, y, object, objectX, objectY);
}

int THtmlTable::PointToCaret(platform::Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                             bool& insideText)
{
    TCellObj* cell = CellAt(x, y);
    return cell ? cell->Content->PointToCaret(canvas, x, y, caretX, caretY, caretHeight, insideText) : -1;
}

} // namespace lantern
