#include "images/Placeholders.h"

#include <array>
#include <string_view>

namespace lantern {

namespace {

using Art = std::array<std::string_view, 16>;

// A globe on the button face: navy rim, blue sea, green land, a white glint.
constexpr Art Globe = {
    "................",
    ".....######.....",
    "...##bbGGbb##...",
    "..#bwbGGGbbbb#..",
    "..#wbGGGGbbbG#..",
    ".#bbGGGbbbbGGb#.",
    ".#bbbGGbbbGGGb#.",
    ".#bbbbGbbbbGGb#.",
    ".#bbbbbbbbGGbb#.",
    ".#bbbbbGGbbbbb#.",
    ".#bbbbGGGGbbbb#.",
    "..#bbbbGGGbbb#..",
    "..#bbbbbGbbbb#..",
    "...##bbbbbb##...",
    ".....######.....",
    "................",
};

// A yellow rounded square with a black rim and exclamation mark; the corners outside the rim are masked.
constexpr Art Warning = {
    "..############..",
    ".#YYYYYYYYYYYY#.",
    "#YYYYYYkkYYYYYY#",
    "#YYYYYkkkkYYYYY#",
    "#YYYYYkkkkYYYYY#",
    "#YYYYYkkkkYYYYY#",
    "#YYYYYkkkkYYYYY#",
    "#YYYYYYkkYYYYYY#",
    "#YYYYYYkkYYYYYY#",
    "#YYYYYYkkYYYYYY#",
    "#YYYYYYYYYYYYYY#",
    "#YYYYYYkkYYYYYY#",
    "#YYYYYYkkYYYYYY#",
    "#YYYYYYYYYYYYYY#",
    ".#YYYYYYYYYYYY#.",
    "..############..",
};

Color ArtColor(char c)
{
    switch (c) {
    case '#':
        return 0x800000; // navy
    case 'b':
        return 0xE0A040; // sea blue
    case 'G':
        return 0x30A030; // green
    case 'w':
        return 0xFFFFFF;
    case 'Y':
        return 0x00FFFF; // yellow
    case 'k':
        return 0x000000;
    default:
        return 0xC0C0C0; // the button face
    }
}

platform::Bitmap Draw(const Art& art, bool blackRim)
{
    platform::Bitmap b(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const char c = art[std::size_t(y)][std::size_t(x)];
            b.SetPixel(x, y, blackRim && c == '#' ? 0x000000 : ArtColor(c));
        }
    return b;
}

} // namespace

const TBitmap& DefaultBitmap()
{
    static const TBitmap globe(Draw(Globe, false));
    return globe;
}

const TBitmap& ErrorBitmap()
{
    static const TBitmap warning(Draw(Warning, true));
    return warning;
}

const platform::Mask& ErrorBitmapMask()
{
    static const platform::Mask mask = [] {
        platform::Mask m(16, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                m.SetTransparent(x, y, Warning[std::size_t(y)][std::size_t(x)] == '.');
        return m;
    }();
    return mask;
}

bool IsPlaceholder(const TImage* image)
{
    return image == &DefaultBitmap() || image == &ErrorBitmap();
}

} // namespace lantern
