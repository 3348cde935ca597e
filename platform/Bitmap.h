// Pictures as the engine handles them: a bitmap of pixels and a 1-bit mask beside it (1 = transparent) whose edges
// stay hard however the picture is stretched. Colours cross this boundary as 0x00BBGGRR values.
#pragma once

#include "common/Types.h"

#include <cstdint>
#include <memory>
#include <span>

class QImage;

namespace lantern::platform {

// How a stretched picture samples its source: nearest pixel (animation frames, masks) or smoothed (bitmaps).
enum class StretchMode : std::uint8_t { ColorOnColor, Halftone };

class Bitmap {
public:
    Bitmap();
    Bitmap(int width, int height, Color fill = 0xFFFFFF);
    ~Bitmap();
    Bitmap(const Bitmap&);
    Bitmap& operator=(const Bitmap&);
    Bitmap(Bitmap&&) noexcept;
    Bitmap& operator=(Bitmap&&) noexcept;

    // Opaque images become 32-bit RGB; images with an alpha channel keep it (premultiplied).
    static Bitmap FromImage(const QImage& image);
    // Any format the platform decodes; an empty bitmap when the bytes are not a picture.
    static Bitmap Decode(std::span<const std::uint8_t> bytes);

    int Width() const;
    int Height() const;
    bool IsEmpty() const;
    bool HasAlpha() const;

    Color Pixel(int x, int y) const; // 0x00BBGGRR; 0 outside
    void SetPixel(int x, int y, Color c);
    void Fill(Color c);

    Bitmap Copy(const Rect& source) const;
    Bitmap Stretched(int width, int height, StretchMode mode) const;

    const QImage& Image() const;
    QImage& Image();

private:
    std::unique_ptr<QImage> img_;
};

class Mask {
public:
    Mask();
    Mask(int width, int height); // all opaque
    ~Mask();
    Mask(const Mask&);
    Mask& operator=(const Mask&);
    Mask(Mask&&) noexcept;
    Mask& operator=(Mask&&) noexcept;

    // Transparent wherever the bitmap's pixel equals the colour exactly.
    static Mask FromColor(const Bitmap& bitmap, Color transparent);
    // Transparent wherever the pixel equals the bottom-left one.
    static Mask FromCorner(const Bitmap& bitmap);
    // From a 1-bit or any other image: non-zero (or set) pixels are transparent.
    static Mask FromImage(const QImage& image);

    int Width() const;
    int Height() const;
    bool IsEmpty() const;
    bool IsTransparent(int x, int y) const; // false outside
    void SetTransparent(int x, int y, bool transparent);

    Mask Copy(const Rect& source) const;
    Mask Stretched(int width, int height) const; // always nearest pixel: a mask never grows soft edges

    const QImage& Image() const; // Format_Mono, bit 1 = transparent
    QImage& Image();

private:
    std::unique_ptr<QImage> img_;
};

// The source rectangle of a bitmap stretched to width x height, but only the part `window` of the result (in the
// stretched picture's own coordinates): a picture stretched far beyond the screen costs only what shows.
QImage StretchedPart(const Bitmap& bitmap, const Rect& source, int width, int height, const Rect& window,
                     StretchMode mode);

// The picture as drawn through its mask: a premultiplied image of the target size (or of its part `window`),
// fully transparent where the (nearest-pixel stretched) mask is set and the colours stretched by `mode` elsewhere.
QImage MaskedImage(const Bitmap& bitmap, const Mask& mask, const Rect& source, int width, int height, StretchMode mode);
// The picture with its mask folded into its alpha: transparent where the mask is set, at its own size.
Bitmap MaskedBitmap(const Bitmap& bitmap, const Mask& mask);
QImage MaskedImage(const Bitmap& bitmap, const Mask& mask, const Rect& source, int width, int height,
                   const Rect& window, StretchMode mode);

} // namespace lantern::platform
