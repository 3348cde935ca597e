#include "platform/Bitmap.h"

#include "common/Colors.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace lantern::platform {

namespace {

QRect ToQRect(const Rect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

Color FromQRgb(QRgb q)
{
    return MakeColor(qRed(q), qGreen(q), qBlue(q));
}

QRgb ToQRgb(Color c)
{
    Color rgb = ColorToRGB(c);
    return qRgb(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

// Nearest-pixel stretch: target pixel d takes source pixel floor(d * source size / target size), so whole-number
// enlargements repeat every source pixel exactly and edges stay where they were.
QImage StretchNearest(const QImage& src, int width, int height)
{
    QImage out(width, height, src.format());
    if (out.isNull())
        return out;
    if (src.format() == QImage::Format_Mono || src.format() == QImage::Format_MonoLSB) {
        out.setColorTable(src.colorTable());
        for (int y = 0; y < height; ++y) {
            int sy = static_cast<int>(static_cast<long long>(y) * src.height() / height);
            for (int x = 0; x < width; ++x)
                out.setPixel(x, y, src.pixelIndex(static_cast<int>(static_cast<long long>(x) * src.width() / width), sy));
        }
        return out;
    }
    QImage s = src.format() == QImage::Format_RGB32 || src.format() == QImage::Format_ARGB32_Premultiplied
                   ? src
                   : src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    out = QImage(width, height, s.format());
    if (out.isNull())
        return out;
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(s.constScanLine(static_cast<int>(static_cast<long long>(y) * s.height() / height)));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = in[static_cast<long long>(x) * s.width() / width];
    }
    return out;
}

QImage NewMono(int width, int height)
{
    QImage m(width, height, QImage::Format_Mono);
    m.setColorCount(2);
    m.setColor(0, qRgb(0, 0, 0));       // opaque
    m.setColor(1, qRgb(255, 255, 255)); // transparent
    m.fill(0);
    return m;
}

} // namespace

Bitmap::Bitmap() : img_(std::make_unique<QImage>()) {}

Bitmap::Bitmap(int width, int height, Color fill) : img_(std::make_unique<QImage>(std::max(0, width), std::max(0, height), QImage::Format_RGB32))
{
    img_->fill(ToQRgb(fill));
}

Bitmap::~Bitmap() = default;
Bitmap::Bitmap(const Bitmap& o) : img_(std::make_unique<QImage>(*o.img_)) {}
Bitmap& Bitmap::operator=(const Bitmap& o)
{
    *img_ = *o.img_;
    return *this;
}
Bitmap::Bitmap(Bitmap&& o) noexcept : img_(std::move(o.img_))
{
    o.img_ = std::make_unique<QImage>();
}
Bitmap& Bitmap::operator=(Bitmap&& o) noexcept
{
    std::swap(img_, o.img_);
    return *this;
}

Bitmap Bitmap::FromImage(const QImage& image)
{
    Bitmap b;
    if (!image.isNull())
        *b.img_ = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return b;
}

Bitmap Bitmap::Decode(std::span<const std::uint8_t> bytes)
{
    return FromImage(QImage::fromData(bytes.data(), static_cast<int>(bytes.size())));
}

int Bitmap::Width() const { return img_->width(); }
int Bitmap::Height() const { return img_->height(); }
bool Bitmap::IsEmpty() const { return img_->isNull() || img_->width() == 0 || img_->height() == 0; }
bool Bitmap::HasAlpha() const { return img_->hasAlphaChannel(); }

Color Bitmap::Pixel(int x, int y) const
{
    if (!img_->valid(x, y))
        return 0;
    return FromQRgb(img_->pixel(x, y));
}

void Bitmap::SetPixel(int x, int y, Color c)
{
    if (img_->valid(x, y))
        img_->setPixel(x, y, ToQRgb(c));
}

void Bitmap::Fill(Color c)
{
    img_->fill(ToQRgb(c));
}

Bitmap Bitmap::Copy(const Rect& source) const
{
    Bitmap b;
    *b.img_ = img_->copy(ToQRect(source));
    return b;
}

Bitmap Bitmap::Stretched(int width, int height, StretchMode mode) const
{
    Bitmap b;
    if (IsEmpty() || width <= 0 || height <= 0)
        return b;
    if (width == Width() && height == Height())
        *b.img_ = *img_;
    else if (mode == StretchMode::ColorOnColor)
        *b.img_ = StretchNearest(*img_, width, height);
    else
        *b.img_ = img_->scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return b;
}

const QImage& Bitmap::Image() const { return *img_; }
QImage& Bitmap::Image() { return *img_; }

Mask::Mask() : img_(std::make_unique<QImage>()) {}
Mask::Mask(int width, int height) : img_(std::make_unique<QImage>(NewMono(std::max(0, width), std::max(0, height)))) {}
Mask::~Mask() = default;
Mask::Mask(const Mask& o) : img_(std::make_unique<QImage>(*o.img_)) {}
Mask& Mask::operator=(const Mask& o)
{
    *img_ = *o.img_;
    return *this;
}
Mask::Mask(Mask&& o) noexcept : img_(std::move(o.img_))
{
    o.img_ = std::make_unique<QImage>();
}
Mask& Mask::operator=(Mask&& o) noexcept
{
    std::swap(img_, o.img_);
    return *this;
}

Mask Mask::FromColor(const Bitmap& bitmap, Color transparent)
{
    Mask m(bitmap.Width(), bitmap.Height());
    QRgb key = ToQRgb(transparent) & 0xFFFFFF;
    const QImage& img = bitmap.Image();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == key)
                m.img_->setPixel(x, y, 1);
    return m;
}

Mask Mask::FromCorner(const Bitmap& bitmap)
{
    if (bitmap.IsEmpty())
        return Mask();
    return FromColor(bitmap, bitmap.Pixel(0, bitmap.Height() - 1));
}

Mask Mask::FromImage(const QImage& image)
{
    Mask m(image.width(), image.height());
    bool mono = image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (mono ? image.pixelIndex(x, y) != 0 : (image.pixel(x, y) & 0xFFFFFF) != 0)
                m.img_->setPixel(x, y, 1);
    return m;
}

int Mask::Width() const { return img_->width(); }
int Mask::Height() const { return img_->height(); }
bool Mask::IsEmpty() const { return img_->isNull() || img_->width() == 0 || img_->height() == 0; }

bool Mask::IsTransparent(int x, int y) const
{
    return img_->valid(x, y) && img_->pixelIndex(x, y) == 1;
}

void Mask::SetTransparent(int x, int y, bool transparent)
{
    if (img_->valid(x, y))
        img_->setPixel(x, y, transparent ? 1 : 0);
}

Mask Mask::Copy(const Rect& source) const
{
    Mask m(source.Width(), source.Height());
    for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width(); ++x)
            if (IsTransparent(source.left + x, source.top + y))
                m.img_->setPixel(x, y, 1);
    return m;
}

