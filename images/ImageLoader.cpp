#include "images/ImageLoader.h"

#include "images/Gif.h"
#include "images/GifImage.h"
#include "platform/FileSystem.h"
#include "platform/PictureCodec.h"

#include <cstring>
#include <sstream>

namespace lantern {

namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view magic, std::size_t at = 0)
{
    return bytes.size() >= at + magic.size() && std::memcmp(bytes.data() + at, magic.data(), magic.size()) == 0;
}

// The formats beyond the four the first bytes tell that the platform's reader also decodes, each by its own magic
// number; weakly marked formats are left out so that random data is never taken for a picture.
std::optional<platform::PictureFormat> OtherFormat(std::span<const std::uint8_t> bytes)
{
    using namespace std::string_view_literals;
    if (StartsWith(bytes, "II*\0"sv) || StartsWith(bytes, "MM\0*"sv))
        return platform::PictureFormat::Tiff;
    if (StartsWith(bytes, "\0\0\1\0"sv))
        return platform::PictureFormat::Icon;
    if (StartsWith(bytes, "RIFF"sv) && StartsWith(bytes, "WEBP"sv, 8))
        return platform::PictureFormat::WebP;
    return std::nullopt;
}

TDecodedImage Bitmap(platform::Bitmap pixels, TransparencyKind requested)
{
    TDecodedImage out;
    if (pixels.IsEmpty())
        return out;
    out.Transparency = requested;
    if (requested == TransparencyKind::Corner)
        out.Mask = MakeCornerMask(pixels);
    out.Image = std::make_unique<TBitmap>(std::move(pixels));
    return out;
}

TDecodedImage AlphaPicture(platform::Bitmap pixels)
{
    TDecodedImage out;
    if (!pixels.IsEmpty())
        out.Image = std::make_unique<TGpImage>(std::move(pixels));
    return out;
}

TDecodedImage Gif(std::span<const std::uint8_t> bytes, TransparencyKind requested)
{
    TDecodedImage out;
    std::unique_ptr<TGIFImage> gif;
    try {
        gif = LoadGifImage(bytes);
    } catch (const EInvalidGraphicOperation&) {
        return out;
    }
    out.Transparency = requested;
    if (gif->Animated()) {
        out.Image = std::move(gif);
        return out;
    }
    // A single frame is a plain bitmap; its transparent colour became its mask.
    if (const platform::Mask* mask = gif->GetMask()) {
        out.Mask = std::make_unique<platform::Mask>(*mask);
        out.Transparency = TransparencyKind::Mask;
    } else if (requested == TransparencyKind::Corner) {
        out.Mask = MakeCornerMask(gif->GetBitmap());
    }
    out.Image = std::make_unique<TBitmap>(gif->GetBitmap());
    return out;
}

} // namespace

ImageFormat DetectImageFormat(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 4)
        return ImageFormat::Other;
    const std::uint32_t v = bytes[0] | (std::uint32_t(bytes[1]) << 8) | (std::uint32_t(bytes[2]) << 16) | (std::uint32_t(bytes[3]) << 24);
    if (v == 0x38464947)
        return ImageFormat::Gif;
    if (v == 0x474E5089)
        return ImageFormat::Png;
    if ((v & 0xFFFF) == 0x4D42)
        return ImageFormat::Bitmap;
    if ((v & 0xFFFF) == 0xD8FF)
        return ImageFormat::Jpeg;
    return ImageFormat::Other;
}

TDecodedImage DecodeImageStream(std::span<const std::uint8_t> bytes, TransparencyKind requested)
{
    if (bytes.size() <= 3)
        return {};
    try {
        switch (DetectImageFormat(bytes)) {
        case ImageFormat::Bitmap:
            return Bitmap(platform::DecodePicture(bytes, platform::PictureFormat::Bmp), requested);
        case ImageFormat::Gif:
            return Gif(bytes, requested);
        case ImageFormat::Png:
            return AlphaPicture(platform::DecodePicture(bytes, platform::PictureFormat::Png));
        case ImageFormat::Jpeg:
            return Bitmap(platform::DecodePicture(bytes, platform::PictureFormat::Jpeg), TransparencyKind::None);
        case ImageFormat::Other:
            if (const auto format = OtherFormat(bytes))
                return AlphaPicture(platform::DecodePicture(bytes, *format));
            return {};
        }
    } catch (const std::exception&) {
        // A picture the memory could not hold, or a decoder's failure, is a picture that failed.
    }
    return {};
}

