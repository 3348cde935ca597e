// Tables with the uniform 8-pixel font: column widths from cell widths, spans, percentages and weights; row
// heights from content, spans and a given height; vertical alignment; borders, spacing and padding; empty
// cells; captions, floats beside tables, nested tables; and the questions about points and positions.
//
// Unless a case says otherwise a table has the default spacing 2 and padding 1, so a cell holding n characters
// needs n * 8 + 2 (spacing) + 2 (padding) pixels of its column.
#include "LayoutFixture.h"

#include "layout/Borders.h"
#include "layout/FontRuns.h"
#include "layout/Table.h"
#include "layout/TableBlock.h"
#include "markup/Attributes.h"
#include "platform/Bitmap.h"
#include "style/Lengths.h"

#include <gtest/gtest.h>

namespace lantern::testlayout {
namespace {

using AttributePairs = std::vector<std::pair<THtmlSymbol, u16v>>;

TAttributeList Attributes(const AttributePairs& pairs)
{
    TAttributeList list;
    for (const auto& [symbol, value] : pairs) {
        double number = symbol == symBorder ? 1 : 0;
        u16 unit;
        SplitNumberUnit(value, number, unit);
        list.Add(std::make_unique<TAttribute>(symbol, number, u"", u16(value), 0));
    }
    return list;
}

struct CellDef {
    u16 Text;
    AttributePairs Attrs = {};
    StyleValues Style = {};
};
using RowDef = std::vector<CellDef>;

// Tables made as the builder makes them: table, rows and cells with their attributes and styles, the block
// around the table added to a cell.
struct TableDef {
    std::vector<RowDef> Rows;
    AttributePairs TableAttrs = {};
    StyleValues TableStyle = {};
    StyleValues CellStyle = {};                // for every cell, before its own
    std::vector<AttributePairs> RowAttrs = {}; // by row, where given
};

class TablePage : public TestPage {
public:
    // The table's block, made for `parent` but not added to it.
    std::unique_ptr<TTableBlock> MakeTable(TCellBasic& parent, const TableDef& def)
    {
        const TAttributeList attributes = Attributes(def.TableAttrs);
        auto props = Element(u"table", def.TableStyle);
        auto table = std::make_unique<THtmlTable>(Doc, *props, &attributes);
        for (std::size_t r = 0; r < def.Rows.size(); ++r) {
            const TAttributeList rowAttributes =
                Attributes(r < def.RowAttrs.size() ? def.RowAttrs[r] : AttributePairs{});
            auto rowProps = Element(u"tr");
            auto row = std::make_unique<TCellList>(&rowAttributes, *rowProps);
            for (const CellDef& cellDef : def.Rows[r]) {
                StyleValues style = def.CellStyle;
                style.insert(style.end(), cellDef.Style.begin(), cellDef.Style.end());
                auto cellProps = Element(u"td", style);
                const TAttributeList cellAttributes = Attributes(cellDef.Attrs);
                auto cell = std::make_unique<TCellObj>(Doc, *cellProps, &cellAttributes, VAlignMiddle);
                if (!cellDef.Text.empty())
                    AddText(*cell->Content, cellDef.Text);
                row->AddCell(std::move(cell));
            }
            table->AddRow(std::move(row));
        }
        return std::make_unique<TTableBlock>(Doc, &attributes, std::move(table), parent, *props);
    }
    TTableBlock& AddTable(TCellBasic& parent, const TableDef& def) { return AddTo(parent, MakeTable(parent, def)); }
    TTableBlock& AddTable(const TableDef& def) { return AddTable(Doc, def); }
    TTableBlock& AddTable(const std::vector<RowDef>& rows, const AttributePairs& tableAttrs = {},
                          StyleValues tableStyle = {})
    {
        return AddTable(TableDef{rows, tableAttrs, std::move(tableStyle)});
    }

