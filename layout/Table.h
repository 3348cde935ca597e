// Tables: the section that lays a grid of cells out (THtmlTable), its rows (TCellList), its cells (TCellObj, each
// with the cell of sections it holds, TCellObjCell) and the column specifications of COL and COLGROUP (TColSpec).
//
// A table is laid out in two passes. The width pass measures the minimum and maximum width of every cell, folds
// them into columns (spanning cells in increasing span order, with percent, fixed and relative widths honoured)
// and shares the table's width among the columns. The height pass lays every cell out at its column width to
// learn how tall it is, folds those heights into rows (spanning cells in increasing span order), shares a given
// table height among the rows, and finally lays every cell's content out again at its final place, aligned
// vertically in its rows. Painting reads what the last layout stored.
//
// The block around the table (TTableBlock, TableBlock.h) carries its margins, borders, background, width and
// float; the table itself knows only its grid.
//
// Ownership: a table owns its rows and column specifications; a row owns its cells (fillers included); a cell owns
// its content cell and the source of its background picture. Everything else (the document, the fonts and pictures
// of the content) is borrowed.
#pragma once

#include "common/Colors.h"
#include "common/Str.h"
#include "common/Types.h"
#include "layout/Block.h"
#include "layout/Cell.h"
#include "layout/Sections.h"
#include "platform/Bitmap.h"
#include "style/Properties.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace lantern {

class TAttributeList;

// The kind of a width or height given to a table, a column, a row or a cell.
enum class TWidthType : std::uint8_t { wtNone, wtAbsolute, wtPercent, wtRelative };

// Percentages are kept in tenths of a percent (1000 is 100 %); relative widths as their weight; absolute ones in
// pixels.
struct TWidthSpec {
    int Value = 0;
    TWidthType Kind = TWidthType::wtNone;
    friend bool operator==(const TWidthSpec&, const TWidthSpec&) = default;
};

// "50%" gives a percentage, "2*" a weight, anything else pixels.
TWidthSpec ParseWidthSpec(int number, u16v text);

// What a COL or COLGROUP says about one column.
struct TColSpec {
    TWidthSpec Width;
    u16 Align;              // "left", "center", ... lower case; empty when not given
    std::uint8_t VAlign = 0; // 1 top, 2 middle, 3 baseline, 4 bottom; 0 when not given
};

// The content of a table cell: a cell with its own indent manager, so floats inside stay inside, which also
// answers for the cell's title and link.
class TCellObjCell final : public TCell {
public:
    TCellObjCell(ThtDocument& document, u16v openingTag);

    // After the content: the cell's title when nothing inside had one, and the cell's link when nothing inside
    // was a link, for a point inside the cell as last painted.
    THitKinds HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                      TFormControlObj*& control, u16& title) override;

    bool HasBgColor = false;
    Color BgColor = clNone;
    Rect HitRect; // on screen, from the last paint
    u16 CellTitle;
    u16 CellUrl;
    u16 CellTarget;
};

// Vertical alignment of cell content.
inline constexpr std::uint8_t VAlignTop = 1, VAlignMiddle = 2, VAlignBaseline = 3, VAlignBottom = 4;

// One grid position: a cell, or a filler standing where a spanning cell reaches (column span 0).
class TCellObj {
public:
    // Reads the cell's attributes (which may be null) and properties; vAlign is the row's alignment, replaced by
    // the cell's own vertical-align when that is top, middle or bottom.
    TCellObj(ThtDocument& document, TProperties& properties, const TAttributeList* attributes, std::uint8_t vAlign);
    TCellObj(ThtDocument& document, const TCellObj& source); // for Clone
    ~TCellObj();

    // A position covered by a cell that starts to its left (rowSpan as that cell's) or above it (rowSpan 0).
    static std::unique_ptr<TCellObj> Filler(int rowSpan);

    // The paddings a layout uses: those given, cellpadding where none is, percentages of the table's width.
    void ResolvePaddings(int cellPadding, int tableWidth);

    bool IsFiller() const { return ColSpan == 0; }
    bool HasContent() const { return Content && !Content->Empty(); }