Mask Mask::Stretched(int width, int height) const
{
    Mask m;
    if (IsEmpty() || width <= 0 || height <= 0)
        return m;
    *m.img_ = StretchNearest(*img_, width, height);
    return m;
}

const QImage& Mask::Image() const { return *img_; }
QImage& Mask::Image() { return *img_; }

namespace {

// Pictures smoothed whole up to this many pixels (then cut to the window), so what shows is exactly the whole
// picture's part; larger ones are smoothed only where they show.
constexpr long long SmoothWholeLimit = 1 << 22;

// Window w of `src` stretched to width x height; `src` is 32-bit.
QImage StretchWindow(const QImage& src, int width, int height, const Rect& w, StretchMode mode)
{
    if (mode == StretchMode::ColorOnColor) {
        // Target pixel d takes source pixel floor(d * source size / target size), as the whole stretch does.
        QImage out(w.Width(), w.Height(), src.format());
        if (out.isNull())
            return out;
        for (int y = 0; y < w.Height(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(
                src.constScanLine(static_cast<int>(static_cast<long long>(w.top + y) * src.height() / height)));
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < w.Width(); ++x)
                line[x] = in[static_cast<long long>(w.left + x) * src.width() / width];
        }
        return out;
    }
    if (static_cast<long long>(width) * height <= SmoothWholeLimit) {
        QImage whole = src.size() == QSize(width, height)
                           ? src
                           : src.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return whole.copy(QRect(w.left, w.top, w.Width(), w.Height()));
    }
    QImage out(w.Width(), w.Height(), src.format());
    if (out.isNull())
        return out;
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRectF(-w.left, -w.top, width, height), src);
    return out;
}

