#include "platform/Bitmap.h"
#include "platform/Canvas.h"

#include "Pixels.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace lantern;
using namespace lantern::platform;
using namespace lantern::platform::test;

namespace {

constexpr Color Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000;

// 2 x 2: red everywhere except a blue bottom-left pixel, which is the transparent colour by the corner rule.
Bitmap CornerPicture()
{
    Bitmap b(2, 2, Red);
    b.SetPixel(0, 1, Blue);
    return b;
}

} // namespace

TEST(Mask, FromColourAndFromCorner)
{
    Bitmap b = CornerPicture();
    Mask corner = Mask::FromCorner(b);
    ASSERT_EQ(corner.Width(), 2);
    EXPECT_TRUE(corner.IsTransparent(0, 1));
    EXPECT_FALSE(corner.IsTransparent(0, 0));
    EXPECT_FALSE(corner.IsTransparent(1, 1));
    EXPECT_FALSE(corner.IsTransparent(5, 5)); // outside

    Mask red = Mask::FromColor(b, Red);
    EXPECT_FALSE(red.IsTransparent(0, 1));
    EXPECT_TRUE(red.IsTransparent(1, 0));
    // Only an exact match is transparent.
    b.SetPixel(1, 1, 0x0000FE);
    EXPECT_FALSE(Mask::FromColor(b, Red).IsTransparent(1, 1));
    EXPECT_TRUE(Mask::FromCorner(Bitmap()).IsEmpty());
}

TEST(Mask, StretchingKeepsHardEdges)
{
    Mask m(2, 2);
    m.SetTransparent(1, 0, true);
    struct Case {
        int width, height;
    } cases[] = {{8, 8}, {3, 3}, {5, 2}, {1, 1}};
    for (const Case& c : cases) {
        Mask s = m.Stretched(c.width, c.height);
        ASSERT_EQ(s.Width(), c.width);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                EXPECT_EQ(s.IsTransparent(x, y), m.IsTransparent(x * 2 / c.width, y * 2 / c.height))
                    << c.width << "x" << c.height << " at " << x << "," << y;
    }
}

// Drawn through its mask and enlarged four times, the picture keeps the background exactly where the mask is set
// and covers it completely elsewhere, whichever way the colours are stretched.
TEST(PaintCanvasPictures, MaskedDrawingIsHardEdged)
{
    Bitmap picture = CornerPicture();
    Mask mask = Mask::FromCorner(picture);
    for (StretchMode mode : {StretchMode::ColorOnColor, StretchMode::Halftone}) {
        QImage img = WhiteImage(20, 20);
        img.fill(qRgb(0, 255, 0));
        PaintCanvas p(img);
        p.DrawMasked(Rect{4, 4, 12, 12}, picture, mask, mode);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                QRgb px = img.pixel(x, y);
                bool inside = x >= 4 && x < 12 && y >= 4 && y < 12;
                bool masked = inside && x < 8 && y >= 8;
                if (!inside || masked)
                    ASSERT_EQ(px, qRgb(0, 255, 0)) << int(mode) << " " << x << "," << y;
                else
                    ASSERT_EQ(qGreen(px), 0) << int(mode) << " " << x << "," << y; // no blend with the background
            }
        if (mode == StretchMode::ColorOnColor) {
            EXPECT_EQ(img.pixel(11, 11), qRgb(255, 0, 0));
        }
    }
}

// Before the colours are smoothed, the transparent pixels are blackened (the picture is ANDed with the inverted
// mask), so the key colour never bleeds into the visible edge: edge pixels darken instead.
TEST(PaintCanvasPictures, SmoothStretchNeverShowsTheTransparentColour)
{
    Bitmap picture = CornerPicture(); // red, with the blue key colour at the bottom left
    Mask mask = Mask::FromCorner(picture);
    QImage img = WhiteImage(8, 8);
    PaintCanvas p(img);
    p.DrawMasked(Rect{0, 0, 8, 8}, picture, mask, StretchMode::Halftone);
    bool darkened = false;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            if (mask.IsTransparent(x / 4, y / 4))
                continue;
            QRgb px = img.pixel(x, y);
            ASSERT_EQ(qBlue(px), 0) << x << "," << y;
            darkened = darkened || qRed(px) < 255;
        }
    EXPECT_TRUE(darkened);
}

