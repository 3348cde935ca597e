#include "platform/PictureCodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

namespace lantern::platform {

namespace {

const char* ReaderFormat(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bmp:
        return "bmp";
    case PictureFormat::Jpeg:
        return "jpeg";
    case PictureFormat::Png:
        return "png";
    case PictureFormat::Tiff:
        return "tiff";
    case PictureFormat::Icon:
        return "ico";
    case PictureFormat::WebP:
        return "webp";
    }
    return "";
}

} // namespace

Bitmap DecodePicture(std::span<const std::uint8_t> bytes, PictureFormat format)
{
    if (bytes.empty() || bytes.size() > MaxPictureBytes)
        return Bitmap();
    // The reader reads straight from the caller's bytes; nothing is copied before the picture is known to fit.
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return Bitmap();
    QImageReader reader(&buffer, ReaderFormat(format));
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (size.isValid() && static_cast<long long>(size.width()) * size.height() > MaxPicturePixels)
        return Bitmap();
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return Bitmap();
    if (static_cast<long long>(image.width()) * image.height() > MaxPicturePixels)
        return Bitmap();
    return Bitmap::FromImage(image);
}

std::optional<std::vector<std::uint8_t>> ReadFileUpTo(u16v path, std::size_t maxBytes)
{
    QFile file(QString::fromUtf16(path.data(), qsizetype(path.size())));
    if (!file.open(QIODevice::ReadOnly) || file.size() < 0 || static_cast<unsigned long long>(file.size()) > maxBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
    if (!bytes.empty() && file.read(reinterpret_cast<char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()))
        return std::nullopt;
    return bytes;
}

Bitmap UnfilledBitmap(int width, int height)
{
    return Bitmap::FromImage(QImage(width, height, QImage::Format_RGB32));
}

std::uint32_t* BitmapRow(Bitmap& bitmap, int y)
{
    return reinterpret_cast<std::uint32_t*>(bitmap.Image().scanLine(y));
}

const std::uint32_t* BitmapRow(const Bitmap& bitmap, int y)
{
    return reinterpret_cast<const std::uint32_t*>(bitmap.Image().constScanLine(y));
}

std::uint8_t* MaskRow(Mask& mask, int y)
{
    return mask.Image().scanLine(y);
}

const std::uint8_t* MaskRow(const Mask& mask, int y)
{
    return mask.Image().constScanLine(y);
}

} // namespace lantern::platform
