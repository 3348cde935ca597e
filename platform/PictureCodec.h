// Pictures the platform decodes for the engine (bitmaps, JPEG, PNG and a few other formats that carry a magic
// number), bounded reads of picture files, and direct row access to 32-bit bitmaps and masks for the decoder the
// engine has of its own. Nothing here guesses a format from content: the caller names it, so random bytes never
// reach a decoder that would take them for a picture of some weakly marked format.
#pragma once

#include "common/Str.h"
#include "platform/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lantern::platform {

enum class PictureFormat : std::uint8_t { Bmp, Jpeg, Png, Tiff, Icon, WebP };

// The largest picture decoded, in pixels: what 200 000 000 bytes hold at 3 bytes a pixel, the bound the
// engine's own GIF strips keep too. A header that claims more gives no picture instead of exhausting memory.
inline constexpr long long MaxPicturePixels = 200'000'000 / 3;
// Picture files and streams longer than this are not read at all.
inline constexpr std::size_t MaxPictureBytes = std::size_t(128) << 20;

// The picture in that format, or an empty bitmap when the bytes are no such picture, it is broken or it is larger
// than MaxPicturePixels. Pictures with an alpha channel keep it (premultiplied); others are 32-bit RGB.
Bitmap DecodePicture(std::span<const std::uint8_t> bytes, PictureFormat format);

// The whole file when it exists and holds at most maxBytes bytes.
std::optional<std::vector<std::uint8_t>> ReadFileUpTo(u16v path, std::size_t maxBytes);

// A 32-bit RGB bitmap whose pixels are not set yet, for decoders that write every one; empty when memory for it
// cannot be had.
Bitmap UnfilledBitmap(int width, int height);

// Rows of a bitmap made with Bitmap(width, height, ...) or UnfilledBitmap, as 32-bit words 0xFFRRGGBB (not the engine's 0x00BBGGRR),
// for decoders that fill whole pictures at once; y must lie inside the bitmap.
std::uint32_t* BitmapRow(Bitmap& bitmap, int y);
const std::uint32_t* BitmapRow(const Bitmap& bitmap, int y);
// Bitmap words from engine colours and back.
constexpr std::uint32_t RowPixel(Color c)
{
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Rows of a mask: one bit a pixel, the most significant bit of each byte first, 1 = transparent.
std::uint8_t* MaskRow(Mask& mask, int y);
const std::uint8_t* MaskRow(const Mask& mask, int y);
// Bytes in one row of a mask of that width.
constexpr int MaskRowBytes(int width) { return (width + 7) / 8; }

} // namespace lantern::platform