    // Paints the whole page into a bitmap as wide as the layout.
    platform::Bitmap Paint(int width, int height)
    {
        platform::Bitmap bitmap(width, height, clWhite);
        platform::PaintCanvas canvas(bitmap);
        Doc.PaintDocument(canvas, Rect{0, 0, width, height}, 6000, 0, 0, 0, 0);
        return bitmap;
    }
};

TCellObj& CellAt(const THtmlTable& table, int row, int column)
{
    return *table.Rows[static_cast<std::size_t>(row)]->Cells[static_cast<std::size_t>(column)];
}

TSection& TextOf(const TCellObj& cell)
{
    return dynamic_cast<TSection&>((*cell.Content)[0]);
}

// A word of n characters.
u16 Word(int n, char16_t c = u'a')
{
    return u16(static_cast<std::size_t>(n), c);
}

// ---------------------------------------------------------------------------------------------------------------
// Column widths a reader notices

struct ColumnCase {
    const char* Name;
    std::vector<RowDef> Rows;
    AttributePairs TableAttrs;
    int Width; // of the page
    std::vector<int> Columns;
};

class ColumnWidths : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnWidths, FromTheCellsAndTheRoom)
{
    const ColumnCase& c = GetParam();
    TablePage page;
    TTableBlock& block = page.AddTable(c.Rows, c.TableAttrs);
    page.Layout(c.Width);
    const THtmlTable& table = *block.Table;
    EXPECT_EQ(table.ColWidths, c.Columns) << DumpLayout(page.Doc);
    int sum = 0;
    for (int w : table.ColWidths)
        sum += w;
    EXPECT_EQ(table.GridWidth, sum + table.CellSpacing);
}

const u16 Long37 = Word(37);
const u16 LongText = u"aaa bbb ccc ddd eee fff ggg";

INSTANTIATE_TEST_SUITE_P(
    Tables, ColumnWidths,
    ::testing::Values(
        // As wide as the content needs when it fits: the maxima, plus one spacing for the grid.
        ColumnCase{"AnAutoTableTakesItsMaxima", {{{u"aa bb"}, {u"c"}}}, {}, 800, {44, 12}},
        // Longest words that do not fit stand whole: the table overflows at its minima.
        ColumnCase{"ATooNarrowRoomKeepsTheMinima", {{{Word(10)}, {Word(12, u'b')}}}, {}, 100, {84, 100}},
        // 296 pixels of word, 2 of spacing and 2 of padding over three columns that hold nothing else.
        ColumnCase{"AColspanMinimumIsSpreadEvenly", {{{Long37, {{symColspan, u"3"}}}}}, {}, 200, {100, 100, 100}},
        ColumnCase{"PercentColumnsTakeTheirShareAndTheRestGoesToTheOthers",
                   {{{u"a", {{symWidth, u"20%"}}}, {u"b", {{symWidth, u"30%"}}}, {u"c"}}},
                   {{symWidth, u"100%"}},
                   800,
                   {159, 239, 400}},
        // A given cell width caps what long text asks for.
        ColumnCase{
            "AGivenCellWidthIsItsColumnsWidth", {{{LongText, {{symWidth, u"100"}}}, {u"x"}}}, {}, 800, {104, 12}},
        // A table of given width shares what its content leaves in proportion to how much more each column would
        // like: 40 and 16 pixels of 250.
        ColumnCase{"AFixedTableSharesTheRestByTheRoomWanted",
                   {{{u"aaaa bbbb"}, {u"c d"}}},
                   {{symWidth, u"300"}},
                   800,
                   {215, 83}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Tables, AShortRowsLastCellStretchesToTheLastColumn)
{
    TablePage page;
    TTableBlock& block = page.AddTable({{{u"a"}, {u"b"}, {u"c"}}, {{u"x"}, {u"yy"}}});
    page.Layout(800);
    const THtmlTable& table = *block.Table;
    ASSERT_EQ(table.ColumnCount, 3);
    const TCellObj& y = CellAt(table, 1, 1);
    EXPECT_EQ(y.ColSpan, 2);
    EXPECT_EQ(y.CellWidth, table.ColWidths[1] + table.ColWidths[2]) << DumpLayout(page.Doc);
    EXPECT_EQ(table.Rows[1]->Count(), 3);
}

TEST(Tables, RelativeColumnSpecsShareTheWidthByWeight)
{
    TablePage page;
    TTableBlock& block = page.AddTable({{{u"a"}, {u"b"}}}, {{symWidth, u"400"}});
    block.Table->AddColSpecs(1, TWidthSpec{1, TWidthType::wtRelative}, u"", 0);
    block.Table->AddColSpecs(1, TWidthSpec{3, TWidthType::wtRelative}, u"", 0);
    page.Layout(800);
    // 398 pixels between the spacing, a quarter and three quarters.
    EXPECT_EQ(block.Table->ColWidths, (std::vector<int>{99, 299})) << DumpLayout(page.Doc);
}

TEST(Tables, SpacingAndPaddingCountInEveryColumn)
{
    TablePage page;
    TTableBlock& block = page.AddTable({{{u"aa"}, {u"b"}}}, {{symCellspacing, u"10"}, {symCellpadding, u"5"}});
    page.Layout(800);
    // 16 + 10 + 2 * 5 and 8 + 10 + 2 * 5; the grid ends with one more spacing.
    EXPECT_EQ(block.Table->ColWidths, (std::vector<int>{36, 28}));
    EXPECT_EQ(block.Table->GridWidth, 74);
    EXPECT_EQ(block.ContentWidth, 74);
    const TSection& b = TextOf(CellAt(*block.Table, 0, 1));
    EXPECT_EQ(b.BoxTop, 10 + 5);
}

TEST(Tables, PercentPaddingsAreOfTheTablesWidth)
{
    TablePage page;
    TTableBlock& block =
        page.AddTable(TableDef{{{{u"a", {}, {{u"padding-left", u"10%"}}}, {u"b"}}}, {{symWidth, u"300"}}});
    page.Layout(800);
    const TCellObj& a = CellAt(*block.Table, 0, 0);
    // A tenth of the 298 pixels inside the table's spacing; the other sides keep cellpadding.
    EXPECT_EQ(a.PadLeft, 29);
    EXPECT_EQ(a.PadRight, 1);
    EXPECT_EQ(CellAt(*block.Table, 0, 1).PadLeft, 1);
}

struct LimitCase {
    const char* Name;
    AttributePairs Attrs;
    StyleValues Style;
    int Spacing, Padding, Border;
};

class TableLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(TableLimits, AttributesAreKeptInRange)
{
    const LimitCase& c = GetParam();
    TablePage page;
    TTableBlock& block = page.AddTable({{{u"a"}}}, c.Attrs, c.Style);
    EXPECT_EQ(block.Table->CellSpacing, c.Spacing);
    EXPECT_EQ(block.Table->CellPadding, c.Padding);
    EXPECT_EQ(block.Table->BorderWidth, c.Border);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, TableLimits,
    ::testing::Values(LimitCase{"Defaults", {}, {}, 2, 1, 0},
                      LimitCase{"LargeValuesAreCut",
                                {{symCellspacing, u"100"}, {symCellpadding, u"80"}, {symBorder, u"500"}},
                                {},
                                40,
                                50,
                                100},
                      LimitCase{
                          "NegativeValuesAreCut", {{symCellspacing, u"-5"}, {symCellpadding, u"-3"}}, {}, -1, 0, 0},
                      LimitCase{"ABorderWithoutValueIsOne", {{symBorder, u""}}, {}, 2, 1, 1},
                      LimitCase{"CollapsedBordersShareALine",
                                {{symCellspacing, u"8"}},
                                {{u"border-collapse", u"collapse"}},
                                -1,
                                1,
                                0},
                      LimitCase{"AStyleSheetBorderWidthWinsOverTheAttribute",
                                {{symBorder, u"4"}},
                                {{u"border-top-width", u"2px"}},
                                2,
                                1,
                                0}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------------------------
// Row heights and vertical alignment

TEST(Tables, ASingleRowTableOfGivenHeightGivesTheRowAllOfIt)
{
    TablePage page;
    TTableBlock& block = page.AddTable({{{u"a"}}}, {{symHeight, u"200"}});
    page.Layout(800);
    const THtmlTable& table = *block.Table;
    EXPECT_EQ(table.RowHeights, (std::vector<int>{198}));
    EXPECT_EQ(table.BoxHeight, 200);
    // Centred in the 198 - 2 pixels between the spacing and the paddings.
    const TCellObj& cell = CellAt(table, 0, 0);
    EXPECT_EQ(cell.VAlignOffset, (198 - 2 - 2 - LineH) / 2);
    EXPECT_EQ(TextOf(cell).BoxTop, 2 + 1 + cell.VAlignOffset) << DumpLayout(page.Doc);
}

TEST(Tables, CellsAlignInTheirRow)
{
    TablePage page;
    // The first cell is one character wide, so its three words make three lines.
    TTableBlock& block = page.AddTable({{{u"a b c", {{symWidth, u"8"}}},
                                         {u"top", {}, {{u"vertical-align", u"top"}}},
                                         {u"middle"},
                                         {u"bottom", {}, {{u"vertical-align", u"bottom"}}}}});
    page.Layout(800);
    const THtmlTable& table = *block.Table;
    const int row = 3 * LineH + 2 + 2;
    EXPECT_EQ(table.RowHeights, (std::vector<int>{row}));
    const int room = row - LineH - 2 - 2;
    EXPECT_EQ(TextOf(CellAt(table, 0, 1)).BoxTop, 3);
    EXPECT_EQ(TextOf(CellAt(table, 0, 2)).BoxTop, 3 + room / 2);
    EXPECT_EQ(TextOf(CellAt(table, 0, 3)).BoxTop, 3 + room) << DumpLayout(page.Doc);
}

TEST(Tables, ARowspanIsCutAtTheTablesEnd)
{
    TablePage page;
    TTableBlock& block = page.AddTable({{{u"A", {{symRowspan, u"5"}}}, {u"b"}}, {{u"c"}}});
    page.Layout(800);
    const THtmlTable& table = *block.Table;
    const TCellObj& a = CellAt(table, 0, 0);
    EXPECT_EQ(a.RowSpan, 2);
    EXPECT_EQ(a.SpanHeight, table.RowHeights[0] + table.RowHeights[1]);
    // The second row's cell stands in the second column, beside the spanning cell.
    EXPECT_TRUE(CellAt(table, 1, 0).IsFiller());
    EXPECT_EQ(TextOf(CellAt(table, 1, 1)).Text, u"c ");
    EXPECT_EQ(table.BoxHeight, table.RowHeights[0] + table.RowHeights[1] + 2);
}

TEST(Tables, ATallRowspanningCellSharesWhatItNeedsAmongItsRows)
{
    TablePage page;
    // Four lines in the spanning cell: 64 + 2 + 2 pixels over two rows of 20 each.
    TTableBlock& block =
        page.AddTable({{{u"aaa bbb ccc ddd", {{symRowspan, u"2"}, {symWidth, u"24"}}}, {u"x"}}, {{u"y"}}});
    page.Layout(800);
    const THtmlTable& table = *block.Table;
    EXPECT_EQ(table.RowHeights, (std::vector<int>{34, 34})) << DumpLayout(page.Doc);
    EXPECT_EQ(CellAt(table, 0, 0).SpanHeight, 68);
}

TEST(Tables, RowHeightsFromTheRowAttribute)
{
    TablePage page;
    TTableBlock& block = page.AddTable(
        TableDef{{{{u"a"}}, {{u"b"}}}, {}, {}, {}, {{{symHeight, u"300"}}, {{symHeight, u"50"}}}});
    page.Layout(800);
    // A row as tall as it says, however tall: the cell's height includes its padding, the row its spacing.
    EXPECT_EQ(block.Table->RowHeights, (std::vector<int>{302, 52}));
}

// ---------------------------------------------------------------------------------------------------------------
// Borders, backgrounds and empty cells

TEST(Tables, TheBorderAttributeRaisesAFrameAroundTheTable)
{
    TablePage page;
    TTableBlock& block = page.AddTable({{{u"a"}}}, {{symBorder, u"2"}});
    page.Layout(800);
    EXPECT_TRUE(block.HasBorder);
    EXPECT_TRUE(block.HasTableBorder);
    const TBorderSides sides = BorderSidesOf(block.Box);
    for (std::uint8_t style : sides.Styles)
        EXPECT_EQ(style, static_cast<std::uint8_t>(BorderStyle::Outset));
    // Left, top, right, bottom: lit from the top left.
    EXPECT_EQ(sides.Colors[0], clBtnHighlight);
    EXPECT_EQ(sides.Colors[1], clBtnHighlight);
    EXPECT_EQ(sides.Colors[2], clBtnShadow);
    EXPECT_EQ(sides.Colors[3], clBtnShadow);
    EXPECT_EQ(block.Margin(piBorderLeftWidth), 2);
    // A cell without border styles still keeps a pixel for the grid's lines.
    const TCellObj& cell = CellAt(*block.Table, 0, 0);
    EXPECT_EQ(cell.BrdLeft, 1);
    EXPECT_EQ(block.Table->ColWidths, (std::vector<int>{8 + 2 + 2 + 2}));
    EXPECT_EQ(block.ContentWidth, 16);
}

TEST(Tables, EmptyCellsDrawNoBorderUnlessShown)
{
    TablePage page;
    page.Doc.PageColor = clWhite;
    const StyleValues solid{{u"border-top-style", u"solid"}, {u"border-right-style", u"solid"},
                            {u"border-bottom-style", u"solid"}, {u"border-left-style", u"solid"},
                            {u"border-top-width", u"2px"}, {u"border-right-width", u"2px"},
                            {u"border-bottom-width", u"2px"}, {u"border-left-width", u"2px"},
                            {u"border-top-color", u"#000000"}, {u"border-right-color", u"#000000"},
                            {u"border-bottom-color", u"#000000"}, {u"border-left-color", u"#000000"}};
    TTableBlock& block = page.AddTable(TableDef{
        {{{u"aaaa"}, {u""}, {u"", {}, {{u"empty-cells", u"show"}}}}, {{u"bbbb"}, {u"cccc"}, {u"dddd"}}},
        {{symCellspacing, u"4"}},
        {},
        solid});
    page.Layout(300);
    const THtmlTable& table = *block.Table;
    const platform::Bitmap bitmap = page.Paint(300, 100);
    // The left border of each cell of the first row, half way down the row.
    const int y = 4 + table.RowHeights[0] / 2;
    int x = 0;
    std::vector<Color> lefts;
    for (int c = 0; c < 3; ++c) {
        lefts.push_back(bitmap.Pixel(x + 4, y));
        x += table.ColWidths[static_cast<std::size_t>(c)];
    }
    EXPECT_EQ(lefts, (std::vector<Color>{clBlack, clWhite, clBlack})) << DumpLayout(page.Doc);
}

TEST(Tables, CellBackgroundsFillTheCellAndRowColoursReachCellsWithout)
{
    TablePage page;
    TTableBlock& block = page.AddTable(TableDef{{{{u"aaaa", {{symBgcolor, u"#FF0000"}}}, {u"aaaa"}}},
                                                {{symCellpadding, u"4"}},
                                                {},
                                                {},
                                                {{{symBgcolor, u"#0000FF"}}}});
    page.Layout(300);
    const THtmlTable& t = *block.Table;
    const platform::Bitmap bitmap = page.Paint(300, 60);
    const int y = 2 + t.RowHeights[0] / 2;
    EXPECT_EQ(bitmap.Pixel(2 + 1, y), MakeColor(255, 0, 0));
    EXPECT_EQ(bitmap.Pixel(t.ColWidths[0] + 2 + 1, y), MakeColor(0, 0, 255));
    // The spacing between the cells stays the page's.
    EXPECT_EQ(bitmap.Pixel(t.ColWidths[0] + 1, y), clWhite);
}

// ---------------------------------------------------------------------------------------------------------------
// The table among other blocks

TEST(Tables, ACaptionWiderThanTheTableCentresItUnderneath)
{
    TablePage page;
    std::unique_ptr<TTableBlock> tableBlock = page.MakeTable(page.Doc, TableDef{{{{u"a"}}}});
    auto props = page.Element(u"table");
    auto wrapper = std::make_unique<TTableAndCaptionBlock>(page.Doc, *tableBlock, nullptr, page.Doc, *props);
    auto captionProps = page.Element(u"caption");
    auto caption = std::make_unique<TBlock>(page.Doc, nullptr, page.Doc, *captionProps);
    page.AddText(caption->Content, Word(25));
    wrapper->SetCaption(*caption, true);
    TTableBlock& t = *tableBlock;
    TBlock& c = *caption;
    wrapper->Content.AddSection(std::move(caption), 0);
    wrapper->Content.AddSection(std::move(tableBlock), 0);
    TTableAndCaptionBlock& w = page.AddTo(page.Doc, std::move(wrapper));
    page.Layout(800);
    EXPECT_EQ(w.ContentWidth, 200) << DumpLayout(page.Doc);
    EXPECT_EQ(c.BoxTop, 0);
    EXPECT_EQ(t.BoxTop, LineH);
    EXPECT_EQ(t.ContentWidth, 14);
    EXPECT_EQ(t.Margin(piMarginLeft), (200 - 14) / 2);
}

TEST(Tables, ATableStandsBesideAFloatAndCentresInWhatIsLeft)
{
    TablePage page;
    TBlock& left = page.AddBlock(u"div", {{u"float", u"left"}, {u"width", u"100px"}, {u"height", u"50px"}});
    page.AddText(left.Content, u"f");
    TTableBlock& block = page.AddTable({{{u"aaaa"}}}, {{symAlign, u"center"}});
    page.Layout(600);
    EXPECT_EQ(block.TableIndent, 100);
    // 500 pixels of room, 38 of table.
    EXPECT_EQ(block.Margin(piMarginLeft), (500 - 38) / 2) << DumpLayout(page.Doc);
}

TEST(Tables, AutoMarginsCentreATableOrPushItRight)
{
    TablePage page;
    TTableBlock& centred =
        page.AddTable(TableDef{{{{u"aaaa"}}}, {}, {{u"margin-left", u"auto"}, {u"margin-right", u"auto"}}});
    TTableBlock& right =
        page.AddTable(TableDef{{{{u"aaaa"}}}, {}, {{u"margin-left", u"auto"}, {u"margin-right", u"10px"}}});
    page.Layout(600);
    EXPECT_EQ(centred.Margin(piMarginLeft), (600 - 38) / 2);
    EXPECT_EQ(right.Margin(piMarginLeft), 600 - 38 - 10);
}

TEST(Tables, AnAlignedTableFloatsAndTakesItsSpaces)
{
    TablePage page;
    TTableBlock& block = page.AddTable({{{u"aaaa"}}}, {{symAlign, u"right"}, {symHspace, u"10"}, {symVspace, u"5"}});
    TSection& after = page.AddText(page.Doc, u"text");
    page.Layout(600);
    EXPECT_TRUE(block.Floats());
    EXPECT_TRUE(block.Table->IsFloating);
    EXPECT_EQ(block.Margin(piMarginLeft), 10);
    EXPECT_EQ(block.Margin(piMarginTop), 5);
    // Text flows on the left of it from the top.
    EXPECT_EQ(after.BoxTop, 0);
    EXPECT_EQ(after.Lines[0].AvailableWidth, 600 - 38 - 20) << DumpLayout(page.Doc);
}

TEST(Tables, NestedTablesLayTheirCellsOutAtTheirFinalPlace)
{
    TablePage page;
    TSection& before = page.AddText(page.Doc, u"before");
    TTableBlock& outer = page.AddTable({{{u"x"}, {u""}}, {{u"y"}, {u"z"}}});
    TCellObj& host = CellAt(*outer.Table, 0, 1);
    TTableBlock& inner = page.AddTable(*host.Content, TableDef{{{{u"ab"}, {u"cd"}}, {{u"ef"}}}});
    page.Layout(800);
    page.Layout(800);
    const THtmlTable& t = *inner.Table;
    // The outer row starts below the text, the inner table inside its cell's spacing and padding.
    const int innerTop = LineH + 2 + 1;
    EXPECT_EQ(inner.BoxTop, innerTop);
    EXPECT_EQ(TextOf(CellAt(t, 0, 0)).BoxTop, innerTop + 2 + 1) << DumpLayout(page.Doc);
    EXPECT_EQ(TextOf(CellAt(t, 1, 0)).BoxTop, innerTop + t.RowHeights[0] + 2 + 1);
    // Positions run row by row through both tables: before, x, ab, cd, ef, y, z.
    std::vector<const TSection*> order{&before,
                                       &TextOf(CellAt(*outer.Table, 0, 0)),
                                       &TextOf(CellAt(t, 0, 0)),
                                       &TextOf(CellAt(t, 0, 1)),
                                       &TextOf(CellAt(t, 1, 0)),
                                       &TextOf(CellAt(*outer.Table, 1, 0)),
                                       &TextOf(CellAt(*outer.Table, 1, 1))};
    for (std::size_t i = 1; i < order.size(); ++i)
        EXPECT_EQ(order[i]->FirstChar, order[i - 1]->FirstChar + order[i - 1]->CharCount) << i;
    EXPECT_EQ(outer.Table->FirstChar, before.CharCount);
    EXPECT_EQ(outer.Table->CharCount, order.back()->FirstChar + order.back()->CharCount - before.CharCount);
}

// ---------------------------------------------------------------------------------------------------------------
// Questions about points and positions

TEST(Tables, HitsFindTheCellUnderThePointWithItsLinkAndTitle)
{
    TablePage page;
    TTableBlock& block = page.AddTable({{{u"aaaa"}, {u"bbbb", {{symHref, u"cell.htm"}}, {}}}});
    CellAt(*block.Table, 0, 1).Content->CellTitle = u"second";
    page.Layout(300);
    page.Paint(300, 60);
    const THtmlTable& table = *block.Table;
    std::unique_ptr<TUrlTarget> target;
    TFormControlObj* control = nullptr;
    u16 title;
    const int secondX = table.ColWidths[0] + 4;
    EXPECT_EQ(page.Doc.HitLink(page.Canvas, secondX, 5, target, control, title), THitKinds(hkLink | hkTitle));
    ASSERT_TRUE(target);
    EXPECT_EQ(target->Url, u"cell.htm");
    EXPECT_EQ(title, u"second");
    EXPECT_EQ(page.Doc.HitLink(page.Canvas, 5, 5, target, control, title), THitKinds(0));
    EXPECT_EQ(page.Doc.HitLink(page.Canvas, table.GridWidth + 20, 5, target, control, title), THitKinds(0));
}

TEST(Tables, SearchAndSourcePositionsPassThroughTheCells)
{
    TablePage page;
    TTableBlock& table = page.AddTable({{{u"one"}, {u"two"}}, {{u"three"}}});
    page.Layout(800);
    // A finished text ends in a space: "one " takes positions 0 to 3, "two " 4 to 7, "three " 8 to 13.
    EXPECT_EQ(page.Doc.SearchForward(0, u"two", true), 4);
    EXPECT_EQ(page.Doc.SearchForward(5, u"t", true), 8);
    EXPECT_EQ(page.Doc.SearchBackward(13, u"t", true), 8);
    // Source positions count the characters as they were fed: "three" starts at 6.
    EXPECT_EQ(page.Doc.SourceToDocPos(7, false), 9);
    EXPECT_EQ(page.Doc.DocToSourcePos(4), 3);
    // The caret goes where the cell's own text puts it.
    int x = 0, y = 0, ownX = 0, ownY = 0;
    EXPECT_TRUE(page.Doc.CaretToPoint(nullptr, 9, x, y));
    ASSERT_TRUE(TextOf(CellAt(*table.Table, 1, 0)).CaretToPoint(nullptr, 9, ownX, ownY));
    EXPECT_EQ(x, ownX);
    EXPECT_EQ(y, ownY);
    EXPECT_GE(y, table.Table->RowHeights[0]);
}

// Each cell's text ends its line, as a paragraph does.
TEST(Tables, CopiedTextTakesTheCellsInOrder)
{
    TablePage page;
    page.AddTable({{{u"one"}, {u"two"}}, {{u"three"}}});
    page.Layout(800);
    page.Doc.SelStart = 1;
    page.Doc.SelEnd = 11;
    EXPECT_EQ(page.Doc.SelectionText(), u"ne\r\ntwo\r\nthr");
}

} // namespace
} // namespace lantern::testlayout
