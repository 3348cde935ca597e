// Blocks and the box model with the uniform 8-pixel font: margins and their collapsing, widths, floats,
// clearance, positioning, list items, rules and fieldsets.
#include "LayoutFixture.h"

#include "markup/Attributes.h"
#include "style/BoxValues.h"

#include <gtest/gtest.h>

namespace lantern::testlayout {
namespace {

// The document Y of a text section's first line.
int TextTop(const TSection& s)
{
    return s.BoxTop;
}

struct CollapseCase {
    const char* Name;
    u16v Bottom; // of the first block
    u16v Top;    // of the second
    int Gap;     // between their text
};

class MarginCollapsing : public ::testing::TestWithParam<CollapseCase> {};

TEST_P(MarginCollapsing, AdjoiningMarginsBecomeOne)
{
    const CollapseCase& c = GetParam();
    TestPage page;
    TBlock& first = page.AddBlock(u"div", {{u"margin-bottom", c.Bottom}});
    TSection& a = page.AddText(first.Content, u"a");
    TBlock& second = page.AddBlock(u"div", {{u"margin-top", c.Top}});
    TSection& b = page.AddText(second.Content, u"b");
    page.Layout(800);
    EXPECT_EQ(TextTop(b) - (TextTop(a) + LineH), c.Gap) << DumpLayout(page.Doc);
}

INSTANTIATE_TEST_SUITE_P(Blocks, MarginCollapsing,
                         ::testing::Values(CollapseCase{"BothPositive", u"14px", u"20px", 20},
                                           CollapseCase{"OneNegative", u"-5px", u"20px", 15},
                                           CollapseCase{"BothNegative", u"-5px", u"-10px", -10},
                                           CollapseCase{"Zero", u"0", u"0", 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Blocks, ParagraphGapsCollapseAndVanishAtTheTopOfTheirParent)
{
    TestPage page;
    TBlock& outer = page.AddBlock(u"div");
    auto gap = [&](TCellBasic& cell) -> TBlock& {
        auto props = page.Element(u"p");
        props->Props[piMarginTop] = PropValue(ParagraphGapMarker);
        props->Props[piMarginBottom] = PropValue(ParagraphGapMarker);
        return page.AddTo(cell, std::make_unique<TBlock>(page.Doc, nullptr, cell, *props));
    };
    TBlock& p1 = gap(outer.Content);
    TSection& a = page.AddText(p1.Content, u"a");
    TBlock& p2 = gap(outer.Content);
    TSection& b = page.AddText(p2.Content, u"b");
    page.Layout(800);
    EXPECT_EQ(p1.Margin(piMarginTop), 0);
    EXPECT_EQ(TextTop(a), 0);
    EXPECT_EQ(TextTop(b), LineH + 14);
    // The last gap of a cell is dropped once, so the builder can move it to the enclosing block.
    EXPECT_TRUE(DropTrailingGap(outer.Content));
    EXPECT_EQ(p2.Margin(piMarginBottom), 0);
    EXPECT_FALSE(DropTrailingGap(outer.Content));
    outer.TakeParagraphGap();
    EXPECT_EQ(outer.Margin(piMarginBottom), 14);
}

TEST(Blocks, TheFirstParagraphOfAListItemStartsAtItsTop)
{
    TestPage page;
    TBlockLI& item = page.AddBlock<TBlockLI>(page.Doc, u"li", {}, 1, 1, u'1', false, symUl);
    auto props = page.Element(u"p");
    props->Props[piMarginTop] = PropValue(ParagraphGapMarker);
    props->Props[piMarginBottom] = PropValue(ParagraphGapMarker);
    TBlock& p = page.AddTo(item.Content, std::make_unique<TBlock>(page.Doc, nullptr, item.Content, *props));
    TSection& text = page.AddText(p.Content, u"item");
    page.Layout(800);
    EXPECT_EQ(TextTop(text), item.BoxTop);
    // The item's own last gap goes too, inside it and out.
    EXPECT_TRUE(DropTrailingGap(page.Doc));
    EXPECT_EQ(p.Margin(piMarginBottom), 0);
}

TEST(Blocks, AutoMarginsCentreAGivenWidth)
{
    TestPage page;
    TBlock& box = page.AddBlock(u"div", {{u"width", u"200px"},
                                         {u"margin-left", u"auto"},
                                         {u"margin-right", u"auto"},
                                         {u"padding-left", u"10px"},
                                         {u"padding-right", u"10px"}});
    page.AddText(box.Content, u"centred");
    page.Layout(600);
    EXPECT_EQ(box.Margin(piMarginLeft), (600 - 200 - 20) / 2);
    EXPECT_EQ(box.ContentWidth, 200);
    EXPECT_EQ(box.BorderBoxAt(box.LayoutX()).left, 190);
    EXPECT_EQ(box.ContentOffset, 200);
}

struct WidthCase {
    const char* Name;
    StyleValues Style;
    int ContentWidth;
};

class BlockWidths : public ::testing::TestWithParam<WidthCase> {};

TEST_P(BlockWidths, ContentWidthFromTheRoomOffered)
{
    TestPage page;
    TBlock& box = page.AddBlock(u"div", GetParam().Style);
    page.AddText(box.Content, u"aaa bbb");
    page.Layout(600);
    EXPECT_EQ(box.ContentWidth, GetParam().ContentWidth) << DumpLayout(page.Doc);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockWidths,
    ::testing::Values(WidthCase{"FillsTheCell", {}, 600},
                      WidthCase{"LessMarginsPaddingsAndBorders",
                                {{u"margin-left", u"20px"},
                                 {u"padding-right", u"5px"},
                                 {u"border-left-style", u"solid"},
                                 {u"border-left-width", u"3px"}},
                                572},
                      WidthCase{"Percent", {{u"width", u"50%"}}, 300},
                      WidthCase{"BorderBoxTakesPaddingOut",
                                {{u"width", u"200px"}, {u"padding-left", u"10px"}, {u"box-sizing", u"border-box"}},
                                190},
                      WidthCase{"MaxWidthCapsTheAutomaticWidth", {{u"max-width", u"250px"}}, 250},
                      WidthCase{"MinWidthRaisesAGivenOne", {{u"width", u"100px"}, {u"min-width", u"150px"}}, 150},
                      WidthCase{"FloatShrinksToItsText", {{u"float", u"left"}}, 56},
                      WidthCase{"FloatWithAWidthKeepsIt", {{u"float", u"right"}, {u"width", u"100px"}}, 100}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Blocks, AFloatNarrowerThanItsTextWrapsAtTheRoom)
{
    TestPage page;
    TBlock& box = page.AddBlock(u"div", {{u"float", u"left"}});
    TSection& text = page.AddText(box.Content, u"aaa bbb ccc");
    page.Layout(40);
    EXPECT_EQ(box.ContentWidth, 40);
    EXPECT_EQ(TestPage::LineTexts(text), (std::vector<std::string>{"aaa", "bbb", "ccc"}));
}

// One long word (a line of code, say) overflows its block; the text beside it still wraps at the room.
TEST(Blocks, AWordWiderThanTheRoomOverflowsWithoutWideningItsBlock)
{
    TestPage page;
    TBlock& outer = page.AddBlock(u"div", {{u"margin-left", u"10px"}});
    TSection& text = page.AddText(outer.Content, u"aaa bbb ccc ddd");
    TBlock& inner = page.AddTo(outer.Content, std::make_unique<TBlock>(page.Doc, nullptr, outer.Content,
                                                                         *page.Element(u"div")));
    page.AddText(inner.Content, u"aaaaaaaaaaaaaaaaaaaa"); // 160 pixels
    page.Layout(110);
    EXPECT_EQ(outer.ContentWidth, 100);
    EXPECT_EQ(inner.ContentWidth, 100);
    EXPECT_EQ(TestPage::LineTexts(text), (std::vector<std::string>{"aaa bbb ccc", "ddd"}));
    EXPECT_EQ(page.ScrollWidth, 170) << DumpLayout(page.Doc);
}

TEST(Blocks, TextFlowsBesideAFloatThatTakesNoHeight)
{
    TestPage page;
    TBlock& left = page.AddBlock(u"div", {{u"float", u"left"}, {u"margin-right", u"4px"}});
    page.AddText(left.Content, u"aaa bbb");
    TBlock& right = page.AddBlock(u"div", {{u"float", u"right"}});
    page.AddText(right.Content, u"zz");
    TSection& text = page.AddText(page.Doc, u"ccc ddd eee fff ggg");
    page.Layout(200);
    EXPECT_EQ(left.BoxHeight, 0);
    EXPECT_EQ(TextTop(text), 0);
    ASSERT_FALSE(text.Lines.empty());
    EXPECT_EQ(text.Lines[0].LineIndent, 60); // 56 of text and 4 of margin
    EXPECT_EQ(text.Lines[0].AvailableWidth, 200 - 60 - 16);
    EXPECT_EQ(right.BorderBoxAt(right.LayoutX()).right, 200);
    // Below the floats the lines have the whole width.
    EXPECT_EQ(text.Lines.back().LineIndent, 0) << DumpLayout(page.Doc);
}

TEST(Blocks, ClearMovesBelowTheFloat)
{
    TestPage page;
    TBlock& floating = page.AddBlock(u"div", {{u"float", u"left"}, {u"height", u"50px"}});
    page.AddText(floating.Content, u"f");
    TBlock& cleared = page.AddBlock(u"div", {{u"clear", u"left"}});
    TSection& text = page.AddText(cleared.Content, u"below");
    page.Layout(400);
    EXPECT_EQ(cleared.Clearance, 50);
    EXPECT_EQ(TextTop(text), 50);
}

TEST(Blocks, HeightsGivenOrFromTheContent)
{
    TestPage page;
    TBlock& tall = page.AddBlock(u"div", {{u"height", u"100px"}, {u"border-bottom-style", u"solid"},
                                          {u"border-bottom-width", u"2px"}});
    page.AddText(tall.Content, u"one line");
    TBlock& grown = page.AddBlock(u"div", {{u"padding-top", u"4px"}});
    page.AddText(grown.Content, u"aaa bbb ccc");
    page.Layout(40);
    EXPECT_EQ(tall.BoxHeight, 102);
    EXPECT_EQ(grown.PaintTop, 102);
    EXPECT_EQ(grown.BoxHeight, 4 + 3 * LineH);
}

TEST(Blocks, HiddenOverflowReportsTheBlockWidthNotItsContent)
{
    for (bool hidden : {false, true}) {
        TestPage page;
        StyleValues clip = {{u"width", u"100px"}, {u"overflow", u"hidden"}};
        StyleValues open = {{u"width", u"100px"}};
        TBlock& box = page.AddBlock(u"div", hidden ? clip : open);
        page.AddText(box.Content, u"aaaaaaaaaaaaaaaaaaaa"); // 160 pixels
        page.Layout(400);
        EXPECT_EQ(box.ClipsOverflow, hidden);
        EXPECT_EQ(page.ScrollWidth, hidden ? 100 : 160);
    }
}

TEST(Blocks, RelativeOffsetsMoveTheBoxButNotTheFlow)
{
    TestPage page;
    TBlock& moved = page.AddBlock(u"div", {{u"position", u"relative"}, {u"top", u"10px"}, {u"left", u"5px"}});
    TSection& a = page.AddText(moved.Content, u"moved");
    TBlock& next = page.AddBlock(u"div");
    TSection& b = page.AddText(next.Content, u"next");
    page.Layout(400);
    EXPECT_EQ(TextTop(a), 10);
    EXPECT_EQ(moved.BoxHeight, LineH);
    EXPECT_EQ(TextTop(b), LineH);
    EXPECT_EQ(moved.BorderBoxAt(moved.LayoutX()).left, 5);
}

TEST(Blocks, AbsolutePositionTakesNoRoomAndPlacesFromItsContainer)
{
    TestPage page;
    TBlock& container = page.AddBlock(u"div", {{u"position", u"relative"}, {u"margin-left", u"30px"},
                                               {u"margin-top", u"20px"}});
    TBlock& placed = page.AddBlock(container.Content, u"div",
                                   {{u"position", u"absolute"}, {u"top", u"100px"}, {u"left", u"50px"},
                                    {u"width", u"80px"}});
    TSection& a = page.AddText(placed.Content, u"placed");
    TSection& b = page.AddText(container.Content, u"flow");
    page.Layout(400);
    EXPECT_EQ(placed.BoxHeight, 0);
    EXPECT_EQ(TextTop(b), 20);
    EXPECT_EQ(TextTop(a), 20 + 100);
    EXPECT_EQ(placed.BorderBoxAt(placed.LayoutX()).left, 30 + 50);
    EXPECT_GE(placed.ZOrder, 1);
}

TEST(Blocks, DisplayNoneTakesNothing)
{
    TestPage page;
    TBlock& gone = page.AddBlock(u"div", {{u"display", u"none"}});
    page.AddText(gone.Content, u"unseen");
    TSection& after = page.AddText(page.Doc, u"seen");
    page.Layout(400);
    EXPECT_EQ(gone.BoxHeight, 0);
    EXPECT_EQ(TextTop(after), 0);
    int x = 0, y = 0;
    EXPECT_FALSE(gone.CaretToPoint(&page.Canvas, 0, x, y));
}

TEST(Blocks, TheBodySpansThePageBetweenItsMargins)
{
    TestPage page;
    auto& body = page.AddBlock<TBodyBlock>(page.Doc, u"body", {{u"margin-left", u"10px"},
                                                               {u"margin-right", u"10px"},
                                                               {u"margin-top", u"5px"},
                                                               {u"background-color", u"#ff0000"}});
    TSection& text = page.AddText(body.Content, u"aaa bbb");
    page.Layout(60);
    EXPECT_EQ(body.ContentWidth, 40);
    EXPECT_EQ(TestPage::LineTexts(text), (std::vector<std::string>{"aaa", "bbb"}));
    EXPECT_EQ(TextTop(text), 5);
    EXPECT_EQ(page.Doc.PageColor & 0xFFFFFF, 0x0000FFu);
}

// ---------------------------------------------------------------------------------------------------------------
// List items

struct MarkerCase {
    const char* Name;
    THtmlSymbol List;
    char16_t Type;
    int Number;
    int Level;
    ListStyleType Style;
    std::string Text;
};

class ListMarkers : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(ListMarkers, StyleAndTextFromTheList)
{
    const MarkerCase& c = GetParam();
    TestPage page;
    TBlockLI& item = page.AddBlock<TBlockLI>(page.Doc, u"li", {}, c.Level, c.Number, c.Type, false, c.List);
    EXPECT_EQ(item.MarkerStyle, c.Style);
    EXPECT_EQ(ToUtf8(item.MarkerText()), c.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ListMarkers,
    ::testing::Values(MarkerCase{"Decimal", symOl, u'1', 3, 1, ListStyleType::Decimal, "3."},
                      MarkerCase{"UpperAlphaStopsAtZ", symOl, u'A', 27, 1, ListStyleType::UpperAlpha, "Z."},
                      MarkerCase{"LowerAlpha", symOl, u'a', 2, 1, ListStyleType::LowerAlpha, "b."},
                      MarkerCase{"LowerRomanStopsAtTwenty", symOl, u'i', 25, 1, ListStyleType::LowerRoman, "xx."},
                      MarkerCase{"UpperRoman", symOl, u'I', 4, 1, ListStyleType::UpperRoman, "IV."},
                      MarkerCase{"ZeroIsWrittenInDigits", symOl, u'a', 0, 1, ListStyleType::LowerAlpha, "0."},
                      MarkerCase{"NegativeInDigits", symOl, u'I', -2, 1, ListStyleType::UpperRoman, "-2."},
                      MarkerCase{"DiscAtTheFirstLevel", symUl, u'1', 1, 1, ListStyleType::Disc, ""},
                      MarkerCase{"CircleAtTheSecond", symUl, u'1', 1, 2, ListStyleType::Circle, ""},
                      MarkerCase{"SquareAtTheThird", symMenu, u'1', 1, 3, ListStyleType::Square, ""},
                      MarkerCase{"DefinitionsHaveNone", symDl, u'1', 1, 1, ListStyleType::None, ""},
                      MarkerCase{"OutsideAListADisc", symP, u'1', 1, 0, ListStyleType::Disc, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ListItems, AStyleOverridesTheTypeAndPlainListsHaveNoMarker)
{
    TestPage page;
    auto& styled = page.AddBlock<TBlockLI>(page.Doc, u"li", {{u"list-style-type", u"upper-roman"}}, 1, 3, u'a',
                                           false, symOl);
    EXPECT_EQ(ToUtf8(styled.MarkerText()), "III.");
    auto& plain = page.AddBlock<TBlockLI>(page.Doc, u"li", {}, 1, 1, u'1', true, symUl);
    EXPECT_EQ(plain.MarkerStyle, ListStyleType::None);
}

TEST(ListItems, ContentIsIndentedAndTheFirstBaselineKept)
{
    TestPage page;
    auto& item = page.AddBlock<TBlockLI>(page.Doc, u"li", {}, 1, 1, u'1', false, symOl);
    page.AddText(item.Content, u"first");
    auto& outside = page.AddBlock<TBlockLI>(page.Doc, u"li", {}, 0, 1, u'1', false, symP);
    page.AddText(outside.Content, u"second");
    int asked = 0;
    page.Doc.FirstLineBaseline = &asked;
    page.Layout(400);
    EXPECT_EQ(item.ContentOffset, 40);
    EXPECT_EQ(item.FirstBaseline, 16 - 4);
    EXPECT_EQ(outside.ContentOffset, 16 + 40);
    EXPECT_EQ(outside.FirstBaseline, LineH + 16 - 4);
    // The item's request does not take the document's: it is restored, still waiting.
    EXPECT_EQ(page.Doc.FirstLineBaseline, &asked);
}

// ---------------------------------------------------------------------------------------------------------------
// Rules and fieldsets

TAttributeList Attributes(std::initializer_list<std::tuple<THtmlSymbol, const char16_t*, double>> list)
{
    TAttributeList out;
    for (const auto& [symbol, value, number] : list)
        out.Add(std::make_unique<TAttribute>(symbol, number, u"", value, 0));
    return out;
}

TEST(Rules, WidthSizeAndAlignmentFromTheAttributes)
{
    struct Case {
        std::initializer_list<std::tuple<THtmlSymbol, const char16_t*, double>> Attributes;
        int Left, Width, Height;
    };
    for (const Case& c : {Case{{}, 0, 400, 2},
                          Case{{{symWidth, u"50%", 50}}, 100, 200, 2},
                          Case{{{symWidth, u"100", 100}, {symAlign, u"right", 0}, {symSize, u"5", 5}}, 300, 100, 5},
                          Case{{{symWidth, u"100", 100}, {symAlign, u"LEFT", 0}}, 0, 100, 2}}) {
        TestPage page;
        const TAttributeList attributes = Attributes(c.Attributes);
        auto props = page.Element(u"hr");
        auto line = std::make_unique<THorzLine>(page.Doc, *props, &attributes);
        THRBlock& block = page.AddTo(page.Doc, std::make_unique<THRBlock>(page.Doc, &attributes, page.Doc, *props));
        block.TakeRule(std::move(line), 0);
        page.Layout(400);
        EXPECT_EQ(block.Rule->RuleIndent, c.Left) << DumpLayout(page.Doc);
        EXPECT_EQ(block.Rule->RuleWidth, c.Width);
        EXPECT_EQ(block.BoxHeight, c.Height);
    }
}

TEST(Fieldsets, TheBorderRunsThroughTheMiddleOfATallLegend)
{
    for (int legendLines : {1, 3}) {
        TestPage page;
        auto& set = page.AddBlock<TFieldsetBlock>(page.Doc, u"fieldset");
        page.AddText(set.Legend, legendLines == 1 ? u"aa" : u"aa bb cc");
        TSection& text = page.AddText(set.Content, u"inside");
        page.Layout(2 * 10 + 2 * 1 + 32); // the legend has 32 pixels between the sides
        const int legendHeight = legendLines * LineH;
        const Rect border = set.BorderBoxAt(set.LayoutX());
        if (legendLines == 1) {
            EXPECT_EQ(border.top, 10); // the default top margin: the border crosses the legend anyway
            EXPECT_EQ(TextTop(text), 10 + 1 + 10);
        } else {
            EXPECT_EQ(border.top, legendHeight / 2) << DumpLayout(page.Doc);
            EXPECT_EQ(TextTop(text), legendHeight);
        }
    }
}

TEST(Blocks, TheDumpShowsBlocksWithTheirBoxesAndMargins)
{
    TestPage page;
    TBlock& box = page.AddBlock(u"div", {{u"margin-left", u"10px"}, {u"margin-top", u"4px"}, {u"float", u"left"}});
    page.AddText(box.Content, u"ab");
    page.Layout(100);
    EXPECT_EQ(DumpLayout(page.Doc), "block div.# x=10 y=4 w=16 h=16 margins=4,0,0,10 chars=0+3 float=left\n"
                                    "  text y=4 h=16 chars=0+3 lines=1\n"
                                    "    line y=4 h=16 x=0 w=16 chars=0+3 \"ab\"\n");
}

} // namespace
} // namespace lantern::testlayout
