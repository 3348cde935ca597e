// Border rings in pixels: where the sides meet, how each style shades and splits its band, the cut of very tall
// boxes; and the boxes of inline elements, which lose their inner sides where a line break splits them.
#include "LayoutFixture.h"

#include "common/Colors.h"
#include "layout/Borders.h"
#include "style/BoxValues.h"

#include <gtest/gtest.h>

namespace lantern::testlayout {
namespace {

constexpr Color Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Black = 0x000000, White = 0xFFFFFF;

TBorderSides Sides(BorderStyle style, std::array<Color, 4> colors)
{
    TBorderSides s;
    s.Styles.fill(std::uint8_t(style));
    s.Colors = colors;
    return s;
}

TBorderSides AllSides(BorderStyle style, Color color)
{
    return Sides(style, {color, color, color, color});
}

platform::Bitmap Ring(int width, int height, const Rect& border, const Rect& padding, const TBorderSides& sides,
                      Color background = clNone)
{
    platform::Bitmap picture(width, height, White);
    {
        platform::PaintCanvas canvas(picture);
        PaintBorderRing(canvas, border, padding, background, sides);
    }
    return picture;
}

TEST(BorderRing, SolidSidesAreTrapezoidsMeetingOnTheDiagonals)
{
    // Left red, top green, right blue, bottom black, 4 pixels each.
    const auto p = Ring(24, 24, Rect{2, 2, 22, 22}, Rect{6, 6, 18, 18}, Sides(BorderStyle::Solid, {Red, Green, Blue, Black}));
    // Each band in its middle.
    EXPECT_EQ(p.Pixel(3, 12), Red);
    EXPECT_EQ(p.Pixel(12, 3), Green);
    EXPECT_EQ(p.Pixel(20, 12), Blue);
    EXPECT_EQ(p.Pixel(12, 20), Black);
    // Either side of each corner's diagonal.
    EXPECT_EQ(p.Pixel(4, 2), Green);
    EXPECT_EQ(p.Pixel(2, 4), Red);
    EXPECT_EQ(p.Pixel(19, 2), Green);
    EXPECT_EQ(p.Pixel(21, 4), Blue);
    EXPECT_EQ(p.Pixel(2, 19), Red);
    EXPECT_EQ(p.Pixel(4, 21), Black);
    EXPECT_EQ(p.Pixel(21, 19), Blue);
    EXPECT_EQ(p.Pixel(19, 21), Black);
    // Nothing inside the padding box or outside the border box.
    EXPECT_EQ(p.Pixel(6, 6), White);
    EXPECT_EQ(p.Pixel(17, 17), White);
    EXPECT_EQ(p.Pixel(1, 12), White);
    EXPECT_EQ(p.Pixel(22, 12), White);
}

struct ShadeCase {
    const char* Name;
    BorderStyle Style;
    Color Base;
    // Left band outside and inside (groove and ridge split it), right band outside and inside.
    Color LeftOuter, LeftInner, RightOuter, RightInner;
};

class BorderShades : public ::testing::TestWithParam<ShadeCase> {};

TEST_P(BorderShades, LitFromTheTopLeft)
{
    const ShadeCase& c = GetParam();
    const auto p = Ring(20, 20, Rect{0, 0, 20, 20}, Rect{4, 4, 16, 16}, AllSides(c.Style, c.Base));
    EXPECT_EQ(p.Pixel(0, 10), c.LeftOuter);
    EXPECT_EQ(p.Pixel(3, 10), c.LeftInner);
    EXPECT_EQ(p.Pixel(10, 0), c.LeftOuter) << "the top shades as the left";
    EXPECT_EQ(p.Pixel(19, 10), c.RightOuter);
    EXPECT_EQ(p.Pixel(16, 10), c.RightInner);
    EXPECT_EQ(p.Pixel(10, 19), c.RightOuter) << "the bottom shades as the right";
}

const Color Grey = 0x808080, Dark = DarkerShade(Grey), Light = LighterShade(Grey);

INSTANTIATE_TEST_SUITE_P(
    Styles, BorderShades,
    ::testing::Values(ShadeCase{"Inset", BorderStyle::Inset, Grey, Dark, Dark, Light, Light},
                      ShadeCase{"Outset", BorderStyle::Outset, Grey, Light, Light, Dark, Dark},
                      ShadeCase{"Groove", BorderStyle::Groove, Grey, Dark, Light, Light, Dark},
                      ShadeCase{"Ridge", BorderStyle::Ridge, Grey, Light, Dark, Dark, Light},
                      ShadeCase{"InsetBlackStaysBlack", BorderStyle::Inset, Black, Black, Black, Black, Black}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(BorderRing, DoubleBordersSplitInThirds)
{
    struct Case {
        int Width;
        std::vector<Color> Columns; // of the left band, from the outside in
    };
    for (const Case& c : {Case{3, {Red, White, Red}}, Case{5, {Red, Red, White, Red, Red}},
                          Case{6, {Red, Red, White, White, Red, Red}}}) {
        const int w = c.Width;
        const auto p = Ring(40, 40, Rect{0, 0, 40, 40}, Rect{w, w, 40 - w, 40 - w}, AllSides(BorderStyle::Double, Red));
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(p.Pixel(x, 20), c.Columns[std::size_t(x)]) << "width " << w << " column " << x;
    }
}

TEST(BorderRing, BrokenLinesShowTheBackgroundInTheirGaps)
{
    for (BorderStyle style : {BorderStyle::Dashed, BorderStyle::Dotted}) {
        const auto p = Ring(60, 20, Rect{0, 0, 60, 20}, Rect{2, 2, 58, 18}, AllSides(style, Red), Blue);
        int red = 0, blue = 0, other = 0;
        for (int x = 4; x < 56; ++x) {
            const Color c = p.Pixel(x, 0);
            (c == Red ? red : c == Blue ? blue : other)++;
        }
        EXPECT_GT(red, 10);
        EXPECT_GT(blue, 10);
        EXPECT_EQ(other, 0);
        EXPECT_EQ(p.Pixel(30, 10), White) << "inside stays unpainted";
    }
}

TEST(BorderRing, NothingWithoutWidthsAndNothingBelowTheCut)
{
    const auto none = Ring(10, 10, Rect{2, 2, 8, 8}, Rect{2, 2, 8, 8}, AllSides(BorderStyle::Solid, Red), Blue);
    EXPECT_EQ(none.Pixel(2, 2), White);
    // A box far taller than any screen: its left band stops at 5000.
    const auto tall = Ring(10, 5100, Rect{0, 10, 10, 90000}, Rect{2, 12, 8, 89998}, AllSides(BorderStyle::Solid, Red));
    EXPECT_EQ(tall.Pixel(0, 4990), Red);
    EXPECT_EQ(tall.Pixel(0, 5050), White);
}

// ---------------------------------------------------------------------------------------------------------------
// Inline boxes

// The page's font with a one-pixel red border, the builder's record opened at `from` and closed at `to`.
void BorderedSpan(TestPage& page, int from, int to, StyleValues extra = {})
{
    StyleValues style = {{u"border-top-style", u"solid"},    {u"border-right-style", u"solid"},
                         {u"border-bottom-style", u"solid"}, {u"border-left-style", u"solid"},
                         {u"border-top-color", u"red"},      {u"border-right-color", u"red"},
                         {u"border-bottom-color", u"red"},   {u"border-left-color", u"red"}};
    style.insert(style.end(), extra.begin(), extra.end());
    auto props = page.Element(u"span", style);
    OpenInlineBorder(page.Doc, from, *props);
    CloseInlineBorder(page.Doc, to, *props);
}

StyleValues OnePixel()
{
    return {{u"border-top-width", u"1px"},
            {u"border-right-width", u"1px"},
            {u"border-bottom-width", u"1px"},
            {u"border-left-width", u"1px"}};
}

TEST(InlineBorders, AnElementSplitOverTwoLinesLosesItsInnerSides)
{
    TestPage page;
    TBlock& box = page.AddBlock(u"div", {{u"margin-left", u"10px"}, {u"margin-top", u"4px"}});
    // Dots leave the top of the line and the gaps between them free of ink.
    TSection& text = page.AddText(box.Content, u"aaa .... ...."); // sources 0..12, the span from 4
    BorderedSpan(page, 4, 13, OnePixel());
    page.Layout(10 + 64);
    ASSERT_EQ(TestPage::LineTexts(text), (std::vector<std::string>{"aaa ....", "...."}));
    ASSERT_EQ(text.Borders.size(), 2u);
    EXPECT_TRUE(text.Borders[0].OpenAtEnd);
    EXPECT_TRUE(text.Borders[1].OpenAtStart);
    const auto p = page.Paint(100, 50);
    // Line 1 (y 4..20): the box starts at the dots, x 10 + 32, and runs open to the line's end at 10 + 64.
    const int middle1 = 4 + 8;
    EXPECT_EQ(p.Pixel(10 + 32 - 1, middle1), Red) << "left side";
    EXPECT_EQ(p.Pixel(10 + 64, middle1), White) << "no right side on the first line";
    EXPECT_EQ(p.Pixel(10 + 50, 4), Red) << "top side";
    // Line 2 (y 20..36): no left side, the right side after the dots.
    const int middle2 = 20 + 8;
    EXPECT_EQ(p.Pixel(10 - 1, middle2), White) << "no left side on the second line";
    EXPECT_EQ(p.Pixel(10 + 32, middle2), Red) << "right side";
    EXPECT_EQ(p.Pixel(10 + 4, 20 + LineH), Red) << "bottom side";
}

TEST(InlineBorders, AStyleWithoutAWidthShowsNoBorderButTheBackgroundFills)
{
    TestPage page;
    page.AddText(page.Doc, u"aaa bbb");
    BorderedSpan(page, 4, 7, {{u"background-color", u"#00ff00"}});
    page.Layout(200);
    const auto p = page.Paint(100, 20);
    EXPECT_EQ(p.Pixel(32 - 1, 8), White);
    EXPECT_EQ(p.Pixel(32, 15), Green);
    EXPECT_EQ(p.Pixel(55, 15), Green);
    EXPECT_EQ(p.Pixel(56, 15), White);
}

} // namespace
} // namespace lantern::testlayout