    int ColSpan = 1;
    int RowSpan = 1;
    int CellWidth = 0;     // the widths of the columns it spans, spacing to its left included
    int SpanHeight = 0;    // the heights of the rows it spans
    int ContentHeight = 0; // from the last measurement
    TWidthSpec WidthSpec;
    TWidthSpec HeightSpec;
    int VAlignOffset = 0;
    std::uint8_t VAlign = VAlignMiddle;
    int EmSize = 0, ExSize = 0;
    TBackgroundPlacement BackgroundPlacement;
    // Paddings as given (negative: not given; below -1 a percentage of the table's width), and as laid out.
    std::array<int, 4> GivenPad{-1, -1, -1, -1}; // top, right, bottom, left
    int PadLeft = 0, PadTop = 0, PadRight = 0, PadBottom = 0;
    int BrdLeft = 0, BrdTop = 0, BrdRight = 0, BrdBottom = 0;
    int HorzSpacing = 0; // paddings and borders left and right
    int VertSpacing = 0; // paddings and borders above and below
    bool HasAnyBorderStyle = false;
    bool ShowEmpty = false;
    std::unique_ptr<TCellObjCell> Content; // none for a filler
    bool BackgroundPending = false;
    std::unique_ptr<TBackgroundSource> BackgroundImage;
    u16 BackgroundUrl;
    platform::Bitmap BackgroundTile;
    bool ImageOpaque = false;
    TBoxValueArray Box{};
    bool PageBreakBefore = false, PageBreakAfter = false, AvoidBreakInside = false;

private:
    TCellObj() = default;
};

// A row: its cells and fillers, left to right.
class TCellList {
public:
    // The row's attributes may be null (an implied row).
    TCellList(const TAttributeList* attributes, TProperties& properties);
    TCellList(ThtDocument& document, const TCellList& source); // for Clone
    ~TCellList();

    // Appends a cell and lets the row's height specification reach it.
    void AddCell(std::unique_ptr<TCellObj> cell);
    int Count() const { return static_cast<int>(Cells.size()); }

    std::vector<std::unique_ptr<TCellObj>> Cells;
    int RowHeight = 0;
    TWidthSpec RowHeightSpec;
    int TallestSpan = 0;
    bool HasBgColor = false;
    Color BgColor = clNone;
    u16 BgImageName;
    TBackgroundPlacement BackgroundPlacement;
    bool PageBreakBefore = false, PageBreakAfter = false, AvoidBreakInside = false;
    std::uint8_t Part = 1; // 0 header, 1 body, 2 footer
};

class THtmlTable final : public TSectionBase {
public:
    // Reads border, cellpadding, cellspacing and the border colours; attributes may be null.
    THtmlTable(ThtDocument& document, TProperties& properties, const TAttributeList* attributes);
    ~THtmlTable() override;

    // --- building
    void AddRow(std::unique_ptr<TCellList> row) { Rows.push_back(std::move(row)); }
    // Adds span copies (at most 10000) of one column's specification.
    void AddColSpecs(int span, TWidthSpec width, u16v align, std::uint8_t vAlign);

    // --- the section
    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    bool CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const override;
    int Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
              int yRef) override;
    int Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth, int availableHeight,
               int blockHeight, TIndentManager& indents, int& maxWidth, int& counter) override;
    int PointToCaret(platform::Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                     bool& insideText) override;
    int SourceToDocPos(int sourcePos, bool backward) const override;
    int DocToSourcePos(int pos) const override;
    int SearchForward(int from, u16v text, bool matchCase) const override;
    int SearchBackward(int from, u16v text, bool matchCase) const override;
    bool CharAt(int pos, char16_t& ch, const TSectionBase*& section) const override;
    THitKinds HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                      TFormControlObj*& control, u16& title) override;
    bool HitObject(int x, int y, TFloatingObj*& object, int& objectX, int& objectY) override;
    void CopySelection() override;
    // The grid's narrowest and natural widths: the column minima and maxima plus one spacing.
    void MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth) override;

    // The columns' percentages together (tenths, at most 1000), from the last measurement.
    int PercentSum() const;

    int HeadRowsHeight = 0, HeadRowCount = 0, FootRowsHeight = 0, FirstFootRow = -1, FooterTop = 0;
    bool HasParts = false;
    std::vector<TColSpec> ColumnSpecs;
    std::vector<int> ColPercents, ColWeights, ColMaxWidths, ColMinWidths;
    std::array<int, 4> TypeCounts{}; // columns per TWidthType
    std::vector<TWidthType> ColTypes;
    std::vector<std::unique_ptr<TCellList>> Rows;
    bool GridReady = false;
    int BorderWidth = 0;
    bool BorderAttrSet = false;
    bool IsFloating = false;
    int ColumnCount = 0;
    int GridWidth = 0;
    int SpecifiedWidth = 0; // the content width the table block imposes; 0 when automatic
    int CellPadding = 1;
    int CellSpacing = 2;
    Color BorderColor = clNone;
    Color BorderColorLight = clBtnHighlight;
    Color BorderColorDark = clBtnShadow;
    int PaintX = 0;
    bool HasBackground = false;
    Color Background = clNone;
    std::vector<int> ColWidths;
    std::vector<int> RowHeights;

