// Painting text and asking about what was painted, with the uniform 8-pixel font: the selection in pixels, points
// to characters and back, links under the pointer, the selection as text, and painting only what is near the
// screen.
#include "LayoutFixture.h"

#include <gtest/gtest.h>

namespace lantern::testlayout {
namespace {

constexpr Color White = 0xFFFFFF, Black = 0x000000, Green = 0x00FF00;

bool AnyPixel(const platform::Bitmap& p, int left, int right, int top, int bottom, Color c)
{
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (p.Pixel(x, y) == c)
                return true;
    return false;
}

TEST(TextPainting, ASelectionCoversExactlyTheSelectedCharacters)
{
    TestPage page;
    page.AddText(page.Doc, u"aaaa bbbb cccc");
    page.Layout(400);
    page.Doc.SelStart = 2;
    page.Doc.SelEnd = 7;
    const auto p = page.Paint(200, 20);
    // The selected cells are filled with the text colour, from the top of the cell to the bottom.
    for (int y : {0, 15}) {
        EXPECT_EQ(p.Pixel(2 * Advance - 1, y), White);
        EXPECT_EQ(p.Pixel(2 * Advance, y), Black);
        EXPECT_EQ(p.Pixel(7 * Advance - 1, y), Black);
        EXPECT_EQ(p.Pixel(7 * Advance, y), White);
    }
    // The glyphs inside show in the inverse colour.
    EXPECT_TRUE(AnyPixel(p, 2 * Advance, 4 * Advance, 2, 14, White));
}

TEST(TextPainting, SelectedTextOnItsOwnBackgroundTakesThatColour)
{
    TestPage page;
    auto props = page.Element(u"span", {{u"background-color", u"#00ff00"}});
    props->CachedFont->BackColor = Green;
    page.AddText(page.Doc, u"aaaa", props.get());
    page.Layout(400);
    page.Doc.SelStart = 0;
    page.Doc.SelEnd = 2;
    const auto p = page.Paint(100, 20);
    EXPECT_EQ(p.Pixel(0, 0), Black);                                     // selected: on the text colour
    EXPECT_TRUE(AnyPixel(p, 0, 2 * Advance, 2, 14, Green));              // in the background's colour
    EXPECT_EQ(p.Pixel(3 * Advance, 0), Green);                           // unselected: on its background
    EXPECT_EQ(p.Pixel(4 * Advance, 0), White);                           // the final space is not drawn
}

TEST(TextPainting, TheDummyCaretStandsBeforeItsCharacter)
{
    TestPage page;
    page.AddText(page.Doc, u".... ....");
    page.Layout(400);
    page.Doc.ShowDummyCaret = true;
    page.Doc.CaretPos = 5;
    const auto p = page.Paint(100, 20);
    EXPECT_EQ(p.Pixel(5 * Advance, 1), Black);
    EXPECT_EQ(p.Pixel(5 * Advance + 1, 1), White);
}

TEST(TextPainting, OnlyTheLinesNearTheScreenArePainted)
{
    TestPage page;
    std::vector<TSection*> sections;
    for (int i = 0; i < 200; ++i)
        sections.push_back(&page.AddText(page.Doc, u"aaa bbb"));
    page.Layout(800); // one line of 16 pixels each
    page.Paint(800, 160, 100 * LineH, 3);
    auto painted = [&](int i) { return sections[std::size_t(i)]->Lines[0].PaintedX == 3; };
    EXPECT_FALSE(painted(50));
    EXPECT_FALSE(painted(96)); // more than 50 pixels above
    EXPECT_TRUE(painted(98));
    EXPECT_TRUE(painted(105));
    EXPECT_TRUE(painted(112));
    EXPECT_FALSE(painted(116));
    EXPECT_FALSE(painted(199));
}

// ---------------------------------------------------------------------------------------------------------------
// Points and characters

struct RoundTripCase {
    const char* Name;
    int Align; // text-align: 0 left, 1 justify, 2 center
    bool TwoRuns;
};

class CaretRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(CaretRoundTrip, EveryCharacterIsFoundWhereItIsDrawn)
{
    const RoundTripCase& c = GetParam();
    TestPage page;
    static constexpr const char16_t* Aligns[] = {u"left", u"justify", u"center"};
    auto props = page.Element(u"p", {{u"text-align", Aligns[c.Align]}});
    auto section = std::make_unique<TSection>(page.Doc, true, nullptr, *props, nullptr);
    TSection& s = *section;
    page.Feed(s, u"one two three ");
    auto wide = page.Element(u"b", {{u"text-align", Aligns[c.Align]}});
    if (c.TwoRuns) {
        *wide->CachedFont = UniformFont(12, 14, 4);
        s.SwitchFont(*wide);
    }
    page.Feed(s, u"four five six seven");
    page.AddTo(page.Doc, std::move(section));
    page.Layout(100);
    ASSERT_GT(s.Lines.size(), 2u) << DumpLayout(page.Doc);
    page.Paint(200, 200, 0, 7);
    for (int pos = 0; pos < s.CharCount; ++pos) {
        int x = 0, y = 0;
        ASSERT_TRUE(s.CaretToPoint(&page.Canvas, pos, x, y)) << pos;
        int caretX = 0, caretY = 0, height = 0;
        bool inside = false;
        EXPECT_EQ(s.PointToCaret(page.Canvas, x, y + 1, caretX, caretY, height, inside), pos)
            << "position " << pos << " at " << x << "," << y;
        EXPECT_EQ(caretX, x) << pos;
    }
}

INSTANTIATE_TEST_SUITE_P(Text, CaretRoundTrip,
                         ::testing::Values(RoundTripCase{"Left", 0, false}, RoundTripCase{"Justified", 1, false},
                                           RoundTripCase{"Centred", 2, false}, RoundTripCase{"TwoFonts", 0, true},
                                           RoundTripCase{"JustifiedTwoFonts", 1, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(TextQueries, PointsBesideALineAndWithinACharacter)
{
    TestPage page;
    TBlock& box = page.AddBlock(u"div", {{u"margin-left", u"20px"}});
    TSection& s = page.AddText(box.Content, u"abcd efgh");
    page.Layout(400);
    page.Paint(400, 40);
    int x = 0, y = 0, height = 0;
    bool inside = true;
    // Five pixels left of the line is still on it, before its first character; eleven is not.
    EXPECT_EQ(s.PointToCaret(page.Canvas, 15, 4, x, y, height, inside), 0);
    EXPECT_FALSE(inside);
    EXPECT_EQ(s.PointToCaret(page.Canvas, 9, 4, x, y, height, inside), -1);
    // The right half of a character puts the caret after it.
    EXPECT_EQ(s.PointToCaret(page.Canvas, 20 + 2 * Advance + 3, 4, x, y, height, inside), 2);
    EXPECT_EQ(s.PointToCaret(page.Canvas, 20 + 2 * Advance + 5, 4, x, y, height, inside), 3);
    EXPECT_EQ(x, 20 + 3 * Advance);
    EXPECT_TRUE(inside);
    EXPECT_EQ(height, LineH);
    // Below the text: no line.
    EXPECT_EQ(s.PointToCaret(page.Canvas, 30, LineH + 1, x, y, height, inside), -1);
}

TEST(TextQueries, ALinkAndItsTitleUnderThePointer)
{
    TestPage page;
    TUrlTarget link;
    link.SetLink(u"next.htm", u"", 0, nullptr);
    auto props = page.Element(u"a");
    props->PropTitle = u"Next page";
    auto s = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
    TSection& text = *s;
    page.Feed(text, u"see ");
    text.SwitchFontForLink(true, *props, link);
    page.Feed(text, u"this");
    text.SwitchFont(*page.Props);
    page.Feed(text, u" now");
    page.AddTo(page.Doc, std::move(s));
    page.Layout(400);
    page.Paint(400, 40);
    std::unique_ptr<TUrlTarget> target;
    TFormControlObj* control = nullptr;
    u16 title;
    EXPECT_EQ(page.Doc.HitLink(page.Canvas, 5 * Advance + 2, 8, target, control, title), hkLink | hkTitle);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->Url, u"next.htm");
    EXPECT_EQ(title, u"Next page");
    EXPECT_EQ(page.Doc.HoveredRun, &text.Fonts[1]);
    EXPECT_EQ(page.Doc.HitLink(page.Canvas, 1, 8, target, control, title), 0u);
    EXPECT_FALSE(target);
    EXPECT_EQ(page.Doc.HoveredRun, nullptr);
}

TEST(TextPainting, AHoveredLinkPaintsInItsHoverColour)
{
    TestPage page;
    page.Doc.LinksReactToHover = true;
    TUrlTarget link;
    link.SetLink(u"next.htm", u"", 0, nullptr);
    auto props = page.Element(u"a");
    props->LinkFonts = std::make_unique<TFontInfoArray>();
    for (ThtFontInfo& info : *props->LinkFonts) {
        info.Face = u"DejaVu Sans Mono";
        info.Size = 12;
    }
    (*props->LinkFonts)[lsLink].FontColor = 0xFF0000;  // blue
    (*props->LinkFonts)[lsHover].FontColor = 0x0000FF; // red
    auto s = std::make_unique<TSection>(page.Doc, true, &link, *props, nullptr);
    page.Feed(*s, u"link");
    page.AddTo(page.Doc, std::move(s));
    page.Layout(400);
    EXPECT_TRUE(AnyPixel(page.Paint(100, 20), 0, 32, 0, 16, 0xFF0000));
    std::unique_ptr<TUrlTarget> target;
    TFormControlObj* control = nullptr;
    u16 title;
    ASSERT_EQ(page.Doc.HitLink(page.Canvas, 4, 8, target, control, title), hkLink);
    const auto hovered = page.Paint(100, 20);
    EXPECT_TRUE(AnyPixel(hovered, 0, 32, 0, 16, 0x0000FF));
    EXPECT_FALSE(AnyPixel(hovered, 0, 32, 0, 16, 0xFF0000));
}

TEST(TextQueries, CopiedParagraphsEndWithALineEndAndWithoutTheirFinalSpace)
{
    TestPage page;
    for (const char16_t* words : {u"first para", u"second one"}) {
        TBlock& p = page.AddBlock(u"p");
        page.AddText(p.Content, words);
    }
    page.Layout(400);
    page.Doc.SelStart = 6;
    page.Doc.SelEnd = 11 + 6;
    EXPECT_EQ(ToUtf8(page.Doc.SelectionText()), "para\r\n\r\nsecond");
    page.Doc.SelStart = 0;
    page.Doc.SelEnd = 11; // the whole first paragraph, its final space included
    EXPECT_EQ(ToUtf8(page.Doc.SelectionText()), "first para");
    page.Doc.SelEnd = page.Doc.SelStart;
    EXPECT_EQ(page.Doc.SelectionLength(), 0);
}

} // namespace
} // namespace lantern::testlayout
