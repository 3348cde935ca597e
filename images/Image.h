// The kinds of picture the engine holds once it has loaded one, and how each is sized and drawn:
//  - TBitmap: a plain picture (BMP, JPEG, a single-frame GIF, a placeholder), drawn through a mask when it has
//    one; ThtBitmap is a bitmap that carries its own mask (an animation strip);
//  - TGpImage: a picture from the platform's reader that may have an alpha channel (PNG and the other formats
//    the reader handles), blended and smoothly scaled;
//  - TGIFImage (images/GifImage.h): an animation.
// There are no metafiles on this platform: they load as no picture, and the page shows the error picture.
#pragma once

#include "common/Exceptions.h"
#include "common/Types.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace lantern::platform {
class PaintCanvas;
}

namespace lantern {

// How a picture gets its transparency: none; the colour of its bottom-left pixel (the caller asks for it: the
// mask is made from the bitmap); a mask that came with the picture (a GIF's transparent colour, or a colour the
// host named); 3 is kept for callers that mark masks of their own and is treated like 2.
enum class TransparencyKind : std::uint8_t { None = 0, Corner = 1, Mask = 2, OwnMask = 3 };

enum class ImageKind : std::uint8_t { Bitmap, GpImage, Gif };

class TImage {
public:
    virtual ~TImage();
    TImage(const TImage&) = delete;
    TImage& operator=(const TImage&) = delete;

    ImageKind Kind() const { return kind_; }
    virtual int Width() const = 0;
    virtual int Height() const = 0;

protected:
    explicit TImage(ImageKind kind) : kind_(kind) {}

private:
    ImageKind kind_;
};

class TBitmap : public TImage {
public:
    explicit TBitmap(platform::Bitmap pixels) : TImage(ImageKind::Bitmap), Pixels(std::move(pixels)) {}

    int Width() const override { return Pixels.Width(); }
    int Height() const override { return Pixels.Height(); }

    platform::Bitmap Pixels;
};

// A bitmap with its own mask; drawn through the mask while Transparent is set. Pictures of this kind are
// animation frames and are stretched nearest-pixel, as frames must not blur into each other.
class ThtBitmap : public TBitmap {
public:
    ThtBitmap(platform::Bitmap pixels, std::optional<platform::Mask> mask);

    void Draw(platform::PaintCanvas& canvas, const Rect& target) const;
    // One part of the bitmap (a frame of a strip) into the target.
    void Draw(platform::PaintCanvas& canvas, const Rect& source, const Rect& target) const;

    std::optional<platform::Mask> BitMask;
    bool Transparent = false;
};

class TGpImage : public TImage {
public:
    explicit TGpImage(platform::Bitmap pixels) : TImage(ImageKind::GpImage), Pixels(std::move(pixels)) {}

    int Width() const override { return Pixels.Width(); }
    int Height() const override { return Pixels.Height(); }

    // Drawn into the rectangle at (x, y) of the given size, blended and smoothly scaled. A tiny picture
    // stretched large keeps full colour up to its edges (the stretch repeats its last row and column rather
    // than fading them out).
    void DrawImage(platform::PaintCanvas& canvas, int x, int y, int width, int height) const;
    // The part `source` of the picture at (x, y), unscaled.
    void DrawImagePart(platform::PaintCanvas& canvas, int x, int y, const Rect& source) const;
    // The picture drawn on white, at its own size.
    platform::Bitmap ImageToBitmap() const;

    platform::Bitmap Pixels; // premultiplied alpha when the picture has transparency
};

// Raised for a picture that is none of the kinds above.
class EGDIPlus : public EhtException {
public:
    using EhtException::EhtException;
};

// Width and height of any picture; EGDIPlus for none.
int ImageWidthOf(const TImage* image);
int ImageHeightOf(const TImage* image);

// A bitmap or GDI+ picture as a new bitmap of its size, except that a side of 1 pixel becomes the fallback for
// that side, capped at 100 (a background one pixel wide or high is stretched to its tiled extent once, so it is
// not drawn a pixel at a time). None for other kinds.
std::unique_ptr<TBitmap> ImageAsBitmap(const TImage& image, int fallbackWidth, int fallbackHeight);

} // namespace lantern