// The window clipped to the stretched picture.
Rect Within(const Rect& window, int width, int height)
{
    return Rect{std::max(window.left, 0), std::max(window.top, 0), std::min(window.right, width), std::min(window.bottom, height)};
}

QImage SourcePart(const Bitmap& bitmap, const Rect& source)
{
    QImage part = bitmap.Copy(source).Image();
    if (part.depth() != 32)
        part = part.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return part;
}

} // namespace

QImage StretchedPart(const Bitmap& bitmap, const Rect& source, int width, int height, const Rect& window, StretchMode mode)
{
    const Rect w = Within(window, width, height);
    if (bitmap.IsEmpty() || source.IsEmpty() || w.IsEmpty())
        return QImage();
    return StretchWindow(SourcePart(bitmap, source), width, height, w, mode);
}

Bitmap MaskedBitmap(const Bitmap& bitmap, const Mask& mask)
{
    const int w = bitmap.Width(), h = bitmap.Height();
    return Bitmap::FromImage(MaskedImage(bitmap, mask, Rect{0, 0, w, h}, w, h, StretchMode::ColorOnColor));
}

QImage MaskedImage(const Bitmap& bitmap, const Mask& mask, const Rect& source, int width, int height, StretchMode mode)
{
    return MaskedImage(bitmap, mask, source, width, height, Rect{0, 0, width, height}, mode);
}

QImage MaskedImage(const Bitmap& bitmap, const Mask& mask, const Rect& source, int width, int height,
                   const Rect& window, StretchMode mode)
{
    const Rect w = Within(window, width, height);
    if (bitmap.IsEmpty() || source.IsEmpty() || w.IsEmpty())
        return QImage();
    // Colours and mask are stretched apart: smoothing a combined image would give the mask soft edges. The
    // transparent pixels are blackened first (the picture ANDed with the inverted mask), so smoothing darkens the
    // visible edge rather than blending the transparent colour into it.
    QImage part = SourcePart(bitmap, source);
    if (!mask.IsEmpty()) {
        for (int y = 0; y < part.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
            for (int x = 0; x < part.width(); ++x)
                if (mask.IsTransparent(source.left + x, source.top + y))
                    line[x] = qRgb(0, 0, 0);
        }
    }
    QImage colour = StretchWindow(part, width, height, w, mode).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (mask.IsEmpty() || colour.isNull())
        return colour;
    // The mask, nearest pixel: target pixel d shows source pixel floor(d * source size / target size).
    const int sw = source.Width(), sh = source.Height();
    for (int y = 0; y < w.Height(); ++y) {
        const int sy = source.top + static_cast<int>(static_cast<long long>(w.top + y) * sh / height);
        auto* line = reinterpret_cast<QRgb*>(colour.scanLine(y));
        for (int x = 0; x < w.Width(); ++x)
            if (mask.IsTransparent(source.left + static_cast<int>(static_cast<long long>(w.left + x) * sw / width), sy))
                line[x] = 0;
    }
    return colour;
}

} // namespace lantern::platform
