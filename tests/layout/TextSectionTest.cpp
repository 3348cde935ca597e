// Collecting and finishing text, font runs, widths and source positions of text sections.
#include "LayoutFixture.h"
#include "markup/Attributes.h"

#include <gtest/gtest.h>

namespace lantern::testlayout {
namespace {

struct FinishCase {
    const char* Name;
    u16v Collected;
    u16v Finished;
    std::string Classes; // break classes of the finished text, without the final sentinel
};

class FinishingText : public ::testing::TestWithParam<FinishCase> {};

TEST_P(FinishingText, WhiteSpaceCollapsesAndOneSpaceEndsTheText)
{
    TestPage page;
    auto section = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
    page.Feed(*section, GetParam().Collected);
    section->FinishText(1000);
    EXPECT_EQ(ToUtf8(section->Text), ToUtf8(GetParam().Finished));
    EXPECT_EQ(section->CharCount, static_cast<int>(GetParam().Finished.size()));
    EXPECT_EQ(section->BreakClasses, GetParam().Classes + "y");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FinishingText,
    ::testing::Values(FinishCase{"LeadingAndDoubleSpaces", u"  a   b  ", u"a b ", "yyyy"},
                      FinishCase{"SoftHyphenMarksTheCharacterBefore", u"ab\u00ADcd", u"abcd ", "ysyyy"},
                      FinishCase{"SpacesAroundABreakGo", u"a \u0008 b", u"a\u0008b ", "yyyy"},
                      FinishCase{"FinalBreakGoes", u"ab\u0008", u"ab ", "yyy"},
                      FinishCase{"ALoneBreakStays", u"\u0008", u"\u0008", "y"},
                      FinishCase{"OnlySpacesLeaveNothing", u"   ", u"", ""},
                      FinishCase{"SoftHyphenThatLeavesSpacesTogether", u"a \u00AD b", u"a b ", "ysyy"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FinishingText, NoWrapSpacesCollapseToTheOneThatMayWrap)
{
    TestPage page;
    auto section = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
    page.Feed(*section, u"a ");
    page.Doc.NoBreak = true;
    page.Feed(*section, u" b");
    section->FinishText(0);
    EXPECT_EQ(ToUtf8(section->Text), "a b ");
    EXPECT_EQ(section->BreakClasses.substr(0, 3), "yyn");
}

TEST(FinishingText, RunsMoveBackWithTheDeletedCharacters)
{
    TestPage page;
    auto bold = PropsWith(UniformFont(10));
    auto section = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
    page.Feed(*section, u"  a   ");
    section->SwitchFont(*bold);
    page.Feed(*section, u"bb");
    section->SwitchFont(*page.Props);
    section->FinishText(0);
    ASSERT_EQ(ToUtf8(section->Text), "a bb ");
    ASSERT_EQ(section->Fonts.Count(), 3);
    EXPECT_EQ(section->Fonts[1].StartPos, 2);
    // The run that started at the end of the text owns nothing: the final space stays in the bold run.
    EXPECT_EQ(section->Fonts[2].StartPos, 5);
    EXPECT_EQ(section->Fonts.RunIndexAt(4), 1);
}

TEST(FinishingText, ARunLeftEmptyByCollapsingGoes)
{
    TestPage page;
    auto other = PropsWith(UniformFont(10));
    auto section = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
    page.Feed(*section, u"a ");
    section->SwitchFont(*other);
    page.Feed(*section, u" ");
    section->SwitchFont(*page.Props);
    page.Feed(*section, u"b");
    section->FinishText(0);
    EXPECT_EQ(ToUtf8(section->Text), "a b ");
    ASSERT_EQ(section->Fonts.Count(), 2);
    EXPECT_EQ(section->Fonts[1].StartPos, 2);
}

TEST(Collecting, TextTransformAndSmallCapsFollowTheCurrentElement)
{
    TestPage page;
    // A 20-pixel font: "small" is 12 points, 16 pixels.
    TProperties& top =
        page.Doc.PropStack.Add(PropsWith(UniformFont(8, 15, 5), {{u"font-variant", u"small-caps"}}));
    auto section = std::make_unique<TSection>(page.Doc, true, nullptr, top, nullptr);
    page.Feed(*section, u"aB1c");
    section->FinishText(0);
    EXPECT_EQ(ToUtf8(section->Text), "AB1C ");
    // Lower-case letters become capitals of a smaller font; the digit keeps the run it follows.
    std::vector<int> starts;
    for (int i = 0; i < section->Fonts.Count(); ++i)
        starts.push_back(section->Fonts[i].StartPos);
    EXPECT_EQ(starts, (std::vector<int>{0, 1, 3, 5})); // the run opened at the end stays past the final space
    EXPECT_LT(section->Fonts[0].Font->EmSize, section->Fonts[1].Font->EmSize);
    EXPECT_LT(section->Fonts[2].Font->EmSize, section->Fonts[1].Font->EmSize);
    EXPECT_EQ(page.Doc.PropStack.Count(), 1);

    top.SetPropByName(u"font-variant", u"normal");
    top.SetPropByName(u"text-transform", u"uppercase");
    auto shouted = std::make_unique<TSection>(page.Doc, true, nullptr, top, nullptr);
    page.Feed(*shouted, u"quiet");
    EXPECT_EQ(ToUtf8(shouted->Text), "QUIET");
}

TEST(FinishingText, PreformattedTextKeepsItsSpaces)
{
    TestPage page;
    auto& s = page.Add<TPreFormated>(u"  a   b");
    EXPECT_EQ(ToUtf8(s.Text), "  a   b ");
    EXPECT_EQ(s.BreakClasses.substr(0, 7), "nnnnnnn");
}

TEST(Cells, AnEmptyTextSectionIsDiscardedUnlessItMatters)
{
    TestPage page;
    page.Add(u"   ");
    EXPECT_EQ(page.Doc.Count(), 0);
    page.Add<TPreFormated>(u"");
    auto cleared = PropsWith(UniformFont(), {{u"clear", u"both"}});
    page.Add(u" ", {}, cleared.get());
    EXPECT_EQ(page.Doc.Count(), 2);
}

TEST(Cells, ADiscardedSectionLeavesTheIdTable)
{
    TestPage page;
    TAttributeList attrs;
    attrs.Add(std::make_unique<TAttribute>(symId, 0, u"ID", u"Here", 0));
    auto s = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, &attrs);
    EXPECT_EQ(page.Doc.IdTable.Find(u"here"), s.get());
    page.Doc.AddSection(std::move(s), 0);
    EXPECT_EQ(page.Doc.IdTable.Find(u"here"), nullptr);
}

TEST(FontRuns, LinkRunsJoinTheDocumentsListAndLeaveIt)
{
    TestPage page;
    TUrlTarget link;
    link.SetLink(u"a.htm", u"", 0, nullptr);
    auto section = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
    page.Feed(*section, u"see ");
    section->SwitchFontForLink(true, *page.Props, link);
    page.Feed(*section, u"here");
    TUrlTarget none;
    section->SwitchFontForLink(false, *page.Props, none);
    page.Feed(*section, u" now");
    ASSERT_EQ(page.Doc.LinkList.size(), 1u);
    EXPECT_EQ(page.Doc.LinkList[0]->StartPos, 4);
    EXPECT_FALSE(section->Fonts.Last().IsLink());
    section.reset();
    EXPECT_TRUE(page.Doc.LinkList.empty());
}

// ---------------------------------------------------------------------------------------------------------------
// Widths

struct WidthCase {
    const char* Name;
    u16v Text;
    int Min, Max;
    bool BreakWord = false;
};

class Widths : public ::testing::TestWithParam<WidthCase> {};

TEST_P(Widths, NarrowestAndWidest)
{
    TestPage page;
    if (GetParam().BreakWord)
        page.Props->SetPropByName(u"word-wrap", u"break-word");
    auto& s = page.Add(GetParam().Text);
    int mn = 0, mx = 0;
    s.MeasureWidths(page.Canvas, mn, mx);
    EXPECT_EQ(mn, GetParam().Min);
    EXPECT_EQ(mx, GetParam().Max);
}

INSTANTIATE_TEST_SUITE_P(Uniform, Widths,
                         ::testing::Values(WidthCase{"Words", u"aaa bbbbb cc", 40, 96},
                                           WidthCase{"HyphenStaysWithItsWord", u"ab-cdefg", 40, 64},
                                           WidthCase{"SoftHyphenDrawsADash", u"abc\u00ADdefg", 32, 56},
                                           WidthCase{"ForcedBreaksCutTheMaximum", u"aaaaaa\u0008bb", 48, 48},
                                           WidthCase{"Ideographs", u"中文字", 8, 24},
                                           WidthCase{"BreakWord", u"aaa bbbbb", 8, 72, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Widths, TheFirstWordCarriesTheIndent)
{
    TestPage page;
    page.Props->SetPropByName(u"text-indent", u"20px");
    auto& s = page.Add(u"aa bbb");
    int mn = 0, mx = 0;
    s.MeasureWidths(page.Canvas, mn, mx);
    EXPECT_EQ(mn, 36);
    EXPECT_EQ(mx, 68);
}

TEST(Widths, PreformattedTextIsNotWrappedAndItsMinimumIsCapped)
{
    TestPage page;
    u16 longLine(1000, u'x');
    auto& s = page.Add<TPreFormated>(longLine);
    int mn = 0, mx = 0;
    s.MeasureWidths(page.Canvas, mn, mx);
    EXPECT_EQ(mx, 8000);
    EXPECT_EQ(mn, 6000);
    page.Layout(300);
    EXPECT_EQ(s.Lines.size(), 1u);
    EXPECT_EQ(page.ScrollWidth, 8000);
}

// ---------------------------------------------------------------------------------------------------------------
// Positions

TEST(SourcePositions, MapBothWaysAcrossGaps)
{
    TestPage page;
    auto section = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
    TokenObj token;
    for (int i = 0; i < 3; ++i)
        token.AddChar(u"abc"[i], 10 + i); // "abc" at 10..12
    token.AddString(u"&", 20);            // a reference: one character from 20
    for (int i = 0; i < 2; ++i)
        token.AddChar(u"de"[i], 25 + i); // "de" at 25..26
    section->AppendToken(token);
    TSection& s = *section;
    page.Doc.AddSection(std::move(section), 27); // the final space at 27
    page.Layout(500);
    ASSERT_EQ(ToUtf8(s.Text), "abc&de ");
    EXPECT_EQ(s.DocToSourcePos(0), 10);
    EXPECT_EQ(s.DocToSourcePos(3), 20);
    EXPECT_EQ(s.DocToSourcePos(5), 26);
    EXPECT_EQ(s.DocToSourcePos(7), -1);
    EXPECT_EQ(s.SourceToDocPos(11, false), 1);
    EXPECT_EQ(s.SourceToDocPos(15, false), 3); // in a gap: the next run's first character
    EXPECT_EQ(s.SourceToDocPos(15, true), 2);  // backward: the run before's last
    EXPECT_EQ(s.SourceToDocPos(2, false), 0);
    EXPECT_EQ(s.SourceToDocPos(2, true), -1);
    EXPECT_EQ(s.SourceToDocPos(99, false), -1);
    EXPECT_EQ(s.SourceToDocPos(99, true), 6);
}

TEST(Search, FindsForwardAndBackward)
{
    TestPage page;
    page.Add(u"one two");
    auto& second = page.Add(u"Two three two");
    page.Layout(800);
    EXPECT_EQ(page.Doc.SearchForward(0, u"two", false), 4);
    EXPECT_EQ(page.Doc.SearchForward(5, u"two", false), second.FirstChar);
    EXPECT_EQ(page.Doc.SearchForward(5, u"two", true), second.FirstChar + 10);
    EXPECT_EQ(page.Doc.SearchBackward(second.FirstChar + 12, u"two", false), second.FirstChar);
    EXPECT_EQ(page.Doc.SearchForward(0, u"four", false), -1);
}

} // namespace
} // namespace lantern::testlayout
