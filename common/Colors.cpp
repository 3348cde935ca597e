#include "common/Colors.h"

#include <algorithm>
#include <array>

namespace lantern {

namespace {

// The desktop's default scheme, fixed so pages and tests look the same whatever theme the desktop runs.
// Written as 0xRRGGBB for reading; converted on lookup.
constexpr std::array<std::uint32_t, SystemColorCount> SystemRgb = {
    0xC8C8C8, // 0 scroll bar
    0x000000, // 1 desktop
    0x99B4D1, // 2 active caption
    0xBFCDDB, // 3 inactive caption
    0xF0F0F0, // 4 menu
    0xFFFFFF, // 5 window
    0x646464, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0x000000, // 9 caption text
    0xB4B4B4, // 10 active border
    0xF4F7FC, // 11 inactive border
    0xABABAB, // 12 application workspace
    0x0078D7, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xF0F0F0, // 15 button face
    0xA0A0A0, // 16 button shadow
    0x6D6D6D, // 17 grey text
    0x000000, // 18 button text
    0x000000, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x696969, // 21 3-D dark shadow
    0xE3E3E3, // 22 3-D light
    0x000000, // 23 tooltip text
    0xFFFFE1, // 24 tooltip background
    0x000000, // 25 (unused)
    0x0066CC, // 26 hot-tracked item
    0xB9D1EA, // 27 active caption gradient
    0xD7E4F2, // 28 inactive caption gradient
    0x3399FF, // 29 menu highlight
    0xF0F0F0, // 30 menu bar
};

// channel x percent / 100, rounded half to even on the exact product (a binary floating-point 1.15 would turn
// the exact halves such as 10 x 1.15 into either side of .5 depending on precision), at most 255.
int Shade(int channel, int percent)
{
    int v = channel * percent;
    int q = v / 100, r = v % 100;
    if (r > 50 || (r == 50 && (q & 1)))
        ++q;
    return std::min(255, q);
}

} // namespace

Color SysColor(int index)
{
    if (index < 0 || index >= SystemColorCount)
        return clBlack;
    std::uint32_t rgb = SystemRgb[static_cast<std::size_t>(index)];
    return MakeColor(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF));
}

Color ColorToRGB(Color c)
{
    if (IsSystemColor(c))
        return SysColor(static_cast<int>(c & 0xFF));
    return c & 0x00FFFFFF;
}

Color DarkerShade(Color c)
{
    c = ColorToRGB(c);
    return MakeColor(Shade(RedOf(c), 75), Shade(GreenOf(c), 75), Shade(BlueOf(c), 75));
}

Color LighterShade(Color c)
{
    c = ColorToRGB(c);
    if (c == clBlack)
        return clBlack;
    return MakeColor(Shade(RedOf(c), 115), Shade(GreenOf(c), 115), Shade(BlueOf(c), 115));
}

} // namespace lantern
