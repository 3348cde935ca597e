#include "style/ColorParser.h"

#include "common/Colors.h"
#include "common/WinMath.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <vector>

namespace lantern {

namespace {

struct NamedColor {
    u16v Name;
    Color Value;
};

constexpr Color Rgb(std::uint32_t rrggbb)
{
    return MakeColor(int(rrggbb >> 16), int((rrggbb >> 8) & 0xFF), int(rrggbb & 0xFF));
}

// "transparent", the HTML names, the other CSS3 keywords (with the "grey" spellings) and the system colour names.
// The "hightlighttext" spelling is the name pages have always had to write for that system colour.
constexpr std::array<NamedColor, 176> ColorNames = {{
    {u"transparent", clNone},
    {u"black", Rgb(0x000000)}, {u"maroon", Rgb(0x800000)}, {u"green", Rgb(0x008000)}, {u"olive", Rgb(0x808000)},
    {u"navy", Rgb(0x000080)}, {u"purple", Rgb(0x800080)}, {u"teal", Rgb(0x008080)}, {u"gray", Rgb(0x808080)},
    {u"silver", Rgb(0xC0C0C0)}, {u"red", Rgb(0xFF0000)}, {u"lime", Rgb(0x00FF00)}, {u"yellow", Rgb(0xFFFF00)},
    {u"blue", Rgb(0x0000FF)}, {u"fuchsia", Rgb(0xFF00FF)}, {u"aqua", Rgb(0x00FFFF)}, {u"white", Rgb(0xFFFFFF)},
    {u"aliceblue", Rgb(0xF0F8FF)}, {u"antiquewhite", Rgb(0xFAEBD7)}, {u"aquamarine", Rgb(0x7FFFD4)},
    {u"azure", Rgb(0xF0FFFF)}, {u"beige", Rgb(0xF5F5DC)}, {u"bisque", Rgb(0xFFE4C4)},
    {u"blanchedalmond", Rgb(0xFFEBCD)}, {u"blueviolet", Rgb(0x8A2BE2)}, {u"brown", Rgb(0xA52A2A)},
    {u"burlywood", Rgb(0xDEB887)}, {u"cadetblue", Rgb(0x5F9EA0)}, {u"chartreuse", Rgb(0x7FFF00)},
    {u"chocolate", Rgb(0xD2691E)}, {u"coral", Rgb(0xFF7F50)}, {u"cornflowerblue", Rgb(0x6495ED)},
    {u"cornsilk", Rgb(0xFFF8DC)}, {u"crimson", Rgb(0xDC143C)}, {u"cyan", Rgb(0x00FFFF)},
    {u"darkblue", Rgb(0x00008B)}, {u"darkcyan", Rgb(0x008B8B)}, {u"darkgoldenrod", Rgb(0xB8860B)},
    {u"darkgray", Rgb(0xA9A9A9)}, {u"darkgreen", Rgb(0x006400)}, {u"darkkhaki", Rgb(0xBDB76B)},
    {u"darkmagenta", Rgb(0x8B008B)}, {u"darkolivegreen", Rgb(0x556B2F)}, {u"darkorange", Rgb(0xFF8C00)},
    {u"darkorchid", Rgb(0x9932CC)}, {u"darkred", Rgb(0x8B0000)}, {u"darksalmon", Rgb(0xE9967A)},
    {u"darkseagreen", Rgb(0x8FBC8F)}, {u"darkslateblue", Rgb(0x483D8B)}, {u"darkslategray", Rgb(0x2F4F4F)},
    {u"darkturquoise", Rgb(0x00CED1)}, {u"darkviolet", Rgb(0x9400D3)}, {u"deeppink", Rgb(0xFF1493)},
    {u"deepskyblue", Rgb(0x00BFFF)}, {u"dimgray", Rgb(0x696969)}, {u"dodgerblue", Rgb(0x1E90FF)},
    {u"firebrick", Rgb(0xB22222)}, {u"floralwhite", Rgb(0xFFFAF0)}, {u"forestgreen", Rgb(0x228B22)},
    {u"gainsboro", Rgb(0xDCDCDC)}, {u"ghostwhite", Rgb(0xF8F8FF)}, {u"gold", Rgb(0xFFD700)},
    {u"goldenrod", Rgb(0xDAA520)}, {u"greenyellow", Rgb(0xADFF2F)}, {u"honeydew", Rgb(0xF0FFF0)},
    {u"hotpink", Rgb(0xFF69B4)}, {u"indianred", Rgb(0xCD5C5C)}, {u"indigo", Rgb(0x4B0082)},
    {u"ivory", Rgb(0xFFFFF0)}, {u"khaki", Rgb(0xF0E68C)}, {u"lavender", Rgb(0xE6E6FA)},
    {u"lavenderblush", Rgb(0xFFF0F5)}, {u"lawngreen", Rgb(0x7CFC00)}, {u"lemonchiffon", Rgb(0xFFFACD)},
    {u"lightblue", Rgb(0xADD8E6)}, {u"lightcoral", Rgb(0xF08080)}, {u"lightcyan", Rgb(0xE0FFFF)},
    {u"lightgoldenrodyellow", Rgb(0xFAFAD2)}, {u"lightgreen", Rgb(0x90EE90)}, {u"lightgray", Rgb(0xD3D3D3)},
    {u"lightpink", Rgb(0xFFB6C1)}, {u"lightsalmon", Rgb(0xFFA07A)}, {u"lightseagreen", Rgb(0x20B2AA)},
    {u"lightskyblue", Rgb(0x87CEFA)}, {u"lightslategray", Rgb(0x778899)}, {u"lightsteelblue", Rgb(0xB0C4DE)},
    {u"lightyellow", Rgb(0xFFFFE0)}, {u"limegreen", Rgb(0x32CD32)}, {u"linen", Rgb(0xFAF0E6)},
    {u"magenta", Rgb(0xFF00FF)}, {u"mediumaquamarine", Rgb(0x66CDAA)}, {u"mediumblue", Rgb(0x0000CD)},
    {u"mediumorchid", Rgb(0xBA55D3)}, {u"mediumpurple", Rgb(0x9370DB)}, {u"mediumseagreen", Rgb(0x3CB371)},
    {u"mediumslateblue", Rgb(0x7B68EE)}, {u"mediumspringgreen", Rgb(0x00FA9A)},
    {u"mediumturquoise", Rgb(0x48D1CC)}, {u"mediumvioletred", Rgb(0xC71585)}, {u"midnightblue", Rgb(0x191970)},
    {u"mintcream", Rgb(0xF5FFFA)}, {u"mistyrose", Rgb(0xFFE4E1)}, {u"moccasin", Rgb(0xFFE4B5)},
    {u"navajowhite", Rgb(0xFFDEAD)}, {u"oldlace", Rgb(0xFDF5E6)}, {u"olivedrab", Rgb(0x6B8E23)},
    {u"orange", Rgb(0xFFA500)}, {u"orangered", Rgb(0xFF4500)}, {u"orchid", Rgb(0xDA70D6)},
    {u"palegoldenrod", Rgb(0xEEE8AA)}, {u"palegreen", Rgb(0x98FB98)}, {u"paleturquoise", Rgb(0xAFEEEE)},
    {u"palevioletred", Rgb(0xDB7093)}, {u"papayawhip", Rgb(0xFFEFD5)}, {u"peachpuff", Rgb(0xFFDAB9)},
    {u"peru", Rgb(0xCD853F)}, {u"pink", Rgb(0xFFC0CB)}, {u"plum", Rgb(0xDDA0DD)},
    {u"powderblue", Rgb(0xB0E0E6)}, {u"rosybrown", Rgb(0xBC8F8F)}, {u"royalblue", Rgb(0x4169E1)},
    {u"saddlebrown", Rgb(0x8B4513)}, {u"salmon", Rgb(0xFA8072)}, {u"sandybrown", Rgb(0xF4A460)},
    {u"seagreen", Rgb(0x2E8B57)}, {u"seashell", Rgb(0xFFF5EE)}, {u"sienna", Rgb(0xA0522D)},
    {u"skyblue", Rgb(0x87CEEB)}, {u"slateblue", Rgb(0x6A5ACD)}, {u"slategray", Rgb(0x708090)},
    {u"snow", Rgb(0xFFFAFA)}, {u"springgreen", Rgb(0x00FF7F)}, {u"steelblue", Rgb(0x4682B4)},
    {u"tan", Rgb(0xD2B48C)}, {u"thistle", Rgb(0xD8BFD8)}, {u"tomato", Rgb(0xFF6347)},
    {u"turquoise", Rgb(0x40E0D0)}, {u"violet", Rgb(0xEE82EE)}, {u"wheat", Rgb(0xF5DEB3)},
    {u"whitesmoke", Rgb(0xF5F5F5)}, {u"yellowgreen", Rgb(0x9ACD32)},
    {u"grey", Rgb(0x808080)}, {u"darkgrey", Rgb(0xA9A9A9)}, {u"darkslategrey", Rgb(0x2F4F4F)},
    {u"dimgrey", Rgb(0x696969)}, {u"lightgrey", Rgb(0xD3D3D3)}, {u"lightslategrey", Rgb(0x778899)},
    {u"slategrey", Rgb(0x708090)},
    {u"background", SystemColor(1)}, {u"activecaption", SystemColor(2)}, {u"inactivecaption", SystemColor(3)},
    {u"menu", SystemColor(4)}, {u"window", SystemColor(5)}, {u"windowframe", SystemColor(6)},
    {u"menutext", SystemColor(7)}, {u"windowtext", SystemColor(8)}, {u"captiontext", SystemColor(9)},
    {u"activeborder", SystemColor(10)}, {u"inactiveborder", SystemColor(11)}, {u"appworkSpace", SystemColor(12)},
    {u"highlight", SystemColor(13)}, {u"hightlighttext", SystemColor(14)}, {u"buttonface", SystemColor(15)},
    {u"buttonshadow", SystemColor(16)}, {u"graytext", SystemColor(17)}, {u"buttontext", SystemColor(18)},
    {u"inactivecaptiontext", SystemColor(19)}, {u"buttonhighlight", SystemColor(20)},
    {u"threeddarkshadow", SystemColor(21)}, {u"threedlightshadow", SystemColor(20)}, {u"infotext", SystemColor(23)},
    {u"infobackground", SystemColor(24)}, {u"scrollbar", SystemColor(0)}, {u"threedface", SystemColor(15)},
    {u"threedhighlight", SystemColor(22)}, {u"threedshadow", SystemColor(16)},
}};

// The table sorted case-insensitively, built on first use.
const std::vector<NamedColor>& SortedNames()
{
    static const std::vector<NamedColor> sorted = [] {
        std::vector<NamedColor> v(ColorNames.begin(), ColorNames.end());
        std::sort(v.begin(), v.end(),
                  [](const NamedColor& a, const NamedColor& b) { return CompareTextAscii(a.Name, b.Name) < 0; });
        return v;
    }();
    return sorted;
}

bool FindColorName(u16v name, Color& color)
{
    const auto& v = SortedNames();
    auto it = std::lower_bound(v.begin(), v.end(), name,
                               [](const NamedColor& e, u16v n) { return CompareTextAscii(e.Name, n) < 0; });
    if (it == v.end() || CompareTextAscii(it->Name, name) != 0) return false;
    color = it->Value;
    return true;
}

// The comma-separated parts between the first "(" and the first ")", trimmed; at least four (missing read "").
bool FunctionParts(u16v text, std::array<u16, 4>& parts)
{
    const auto open = text.find(u'(');
    const auto close = text.find(u')');
    if (open == u16v::npos || close == u16v::npos || close < open) return false;
    u16v inner = text.substr(open + 1, close - open - 1);
    for (auto& p : parts) p.clear();
    std::size_t n = 0;
    while (n < parts.size()) {
        const auto comma = inner.find(u',');
        parts[n++] = Trim(inner.substr(0, comma));
        if (comma == u16v::npos) break;
        inner.remove_prefix(comma + 1);
    }
    return true;
}

int IntOrZero(u16v s) { return TryStrToInt(s).value_or(0); }

u16 WithoutPercent(u16v s)
{
    u16 r(s);
    std::erase(r, u'%');
    return r;
}

double HueToRgb(double m1, double m2, double h)
{
    if (h < 0) h += 1;
    if (h > 1) h -= 1;
    if (h * 6 < 1) return m1 + (m2 - m1) * h * 6;
    if (h * 2 < 1) return m2;
    if (h * 3 < 2) return m1 + (m2 - m1) * (2.0 / 3 - h) * 6;
    return m1;
}

int Channel(double v) { return static_cast<int>(RoundHalfEven(v * 255)); }

bool ParseHsl(u16v text, Color& color)
{
    std::array<u16, 4> p;
    if (!FunctionParts(text, p)) return false;
    int hue = IntOrZero(p[0]) % 360;
    if (hue < 0) hue += 360;
    const int sat = std::clamp(IntOrZero(WithoutPercent(p[1])), 0, 100);
    const int light = std::clamp(IntOrZero(WithoutPercent(p[2])), 0, 100);
    const double h = hue / 360.0, s = sat / 100.0, l = light / 100.0;
    if (sat == 0) {
        const int g = Channel(l);
        color = MakeColor(g, g, g);
        return true;
    }
    const double m2 = l <= 0.5 ? l * (s + 1) : l + s - l * s;
    const double m1 = l * 2 - m2;
    color = MakeColor(Channel(HueToRgb(m1, m2, h + 1.0 / 3)), Channel(HueToRgb(m1, m2, h)),
                      Channel(HueToRgb(m1, m2, h - 1.0 / 3)));
    return true;
}

int RgbPart(u16v part)
{
    int v;
    if (part.find(u'%') != u16v::npos) {
        const auto p = TryStrToFloat(Trim(WithoutPercent(part)));
        v = p && *p == *p ? static_cast<int>(RoundHalfEven(std::clamp(*p * 2.55, -1.0, 256.0))) : 0;
    } else {
        v = IntOrZero(part);
    }
    return std::clamp(v, 0, 255);
}

bool ParseRgb(u16v text, Color& color)
{
    std::array<u16, 4> p;
    if (!FunctionParts(text, p)) return false;
    color = MakeColor(RgbPart(p[0]), RgbPart(p[1]), RgbPart(p[2]));
    return true;
}

bool ParseHex(u16 text, bool needHash, Color& color)
{
    const auto hashes = std::erase(text, u'#');
    if (hashes == 0 && needHash) return false;
    if (text.size() <= 3) {
        u16 doubled;
        for (char16_t c : text) doubled.append(2, c);
        text = doubled;
    }
    // A hexadecimal number of any length; its low 24 bits are the colour, so only those are kept while reading.
    if (text.empty()) return false;
    std::uint32_t v = 0;
    for (char16_t c : text) {
        const int d = HexDigit(c);
        if (d < 0) return false;
        v = (v * 16 + std::uint32_t(d)) & 0xFFFFFF;
    }
    color = Rgb(v) | PaletteRelativeFlag();
    return true;
}

// The last text parsed successfully and its colour: runs of identical colour text cost one comparison.
struct ColorMemory {
    u16 Text = u"\x01";
    Color Value = 0;
};

} // namespace

Color PaletteRelativeFlag() { return 0; }

bool ParseColor(u16v text, bool needHash, Color& color)
{
    if (text.empty()) return false;
    const u16 t = LowerAscii(TrimView(text));
    static ColorMemory memory;
    if (t == memory.Text) {
        color = memory.Value;
        return true;
    }
    Color c = 0;
    bool ok;
    if (t.find(u"hsl") != u16::npos) ok = ParseHsl(u16v(t).substr(t.find(u"hsl") + 3), c);
    else if (t.find(u"rgb") != u16::npos) ok = ParseRgb(u16v(t).substr(t.find(u"rgb") + 3), c);
    else ok = (!t.starts_with(u'#') && FindColorName(t, c)) || ParseHex(t, needHash, c);
    if (!ok) return false;
    memory = {t, c};
    color = c;
    return true;
}

} // namespace lantern
