// Drawing pictures: alpha pictures stretched from tiny sizes, bitmaps of one-pixel backgrounds, and the
// placeholder pictures.
#include "images/Image.h"
#include "images/Placeholders.h"

#include "platform/Canvas.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace lantern;

namespace {

QImage Page(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

} // namespace

// A tiny picture stretched large keeps its full colour up to the edges, with no fade into the page.
TEST(Drawing, TinyAlphaPicturesStretchWithoutFadingEdges)
{
    TGpImage dot(platform::Bitmap(1, 1, 0x0000FF));
    QImage page = Page(60, 60);
    platform::PaintCanvas canvas(page);
    dot.DrawImage(canvas, 5, 5, 50, 50);
    int off = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool inside = x >= 5 && x < 55 && y >= 5 && y < 55;
            off += page.pixel(x, y) != (inside ? qRgb(255, 0, 0) : qRgb(255, 255, 255));
        }
    EXPECT_EQ(off, 0);

    platform::Bitmap two(2, 2, 0x0000FF);
    two.SetPixel(1, 1, 0xFF0000);
    TGpImage square(two);
    QImage big = Page(40, 40);
    platform::PaintCanvas bigCanvas(big);
    square.DrawImage(bigCanvas, 0, 0, 40, 40);
    EXPECT_EQ(big.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(big.pixel(39, 39), qRgb(0, 0, 255));
    EXPECT_EQ(big.pixel(39, 0), qRgb(255, 0, 0));
}

TEST(Drawing, AlphaPicturesBlendWithThePage)
{
    QImage source(1, 1, QImage::Format_ARGB32);
    source.fill(qRgba(0, 0, 0, 0));
    TGpImage clear(platform::Bitmap::FromImage(source));
    QImage page = Page(4, 4);
    platform::PaintCanvas canvas(page);
    clear.DrawImage(canvas, 0, 0, 4, 4);
    EXPECT_EQ(page.pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(clear.ImageToBitmap().Pixel(0, 0), 0xFFFFFFu);
}

TEST(Drawing, OnePixelBackgroundsBecomeTheirFallbackSize)
{
    const TBitmap column(platform::Bitmap(1, 7, 0x123456));
    struct Case {
        int fallbackWidth, fallbackHeight, width, height;
    } cases[] = {{30, 90, 30, 7}, {500, 500, 100, 7}, {0, 0, 1, 7}};
    for (const Case& c : cases) {
        const auto b = ImageAsBitmap(column, c.fallbackWidth, c.fallbackHeight);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->Width(), c.width) << c.fallbackWidth;
        EXPECT_EQ(b->Height(), c.height) << c.fallbackWidth;
        EXPECT_EQ(b->Pixels.Pixel(b->Width() - 1, 3), 0x123456u);
    }
    const TGpImage row(platform::Bitmap(5, 1, 0x00FF00));
    const auto b = ImageAsBitmap(row, 8, 40);
    EXPECT_EQ(b->Width(), 5);
    EXPECT_EQ(b->Height(), 40);
    EXPECT_EQ(b->Pixels.Pixel(4, 39), 0x00FF00u);
}

TEST(Drawing, Placeholders)
{
    for (const TBitmap* p : {&DefaultBitmap(), &ErrorBitmap()}) {
        EXPECT_EQ(p->Width(), 16);
        EXPECT_EQ(p->Height(), 16);
        EXPECT_TRUE(IsPlaceholder(p));
    }
    const TBitmap other(platform::Bitmap(16, 16));
    EXPECT_FALSE(IsPlaceholder(&other));
    // The error picture is yellow with a black mark, and its mask rounds its corners off.
    EXPECT_EQ(ErrorBitmap().Pixels.Pixel(4, 8), 0x00FFFFu);
    EXPECT_EQ(ErrorBitmap().Pixels.Pixel(7, 4), 0x000000u);
    const platform::Mask& mask = ErrorBitmapMask();
    for (const auto& [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}, {1, 0}, {0, 1}})
        EXPECT_TRUE(mask.IsTransparent(x, y)) << x << "," << y;
    for (const auto& [x, y] : {std::pair{8, 8}, {0, 8}, {8, 0}, {1, 1}})
        EXPECT_FALSE(mask.IsTransparent(x, y)) << x << "," << y;
}
