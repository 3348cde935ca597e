// Tables as the builder reads them: implied rows, header and footer rows in their places, captions, column
// descriptions matched to the cells under them, the defaults cells take from their table, nesting and stray
// table tags.
#include "tests/builder/BuilderFixture.h"

#include "layout/Borders.h"
#include "layout/TableBlock.h"

#include <gtest/gtest.h>

namespace lantern::testbuilder {
namespace {

class TableStructure : public ::testing::TestWithParam<TTreeCase> {};

TEST_P(TableStructure, BuildsTheTree)
{
    const TBuiltPage page(GetParam().Html);
    EXPECT_EQ(page.BodyTree(), GetParam().Tree) << GetParam().Html;
}

const TTreeCase TableCases[] = {
    {"CellsWithoutARowGetOne", "<table><td>a<td>b</table>",
     "table\n  tr\n    td\n      text \"a \"\n    td\n      text \"b \"\n"},
    {"TextBeforeTheFirstRowGoesBeforeTheTable", "<table>x<tr><td>y</table>z",
     "text \"x \"\ntable\n  tr\n    td\n      text \"y \"\ntext \"z \"\n"},
    {"TheFooterFollowsTheBody", "<table><tfoot><tr><td>foot</tfoot><tbody><tr><td>body</table>",
     "table\n  tr\n    td\n      text \"body \"\n  tr\n    td\n      text \"foot \"\n"},
    {"AHiddenRowIsDropped", "<table><tr style=\"display:none\"><td>hidden<tr><td>shown</table>",
     "table\n  tr\n    td\n      text \"shown \"\n"},
    {"ACaptionWrapsTheTable", "<table><caption>c</caption><tr><td>a</table>",
     "table\n  caption\n    text \"c \"\n  table\n    tr\n      td\n        text \"a \"\n"},
    {"ABottomCaptionFollowsIt", "<table><caption align=bottom>c</caption><tr><td>a</table>",
     "table\n  table\n    tr\n      td\n        text \"a \"\n  caption\n    text \"c \"\n"},
    {"AStrayCaptionEndEndsTheTable", "<table><tr><td>a</caption>b",
     "table\n  tr\n    td\n      text \"a \"\ntext \"b \"\n"},
    {"ColumnsAreReadPast", "<table><colgroup><col width=10><col></colgroup><tr><td>a</table>",
     "table\n  tr\n    td\n      text \"a \"\n"},
    {"TableTagsOutsideATableAreReadPast", "a<tr><td>b</td></tr><caption>c</caption></table>d",
     "text \"abcd \"\n"},
    {"NestedTablesStayInTheirCell", "<table><tr><td>a<table><tr><td>b</table>c<td>d</table>",
     "table\n  tr\n    td\n      text \"a \"\n      table\n        tr\n          td\n            text \"b \"\n"
     "      text \"c \"\n    td\n      text \"d \"\n"},
};

INSTANTIATE_TEST_SUITE_P(Builder, TableStructure, ::testing::ValuesIn(TableCases),
                         TreeCaseName);

// The first table block of a cell, or of the cells inside its first table, depth first.
const TTableBlock* FirstTable(const TSectionBaseList& cell)
{
    for (int i = 0; i < cell.Count(); ++i) {
        if (const auto* table = dynamic_cast<const TTableBlock*>(&cell[i]))
            return table;
        if (const auto* block = dynamic_cast<const TBlock*>(&cell[i]))
            if (const TTableBlock* found = FirstTable(block->Content))
                return found;
    }
    return nullptr;
}

const TCellObj& CellOf(const TTableBlock& block, int row, int column)
{
    return *block.Table->Rows.at(static_cast<std::size_t>(row))->Cells.at(static_cast<std::size_t>(column));
}

TEST(TableBuilding, HeaderCellsAreCentredAndDataCellsLeftAligned)
{
    const TBuiltPage page("<table><tr><th>head<td>data<td align=right>right</table>");
    EXPECT_EQ(page.Text(u"head").TextAlign, 2);
    EXPECT_EQ(page.Text(u"data").TextAlign, 1);
    EXPECT_EQ(page.Text(u"right").TextAlign, 3);
}

TEST(TableBuilding, HeaderAndFooterRowsAreMarked)
{
    const TBuiltPage page("<table><thead><tr><td>h</thead><tfoot><tr><td>f</tfoot><tr><td>b</table>");
    const TTableBlock* block = FirstTable(page.Doc);
    ASSERT_TRUE(block);
    const auto& rows = block->Table->Rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]->Part, 0);
    EXPECT_EQ(rows[1]->Part, 1);
    EXPECT_EQ(rows[2]->Part, 2);
}

TEST(TableBuilding, TablesNestTenDeepAndDeeperTagsAreReadAsContent)
{
    std::string html;
    for (int i = 0; i < 11; ++i)
        html += "<table><tr><td>";
    html += "deep";
    TBuiltPage page(html);
    int depth = 0;
    const TSectionBaseList* cell = &page.Doc;
    const TTableBlock* innermost = nullptr;
    while (const TTableBlock* table = FirstTable(*cell)) {
        ++depth;
        innermost = table;
        cell = CellOf(*table, 0, 0).Content.get();
    }
    EXPECT_EQ(depth, 10);
    ASSERT_TRUE(innermost);
    // The eleventh table's row and cell are the tenth's next.
    ASSERT_EQ(innermost->Table->Rows.size(), 2u);
    EXPECT_EQ(Tree(*CellOf(*innermost, 1, 0).Content), "text \"deep \"\n");
    page.LayOutAndPaint(800);
}

