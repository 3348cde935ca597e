#include "images/Image.h"

#include "platform/Canvas.h"

#include <algorithm>

namespace lantern {

TImage::~TImage() = default;

ThtBitmap::ThtBitmap(platform::Bitmap pixels, std::optional<platform::Mask> mask)
    : TBitmap(std::move(pixels)), BitMask(std::move(mask)), Transparent(BitMask.has_value())
{
}

void ThtBitmap::Draw(platform::PaintCanvas& canvas, const Rect& target) const
{
    Draw(canvas, Rect{0, 0, Width(), Height()}, target);
}

void ThtBitmap::Draw(platform::PaintCanvas& canvas, const Rect& source, const Rect& target) const
{
    if (Transparent && BitMask)
        canvas.DrawMasked(target, Pixels, *BitMask, source, platform::StretchMode::ColorOnColor);
    else
        canvas.DrawBitmap(target, Pixels, source, platform::StretchMode::ColorOnColor);
}

void TGpImage::DrawImage(platform::PaintCanvas& canvas, int x, int y, int width, int height) const
{
    // The platform's smooth stretch clamps at the picture's edges, which is what the padded copy of a tiny
    // picture is for; no copy is needed.
    canvas.DrawBitmap(Rect{x, y, x + width, y + height}, Pixels, platform::StretchMode::Halftone);
}

void TGpImage::DrawImagePart(platform::PaintCanvas& canvas, int x, int y, const Rect& source) const
{
    canvas.DrawBitmap(Rect{x, y, x + source.Width(), y + source.Height()}, Pixels, source, platform::StretchMode::ColorOnColor);
}

platform::Bitmap TGpImage::ImageToBitmap() const
{
    platform::Bitmap white(Width(), Height(), 0xFFFFFF);
    platform::PaintCanvas canvas(white);
    DrawImage(canvas, 0, 0, Width(), Height());
    return white;
}

namespace {

[[noreturn]] void NotAnImage()
{
    throw EGDIPlus("Not a TBitmap, TGifImage, TMetafile, or TGpImage");
}

} // namespace

int ImageWidthOf(const TImage* image)
{
    if (!image)
        NotAnImage();
    return image->Width();
}

int ImageHeightOf(const TImage* image)
{
    if (!image)
        NotAnImage();
    return image->Height();
}

std::unique_ptr<TBitmap> ImageAsBitmap(const TImage& image, int fallbackWidth, int fallbackHeight)
{
    if (image.Kind() == ImageKind::Gif)
        return nullptr;
    auto side = [](int own, int fallback) { return own == 1 ? std::clamp(fallback, 1, 100) : own; };
    const int width = side(image.Width(), fallbackWidth), height = side(image.Height(), fallbackHeight);
    if (image.Kind() == ImageKind::Bitmap)
        return std::make_unique<TBitmap>(
            static_cast<const TBitmap&>(image).Pixels.Stretched(width, height, platform::StretchMode::Halftone));
    platform::Bitmap white(width, height, 0xFFFFFF);
    platform::PaintCanvas canvas(white);
    static_cast<const TGpImage&>(image).DrawImage(canvas, 0, 0, width, height);
    return std::make_unique<TBitmap>(std::move(white));
}

} // namespace lantern
