// Font descriptions as the style system hands them to text runs, and family-list resolution.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "style/PropValue.h"

#include <array>
#include <cstdint>

namespace lantern {

// Bits of a font's style set.
inline constexpr std::uint8_t FontBold = 1;
inline constexpr std::uint8_t FontItalic = 2;
inline constexpr std::uint8_t FontUnderline = 4;
inline constexpr std::uint8_t FontStrikeOut = 8;

class ThtFontInfo {
public:
    u16 Face;
    double Size = 0;             // points
    std::uint8_t Style = 0;      // FontBold | FontItalic | FontUnderline | FontStrikeOut
    Color FontColor = 0;
    Color BackColor = clNone;
    int Charset = 0;             // a byte on the platform
    PropValue LetterSpacing;

    friend bool operator==(const ThtFontInfo&, const ThtFontInfo&) = default;
};

// One description per link state, in this order.
enum LinkState : int { lsLink, lsVisited, lsHover, lsVisitedHover };
using TFontInfoArray = std::array<ThtFontInfo, 4>;

// The first name of a comma-separated family list that is installed (generic names mapped to their faces,
// one pair of enclosing quotes removed); empty when none is.
u16 ResolveFontFamily(u16v list);

} // namespace lantern