TEST(TableBuilding, NowrapHoldsUnlessTheCellHasAPixelWidth)
{
    const TBuiltPage page("<table><tr><td nowrap>held text<td nowrap width=100>free text<td>plain text</table>");
    EXPECT_NE(page.Text(u"held").BreakClasses.find(BreakNever), std::string::npos);
    EXPECT_EQ(page.Text(u"free").BreakClasses.find(BreakNever), std::string::npos);
    EXPECT_EQ(page.Text(u"plain").BreakClasses.find(BreakNever), std::string::npos);
}

TEST(TableBuilding, ColumnAlignmentReachesTheCellsUnderIt)
{
    // The second row's first cell stands under the second column: the first is taken by the cell above.
    const TBuiltPage page("<table><col align=left><col align=right>"
                          "<tr><td rowspan=2>span<td>beside<tr><td>below<tr><td>first<td align=center>own"
                          "</table>");
    EXPECT_EQ(page.Text(u"span").TextAlign, 1);
    EXPECT_EQ(page.Text(u"beside").TextAlign, 3);
    EXPECT_EQ(page.Text(u"below").TextAlign, 3);
    EXPECT_EQ(page.Text(u"first").TextAlign, 1);
    // A cell's own alignment wins over its column's.
    EXPECT_EQ(page.Text(u"own").TextAlign, 2);
}

TEST(TableBuilding, ASingleColumnSpecLeavesSpansAndLaterColumnsAlone)
{
    const TBuiltPage page("<table><col align=right><tr><td colspan=3>title<tr><td>a<td>b<td>c</table>");
    EXPECT_EQ(page.Text(u"title").TextAlign, 3);
    EXPECT_EQ(page.Text(u"a").TextAlign, 3);
    EXPECT_EQ(page.Text(u"b").TextAlign, 1);
    const TTableBlock* block = FirstTable(page.Doc);
    ASSERT_TRUE(block);
    EXPECT_EQ(CellOf(*block, 0, 0).ColSpan, 3);
}

TEST(TableBuilding, ColumnSpecsCountOnlyBeforeTheFirstCell)
{
    const TBuiltPage page("<table><colgroup span=2 width=\"20%\"></colgroup><col width=\"3*\">"
                          "<tr><td>a</td><col width=50><td>b</table>");
    const TTableBlock* block = FirstTable(page.Doc);
    ASSERT_TRUE(block);
    const auto& specs = block->Table->ColumnSpecs;
    ASSERT_EQ(specs.size(), 3u);
    EXPECT_EQ(specs[0].Width, (TWidthSpec{200, TWidthType::wtPercent}));
    EXPECT_EQ(specs[1].Width, (TWidthSpec{200, TWidthType::wtPercent}));
    EXPECT_EQ(specs[2].Width, (TWidthSpec{3, TWidthType::wtRelative}));
    EXPECT_EQ(page.BodyTree(), "table\n  tr\n    td\n      text \"a \"\n    td\n      text \"b \"\n");
}

TEST(TableBuilding, ABorderedTableFramesItsCellsTheOtherWayRound)
{
    const TBuiltPage page("<table border=1><tr><td>a</table>"
                          "<table border=2 style=\"border-style:inset\"><tr><td>b</table>");
    const TTableBlock* raised = FirstTable(page.Doc);
    ASSERT_TRUE(raised);
    const TCellObj& sunken = CellOf(*raised, 0, 0);
    EXPECT_EQ(sunken.BrdLeft, 1);
    EXPECT_EQ(BorderSidesOf(sunken.Box).Styles[0], static_cast<std::uint8_t>(BorderStyle::Inset));
    const TTableBlock* inset = nullptr;
    for (int i = 0; i < page.Doc.Count() && !inset; ++i)
        if (const auto* body = dynamic_cast<const TBodyBlock*>(&page.Doc[i]))
            inset = dynamic_cast<const TTableBlock*>(&body->Content[1]);
    ASSERT_TRUE(inset);
    EXPECT_EQ(BorderSidesOf(CellOf(*inset, 0, 0).Box).Styles[0], static_cast<std::uint8_t>(BorderStyle::Outset));
}

TEST(TableBuilding, ATableCentredByItsSurroundingsOrItsAttribute)
{
    TBuiltPage page("<center><table><tr><td>a</table></center><table align=right><tr><td>b</table>");
    const TTableBlock* centred = FirstTable(page.Doc);
    ASSERT_TRUE(centred);
    EXPECT_EQ(centred->HorzPlacement, 2);
    page.LayOutAndPaint(400);
    EXPECT_GT(centred->Margin(piMarginLeft), 150);
}

} // namespace
} // namespace lantern::testbuilder
