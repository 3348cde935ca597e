// Reading TABLE into a table block holding a grid of rows and cells, with the missing row and cell tags of real
// pages implied: a cell without a row gets one, header and footer rows go where they belong, content met outside
// every cell stands before the table, a caption wraps the table with it, COL and COLGROUP give their columns'
// widths and alignments, and tables nest at most ten deep. Cells are filled by the ordinary body loop.
#include "builder/CellManager.h"
#include "builder/Parser.h"

#include "layout/Block.h"
#include "layout/Document.h"
#include "layout/Table.h"
#include "layout/TableBlock.h"
#include "layout/TextSection.h"
#include "style/Properties.h"

#include <algorithm>
#include <array>
#include <optional>

namespace lantern {

namespace {

constexpr int MaxTableDepth = 10;

enum class RowKind : std::uint8_t { Head, Body, Foot };

// VALIGN of a row or a cell.
std::uint8_t VAlignOf(const TAttributeList& attributes, std::uint8_t otherwise)
{
    const TAttribute* valign = attributes.Find(symValign);
    if (!valign)
        return otherwise;
    if (SameTextAscii(valign->Value, u"top") || SameTextAscii(valign->Value, u"baseline"))
        return VAlignTop;
    if (SameTextAscii(valign->Value, u"middle"))
        return VAlignMiddle;
    if (SameTextAscii(valign->Value, u"bottom"))
        return VAlignBottom;
    return otherwise;
}

// What a COL or COLGROUP says.
struct TColumnValues {
    TColSpec Column;
    int Span = 1;
};

void ReadColumnValues(const TAttributeList& attributes, TColumnValues& values)
{
    static constexpr std::array<u16v, 6> aligns = {u"center", u"middle", u"absmiddle", u"left", u"right", u"justify"};
    for (std::size_t i = 0; i < attributes.Count(); ++i) {
        const TAttribute& a = attributes[i];
        switch (a.Symbol) {
        case symAlign:
            if (const u16 align = LowerAscii(a.Value); std::find(aligns.begin(), aligns.end(), align) != aligns.end())
                values.Column.Align = align;
            break;
        case symValign: {
            const u16 valign = LowerAscii(a.Value);
            if (valign == u"top")
                values.Column.VAlign = VAlignTop;
            else if (valign == u"middle" || valign == u"absmiddle" || valign == u"center")
                values.Column.VAlign = VAlignMiddle;
            else if (valign == u"baseline")
                values.Column.VAlign = VAlignBaseline;
            else if (valign == u"bottom")
                values.Column.VAlign = VAlignBottom;
            break;
        }
        case symWidth: values.Column.Width = ParseWidthSpec(a.IntValue, a.Value); break;
        case symSpan: values.Span = std::max(a.IntValue, 1); break;
        default: break;
        }
    }
}

// A column's horizontal alignment as text-align.
u16 TextAlignOf(const TColSpec& spec)
{
    return spec.Align == u"middle" || spec.Align == u"absmiddle" ? u"center" : spec.Align;
}

bool Unset(const PropValue& cell)
{
    return cell.IsEmpty() || TProperties::IsUnsetLength(cell);
}

} // namespace

struct THtmlParser::TTableState {
    TCellBasic* Outer = nullptr; // receives the table, and content met outside every cell
    THtmlTable* Table = nullptr;
    std::unique_ptr<TTableBlock> Block; // added to Outer (or to the wrapper) when the table ends
    std::unique_ptr<TTableAndCaptionBlock> Wrapper;
    std::unique_ptr<TBlock> Caption;
    bool CaptionOnTop = true;
    bool StyleGivesBorderWidth = false;
    std::unique_ptr<TCellList> Row; // the row being filled
    int RowDepth = 0;               // stack depth before the row's "tr" was pushed
    bool RowHidden = false;         // the row's display is none
    std::uint8_t RowVAlign = VAlignMiddle;
    RowKind Kind = RowKind::Body;
    std::vector<std::unique_ptr<TCellList>> FootRows; // held aside until the table ends
    int GroupDepth = -1;                              // stack depth at the last row group tag; -1: none yet
    bool ColumnSpecsAllowed = true;                   // until the first cell
    std::unique_ptr<TCellManager> Grid;               // once the table has column descriptions
    std::optional<TCellManager> GridBeforeRow;        // to forget the cells of a hidden row
    int RowsRead = 0;                                 // rows kept so far, footer rows included
    std::unique_ptr<TCellObj> Cell;                   // the cell being filled
    bool SavedNoBreak = false;
    int SavedListDepth = 0;
};

void THtmlParser::ParseTable()
{
    // 1. Deeper tables are read as content of the enclosing cell.
    if (FTableDepth >= MaxTableDepth) {
        NextSymbol();
        return;
    }
    ++FTableDepth;
    // 2.
    CloseOpenLink();
    CloseSection();
    TTableState t;
    t.Outer = FCell;
    t.SavedNoBreak = FNoBreak;
    t.SavedListDepth = FListDepth;
    FCell = nullptr;
    // 3.
    const u16& around = Top().Props[piTextAlign].Text();
    const std::uint8_t placement = around == u"center" ? 2 : around == u"right" ? 3 : 0;
    // 4.
    const TAttributeList& attributes = Attributes();
    TProperties& properties = Push(u"table", &attributes);
    const int tableDepth = Doc.PropStack.Count();
    t.StyleGivesBorderWidth = properties.HasAnyBorderWidth();
    auto table = std::make_unique<THtmlTable>(Doc, properties, &attributes);
    t.Table = table.get();
    t.Block = std::make_unique<TTableBlock>(Doc, &attributes, std::move(table), *t.Outer, properties);
    if (placement != 0 && t.Block->HorzPlacement != 2 && !t.Block->Floats())
        t.Block->HorzPlacement = placement;
    t.Wrapper = std::make_unique<TTableAndCaptionBlock>(Doc, *t.Block, &attributes, *t.Outer, properties);
    // A table cut short by a failure is still placed.
    try {
        // 5.
        NextSymbol();
        ReadTableContent(t);
        // 6.
        CloseOpenLink();
        FinishTableCell(t);
        FinishTableRow(t);
        if (t.GroupDepth >= 0)
            PopTo(t.GroupDepth);
    } catch (...) {
        FinishTableRow(t);
        AssembleTable(t, tableDepth);
        throw;
    }
    AssembleTable(t, tableDepth);
    NextSymbol();
}

void THtmlParser::ReadTableContent(TTableState& t)
{
    for (;;) {
        const THtmlSymbol sy = Sy();
        switch (sy) {
        case symEndTable:
        case symEndOfFile:
        case symEndCaption: // a /CAPTION no caption took ends the table
            return;
        case symTd: case symTh: StartTableCell(t); break;
        case symEndTd: case symEndTh:
            FinishTableCell(t);
            NextSymbol();
            break;
        case symTr: StartTableRow(t); break;
        case symEndTr:
            FinishTableRow(t);
            NextSymbol();
            break;
        case symCaption: ParseCaption(t); break;
        case symColgroup: case symCol: ParseColumnSpecs(t); break;
        case symThead: case symTbody: case symTfoot: case symEndThead: case symEndTbody: case symEndTfoot:
            StartRowGroup(t);
            break;
        case symUnknownTag: NextSymbol(); break;
        default:
            if (sy == symText && Token().Count() == 1 && Token()[0] == u' ')
                NextSymbol();
            else
                ParseOutsideCells(t);
            break;
        }
    }
}

// 7.-8. The table block, or the wrapper holding it and its caption, goes to the cell the table was met in; the
// foot rows go after all others.
void THtmlParser::AssembleTable(TTableState& t, int tableDepth)
{
    for (auto& row : t.FootRows)
        t.Table->AddRow(std::move(row));
    t.FootRows.clear();
    FCell = t.Outer;
    if (t.Caption) {
        t.Wrapper->SetCaption(*t.Caption, t.CaptionOnTop);
        t.Block->ParentCell = &t.Wrapper->Content;
        TCellBasic& content = t.Wrapper->Content;
        if (t.CaptionOnTop)
            content.AddSection(std::move(t.Caption), TagPosition());
        content.AddSection(std::move(t.Block), TagPosition());
        if (t.Caption)
            content.AddSection(std::move(t.Caption), TagPosition());
        t.Outer->AddSection(std::move(t.Wrapper), TagPosition());
    } else {
        t.Wrapper.reset();
        t.Outer->AddSection(std::move(t.Block), TagPosition());
    }
    PopTo(tableDepth - 1);
    SetNoBreak(t.SavedNoBreak);
    FListDepth = t.SavedListDepth;
    --FTableDepth;
}

void THtmlParser::StartTableRow(TTableState& t)
{
    FinishTableRow(t);
    t.RowDepth = Doc.PropStack.Count();
    const TAttributeList& attributes = Attributes();
    t.RowHidden = Push(u"tr", &attributes).DisplayOf() == DisplayCode::None;
    ApplyAlign(attributes);
    t.Row = std::make_unique<TCellList>(&attributes, Top());
    t.RowVAlign = VAlignOf(attributes, VAlignMiddle);
    if (t.RowHidden && t.Grid)
        t.GridBeforeRow = *t.Grid;
    NextSymbol();
}

void THtmlParser::StartRowGroup(TTableState& t)
{
    const THtmlSymbol sy = Sy();
    FinishTableRow(t);
    if (t.GroupDepth >= 0)
        PopTo(t.GroupDepth);
    t.GroupDepth = Doc.PropStack.Count();
    t.Kind = RowKind::Body;
    const TAttributeList& attributes = Attributes();
    if (sy == symThead && t.Table->Rows.empty()) {
        t.Kind = RowKind::Head;
        Push(u"thead", &attributes);
    } else if (sy == symTbody) {
        Push(u"tbody", &attributes);
    } else if (sy == symTfoot) {
        t.Kind = RowKind::Foot;
        Push(u"tfoot", &attributes);
    }
    NextSymbol();
}

void THtmlParser::StartTableCell(TTableState& t)
{
    // 1.
    t.ColumnSpecsAllowed = false;
    CloseOpenLink();
    FListDepth = 0;
    // 2.
    if (t.Row) {
        FinishTableCell(t);
        PopTo(t.RowDepth + 1);
    } else {
        t.RowVAlign = VAlignMiddle;
        t.RowDepth = Doc.PropStack.Count();
        t.RowHidden = Push(u"tr", nullptr).DisplayOf() == DisplayCode::None;
        t.Row = std::make_unique<TCellList>(nullptr, Top());
        if (t.RowHidden && t.Grid)
            t.GridBeforeRow = *t.Grid;
    }
    // 3.
    const bool header = Sy() == symTh;
    const TAttributeList& attributes = Attributes();
    TProperties& cell = Push(header ? u"th" : u"td", &attributes);
    // 4.-6. The cell's own attributes come before its column's, which come before the defaults.
    std::uint8_t vAlign = VAlignOf(attributes, 0);
    ApplyAlign(attributes);
    if (t.Grid) {
        const int column = t.Grid->FindColumn(t.RowsRead);
        if (column < static_cast<int>(t.Table->ColumnSpecs.size())) {
            const TColSpec& spec = t.Table->ColumnSpecs[static_cast<std::size_t>(column)];
            if (!spec.Align.empty())
                cell.SetFromAttribute(piTextAlign, PropValue(TextAlignOf(spec)));
            if (vAlign == 0)
                vAlign = spec.VAlign;
        }
    }
    if (vAlign == 0)
        vAlign = t.RowVAlign;
    if (cell.Props[piTextAlign].Text() == u"none")
        cell.SetFromAttribute(piTextAlign, PropValue(header ? u"center" : u"left"));
    // 7.
    ApplyCellBorderDefaults(t, cell);
    // 8.
    t.Cell = std::make_unique<TCellObj>(Doc, cell, &attributes, vAlign);
    FCell = t.Cell->Content.get();
    // 9. An absolute width lets the text wrap whatever NOWRAP says.
    const TAttribute* width = attributes.Find(symWidth);
    const bool absoluteWidth = width && width->IntValue > 0 && width->Value.find(u'%') == u16::npos &&
                               width->Value.find(u'*') == u16::npos;
    SetNoBreak(!absoluteWidth && attributes.Find(symNowrap));
    // 10.
    SkipBlanks();
    NextSymbol();
    ParseBody(CellTerminators);
}

// Where the cell's style sheets leave a border unset it takes the table's: its style with inset and outset
// exchanged (a raised table frames sunken cells), a hairline in a table with a border attribute, and the
// table's border colour.
void THtmlParser::ApplyCellBorderDefaults(const TTableState& t, TProperties& cell)
{
    for (int side = 0; side < 4; ++side) {
        PropValue& style = cell.Props[std::size_t(piBorderTopStyle + side)];
        if (Unset(style)) {
            const PropValue& table = t.Block->BoxCells[std::size_t(BoxSlot(piBorderTopStyle + side))];
            auto code = static_cast<BorderStyle>(table.AsInt());
            if (code == BorderStyle::Inset)
                code = BorderStyle::Outset;
            else if (code == BorderStyle::Outset)
                code = BorderStyle::Inset;
            if (code != BorderStyle::None)
                style = PropValue(static_cast<std::uint8_t>(code));
        }
        PropValue& width = cell.Props[std::size_t(piBorderTopWidth + side)];
        if (Unset(width)) {
            if (t.Table->BorderWidth > 0)
                width = PropValue(1);
            else if (!t.StyleGivesBorderWidth)
                width = PropValue(3);
        }
        PropValue& color = cell.Props[std::size_t(piBorderTopColor + side)];
        if (Unset(color) && t.Table->BorderColor != clNone)
            color = PropValue(t.Table->BorderColor);
    }
}

void THtmlParser::FinishTableCell(TTableState& t)
{
    if (!t.Cell)
        return;
    CloseSection();
    DropTrailingGap(*t.Cell->Content);
    if (t.Grid)
        t.Grid->AddCell(t.RowsRead, *t.Cell);
    t.Row->AddCell(std::move(t.Cell));
    FCell = nullptr;
}

void THtmlParser::FinishTableRow(TTableState& t)
{
    CloseOpenLink();
    if (!t.Row)
        return;
    FinishTableCell(t);
    // A hidden row is dropped with its cells, and so are the positions they took.
    if (t.RowHidden) {
        if (t.GridBeforeRow)
            *t.Grid = std::move(*t.GridBeforeRow);
    } else {
        t.Row->Part = static_cast<std::uint8_t>(t.Kind);
        ++t.RowsRead;
        if (t.Kind == RowKind::Foot)
            t.FootRows.push_back(std::move(t.Row));
        else
            t.Table->AddRow(std::move(t.Row));
    }
    t.GridBeforeRow.reset();
    t.Row.reset();
    PopTo(t.RowDepth);
}

void THtmlParser::ParseCaption(TTableState& t)
{
    CloseOpenLink();
    SetNoBreak(false);
    FinishTableCell(t);
    const TAttributeList& attributes = Attributes();
    if (const TAttribute* align = attributes.Find(symAlign))
        t.CaptionOnTop = !SameTextAscii(align->Value, u"bottom");
    Push(u"caption", &attributes);
    if (!t.Caption)
        t.Caption = std::make_unique<TBlock>(Doc, &attributes, *t.Outer, Top());
    FCell = &t.Caption->Content;
    NextSymbol();
    ParseBody(CellTerminators);
    CloseSection();
    Pop(u"caption");
    FCell = nullptr;
    if (Sy() == symEndCaption)
        NextSymbol();
}

// COLGROUP with its COLs, or COLs on their own. They count only before the first cell, but are read past always.
void THtmlParser::ParseColumnSpecs(TTableState& t)
{
    auto add = [&](const TColumnValues& values) {
        if (t.ColumnSpecsAllowed)
            t.Table->AddColSpecs(values.Span, values.Column.Width, values.Column.Align, values.Column.VAlign);
    };
    // 1.
    TColumnValues group;
    const bool inGroup = Sy() == symColgroup;
    if (inGroup) {
        ReadColumnValues(Attributes(), group);
        SkipBlanks();
        NextSymbol();
    }
    // 2. A COL starts from its group's values, but spans one column unless it says otherwise.
    bool anyColumn = false;
    while (Sy() == symCol) {
        TColumnValues column = group;
        column.Span = 1;
        ReadColumnValues(Attributes(), column);
        add(column);
        anyColumn = true;
        SkipBlanks();
        NextSymbol();
    }
    // 3.
    if (inGroup && !anyColumn)
        add(group);
    // 4.
    if (Sy() == symEndColgroup)
        NextSymbol();
    if (!t.Grid && !t.Table->ColumnSpecs.empty())
        t.Grid = std::make_unique<TCellManager>();
}

// Content outside every cell goes to the enclosing cell, so it stands before the table.
void THtmlParser::ParseOutsideCells(TTableState& t)
{
    TCellBasic* current = FCell;
    FCell = t.Outer;
    ParseBody(CellTerminators);
    CloseSection();
    FCell = current;
}

} // namespace lantern
