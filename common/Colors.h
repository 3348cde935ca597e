// Colour values as the engine passes them around (0x00BBGGRR), the named system colours, their resolution through
// one fixed table, and the shades that three-dimensional borders are drawn with.
#pragma once

#include "common/Types.h"

#include <cstdint>

namespace lantern {

constexpr Color MakeColor(int r, int g, int b)
{
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

// System colour nn is 0xFF0000nn.
constexpr Color SystemColor(int index) { return 0xFF000000u | static_cast<Color>(index & 0xFF); }
constexpr bool IsSystemColor(Color c) { return (c >> 24) == 0xFF; }

inline constexpr Color clScrollBar = SystemColor(0);
inline constexpr Color clBackground = SystemColor(1);
inline constexpr Color clActiveCaption = SystemColor(2);
inline constexpr Color clInactiveCaption = SystemColor(3);
inline constexpr Color clMenu = SystemColor(4);
inline constexpr Color clWindow = SystemColor(5);
inline constexpr Color clWindowFrame = SystemColor(6);
inline constexpr Color clMenuText = SystemColor(7);
inline constexpr Color clWindowText = SystemColor(8);
inline constexpr Color clCaptionText = SystemColor(9);
inline constexpr Color clActiveBorder = SystemColor(10);
inline constexpr Color clInactiveBorder = SystemColor(11);
inline constexpr Color clAppWorkSpace = SystemColor(12);
inline constexpr Color clHighlight = SystemColor(13);
inline constexpr Color clHighlightText = SystemColor(14);
inline constexpr Color clBtnFace = SystemColor(15);
inline constexpr Color clBtnShadow = SystemColor(16);
inline constexpr Color clGrayText = SystemColor(17);
inline constexpr Color clBtnText = SystemColor(18);
inline constexpr Color clInactiveCaptionText = SystemColor(19);
inline constexpr Color clBtnHighlight = SystemColor(20);
inline constexpr Color cl3DDkShadow = SystemColor(21);
inline constexpr Color cl3DLight = SystemColor(22);
inline constexpr Color clInfoText = SystemColor(23);
inline constexpr Color clInfoBk = SystemColor(24);
inline constexpr Color clHotLight = SystemColor(26);
inline constexpr Color clGradientActiveCaption = SystemColor(27);
inline constexpr Color clGradientInactiveCaption = SystemColor(28);
inline constexpr Color clMenuHighlight = SystemColor(29);
inline constexpr Color clMenuBar = SystemColor(30);

inline constexpr Color clBlack = 0x000000;
inline constexpr Color clWhite = 0xFFFFFF;
inline constexpr Color clSilver = 0xC0C0C0;
inline constexpr Color clGray = 0x808080;

inline constexpr int SystemColorCount = 31;

// The RGB value (0x00BBGGRR) of system colour `index` from the fixed table; indexes outside it give black.
Color SysColor(int index);

// A colour as the device draws it: system colours resolved through the table, every other high-byte flag
// (the palette-relative flag among them) dropped. Callers test clNone before drawing; it resolves to white.
Color ColorToRGB(Color c);

// The shades of three-dimensional borders: each channel x 0.75, rounded; x 1.15, rounded, at most 255, with
// black kept black. Both resolve system colours first.
Color DarkerShade(Color c);
Color LighterShade(Color c);

} // namespace lantern