TDecodedImage DecodeImageStream(std::istream& stream, TransparencyKind requested)
{
    stream.clear();
    stream.seekg(0);
    if (!stream)
        stream.clear(); // not seekable: read on from where it stands
    std::vector<std::uint8_t> bytes;
    char chunk[64 * 1024];
    while (stream) {
        stream.read(chunk, sizeof chunk);
        const auto got = static_cast<std::size_t>(stream.gcount());
        if (bytes.size() + got > platform::MaxPictureBytes)
            return {};
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return DecodeImageStream(bytes, requested);
}

TDecodedImage DecodeImageFile(u16v fileName, TransparencyKind requested)
{
    if (fileName.empty())
        return {};
    const std::optional<u16> path = platform::LocateFile(platform::FullPath(fileName));
    if (!path)
        return {};
    const auto bytes = platform::ReadFileUpTo(*path, platform::MaxPictureBytes);
    if (!bytes)
        return {};
    return DecodeImageStream(*bytes, requested);
}

std::unique_ptr<platform::Mask> MakeCornerMask(const platform::Bitmap& bitmap, std::optional<Color> given)
{
    if (bitmap.IsEmpty())
        return nullptr;
    return std::make_unique<platform::Mask>(given ? platform::Mask::FromColor(bitmap, *given) : platform::Mask::FromCorner(bitmap));
}

// ---------------------------------------------------------------------------------------------------------------
// data: urls

bool IsDataImageUrl(u16v source)
{
    return StartsTextAscii(u"data:image/", TrimView(source));
}

namespace {

int Base64Value(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 26;
    if (c >= u'0' && c <= u'9')
        return c - u'0' + 52;
    if (c == u'+')
        return 62;
    if (c == u'/')
        return 63;
    return -1;
}

} // namespace

std::optional<std::vector<std::uint8_t>> DataUrlBytes(u16v source)
{
    const u16v text = TrimView(source);
    if (!IsDataImageUrl(text))
        return std::nullopt;
    const std::size_t marker = UpperAscii(text).find(u";BASE64,");
    if (marker == u16::npos)
        return std::nullopt;
    const u16v payload = text.substr(marker + 8);

    std::vector<std::uint8_t> bytes;
    bytes.reserve(payload.size() * 3 / 4);
    std::uint32_t bits = 0;
    int count = 0;
    for (std::size_t i = 0; i < payload.size(); ++i) {
        char16_t c = payload[i];
        // Percent escapes stand for their unit: %0A for the line feeds of a wrapped url, %2B, %2F and %3D for
        // the Base64 units that urls escape.
        if (c == u'%' && i + 2 < payload.size() && HexDigit(payload[i + 1]) >= 0 && HexDigit(payload[i + 2]) >= 0) {
            c = static_cast<char16_t>(HexDigit(payload[i + 1]) * 16 + HexDigit(payload[i + 2]));
            i += 2;
        }
        if (c == u'=')
            break;
        const int v = Base64Value(c);
        if (v < 0)
            continue;
        bits = (bits << 6) | std::uint32_t(v);
        if (++count == 4) {
            bytes.push_back(std::uint8_t(bits >> 16));
            bytes.push_back(std::uint8_t(bits >> 8));
            bytes.push_back(std::uint8_t(bits));
            bits = 0;
            count = 0;
        }
    }
    if (count >= 2)
        bytes.push_back(std::uint8_t(bits >> (count == 2 ? 4 : 10)));
    if (count == 3)
        bytes.push_back(std::uint8_t(bits >> 2));
    return bytes;
}

std::istream& PendingImageStream()
{
    static std::istringstream pending;
    return pending;
}

std::istream& NoImageStream()
{
    static std::istringstream none;
    return none;
}

} // namespace lantern
