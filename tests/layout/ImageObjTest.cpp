// Pictures and panels in text: how they size themselves from attributes, styles and the picture, where they stand
// on their line or float, what they paint when the picture fails, how maps and links answer the pointer, and how
// active and animated pictures change frames.
#include "images/GifImage.h"
#include "images/Placeholders.h"
#include "layout/CachedPicture.h"
#include "layout/ImageObj.h"
#include "layout/Maps.h"
#include "markup/Buffer.h"
#include "markup/Tokenizer.h"
#include "tests/layout/LayoutFixture.h"
#include "tests/support/Pictures.h"

#include <gtest/gtest.h>

namespace lantern::testlayout {
namespace {

using testsupport::AnimatedGifUrl;
using testsupport::PngUrl;

constexpr Color Red = 0x0000FF;
constexpr Color White = 0xFFFFFF;

// The attributes of one tag as the tokenizer reads them.
TAttributeList TagAttributes(const std::string& tag)
{
    auto buffer = TBuffer::CreateFromString(FromUtf8(tag));
    THtmlTokenizer tokenizer(*buffer);
    tokenizer.AdvanceChar();
    tokenizer.NextSymbol();
    return tokenizer.Attributes();
}

class TPicturePage : public TestPage {
public:
    // A section "ab <object> cd" (in a link when linkUrl is given) holding the object of the tag, styled by the
    // values given; laid out at the width.
    template <class Object = TImageObj>
    Object& Place(const std::string& tag, int width = 400, StyleValues style = {}, u16v linkUrl = {})
    {
        TUrlTarget link;
        link.Url = linkUrl;
        auto object = std::make_unique<Object>(Doc, TagAttributes(tag));
        Object& placed = *object;
        placed.SetFromProperties(*Element(u"img", style));
        auto section = std::make_unique<TSection>(Doc, true, linkUrl.empty() ? nullptr : &link, *Props, nullptr);
        std::vector<std::unique_ptr<TFloatingObj>> objects;
        objects.push_back(std::move(object));
        Feed(*section, text, std::move(objects));
        Doc.AddSection(std::move(section), Source);
        Layout(width);
        return placed;
    }
    std::u16string text = u"ab \x04 cd";
};

const std::string Picture60x20 = PngUrl(60, 20, Red);

// ---------------------------------------------------------------------------------------------------------------
// Sizing

struct TSizeCase {
    const char* Name;
    std::string Tag;
    StyleValues Style;
    bool InLink;
    int Width, Height;       // the object, borders included
    int Border;
    int PictureW, PictureH;  // the picture inside
};

TEST(ImageSizing, FromAttributesStylesAndThePicture)
{
    const std::string src = "<img src=\"" + Picture60x20 + "\" ";
    const std::vector<TSizeCase> cases = {
        {"natural size", src + ">", {}, false, 60, 20, 0, 60, 20},
        {"50 % of 400 with a 2-pixel border", src + "width=\"50%\" border=2>", {}, false, 202, 70, 2, 198, 66},
        {"HEIGHT only keeps the aspect", src + "height=30>", {}, false, 90, 30, 0, 90, 30},
        {"WIDTH only keeps the aspect", src + "width=90>", {}, false, 90, 30, 0, 90, 30},
        {"both given", src + "width=10 height=50>", {}, false, 10, 50, 0, 10, 50},
        {"a percentage over 100 is ignored", src + "width=\"150%\">", {}, false, 60, 20, 0, 60, 20},
        {"BORDER 25 gives 10", src + "border=25>", {}, false, 80, 40, 10, 60, 20},
        {"a link gives 1 pixel", src + ">", {}, true, 62, 22, 1, 60, 20},
        {"BORDER 0 in a link gives none", src + "border=0>", {}, true, 60, 20, 0, 60, 20},
        {"a CSS border style drops the HTML border", src + "border=5>", {{u"border-left-style", u"none"}}, true, 60, 20,
         0, 60, 20},
        {"CSS width in percent", src + ">", {{u"width", u"50%"}}, false, 200, 67, 0, 200, 67},
        {"CSS height in pixels", src + ">", {{u"height", u"40px"}}, false, 120, 40, 0, 120, 40},
        {"a gigantic size is held to the largest extent", src + "width=99999999999 hspace=-99999999999>", {}, false,
         32767, 10922, 0, 32767, 10922},
        {"failed, no size, no alt: 24 x 24", "<img src=\"missing.png\">", {}, false, 24, 24, 0, 16, 16},
        {"failed with a size keeps it", "<img src=\"missing.png\" width=10 height=12>", {}, false, 10, 12, 0, 10, 12},
    };
    for (const TSizeCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TPicturePage page;
        const TImageObj& image = page.Place(c.Tag, 400, c.Style, c.InLink ? u"next.htm" : u"");
        EXPECT_EQ(image.Width, c.Width);
        EXPECT_EQ(image.Height, c.Height);
        EXPECT_EQ(image.BorderWidth, c.Border);
        EXPECT_EQ(image.ImageWidth, c.PictureW);
        EXPECT_EQ(image.ImageHeight, c.PictureH);
    }
}

TEST(ImageSizing, FailedPictureWithAltTextIsAsWideAsTheText)
{
    TPicturePage page;
    const TImageObj& image = page.Place("<img src=\"missing.png\" alt=\"Next page\">");
    platform::Canvas canvas;
    canvas.SelectFont(TMyFontCache::Instance().GetFont(u"Arial", FontHeightOfPoints(8), 0, 1).Handle);
    const Size text = canvas.DrawTextExtent(u"Next page");
    EXPECT_EQ(image.Width, text.cx + 26);
    EXPECT_EQ(image.Height, 24) << "one line of 8-point text is lower than the icon";
    EXPECT_EQ(image.Title, u"Next page") << "the alt text is the hint too";
}

TEST(ImageSizing, WithImagesOffNothingLoadsAndTheBoxIsAPlaceholders)
{
    TPicturePage page;
    page.Doc.ShowImages = false;
    TImageObj& image = page.Place("<img src=\"" + Picture60x20 + "\">");
    EXPECT_EQ(image.Width, 24);
    EXPECT_EQ(page.Doc.ImageCache.Count(), 0);
    EXPECT_TRUE(image.ShowsPlaceholder());
    page.Doc.ShowImages = true;
    page.Layout(400);
    EXPECT_EQ(image.Width, 60) << "loaded on the next layout";
    EXPECT_FALSE(image.ShowsPlaceholder());
}

TEST(ImageSizing, SpacingIsClampedAndHspaceGivesTheLeftGapOnly)
{
    TPicturePage page;
    const TImageObj& image = page.Place("<img src=\"missing.png\" hspace=-50 vspace=7>");
    EXPECT_EQ(image.LeftGap, 40);
    EXPECT_EQ(image.RightGap, 0);
    EXPECT_EQ(image.TopGap, 7);
    EXPECT_EQ(image.BottomGap, 0);
    EXPECT_EQ(image.HorizontalExtent(), 24 + 40);

    TPicturePage panels;
    const TPanelObj& panel = panels.Place<TPanelObj>("<panel hspace=-50 vspace=3 width=70>");
    EXPECT_EQ(panel.LeftGap, 40);
    EXPECT_EQ(panel.RightGap, 40);
    EXPECT_EQ(panel.TopGap, 3);
    EXPECT_EQ(panel.BottomGap, 3);
    EXPECT_EQ(panel.Width, 70);
    EXPECT_EQ(panel.Height, 20) << "the control's own height";
}

TEST(ImageSizing, OldPagesKeepTextAwayFromFloatingPictures)
{
    for (bool quirks : {true, false}) {
        SCOPED_TRACE(quirks ? "quirks" : "standards");
        TPicturePage page;
        page.Doc.Quirks = quirks;
        const TImageObj& left = page.Place("<img src=\"missing.png\" align=left>");
        EXPECT_EQ(left.FloatSide, AlignmentCode::Left);
        EXPECT_EQ(left.RightGap, quirks ? 3 : 0);
        EXPECT_EQ(left.LeftGap, 0);
        TPicturePage styled;
        const TImageObj& right = styled.Place("<img src=\"missing.png\">", 400, {{u"float", u"right"}});
        EXPECT_EQ(right.FloatSide, AlignmentCode::Right);
        EXPECT_EQ(right.LeftGap, 3) << "a CSS float gets gaps on both sides";
        EXPECT_EQ(right.RightGap, 3);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Placing and painting

// The uniform font: 8-pixel characters, lines 16 high with the baseline 12 below the top.
TEST(ImagePlacing, APictureStandsOnItsLineByItsAlignment)
{
    struct TCase {
        const char* Align;
        int GapAbove, LineHeight; // of the line
    };
    // Standing on the baseline leaves the text's descent below the picture; centred or at the top, the line is
    // as high as the picture.
    const std::string tall = PngUrl(20, 30, Red);
    for (const TCase& c : {TCase{"bottom", 18, 34}, TCase{"middle", 7, 30}, TCase{"top", 0, 30}}) {
        SCOPED_TRACE(c.Align);
        TPicturePage page;
        const TImageObj& image = page.Place("<img src=\"" + tall + "\" align=" + c.Align + ">");
        const TSection& s = static_cast<const TSection&>(page.Doc[0]);
        ASSERT_EQ(s.Lines.size(), 1u);
        const LineRec& line = s.Lines[0];
        EXPECT_EQ(line.GapAbove, c.GapAbove);
        EXPECT_EQ(line.FullHeight(), c.LineHeight);
        const auto painted = page.Paint(200, 40);
        EXPECT_EQ(image.DrawX, 3 * Advance) << "after \"ab \"";
        EXPECT_EQ(image.DrawY, line.Top) << "the picture reaches the line's top";
        EXPECT_EQ(painted.Pixel(image.DrawX, image.DrawY), Red);
        EXPECT_EQ(painted.Pixel(image.DrawX + 19, image.DrawY + 29), Red);
        EXPECT_EQ(painted.Pixel(image.DrawX + 20, image.DrawY + 10), White);
    }
}

TEST(ImagePlacing, FloatsTakeTheMarginAndNarrowTheLinesBesideThem)
{
    const std::string square = PngUrl(40, 40, Red);
    for (const char* side : {"left", "right"}) {
        SCOPED_TRACE(side);
        TPicturePage page;
        page.text = u"\x04" "aaa bbb ccc ddd eee fff ggg hhh iii jjj kkk lll mmm nnn ooo ppp qqq rrr sss ttt";
        const bool left = std::string(side) == "left";
        const TImageObj& image = page.Place("<img src=\"" + square + "\" align=" + side + ">", 200);
        const TSection& s = static_cast<const TSection&>(page.Doc[0]);
        const auto painted = page.Paint(200, 100);
        EXPECT_EQ(image.DrawX, left ? 0 : 160);
        EXPECT_EQ(image.DrawY, 0);
        EXPECT_EQ(painted.Pixel(left ? 0 : 199, 39), Red);
        // Lines at 0, 16 and 32 stand beside the picture; the one at 48 has the whole width again.
        ASSERT_GE(s.Lines.size(), 4u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(s.Lines[std::size_t(i)].AvailableWidth, 160) << "line " << i;
            EXPECT_EQ(s.Lines[std::size_t(i)].LineIndent, left ? 40 : 0) << "line " << i;
        }
        EXPECT_EQ(s.Lines[3].AvailableWidth, 200);
        EXPECT_EQ(s.Lines[3].LineIndent, 0);
    }
}

TEST(ImagePlacing, AFloatLowerThanItsLineIsPaintedWhenOnlyItsLowerPartIsShown)
{
    TPicturePage page;
    page.text = u"\x04" "a";
    const TImageObj& image = page.Place("<img src=\"" + PngUrl(40, 100, Red) + "\" align=left>", 200);
    EXPECT_GE(page.Doc[0].VisibleBottom, 100) << "the section answers for its float";
    const auto painted = page.Paint(200, 20, 70);
    EXPECT_EQ(painted.Pixel(10, 10), Red);
    EXPECT_EQ(image.DrawY, 0);
}

TEST(ImagePainting, AFailedPictureShowsTheErrorPictureFourPixelsInASunkenBox)
{
    TPicturePage page;
    const TImageObj& image = page.Place("<img src=\"missing.png\">");
    const auto painted = page.Paint(200, 40);
    const int x = image.DrawX, y = image.DrawY;
    const platform::Bitmap& error = ErrorBitmap().Pixels;
    const platform::Mask& mask = ErrorBitmapMask();
    for (int py = 0; py < 16; ++py)
        for (int px = 0; px < 16; ++px) {
            if (!mask.IsTransparent(px, py)) {
                ASSERT_EQ(painted.Pixel(x + 4 + px, y + 4 + py), error.Pixel(px, py)) << px << "," << py;
            }
        }
    EXPECT_EQ(painted.Pixel(x, y + 10), SysColor(16)) << "dark on the left";
    EXPECT_EQ(painted.Pixel(x + 23, y + 10), clSilver) << "light on the right, on a white page";
    EXPECT_EQ(painted.Pixel(x + 2, y + 2), White);
}

TEST(ImagePainting, AltTextStandsBesideTheIcon)
{
    TPicturePage page;
    const TImageObj& image = page.Place("<img src=\"missing.png\" alt=\"Next page\">");
    const auto painted = page.Paint(300, 40);
    const int x = image.DrawX, y = image.DrawY;
    auto inked = [&](int left, int right) {
        for (int py = y + 1; py < y + image.Height - 1; ++py)
            for (int px = left; px < right; ++px)
                if (painted.Pixel(px, py) == 0x000000)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(x + 24, x + image.Width - 1)) << "the text";
    EXPECT_FALSE(inked(x + 1, x + 4)) << "nothing left of the icon";
}

TEST(ImagePainting, ABorderInTheLinkColourFramesThePicture)
{
    TPicturePage page;
    const TImageObj& image = page.Place("<img src=\"" + Picture60x20 + "\" border=3>");
    const auto painted = page.Paint(200, 40);
    EXPECT_EQ(image.DrawX, 3 * Advance + 3) << "the picture stands inside the border";
    const int left = image.DrawX - 3, top = image.DrawY - 3;
    EXPECT_EQ(painted.Pixel(left, top), 0x000000);
    EXPECT_EQ(painted.Pixel(left + 2, top + 2), 0x000000);
    EXPECT_EQ(painted.Pixel(left + 3, top + 3), Red);
    EXPECT_EQ(painted.Pixel(left + 65, top + 25), 0x000000) << "the far corner of the 66 x 26 frame";
    EXPECT_EQ(painted.Pixel(left + 66, top + 10), White);
}

// ---------------------------------------------------------------------------------------------------------------
// Maps and links

TEST(ImageMaps, AreasAnswerByShape)
{
    TMapItem map(u"M");
    for (const char* area : {
             "<area shape=circle coords=\"10,10,5\" href=circle.htm title=Round>",
             "<area shape=rect coords=\"20 0 29 9\" href=rect.htm>",
             "<area shape=poly coords=\"40,0, 60,0, 40,20\" href=poly.htm>",
             "<area shape=rect coords=\"0,30,9,39\" nohref>",
             "<area shape=rect coords=\"0,30\" href=dropped.htm>",
             "<area shape=default href=rest.htm>",
         })
        map.AppendArea(TagAttributes(area));
    EXPECT_EQ(map.Areas.size(), 5u) << "the rectangle with two numbers is dropped";
    struct TProbe {
        int X, Y;
        const char* Url; // null: no link
    };
    for (const TProbe& p : {TProbe{14, 10, "circle.htm"}, TProbe{15, 10, "circle.htm"}, TProbe{16, 10, "rest.htm"},
                            TProbe{29, 9, "rect.htm"}, TProbe{30, 9, "rest.htm"}, TProbe{41, 1, "poly.htm"},
                            TProbe{58, 18, "rest.htm"}, TProbe{5, 35, nullptr}, TProbe{5, 45, "rest.htm"}}) {
        SCOPED_TRACE(std::to_string(p.X) + "," + std::to_string(p.Y));
        TUrlTarget target;
        u16 title;
        const bool found = map.FindLink(p.X, p.Y, title, target);
        EXPECT_EQ(found, p.Url != nullptr);
        if (p.Url) {
            EXPECT_EQ(ToUtf8(target.Url), p.Url);
        }
    }
    TUrlTarget target;
    u16 title;
    map.FindLink(10, 10, title, target);
    EXPECT_EQ(title, u"Round");
}

TEST(ImageMaps, AMapHoldsAtMostAThousandAreas)
{
    TMapItem map(u"M");
    const TAttributeList area = TagAttributes("<area coords=\"0,0,1,1\" href=a.htm>");
    for (int i = 0; i < 1001; ++i)
        map.AppendArea(area);
    EXPECT_EQ(map.Areas.size(), 1000u);
}

TEST(ImageLinks, ThePointerFindsTheMapAreaTheLinkOrTheServerMapPoint)
{
    const std::string src = "<img src=\"" + Picture60x20 + "\" alt=Shown ";
    struct TCase {
        const char* Name;
        std::string Tag;
        u16v Link;
        const char* Url; // at 5, 5 inside the picture
    };
    for (const TCase& c : {TCase{"map", src + "usemap=\"#nav\">", u"", "left.htm"},
                           TCase{"link", src + "border=0>", u"next.htm", "next.htm"},
                           TCase{"server map", src + "ismap border=0>", u"map.cgi", "map.cgi?5,5"}}) {
        SCOPED_TRACE(c.Name);
        TPicturePage page;
        auto map = std::make_unique<TMapItem>(u"NAV");
        map->AppendArea(TagAttributes("<area coords=\"0,0,29,19\" href=left.htm>"));
        page.Doc.MapList.push_back(std::move(map));
        const TImageObj& image = page.Place(c.Tag, 400, {}, c.Link);
        page.Paint(200, 40);
        std::unique_ptr<TUrlTarget> target;
        TFormControlObj* control = nullptr;
        u16 title;
        const THitKinds found =
            page.Doc.HitLink(page.Canvas, image.DrawX + 5, image.DrawY + 5, target, control, title);
        EXPECT_EQ(found, hkLink | hkTitle);
        ASSERT_TRUE(target);
        EXPECT_EQ(ToUtf8(target->Url), c.Url);
        EXPECT_EQ(title, u"Shown");
        EXPECT_EQ(page.Doc.HoveredImage, &image);
        TFloatingObj* hit = nullptr;
        int ox = 0, oy = 0;
        EXPECT_TRUE(page.Doc.HitObject(image.DrawX + 59, image.DrawY + 19, hit, ox, oy));
        EXPECT_EQ(hit, &image);
        EXPECT_EQ(ox, 59);
        EXPECT_FALSE(page.Doc.HitObject(image.DrawX + 60, image.DrawY + 19, hit, ox, oy));
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Active and animated pictures

TEST(ImageStates, AnActivePictureShowsItsFramesForThePointer)
{
    struct TCase {
        int Frames;
        int Over, Pressed; // frames shown; 0: the animation runs
    };
    for (const TCase& c : {TCase{2, 2, 2}, TCase{3, 2, 3}, TCase{5, 0, 0}}) {
        SCOPED_TRACE(c.Frames);
        TPicturePage page;
        TImageObj& image = page.Place("<img active src=\"" + AnimatedGifUrl(4, 4, c.Frames) + "\">");
        TGIFImage* gif = image.Animation();
        ASSERT_NE(gif, nullptr);
        EXPECT_TRUE(page.Doc.AnimatedImages().empty()) << "an active picture waits for the pointer";
        image.SetHover(1);
        if (c.Over) {
            EXPECT_EQ(gif->CurrentFrame(), c.Over);
        } else {
            EXPECT_TRUE(gif->Animating());
            EXPECT_EQ(page.Doc.AnimatedImages().size(), 1u);
        }
        image.SetHover(2);
        if (c.Pressed) {
            EXPECT_EQ(gif->CurrentFrame(), c.Pressed);
        }
        image.SetHover(0);
        EXPECT_FALSE(gif->Animating());
        EXPECT_TRUE(page.Doc.AnimatedImages().empty());
        if (c.Frames <= 3) {
            EXPECT_EQ(gif->CurrentFrame(), 1);
        }
    }
}

TEST(ImageStates, ThePointerOverAPictureSetsItsStateThroughTheDocument)
{
    TPicturePage page;
    TImageObj& image = page.Place("<img active src=\"" + AnimatedGifUrl(10, 10, 3) + "\">");
    bool pressed = true;
    page.Doc.LeftButtonDown = [&] { return pressed; };
    page.Paint(200, 40);
    std::unique_ptr<TUrlTarget> target;
    TFormControlObj* control = nullptr;
    u16 title;
    page.Doc.HitLink(page.Canvas, image.DrawX + 2, image.DrawY + 2, target, control, title);
    EXPECT_EQ(image.Animation()->CurrentFrame(), 3) << "pressed";
    pressed = false;
    page.Doc.SetImagePressed(false);
    EXPECT_EQ(image.Animation()->CurrentFrame(), 2) << "released, still over it";
    page.Doc.HitLink(page.Canvas, image.DrawX + 50, image.DrawY + 2, target, control, title);
    EXPECT_EQ(image.Animation()->CurrentFrame(), 1) << "left";
    EXPECT_EQ(page.Doc.HoveredImage, nullptr);
}

TEST(ImageAnimation, OnlyPicturesDrawnInTheLastPaintMoveOnAtATick)
{
    TestPage page;
    const std::string gif = AnimatedGifUrl(10, 10, 3);
    auto place = [&] {
        auto object = std::make_unique<TImageObj>(page.Doc, TagAttributes("<img src=\"" + gif + "\">"));
        TImageObj& placed = *object;
        std::vector<std::unique_ptr<TFloatingObj>> objects;
        objects.push_back(std::move(object));
        auto section = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
        page.Feed(*section, u"\x04", std::move(objects));
        page.AddTo(page.Doc, std::move(section));
        return &placed;
    };
    std::vector<std::pair<bool, int>> timer;
    page.Doc.OnAnimationTimer = [&](bool on, int interval) { timer.emplace_back(on, interval); };
    std::vector<Rect> invalidated;
    page.Doc.InvalidateRect = [&](const Rect& r) { invalidated.push_back(r); };
    // The second picture of the same source stands far below the first.
    const TImageObj& first = *place();
    page.AddBlock(u"div", {{u"height", u"500px"}});
    const TImageObj& second = *place();
    page.Layout(200);

    ASSERT_EQ(page.Doc.AnimatedImages().size(), 2u);
    EXPECT_NE(first.Animation(), second.Animation()) << "the second use steps its own copy";
    ASSERT_FALSE(timer.empty());
    EXPECT_EQ(timer.back(), std::make_pair(true, FirstAnimationInterval));
    page.Paint(200, 100);
    page.Doc.AnimateTick(MilliClock() + 1000);
    EXPECT_EQ(first.Animation()->CurrentFrame(), 2);
    EXPECT_EQ(second.Animation()->CurrentFrame(), 1) << "not painted: it waits";
    ASSERT_EQ(invalidated.size(), 1u);
    EXPECT_EQ(invalidated[0], (Rect{first.DrawX, first.DrawY, first.DrawX + 10, first.DrawY + 10}));
    EXPECT_EQ(timer.back(), std::make_pair(true, AnimationInterval));
    page.Layout(200);
    EXPECT_EQ(first.Animation()->CurrentFrame(), 1) << "a new layout plays from the start";
}

// ---------------------------------------------------------------------------------------------------------------
// The cache

TEST(ImageCacheUse, PicturesOfOneSourceShareAnItemAndGiveTheirUsesBack)
{
    TestPage page;
    std::vector<std::unique_ptr<TFloatingObj>> objects;
    for (const char* src : {"<img src=\"%s\">", "<img src=\" %s \">"}) {
        std::string tag(src);
        tag.replace(tag.find("%s"), 2, Picture60x20);
        objects.push_back(std::make_unique<TImageObj>(page.Doc, TagAttributes(tag)));
    }
    page.Add(u"\x04 \x04", std::move(objects));
    page.Layout(400);
    ASSERT_EQ(page.Doc.ImageCache.Count(), 1);
    EXPECT_EQ(page.Doc.ImageCache.Item(0).UsageCount, 2);
    page.Doc.ClearDocument();
    EXPECT_EQ(page.Doc.ImageCache.Item(0).UsageCount, 0) << "kept for the next page, used by nobody";
}

TEST(ImageCacheUse, BlockAndPageBackgroundsComeFromTheCache)
{
    TestPage page;
    const std::string url = "url(" + Picture60x20 + ")";
    const u16 css = FromUtf8(url);
    page.AddBlock(u"div", {{u"background-image", css}, {u"height", u"30px"}});
    page.Doc.SetBackgroundImage(FromUtf8(Picture60x20), TBackgroundPlacement{});
    page.Doc.LoadBackgroundImage();
    page.Layout(100);
    const auto painted = page.Paint(100, 40);
    EXPECT_EQ(painted.Pixel(5, 5), Red);
    EXPECT_EQ(painted.Pixel(5, 25), Red) << "tiled";
    const TCachedPicture* background = page.Doc.PageBackground();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->Picture().Width(), 60);
    EXPECT_EQ(page.Doc.ImageCache.Count(), 1);
    EXPECT_EQ(page.Doc.ImageCache.Item(0).UsageCount, 2);
}

} // namespace
} // namespace lantern::testlayout
