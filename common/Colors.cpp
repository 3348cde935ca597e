#include "common/Colors.h"

#include <algorithm>
#include <array>

namespace lantern {

namespace {

// The classic Windows scheme (grey button faces, navy highlight, white windows), fixed so pages and tests look the
// same whatever theme the desktop runs. Written as 0xRRGGBB for reading; converted on lookup.
constexpr std::array<std::uint32_t, SystemColorCount> SystemRgb = {
    0xC0C0C0, // 0 scroll bar
    0x008080, // 1 desktop
    0x000080, // 2 active caption
    0x808080, // 3 inactive caption
    0xC0C0C0, // 4 menu
    0xFFFFFF, // 5 window
    0x000000, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0xFFFFFF, // 9 caption text
    0xC0C0C0, // 10 active border
    0xC0C0C0, // 11 inactive border
    0x808080, // 12 application workspace
    0x000080, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xC0C0C0, // 15 button face
    0x808080, // 16 button shadow
    0x808080, // 17 grey text
    0x000000, // 18 button text
    0xC0C0C0, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x000000, // 21 3-D dark shadow
    0xC0C0C0, // 22 3-D light
    0x000000, // 23 tooltip text
    0xFFFFE1, // 24 tooltip background
    0x000000, // 25 (unused)
    0x000080, // 26 hot-tracked item
    0x1084D0, // 27 active caption gradient
    0xB5B5B5, // 28 inactive caption gradient
    0x000080, // 29 menu highlight
    0xC0C0C0, // 30 menu bar
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