// A picture stretched far past the surface is only stretched as far as it shows: a page asking for a huge image
// costs no more than the screen, and what shows equals the same part of the whole stretched picture.
TEST(PaintCanvasPictures, StretchedFarPastTheSurfaceOnlyWhatShows)
{
    Bitmap picture(4, 4, Red);
    picture.SetPixel(1, 2, Green);
    picture.SetPixel(3, 0, Blue);
    picture.SetPixel(0, 3, Blue); // the corner: transparent through the mask
    const Mask mask = Mask::FromCorner(picture);
    for (StretchMode mode : {StretchMode::ColorOnColor, StretchMode::Halftone})
        for (bool masked : {false, true}) {
            SCOPED_TRACE(std::to_string(int(mode)) + (masked ? " masked" : ""));
            auto draw = [&](PaintCanvas& p, const Rect& target) {
                if (masked)
                    p.DrawMasked(target, picture, mask, mode);
                else
                    p.DrawBitmap(target, picture, mode);
            };
            QImage whole = WhiteImage(100, 100);
            {
                PaintCanvas p(whole);
                draw(p, Rect{0, 0, 100, 100});
            }
            QImage window = WhiteImage(40, 40);
            {
                PaintCanvas p(window);
                draw(p, Rect{-30, -30, 70, 70});
            }
            EXPECT_TRUE(window == whole.copy(30, 30, 40, 40));

            QImage huge = WhiteImage(40, 40);
            PaintCanvas p(huge);
            p.IntersectClipRect(Rect{0, 0, 30, 40});
            draw(p, Rect{0, 0, 1 << 20, 1 << 20});
            EXPECT_EQ(QColor(huge.pixel(10, 10)), QColor(Qt::red)); // deep inside the top-left source pixel
            EXPECT_EQ(huge.pixel(35, 10), qRgb(255, 255, 255)); // clipped away
        }
}

TEST(PaintCanvasPictures, SourceRectanglesAndNearestStretch)
{
    Bitmap strip(3, 1, Red);
    strip.SetPixel(1, 0, Green);
    strip.SetPixel(2, 0, Blue);
    QImage img = WhiteImage(10, 4);
    PaintCanvas p(img);
    p.DrawBitmap(Rect{1, 1, 5, 3}, strip, Rect{1, 0, 3, 1}, StretchMode::ColorOnColor);
    EXPECT_EQ(InkBounds(img), (Rect{1, 1, 5, 3}));
    EXPECT_EQ(img.pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(2, 2), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(3, 1), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(4, 2), qRgb(0, 0, 255));

    // Two pixels to three: target pixel d samples source pixel d * 2 / 3.
    Bitmap two(2, 1, Red);
    two.SetPixel(1, 0, Blue);
    Bitmap three = two.Stretched(3, 1, StretchMode::ColorOnColor);
    EXPECT_EQ(three.Pixel(0, 0), Red);
    EXPECT_EQ(three.Pixel(1, 0), Red);
    EXPECT_EQ(three.Pixel(2, 0), Blue);
}

TEST(PaintCanvasPictures, CopyRectReadsTheCanvasUnderItsTransform)
{
    QImage img = WhiteImage(30, 30);
    QPainter painter(&img);
    painter.translate(-10, -5); // as when a buffer holds only the area being repainted
    PaintCanvas p(painter);
    p.FillRect(Rect{12, 7, 14, 8}, Red);
    Bitmap copy = p.CopyRect(Rect{11, 6, 15, 9});
    ASSERT_EQ(copy.Width(), 4);
    ASSERT_EQ(copy.Height(), 3);
    EXPECT_EQ(copy.Pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(copy.Pixel(1, 1), Red);
    EXPECT_EQ(copy.Pixel(2, 1), Red);
    EXPECT_EQ(copy.Pixel(3, 1), 0xFFFFFFu);

    // And back: a bitmap drawn unscaled is a plain copy.
    QImage other = WhiteImage(10, 10);
    PaintCanvas q(other);
    q.DrawBitmap(Rect{0, 0, 4, 3}, copy, StretchMode::Halftone);
    EXPECT_EQ(other.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(other.pixel(0, 0), qRgb(255, 255, 255));
}
