// From bytes to a picture: the format told by the first bytes, the decoder for it, the transparency mask where
// one is asked for, and the bytes of files, streams and `data:image/...;base64,` urls.
//
// Nothing here raises: data that is no picture, is broken or is larger than the platform's picture bounds gives
// no picture, and the page shows the error picture instead.
#pragma once

#include "common/Str.h"
#include "images/Image.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace lantern {

enum class ImageFormat : std::uint8_t { Other = 0, Bitmap = 1, Gif = 2, Png = 3, Jpeg = 4 };

// By the first four bytes: "GIF8", 0x89 "PNG", "BM", 0xFF 0xD8; anything else (or fewer bytes) is Other.
ImageFormat DetectImageFormat(std::span<const std::uint8_t> bytes);

struct TDecodedImage {
    std::unique_ptr<TImage> Image; // none when the data is no picture
    std::unique_ptr<platform::Mask> Mask;
    // The kind asked for, or the kind the picture brought with it (Mask for a GIF's transparent colour,
    // None for JPEG and alpha pictures).
    TransparencyKind Transparency = TransparencyKind::None;
};

// A GIF of several frames stays an animation; one of a single frame becomes a bitmap with its mask. Bitmaps
// and JPEG pictures are bitmaps, PNG, TIFF, icons and WebP pictures keep their alpha channel. A requested
// Corner kind makes the bitmap's corner mask.
TDecodedImage DecodeImageStream(std::span<const std::uint8_t> bytes, TransparencyKind requested);
// The stream from its start to its end (streams longer than the platform's picture bound give no picture).
TDecodedImage DecodeImageStream(std::istream& stream, TransparencyKind requested);
// None when the file does not exist; a name that differs from the file's only in letter case finds it.
TDecodedImage DecodeImageFile(u16v fileName, TransparencyKind requested);

// Transparent where the bitmap has the given colour, or without one the colour of its bottom-left pixel; none
// for an empty bitmap.
std::unique_ptr<platform::Mask> MakeCornerMask(const platform::Bitmap& bitmap, std::optional<Color> given = std::nullopt);

// Sources that name their picture inline: "data:image/" in any letter case.
bool IsDataImageUrl(u16v source);
// The picture bytes of a data url; none without ";base64,". The text after the marker is percent-decoded and
// read as Base64, skipping every unit outside its alphabet (the line breaks of a wrapped url among them) and
// ending at the first "=".
std::optional<std::vector<std::uint8_t>> DataUrlBytes(u16v source);

// The answers a host gives to a picture request when it has no picture to hand over now: the pending marker
// (the picture comes later) and the no-image marker. They are told apart by address.
std::istream& PendingImageStream();
std::istream& NoImageStream();

} // namespace lantern
