// Where lines break, how they align, and how floats narrow them, with the uniform 8-pixel font.
#include "LayoutFixture.h"

#include <gtest/gtest.h>

namespace lantern::testlayout {
namespace {

using Lines = std::vector<std::string>;

struct BreakCase {
    const char* Name;
    u16v Text;
    int Width;
    Lines Expected;
    bool BreakWord = false;
    bool NoWrap = false;
};

class LineBreaking : public ::testing::TestWithParam<BreakCase> {};

TEST_P(LineBreaking, WordsLandOnTheirLines)
{
    const BreakCase& c = GetParam();
    TestPage page;
    if (c.BreakWord)
        page.Props->SetPropByName(u"word-wrap", u"break-word");
    page.Doc.NoBreak = c.NoWrap;
    TSection& s = page.Add(c.Text);
    page.Layout(c.Width);
    EXPECT_EQ(TestPage::LineTexts(s), c.Expected) << DumpLayout(page.Doc);
}

// 8 pixels a character: "aaa bbb" is 56 wide.
INSTANTIATE_TEST_SUITE_P(
    Uniform, LineBreaking,
    ::testing::Values(
        BreakCase{"RoomToSpare", u"aaa bbb ccc", 60, {"aaa bbb", "ccc"}},
        BreakCase{"ExactFitBeforeASpace", u"aaa bbb ccc", 56, {"aaa bbb", "ccc"}},
        BreakCase{"OnePixelShort", u"aaa bbb ccc", 55, {"aaa", "bbb", "ccc"}},
        BreakCase{"EverythingOnOneLine", u"aaa bbb ccc", 800, {"aaa bbb ccc"}},
        BreakCase{"LongWordStandsWhole", u"aa bbbbbbbbbb cc", 40, {"aa", "bbbbbbbbbb", "cc"}},
        BreakCase{"BreakWordSplitsIt", u"aa bbbbbbbbbb cc", 40, {"aa", "bbbbb", "bbbbb", "cc"}, true},
        BreakCase{"AfterAHyphen", u"well-known fact", 48, {"well-", "known", "fact"}},
        BreakCase{"AfterASlash", u"either/or", 56, {"either/", "or"}},
        BreakCase{"AtASoftHyphen", u"abc\u00ADdefgh ij", 40, {"abc-", "defgh", "ij"}},
        // "abc" fits in 24 but "abc-" does not: the word cannot end there, so it overflows as a whole part.
        BreakCase{"SoftHyphenWhoseDashDoesNotFit", u"abc\u00ADdef", 24, {"abc-", "def"}},
        BreakCase{"ForcedBreak", u"ab\u0008cd ef", 800, {"ab", "cd ef"}},
        BreakCase{"IdeographsBreakAnywhere", u"中文字符测试", 24, {"中文字", "符测试"}},
        BreakCase{"IdeographAfterLatin", u"ab中文", 24, {"ab中", "文"}},
        BreakCase{"NoWrapKeepsTheLine", u"aaa bbb ccc", 40, {"aaa bbb ccc"}, false, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(LineBreaking, AnOverlongWordWidensTheScrollExtent)
{
    TestPage page;
    page.Add(u"aa bbbbbbbbbbbb cc");
    page.Layout(40);
    EXPECT_EQ(page.ScrollWidth, 96);
}

TEST(LineBreaking, SoftHyphenLineDrawsAHyphen)
{
    TestPage page;
    TSection& s = page.Add(u"abc\u00ADdefgh");
    page.Layout(40);
    ASSERT_EQ(s.Lines.size(), 2u);
    EXPECT_TRUE(s.Lines[0].EndsWithHyphen);
    EXPECT_EQ(s.Lines[0].Width, 32); // "abc" and the drawn "-"
    EXPECT_FALSE(s.Lines[1].EndsWithHyphen);
}

struct AlignCase {
    const char* Name;
    u16v Align;
    std::vector<int> Indents;
};

class Alignment : public ::testing::TestWithParam<AlignCase> {};

// "aaaa bb cc" (80) in 100 pixels.
TEST_P(Alignment, LinesStartWhereTheirAlignmentPutsThem)
{
    TestPage page;
    page.Props->SetPropByName(u"text-align", GetParam().Align);
    TSection& s = page.Add(u"aaaa bb cc");
    page.Layout(100);
    std::vector<int> indents;
    for (const LineRec& l : s.Lines)
        indents.push_back(l.LineIndent);
    EXPECT_EQ(indents, GetParam().Indents);
}

INSTANTIATE_TEST_SUITE_P(Uniform, Alignment,
                         ::testing::Values(AlignCase{"Left", u"left", {0}}, AlignCase{"Center", u"center", {10}},
                                           AlignCase{"Right", u"right", {20}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Alignment, JustifyFillsEveryLineButTheLast)
{
    TestPage page;
    page.Props->SetPropByName(u"text-align", u"justify");
    TSection& s = page.Add(u"aa bb cc dd ee");
    page.Layout(70); // "aa bb cc" is 64
    ASSERT_EQ(TestPage::LineTexts(s), (Lines{"aa bb cc", "dd ee"}));
    EXPECT_EQ(s.Lines[0].JustifyExtra, 6);
    EXPECT_EQ(s.Lines[0].JustifySpaces, 2); // the spaces inside the line, not the one it ends with
    EXPECT_EQ(s.Lines[1].JustifyExtra, 0);
    EXPECT_EQ(s.Lines[1].LineIndent, 0);
}

TEST(Alignment, JustifyLeavesALineClosedByABreakAlone)
{
    TestPage page;
    page.Props->SetPropByName(u"text-align", u"justify");
    TSection& s = page.Add(u"aa bb\u0008cc dd ee ff gg");
    page.Layout(70);
    ASSERT_GE(s.Lines.size(), 2u);
    EXPECT_EQ(TestPage::LineTexts(s)[0], "aa bb");
    EXPECT_EQ(s.Lines[0].JustifyExtra, 0);
    EXPECT_GT(s.Lines[1].JustifyExtra, 0);
}

TEST(Alignment, TextIndentMovesOnlyTheFirstLine)
{
    TestPage page;
    page.Props->SetPropByName(u"text-indent", u"16px");
    TSection& s = page.Add(u"aaa bbb ccc");
    page.Layout(60);
    EXPECT_EQ(TestPage::LineTexts(s), (Lines{"aaa", "bbb ccc"}));
    EXPECT_EQ(s.Lines[0].LineIndent, 16);
    EXPECT_EQ(s.Lines[1].LineIndent, 0);
}

struct LineHeightCase {
    const char* Name;
    u16v Value;
    int GapAbove, GapBelow;
};

class LineHeights : public ::testing::TestWithParam<LineHeightCase> {};

TEST_P(LineHeights, LeadingIsSharedAboveAndBelow)
{
    TestPage page;
    page.Props->SetPropByName(u"line-height", GetParam().Value);
    TSection& s = page.Add(u"aaa bbb");
    page.Layout(40);
    ASSERT_EQ(s.Lines.size(), 2u);
    EXPECT_EQ(s.Lines[0].GapAbove, GetParam().GapAbove);
    EXPECT_EQ(s.Lines[0].GapBelow, GetParam().GapBelow);
    EXPECT_EQ(TestPage::LineTops(s)[1], LineH + GetParam().GapAbove + GetParam().GapBelow);
}

INSTANTIATE_TEST_SUITE_P(Uniform, LineHeights,
                         ::testing::Values(LineHeightCase{"Normal", u"normal", 0, 0},
                                           LineHeightCase{"Taller", u"24px", 4, 4},
                                           LineHeightCase{"OddPixelBelow", u"19px", 1, 2},
                                           LineHeightCase{"Smaller", u"10px", -3, -3},
                                           LineHeightCase{"Number", u"1.5", 4, 4}),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------------------------
// Floats in the text

TEST(FloatsInText, LinesBesideALeftFloatStartAfterIt)
{
    TestPage page;
    auto& s = page.Add(u"\u0004aaa bbb ccc ddd eee", Boxes({{40, 32, AlignmentCode::Left}}));
    page.Layout(100);
    EXPECT_EQ(TestPage::LineTexts(s), (Lines{"aaa bbb", "ccc ddd", "eee"}));
    EXPECT_EQ(TestPage::LineTops(s), (std::vector<int>{0, 16, 32}));
    EXPECT_EQ(s.Lines[0].LineIndent, 40);
    EXPECT_EQ(s.Lines[1].LineIndent, 40);
    EXPECT_EQ(s.Lines[2].LineIndent, 0);
    EXPECT_EQ(s.Objects[0].LayoutX, 0);
    EXPECT_EQ(s.Objects[0].LayoutY, 0);
}

TEST(FloatsInText, ARightFloatNarrowsTheRightEdge)
{
    TestPage page;
    page.Props->SetPropByName(u"text-align", u"right");
    auto& s = page.Add(u"\u0004aaa bbb", Boxes({{30, 20, AlignmentCode::Right}}));
    page.Layout(100);
    EXPECT_EQ(s.Objects[0].LayoutX, 70);
    EXPECT_EQ(s.Lines[0].LineIndent, 70 - 56);
}

TEST(FloatsInText, TwoLeftFloatsSitSideBySide)
{
    TestPage page;
    auto& s = page.Add(u"\u0004\u0004aaa", Boxes({{30, 20, AlignmentCode::Left}, {25, 20, AlignmentCode::Left}}));
    page.Layout(200);
    EXPECT_EQ(s.Objects[0].LayoutX, 0);
    EXPECT_EQ(s.Objects[1].LayoutX, 30);
    EXPECT_EQ(s.Objects[1].LayoutY, 0);
    EXPECT_EQ(s.Lines[0].LineIndent, 55);
}

TEST(FloatsInText, AFloatMetMidLineRemeasuresTheLine)
{
    // The float stands after "aaa ": placed at the line's top, the whole line is measured again beside it.
    TestPage page;
    auto& s = page.Add(u"aaa \u0004bbb ccc", Boxes({{40, 16, AlignmentCode::Left}}));
    page.Layout(100);
    EXPECT_EQ(s.Objects[0].LayoutY, 0);
    EXPECT_EQ(s.Lines[0].LineIndent, 40);
    EXPECT_EQ(TestPage::LineTexts(s), (Lines{"aaa bbb", "ccc"}));
}

TEST(FloatsInText, AFloatTooWideForTheRestOfTheLineGoesBelowIt)
{
    TestPage page;
    auto& s = page.Add(u"aaaaaaa \u0004bb", Boxes({{80, 20, AlignmentCode::Left}}));
    page.Layout(100);
    EXPECT_EQ(s.Objects[0].LayoutY, LineH);
    EXPECT_EQ(s.Objects[0].LayoutX, 0);
    EXPECT_EQ(s.Lines[0].LineIndent, 0);
}

TEST(FloatsInText, AWordTooWideBesideAFloatMovesBelowIt)
{
    TestPage page;
    auto& s = page.Add(u"\u0004aaaaaaa", Boxes({{60, 40, AlignmentCode::Left}}));
    page.Layout(100);
    // The float's mark makes a line of its own, then a spacer reaches down to the float's end.
    ASSERT_EQ(s.Lines.size(), 3u);
    EXPECT_EQ(s.Lines[1].LineChars, 0);
    EXPECT_EQ(s.Lines[1].LineHeight, 40);
    EXPECT_EQ(TestPage::LineTops(s)[2], 40);
    EXPECT_EQ(s.Lines[2].LineIndent, 0);
    EXPECT_EQ(TestPage::LineTexts(s).back(), "aaaaaaa");
}

TEST(FloatsInText, ACellLengthensToItsFloatsBottom)
{
    TestPage page;
    page.Add(u"\u0004ab", Boxes({{20, 50, AlignmentCode::Left}}));
    EXPECT_EQ(page.Layout(100), 50);
    EXPECT_EQ(page.Doc[0].BoxHeight, LineH);
}

TEST(FloatsInText, FloatsNarrowTheLinesOfLaterSections)
{
    TestPage page;
    page.Add(u"\u0004a", Boxes({{30, 40, AlignmentCode::Left}}));
    TSection& next = page.Add(u"bbb");
    page.Layout(100);
    EXPECT_EQ(next.BoxTop, LineH);
    EXPECT_EQ(next.Lines[0].LineIndent, 30);
}

TEST(FloatsInText, ClearMovesTheTextBelowTheFloat)
{
    TestPage page;
    page.Add(u"\u0004a", Boxes({{30, 40, AlignmentCode::Left}}));
    auto cleared = PropsWith(UniformFont(), {{u"clear", u"left"}});
    TSection& next = page.Add(u"bbb", {}, cleared.get());
    page.Layout(100);
    ASSERT_EQ(next.Lines.size(), 2u);
    EXPECT_EQ(next.Lines[0].LineChars, 0);
    EXPECT_EQ(TestPage::LineTops(next)[1], 40);
    EXPECT_EQ(next.Lines[1].LineIndent, 0);
}

TEST(InlineObjects, ATallInlineObjectRaisesItsLine)
{
    TestPage page;
    auto& s = page.Add(u"ab\u0004cd", Boxes({{20, 30}}));
    page.Layout(200);
    ASSERT_EQ(s.Lines.size(), 1u);
    // Standing on the baseline: 30 pixels above the descent.
    EXPECT_EQ(s.Lines[0].GapAbove, 30 + 4 - LineH);
    EXPECT_EQ(s.Lines[0].Width, 4 * Advance + 20);
    EXPECT_EQ(s.BoxHeight, 34);
}

} // namespace
} // namespace lantern::testlayout

namespace lantern::testlayout {
namespace {

// A control of a given size, as a form would place one.
class TFakeControl final : public TFormControlObj {
public:
    TFakeControl(int width, int height) : width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int width) override { width_ = width; }

private:
    int width_, height_;
};

TEST(ControlsInText, AControlTakesItsWidthAndMarginsOnTheLine)
{
    TestPage page;
    TFakeControl control(26, 20);
    control.HSpaceL = control.HSpaceR = 2;
    auto section = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
    page.Feed(*section, u"ab");
    section->PlaceControl(control, page.Source++);
    page.Feed(*section, u"cd");
    TSection& s = *section;
    page.Doc.AddSection(std::move(section), page.Source);
    page.Layout(50); // "ab" and the control make 46
    ASSERT_EQ(s.Lines.size(), 2u);
    EXPECT_EQ(s.Lines[0].LineChars, 3);
    EXPECT_EQ(s.Lines[0].Width, 46);
    // Bottom-aligned: the control's height with its one-pixel margins above the line's text.
    EXPECT_EQ(s.Lines[0].GapAbove, 22 - LineH);
    EXPECT_EQ(control.YValue, 0);
}

TEST(ControlsInText, APercentageWidthFollowsTheAvailableWidth)
{
    TestPage page;
    TFakeControl control(0, 10);
    control.PercentWidth = true;
    control.StyleWidth = 50;
    control.HSpaceL = control.HSpaceR = 5;
    auto section = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
    section->PlaceControl(control, 0);
    page.Doc.AddSection(std::move(section), 1);
    page.Layout(300);
    EXPECT_EQ(control.Width(), 150);
    page.Layout(12);
    EXPECT_EQ(control.Width(), 10); // never narrower than 10
}

} // namespace
} // namespace lantern::testlayout
