// Blocks in pixels: background, content and borders in that order, clipped overflow, hidden blocks, list markers,
// shaded rules, background pictures; and a hand-built page written to a picture for a person to look at.
#include "LayoutFixture.h"

#include "common/Colors.h"

#include <QImage>
#include <gtest/gtest.h>

namespace lantern::testlayout {
namespace {

constexpr Color White = 0xFFFFFF, Black = 0x000000, Yellow = 0x00FFFF, Blue = 0xFF0000, Red = 0x0000FF;

bool Inked(const platform::Bitmap& p, int left, int right, int top, int bottom, Color paper)
{
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (p.Pixel(x, y) != paper)
                return true;
    return false;
}

StyleValues Bordered(u16v style, u16v width, u16v color)
{
    StyleValues v;
    for (int side = 0; side < 4; ++side) {
        v.emplace_back(PropertyName(piBorderTopStyle + side), style);
        v.emplace_back(PropertyName(piBorderTopWidth + side), width);
        v.emplace_back(PropertyName(piBorderTopColor + side), color);
    }
    return v;
}

TEST(BlockPainting, BackgroundThenContentThenBorders)
{
    TestPage page;
    StyleValues style = Bordered(u"solid", u"2px", u"blue");
    style.insert(style.end(), {{u"background-color", u"#ffff00"}, {u"padding-left", u"6px"}, {u"padding-top", u"6px"},
                               {u"padding-bottom", u"6px"}, {u"margin-left", u"10px"}, {u"width", u"60px"}});
    TBlock& box = page.AddBlock(u"div", style);
    page.AddText(box.Content, u"....");
    page.Layout(200);
    const auto p = page.Paint(200, 60);
    // Border box 10..10+2+6+60+2 wide, 0..2+6+16+6+2 tall.
    EXPECT_EQ(p.Pixel(9, 10), White);
    EXPECT_EQ(p.Pixel(10, 10), Blue);
    EXPECT_EQ(p.Pixel(11, 10), Blue);
    EXPECT_EQ(p.Pixel(12, 10), Yellow);
    EXPECT_EQ(p.Pixel(79, 10), Blue);
    EXPECT_EQ(p.Pixel(80, 10), White);
    EXPECT_EQ(p.Pixel(40, 31), Blue);
    EXPECT_EQ(p.Pixel(40, 32), White);
    // The text stands on the background.
    EXPECT_TRUE(Inked(p, 18, 18 + 32, 8, 24, Yellow));
    EXPECT_EQ(box.BorderRect, (Rect{10, 0, 80, 32}));
}

TEST(BlockPainting, PositionedBlocksPaintWhereTheyArePlaced)
{
    TestPage page;
    TBlock& container = page.AddBlock(u"div", {{u"position", u"relative"}, {u"top", u"5px"}, {u"left", u"7px"},
                                               {u"height", u"20px"}, {u"width", u"30px"},
                                               {u"background-color", u"#ffff00"}});
    page.AddBlock(container.Content, u"div", {{u"position", u"absolute"}, {u"top", u"30px"}, {u"left", u"40px"},
                                              {u"width", u"10px"}, {u"height", u"10px"},
                                              {u"background-color", u"#0000ff"}});
    page.Layout(200);
    const auto p = page.Paint(200, 80, 0, 3); // scrolled 3 pixels right
    EXPECT_EQ(p.Pixel(3 + 7, 5), Yellow);
    EXPECT_EQ(p.Pixel(3 + 6, 5), White);
    EXPECT_EQ(p.Pixel(3 + 7, 4), White);
    EXPECT_EQ(p.Pixel(3 + 36, 24), Yellow);
    // From the container's padding box, which the relative offset moved.
    EXPECT_EQ(p.Pixel(3 + 7 + 40, 5 + 30), Blue);
    EXPECT_EQ(p.Pixel(3 + 7 + 49, 5 + 39), Blue);
    EXPECT_EQ(p.Pixel(3 + 7 + 50, 5 + 39), White);
}

TEST(BlockPainting, HiddenOverflowIsCutAtTheContentBox)
{
    for (bool hidden : {false, true}) {
        TestPage page;
        StyleValues clip = {{u"width", u"40px"}, {u"overflow", u"hidden"}};
        StyleValues open = {{u"width", u"40px"}};
        TBlock& box = page.AddBlock(u"div", hidden ? clip : open);
        page.AddText(box.Content, u"aaaaaaaaaaaa"); // 96 pixels
        page.Layout(200);
        const auto p = page.Paint(200, 20);
        EXPECT_TRUE(Inked(p, 0, 40, 0, 16, White));
        EXPECT_EQ(Inked(p, 42, 100, 0, 16, White), !hidden);
    }
}

TEST(BlockPainting, AHiddenBlockPaintsNothingButKeepsItsPlace)
{
    TestPage page;
    TBlock& hidden = page.AddBlock(u"div", {{u"visibility", u"hidden"}, {u"background-color", u"#ff0000"}});
    page.AddText(hidden.Content, u"aaaa");
    TSection& after = page.AddText(page.Doc, u"bbbb");
    page.Layout(200);
    const auto p = page.Paint(200, 40);
    EXPECT_FALSE(Inked(p, 0, 200, 0, LineH, White));
    EXPECT_EQ(after.BoxTop, LineH);
    EXPECT_TRUE(Inked(p, 0, 32, LineH, 2 * LineH, White));
}

TEST(BlockPainting, ListMarkersStandLeftOfTheFirstLine)
{
    struct Case {
        THtmlSymbol List;
        char16_t Type;
        int Level;
        Rect Filled; // where the marker's ink must be, relative to (content left, baseline)
    };
    for (const Case& c : {Case{symUl, u'1', 1, Rect{-15, -6, -10, -1}},   // disc
                          Case{symUl, u'1', 3, Rect{-15, -6, -10, -1}},   // square
                          Case{symUl, u'1', 2, Rect{-16, -7, -9, 0}},     // circle
                          Case{symOl, u'1', 1, Rect{-10 - 2 * Advance, -12, -10, 4}}}) { // "1."
        TestPage page;
        auto& item = page.AddBlock<TBlockLI>(page.Doc, u"li", {}, c.Level, 1, c.Type, false, c.List);
        page.AddText(item.Content, u"item");
        page.Layout(200);
        const auto p = page.Paint(200, 30);
        const int x = item.ContentOffset, base = item.FirstBaseline;
        EXPECT_TRUE(Inked(p, x + c.Filled.left, x + c.Filled.right, base + c.Filled.top, base + c.Filled.bottom, White));
        EXPECT_FALSE(Inked(p, 0, x + c.Filled.left, 0, 30, White)) << "nothing further left";
        EXPECT_FALSE(Inked(p, x + c.Filled.right, x, 0, 30, White)) << "a gap before the text";
    }
}

TEST(BlockPainting, AShadedRuleOnAWhitePage)
{
    TestPage page;
    auto props = page.Element(u"hr");
    auto line = std::make_unique<THorzLine>(page.Doc, *props, nullptr);
    THRBlock& block = page.AddTo(page.Doc, std::make_unique<THRBlock>(page.Doc, nullptr, page.Doc, *props));
    block.TakeRule(std::move(line), 0);
    page.Doc.PageColor = clWhite;
    page.Layout(100);
    const auto p = page.Paint(100, 10);
    // Dark along the top and left, silver along the bottom and right.
    EXPECT_EQ(p.Pixel(0, 0), SysColor(16));
    EXPECT_EQ(p.Pixel(50, 0), SysColor(16));
    EXPECT_EQ(p.Pixel(0, 1), SysColor(16));
    EXPECT_EQ(p.Pixel(50, 1), clSilver);
    EXPECT_EQ(p.Pixel(99, 0), clSilver);
    EXPECT_EQ(p.Pixel(50, 2), White);
}

// A picture the test hands over as the image objects will.
class TFixedPicture final : public TBackgroundSource {
public:
    explicit TFixedPicture(platform::Bitmap picture, platform::Mask mask = {})
        : picture_(std::move(picture)), mask_(std::move(mask))
    {
    }
    State Load() override { return State::Ready; }
    State Current() const override { return State::Ready; }
    const platform::Bitmap& Picture() const override { return picture_; }
    const platform::Mask* PictureMask() const override { return mask_.IsEmpty() ? nullptr : &mask_; }

private:
    platform::Bitmap picture_;
    platform::Mask mask_;
};

TEST(BlockPainting, BackgroundPicturesTileAndComposeOverTheColour)
{
    // A 4x4 picture: its left half red, its right half transparent.
    platform::Bitmap picture(4, 4, Red);
    platform::Mask mask(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 2; x < 4; ++x)
            mask.SetTransparent(x, y, true);
    for (bool repeat : {true, false}) {
        TestPage page;
        page.Doc.MakeBackgroundSource = [&](u16v) { return std::make_unique<TFixedPicture>(picture, mask); };
        StyleValues style = {{u"background-image", u"url(dots.gif)"}, {u"background-color", u"#ffff00"},
                             {u"height", u"20px"}, {u"width", u"40px"}};
        if (!repeat)
            style.emplace_back(u"background-repeat", u"no-repeat");
        TBlock& box = page.AddBlock(u"div", style);
        page.Layout(100);
        const auto p = page.Paint(100, 30);
        EXPECT_EQ(box.BackgroundUrl, u"dots.gif");
        EXPECT_EQ(p.Pixel(0, 0), Red);
        EXPECT_EQ(p.Pixel(2, 0), Yellow) << "the colour shows through";
        EXPECT_EQ(p.Pixel(4, 4), repeat ? Red : Yellow);
        EXPECT_EQ(p.Pixel(36, 16), repeat ? Red : Yellow);
        EXPECT_EQ(p.Pixel(40, 0), White) << "only the box";
    }
}

// Writes a hand-built page to layout-sample.png in the build folder, for a person to look at.
TEST(SeenWorking, DISABLED_AHandBuiltPage)
{
    TestPage page(RealFont(u"Liberation Serif", 16));
    auto& body = page.AddBlock<TBodyBlock>(page.Doc, u"body", {{u"margin-left", u"10px"}, {u"margin-right", u"10px"},
                                                               {u"margin-top", u"8px"}});
    auto heading = page.Element(u"h1");
    *heading->CachedFont = RealFont(u"Liberation Sans", 28);
    heading->CachedFont->FontColor = 0x800000;
    TBlock& h1 = page.AddBlock(body.Content, u"h1", {{u"margin-bottom", u"10px"}});
    page.AddText(h1.Content, u"A hand-built page", heading.get());
    StyleValues floatStyle = Bordered(u"solid", u"1px", u"#808080");
    floatStyle.insert(floatStyle.end(), {{u"float", u"right"}, {u"width", u"150px"}, {u"background-color", u"#e0f0ff"},
                                         {u"padding-left", u"6px"}, {u"padding-right", u"6px"},
                                         {u"padding-top", u"4px"}, {u"padding-bottom", u"4px"},
                                         {u"margin-left", u"10px"}});
    TBlock& aside = page.AddBlock(body.Content, u"div", floatStyle);
    page.AddText(aside.Content, u"A floated block with a border and a background, beside the text.");
    TBlock& p1 = page.AddBlock(body.Content, u"p", {{u"margin-bottom", u"12px"}});
    auto s = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
    TSection& text = *s;
    page.Feed(text, u"Paragraphs flow beside the float and below it. This sentence holds ");
    const int spanStart = page.Source;
    page.Feed(text, u"a bordered inline span that is long enough to wrap onto the next line");
    const int spanEnd = page.Source;
    page.Feed(text, u", and then the paragraph goes on with more ordinary words to fill the lines.");
    page.AddTo(p1.Content, std::move(s));
    StyleValues spanStyle = Bordered(u"dashed", u"1px", u"#c00000");
    spanStyle.emplace_back(u"background-color", u"#fff0c0");
    auto span = page.Element(u"span", spanStyle);
    OpenInlineBorder(page.Doc, spanStart, *span);
    CloseInlineBorder(page.Doc, spanEnd, *span);
    TBlock& list = page.AddBlock(body.Content, u"ul", {{u"margin-bottom", u"10px"}});
    for (const char16_t* item : {u"A first item", u"A second item, a little longer", u"A third"}) {
        auto& li = page.AddBlock<TBlockLI>(list.Content, u"li", {}, 1, 1, u'1', false, symUl);
        page.AddText(li.Content, item);
    }
    TBlock& ordered = page.AddBlock(body.Content, u"ol");
    for (int n = 1; n <= 3; ++n) {
        auto& li = page.AddBlock<TBlockLI>(ordered.Content, u"li", {}, 1, n, u'i', false, symOl);
        page.AddText(li.Content, u"Roman numbered item");
    }
    page.Layout(480);
    page.Doc.SelStart = 20;
    page.Doc.SelEnd = 30;
    const auto picture = page.Paint(480, page.Height + 10);
    ASSERT_TRUE(picture.Image().save(LANTERN_BINARY_DIR "/layout-sample.png"));
    std::printf("%s", DumpLayout(page.Doc).c_str());
}

} // namespace
} // namespace lantern::testlayout