private:
    THtmlTable(ThtDocument& document, const THtmlTable& source); // for Clone

    // --- the grid (TableGrid.cpp)
    // Once, before the first measurement: fillers where spans reach, short rows stretched, spans cut to the grid.
    void ExpandSpans();
    void InsertColumnFillers();
    void InsertRowFillers();
    void StretchShortRows();
    void LimitSpansToGrid();
    // The per-column arrays, one entry per column of the grid.
    void SizeColumnArrays();
    void ApplyTableDefaults(TCellObj& cell, const TCellList& row);

    // --- widths (TableWidths.cpp)
    // The columns' minimum and maximum widths, percentages and weights for a table `width` wide.
    void MeasureColumns(platform::Canvas& canvas, int width);
    void StartColumnsFromSpecs();
    void MeasureCell(platform::Canvas& canvas, TCellObj& cell, int width, int& minWidth, int& maxWidth);
    void FoldSingleColumn(int column, const TCellObj& cell, int minWidth, int maxWidth);
    void FoldSpanningCell(int column, const TCellObj& cell, int minWidth, int maxWidth);
    void WeighColumnsBySpecs();
    // ColWidths for the layout at y; returns GridWidth.
    int ComputeColumnWidths(platform::Canvas& canvas, TIndentManager& indents, int y);
    void GivePercentColumnsTheirShare(int width, int minSum);
    void ShrinkPercentColumns(int excess);
    void GiveFreeSpace(int space);

    // --- heights and rows (TableLayout.cpp)
    void ComputeRowHeights(platform::Canvas& canvas, int tableHeight);
    void MeasureRowsOfSpan(platform::Canvas& canvas, int span, int percentBase, std::vector<int>& minHeights,
                           std::vector<int>& desiredHeights, std::vector<bool>& fixed, bool& longerSpans);
    void ShareTableHeight(int height, const std::vector<int>& minHeights, const std::vector<int>& desiredHeights,
                          const std::vector<bool>& fixed);
    int LayoutRows(platform::Canvas& canvas, int y, int tableHeight, int& counter);
    void LayoutCellContent(platform::Canvas& canvas, TCellObj& cell, int rowY, int& counter);
    // The row heights are those of the column widths and height they were computed for, in this layout pass.
    bool RowHeightsStillHold(int tableHeight) const;

    // --- painting and queries (TableDraw.cpp)
    void PaintRow(platform::PaintCanvas& canvas, const Rect& clip, int clipWidth, int row, int xRef, int yRef);
    void PaintTableCell(platform::PaintCanvas& canvas, const Rect& clip, int clipWidth, TCellObj& cell, int x, int y,
                        int xRef, int yRef);
    void PaintCellBackground(platform::PaintCanvas& canvas, const Rect& clip, TCellObj& cell, const Rect& padding);
    // The cell painted over a point (document Y), or null.
    TCellObj* CellAt(int x, int y) const;
    // The rows that may paint into [top, bottom) (document Y).
    std::pair<int, int> RowsNear(int top, int bottom) const;
    template <class Visit>
    void ForEachContent(Visit&& visit) const;
    template <class Visit>
    void ForEachContentBackward(Visit&& visit) const;

    // From the last layout, per row: its top and the lowest bottom a cell of it or an earlier row reaches.
    std::vector<int> rowTops_;
    std::vector<int> rowReach_;
    // What the last measurement and the last row heights were made for.
    int measuredPass_ = -1, measuredWidth_ = 0;
    bool percentPaddings_ = false; // some cell's padding is a percentage of the table's width
    int heightsPass_ = -1, heightsTableHeight_ = 0;
    std::vector<int> heightsColWidths_;
};

} // namespace lantern
