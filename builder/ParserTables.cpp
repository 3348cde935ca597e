// Reading TABLE: rows, cells, captions and row groups, with the missing row and cell tags of real pages implied.
// The table reader keeps the structure of the markup (which content belongs to which cell, what lies outside
// every cell, where the table ends), so everything written in a table reaches the document in its order. Until
// tables are laid out as grids, the table is a block holding one block per row and one block per cell, so the
// cells of a row follow one another down the page.
#include "builder/Parser.h"

#include "layout/Block.h"
#include "layout/Document.h"
#include "layout/TextSection.h"
#include "style/Properties.h"

namespace lantern {

namespace {

constexpr int MaxTableDepth = 10;

enum class RowKind { Head, Body, Foot };

} // namespace

struct THtmlParser::TTableState {
    TCellBasic* Outer = nullptr;       // receives the table, and content met outside every cell
    std::unique_ptr<TBlock> Table;     // added to Outer when the table ends
    std::unique_ptr<TBlock> Caption;
    bool CaptionOnTop = true;
    std::unique_ptr<TBlock> Row;       // the row being filled
    int RowDepth = 0;                  // stack depth before the row's "tr" was pushed
    bool RowHidden = false;            // the row's display is none
    RowKind Kind = RowKind::Body;
    std::vector<std::unique_ptr<TBlock>> FootRows; // held aside until the table ends
    int GroupDepth = -1;               // stack depth at the last row group tag; -1: none yet
    TCellBasic* Cell = nullptr;        // the content of the cell being filled
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
    // 4.
    const TAttributeList& attributes = Attributes();
    Push(u"table", &attributes);
    const int tableDepth = Doc.PropStack.Count();
    t.Table = std::make_unique<TBlock>(Doc, &attributes, *t.Outer, Top());
    // 7.-8. (A table cut short by a failure is still placed.)
    auto assemble = [&] {
        FCell = t.Outer;
        if (t.Caption && t.CaptionOnTop)
            t.Outer->AddSection(std::move(t.Caption), TagPosition());
        t.Outer->AddSection(std::move(t.Table), TagPosition());
        if (t.Caption)
            t.Outer->AddSection(std::move(t.Caption), TagPosition());
        PopTo(tableDepth - 1);
        SetNoBreak(t.SavedNoBreak);
        FListDepth = t.SavedListDepth;
        --FTableDepth;
    };
    try {
        // 5.
        NextSymbol();
        for (bool done = false; !done && Sy() != symEndTable && Sy() != symEndOfFile;) {
            const THtmlSymbol sy = Sy();
            switch (sy) {
            case symTd: case symTh: StartTableCell(t); break;
            case symEndTd: case symEndTh:
                FinishTableCell(t);
                NextSymbol();
                break;
            case symTr: {
                FinishTableRow(t);
                t.RowDepth = Doc.PropStack.Count();
                const TAttributeList& row = Attributes();
                t.RowHidden = Push(u"tr", &row).DisplayOf() == DisplayCode::None;
                ApplyAlign(row);
                t.Row = std::make_unique<TBlock>(Doc, &row, t.Table->Content, Top());
                NextSymbol();
                break;
            }
            case symEndTr:
                FinishTableRow(t);
                NextSymbol();
                break;
            case symCaption: ParseCaption(t); break;
            case symEndCaption: done = true; break; // a /CAPTION no caption took ends the table
            case symColgroup: case symCol: NextSymbol(); break;
            case symThead: case symTbody: case symTfoot: case symEndThead: case symEndTbody: case symEndTfoot:
                FinishTableRow(t);
                if (t.GroupDepth >= 0)
                    PopTo(t.GroupDepth);
                t.GroupDepth = Doc.PropStack.Count();
                t.Kind = RowKind::Body;
                if (sy == symThead && t.Table->Content.Empty()) {
                    t.Kind = RowKind::Head;
                    Push(u"thead", nullptr);
                } else if (sy == symTbody)
                    Push(u"tbody", nullptr);
                else if (sy == symTfoot) {
                    t.Kind = RowKind::Foot;
                    Push(u"tfoot", nullptr);
                }
                NextSymbol();
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
        // 6.
        CloseOpenLink();
        FinishTableCell(t);
        FinishTableRow(t);
        if (t.GroupDepth >= 0)
            PopTo(t.GroupDepth);
        for (auto& row : t.FootRows)
            t.Table->Content.AddSection(std::move(row), TagPosition());
    } catch (...) {
        FinishTableRow(t);
        assemble();
        throw;
    }
    assemble();
    NextSymbol();
}

void THtmlParser::StartTableCell(TTableState& t)
{
    // 1.
    CloseOpenLink();
    FListDepth = 0;
    // 2.
    if (t.Row) {
        FinishTableCell(t);
        PopTo(t.RowDepth + 1);
    } else {
        t.RowDepth = Doc.PropStack.Count();
        t.RowHidden = Push(u"tr", nullptr).DisplayOf() == DisplayCode::None;
        t.Row = std::make_unique<TBlock>(Doc, nullptr, t.Table->Content, Top());
    }
    // 3.-6.
    const bool header = Sy() == symTh;
    const TAttributeList& attributes = Attributes();
    TProperties& cell = Push(header ? u"th" : u"td", &attributes);
    ApplyAlign(attributes);
    if (cell.Props[piTextAlign].Text() == u"none")
        cell.SetFromAttribute(piTextAlign, PropValue(header ? u"center" : u"left"));
    // 8.
    FCell = &t.Row->Content;
    OpenBlock<TBlock>(&attributes);
    t.Cell = FCell;
    // 9. An absolute width lets the text wrap whatever NOWRAP says.
    const TAttribute* width = attributes.Find(symWidth);
    const bool absoluteWidth = width && width->IntValue > 0 && width->Value.find(u'%') == u16::npos;
    SetNoBreak(!absoluteWidth && attributes.Find(symNowrap));
    // 10.
    SkipBlanks();
    NextSymbol();
    ParseBody(CellTerminators);
}

void THtmlParser::FinishTableCell(TTableState& t)
{
    if (!t.Cell)
        return;
    CloseSection();
    DropTrailingGap(*t.Cell);
    t.Cell = nullptr;
    FCell = nullptr;
}

void THtmlParser::FinishTableRow(TTableState& t)
{
    CloseOpenLink();
    if (!t.Row)
        return;
    FinishTableCell(t);
    // A hidden row is dropped with its cells.
    if (!t.RowHidden) {
        if (t.Kind == RowKind::Foot)
            t.FootRows.push_back(std::move(t.Row));
        else
            t.Table->Content.AddSection(std::move(t.Row), TagPosition());
    }
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
