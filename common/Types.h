// Small value types shared by the whole engine: colours as 0x00BBGGRR and GDI-style geometry.
#pragma once

#include <cstdint>

namespace lantern {

// 0x00BBGGRR; 0xFF0000nn names system colour nn; clNone means "no colour".
using Color = std::uint32_t;
inline constexpr Color clNone = 0x1FFFFFFF;
inline constexpr Color clPaletteFlag = 0x02000000; // accepted and ignored: the engine always draws in true colour

struct Point {
    int x = 0, y = 0;
    friend constexpr bool operator==(Point, Point) = default;
};

struct Size {
    int cx = 0, cy = 0;
    friend constexpr bool operator==(Size, Size) = default;
};

// Like a GDI RECT, right and bottom are exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    constexpr Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

} // namespace lantern
