#include "style/Fonts.h"

#include "common/WinMath.h"
#include "markup/CodePages.h"
#include "platform/Canvas.h"
#include "style/Lengths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace lantern {

namespace {

constexpr int DefaultCharsetValue = 1;
constexpr int SymbolCharsetValue = 2;

struct GenericFamily {
    u16v Name;
    u16v Face;
};
constexpr std::array<GenericFamily, 5> GenericFamilies = {{
    {u"serif", u"Times New Roman"},
    {u"monospace", u"Courier New"},
    {u"sans-serif", u"Arial"},
    {u"cursive", u"Lucida Handwriting"},
    {u"Helvetica", u"Arial"},
}};

platform::LogFont Describe(u16v face, int height, std::uint8_t style, int charset)
{
    platform::LogFont lf;
    lf.Face = u16(face);
    lf.Height = height;
    lf.Weight = (style & FontBold) ? platform::FwBold : platform::FwNormal;
    lf.Italic = style & FontItalic;
    lf.Underline = style & FontUnderline;
    lf.StrikeOut = style & FontStrikeOut;
    lf.CharSet = static_cast<std::uint8_t>(charset);
    return lf;
}

// Make the platform font and take its metrics. A face that turns out to be symbol-encoded keeps the symbol charset
// whatever was asked for.
void Realize(TMyFont& f)
{
    auto& service = platform::FontService::Instance();
    platform::FontRef font = service.GetFont(Describe(f.Name, f.Height, f.Style, DefaultCharsetValue));
    if (font->Metrics().CharSet == SymbolCharsetValue) f.Charset = SymbolCharsetValue;
    if (f.Charset != DefaultCharsetValue) font = service.GetFont(Describe(f.Name, f.Height, f.Style, f.Charset));
    const platform::TextMetrics& tm = font->Metrics();
    f.TextHeight = tm.Height;
    f.Descent = tm.Descent;
    f.ExternalLeading = tm.ExternalLeading;
    f.AveCharWidth = tm.AveCharWidth;
    f.MaxCharWidth = tm.MaxCharWidth;
    f.RealizedCharset = tm.CharSet;
    f.EmSize = tm.Height - tm.InternalLeading;
    f.ExSize = f.EmSize / 2;
    f.Handle = std::move(font);
}

} // namespace

void TMyFont::SelectFontInto(platform::Canvas& canvas) const
{
    canvas.SelectFont(Handle);
    canvas.SetTextCharacterExtra(LetterSpacing);
}

struct TMyFontCache::Entry {
    u16 Face;
    struct Item {
        int RequestedCharset; // the lookup key: a symbol face changes the font's own charset
        std::unique_ptr<TMyFont> Font;
    };
    std::vector<Item> Fonts;
};

TMyFontCache::TMyFontCache() = default;
TMyFontCache::~TMyFontCache() = default;

TMyFontCache& TMyFontCache::Instance()
{
    static TMyFontCache cache;
    return cache;
}

const TMyFont& TMyFontCache::GetFont(u16v face, int height, std::uint8_t style, int charset)
{
    auto it = std::lower_bound(faces_.begin(), faces_.end(), face,
                               [](const std::unique_ptr<Entry>& e, u16v f) { return CompareTextAscii(e->Face, f) < 0; });
    if (it == faces_.end() || CompareTextAscii((*it)->Face, face) != 0) {
        auto e = std::make_unique<Entry>();
        e->Face = u16(face);
        it = faces_.insert(it, std::move(e));
    }
    for (const auto& item : (*it)->Fonts)
        if (item.Font->Height == height && item.Font->Style == style && item.RequestedCharset == charset)
            return *item.Font;
    auto f = std::make_unique<TMyFont>();
    f->Name = u16(face);
    f->Height = height;
    f->Style = style;
    f->Charset = charset;
    Realize(*f);
    (*it)->Fonts.push_back({charset, std::move(f)});
    return *(*it)->Fonts.back().Font;
}

std::size_t TMyFontCache::FontCount() const
{
    std::size_t n = 0;
    for (const auto& e : faces_) n += e->Fonts.size();
    return n;
}

int FontHeightOfPoints(double points)
{
    // A size that is no number (an infinite parent size times 0%) asks for the platform's default height.
    if (std::isnan(points)) return 0;
    const double px = std::clamp(ScreenPixelsPerInch() * points / 72, -1e6, 1e6);
    return -static_cast<int>(RoundHalfEven(px));
}

int RealizedCharsetOf(int charset)
{
    static std::map<int, int> memo;
    if (charset == ISO8859_2_CHARSET) charset = EASTEUROPE_CHARSET;
    if (charset == EUCJP_CHARSET) charset = SHIFTJIS_CHARSET;
    auto [it, fresh] = memo.try_emplace(charset, 0);
    if (fresh)
        it->second = platform::FontService::Instance().RealizedCharset(static_cast<std::uint8_t>(charset));
    return it->second;
}

namespace {

u16 ResolveFamilyList(u16v list)
{
    const auto& service = platform::FontService::Instance();
    while (true) {
        const auto comma = list.find(u',');
        u16 name = Trim(list.substr(0, comma));
        for (const auto& g : GenericFamilies)
            if (SameTextAscii(name, g.Name)) {
                name = u16(g.Face);
                break;
            }
        if (name.size() >= 2 && name.front() == name.back() && (name.front() == u'\'' || name.front() == u'"'))
            name = name.substr(1, name.size() - 2);
        if (!name.empty() && service.IsInstalled(name)) return name;
        if (comma == u16v::npos) return {};
        list.remove_prefix(comma + 1);
    }
}

} // namespace

u16 ResolveFontFamily(u16v list)
{
    // Elements mostly inherit one family list: the last answer is kept (installed faces do not change).
    static u16 lastList = u"\x01", lastFace;
    if (list == lastList) return lastFace;
    lastList = u16(list);
    lastFace = ResolveFamilyList(list);
    return lastFace;
}

} // namespace lantern
