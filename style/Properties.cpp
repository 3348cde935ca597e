#include "style/Properties.h"

#include "common/WinMath.h"
#include "markup/CodePages.h"
#include "style/ColorParser.h"
#include "style/Fonts.h"
#include "style/Lengths.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace lantern {

namespace {

int NextSerialNumber()
{
    static int counter = 0;
    return ++counter;
}

// Position of `text` in a keyword table, or -1.
template <std::size_t N>
int KeywordIndex(const std::array<std::u16string_view, N>& table, u16v text)
{
    for (std::size_t i = 0; i < N; ++i)
        if (table[i] == text) return int(i);
    return -1;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Tables

int FindPropertyIndex(u16v name)
{
    struct Key {
        u16v Name;
        int Index;
    };
    static const std::vector<Key> sorted = [] {
        std::vector<Key> v;
        for (int i = 0; i < PropCount; ++i) v.push_back({PropertyTable[std::size_t(i)].Name, i});
        std::sort(v.begin(), v.end(), [](const Key& a, const Key& b) { return a.Name < b.Name; });
        return v;
    }();
    auto it = std::lower_bound(sorted.begin(), sorted.end(), name, [](const Key& k, u16v n) { return k.Name < n; });
    return it != sorted.end() && it->Name == name ? it->Index : -1;
}

int FindMediaType(u16v name) { return KeywordIndex(MediaTypeNames, name); }

std::optional<PropValue> DeclaredValue(int index, u16v text)
{
    if (index < 0 || index >= PropCount) return std::nullopt;
    Color c = 0;
    switch (PropertyTable[std::size_t(index)].Store) {
    case PropStore::Text: return PropValue(text);
    case PropStore::ForeColor:
    case PropStore::BorderColor:
        if (ParseColor(text, false, c)) return PropValue(c);
        return std::nullopt;
    case PropStore::BackColor: return PropValue(ParseColor(text, false, c) ? c : clNone);
    case PropStore::Visibility:
        if (text == u"visible") return PropValue(VisibilityVisible);
        if (text == u"hidden") return PropValue(VisibilityHidden);
        return std::nullopt;
    case PropStore::TextTransform:
        return PropValue(std::uint8_t(text == u"uppercase" ? 1 : text == u"lowercase" ? 2 : 0));
    case PropStore::WordWrap: return PropValue(text == u"break-word" ? u"break-word" : u"normal");
    case PropStore::FontVariant:
        if (text == u"small-caps" || text == u"normal") return PropValue(text);
        return std::nullopt;
    }
    return std::nullopt;
}

u16 ExtractCssUrl(u16v text)
{
    const auto start = text.find(u"url(");
    if (start == u16v::npos) return {};
    u16v s = text.substr(start + 4);
    while (!s.empty() && (s[0] == u'\n' || s[0] == u'\f' || s[0] == u'\r' || s[0] == u' ')) s.remove_prefix(1);
    if (s.empty()) return {};
    if (s[0] == u'"' || s[0] == u'\'') {
        const auto end = s.find(s[0], 1);
        return u16(s.substr(1, end == u16v::npos ? u16v::npos : end - 1));
    }
    int depth = 0;
    std::size_t i = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c == u'(') ++depth;
        else if (c == u')') {
            if (depth == 0) break;
            --depth;
        } else if (c == u' ' && depth == 0) break;
    }
    return u16(s.substr(0, i));
}

// ---------------------------------------------------------------------------------------------------------------
// Construction

TProperties::TProperties() { InitFresh(); }

TProperties::TProperties(TPropStack* owner, bool quirks) : Owner(owner), Quirks(quirks) { InitFresh(); }

TProperties::TProperties(bool quirks) : Quirks(quirks) { InitFresh(); }

TProperties::~TProperties() = default;

// The cells of a fresh set, built once: sets copy them rather than building each value anew.
static const std::array<PropValue, PropCount>& FreshCells()
{
    static const std::array<PropValue, PropCount> cells = [] {
        std::array<PropValue, PropCount> c;
        for (std::size_t i = 0; i < PropCount; ++i) {
            switch (PropertyTable[i].Initial) {
            case PropInitial::Empty: break;
            case PropInitial::UnsetLength: c[i] = UnsetLength; break;
            case PropInitial::ZeroByte: c[i] = std::uint8_t(0); break;
            }
        }
        return c;
    }();
    return cells;
}

void TProperties::InitFresh()
{
    Props = FreshCells();
    SerialNumber = NextSerialNumber();
}

void TProperties::CopyValues(const TProperties& source) { Props = source.Props; }

void TProperties::CopyAsDefault(const TProperties& source)
{
    Props = source.Props;
    SetCharset(source.Charset);
    DefaultFaceName = source.DefaultFaceName;
    PropTag = u"default";
}

void TProperties::InheritFrom(u16v tag, const TProperties& parent)
{
    const bool copyAll = parent.PropTag == u"span";
    const bool copyFlags = parent.PropTag == u"thead" || parent.PropTag == u"tbody" || parent.PropTag == u"tfoot";
    const bool isTable = tag == u"table";
    for (std::size_t i = 0; i < PropCount; ++i) {
        if (copyAll) {
            Props[i] = parent.Props[i];
        } else if (copyFlags) {
            Props[i] = parent.Props[i];
            SetFlags[i] = parent.SetFlags[i];
        } else if (isTable && i == piWordWrap) {
            static const PropValue normal(u"normal");
            Props[i] = normal;
        } else {
            switch (PropertyTable[i].Inherit) {
            case PropInherit::Copy: Props[i] = parent.Props[i]; break;
            case PropInherit::Reset: Props[i] = FreshCells()[i]; break;
            case PropInherit::Empty: break;
            }
        }
    }
    DefaultFaceName = parent.DefaultFaceName;
    InlineBackground = parent.InlineBackground;
    // Both at once: one after the other, a symbol charset, which shares code page 0 with the default charset,
    // would come back from the code page as the default charset.
    SetCharsetAndCodePage(parent.Charset, parent.CodePage);
    PropTitle = parent.PropTitle;
    InLink = parent.InLink;
    if (InLink && parent.LinkFonts) LinkFonts = std::make_unique<TFontInfoArray>(*parent.LinkFonts);
    EmSize = parent.EmSize;
    ExSize = parent.ExSize;
}

void TProperties::Reinherit(const TProperties& parent, TStyleCascade* cascade, int stackIndex)
{
    for (std::size_t i = 0; i < PropCount; ++i)
        if (!SetFlags[i]) Props[i] = parent.Props[i];
    CachedFont.reset();
    if (!LinkFonts) return;
    if (parent.InLink && parent.LinkFonts) {
        *LinkFonts = *parent.LinkFonts;
    } else if (PropPseudo == u"link") {
        if (cascade) cascade->BuildLinkFonts(*this, stackIndex);
    } else {
        LinkFonts.reset();
        InLink = false;
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Setting values

void TProperties::SetPropByName(u16v name, u16v text)
{
    const int index = FindPropertyIndex(name);
    if (index >= 0) SetPropByIndex(index, text);
}

void TProperties::SetPropByIndex(int index, u16v text)
{
    if (index < 0 || index >= PropCount) return;
    if (auto v = DeclaredValue(index, text)) Props[std::size_t(index)] = std::move(*v);
    else if (index == piColor) Props[piColor] = 0; // a style attribute's bad colour still means black
}

void TProperties::SetFromAttribute(int index, const PropValue& value)
{
    if (index < 0 || index >= PropCount || SetFlags[std::size_t(index)]) return;
    Props[std::size_t(index)] = value;
    SetFlags[std::size_t(index)] = true;
    if (!InLink || !LinkFonts) return;
    for (ThtFontInfo& f : *LinkFonts) {
        if (index == piFontFamily) f.Face = value.Text();
        else if (index == piFontSize) f.Size = value.AsFloat();
        else if (index == piColor) f.FontColor = value.AsColor();
    }
}

// Every set inherits these two, so a value the tables have no row for must not raise: that would end the
// document at the next element.
void TProperties::SetCharset(int charset) { SetCharsetAndCodePage(charset, CodePageOfCharSetOr(charset, CP_ACP)); }

void TProperties::SetCodePage(int codePage) { SetCharsetAndCodePage(FontCharSetOfCodePage(codePage), codePage); }

void TProperties::SetCharsetAndCodePage(int charset, int codePage)
{
    if (codePage == KeepCodePage) codePage = CodePage;
    if (charset == Charset && codePage == CodePage) return;
    if (charset != DEFAULT_CHARSET) charset = RealizedCharsetOf(charset);
    Charset = charset;
    if (LinkFonts)
        for (ThtFontInfo& f : *LinkFonts) f.Charset = charset;
    CodePage = codePage;
}

void TProperties::TakeInlineBackground()
{
    if (SetFlags[piBackgroundColor]) InlineBackground = Props[piBackgroundColor].AsColor();
}

// ---------------------------------------------------------------------------------------------------------------
// Reading values

const u16* TProperties::TextOf(int index) const { return Props[std::size_t(index)].TextPtr(); }

bool TProperties::BackgroundImageOf(u16& url) const
{
    const u16* t = TextOf(piBackgroundImage);
    if (!t) return false;
    if (*t == u"none") {
        url.clear();
        return true;
    }
    url = ExtractCssUrl(*t);
    return !url.empty();
}

bool TProperties::ListStyleImageOf(u16& url) const
{
    const u16* t = TextOf(piListStyleImage);
    url = t ? ExtractCssUrl(*t) : u16();
    return !url.empty();
}

void TProperties::BackgroundPlacementOf(int emSize, int exSize, TBackgroundPlacement& out) const
{
    using K = BackgroundPosKind;
    auto& x = out.Axes[0];
    auto& y = out.Axes[1];
    x = y = TBackgroundPlacement::Axis{};
    if (const u16* t = TextOf(piBackgroundPosition)) {
        // 1. One or two words; each sets the kind of the axis it falls on, "left"/"right"/"top"/"bottom" pick
        //    their own axis.
        const u16v s = TrimView(*t);
        const auto blank = s.find(u' ');
        std::array<u16, 2> words = {u16(s.substr(0, blank)), blank == u16v::npos ? u16() : Trim(s.substr(blank))};
        const int count = words[1].empty() ? 1 : 2;
        int axis = 0;
        for (int w = 0; w < count; ++w) {
            const u16& word = words[std::size_t(w)];
            auto& cur = out.Axes[std::size_t(axis)];
            cur.Kind = K::Length;
            bool stay = false;
            if (word == u"center") cur.Kind = K::Center;
            else if (word.find(u'%') != u16::npos) cur.Kind = K::Percent;
            else if (word == u"left" || word == u"right") {
                if (w == 1) y = x; // "center left": the first word was the vertical one
                x.Kind = word == u"left" ? K::Left : K::Right;
            } else if (word == u"top" || word == u"bottom") {
                y.Kind = word == u"top" ? K::Top : K::Bottom;
                stay = w == 0;
            }
            if (cur.Kind == K::Percent || cur.Kind == K::Length)
                cur.Value = ConvertLength(word, false, 100, 0, exSize, emSize);
            if (!stay) axis = 1;
        }
        // A single word leaves the other axis centred.
        if (count == 1) out.Axes[std::size_t(axis)] = {K::Center, 0, true, false};
    }
    // 2. Repeat, 3. attachment.
    if (const u16* r = TextOf(piBackgroundRepeat)) {
        if (*r == u"no-repeat") x.Repeat = y.Repeat = false;
        else if (*r == u"repeat-x") y.Repeat = false;
        else if (*r == u"repeat-y") x.Repeat = false;
    }
    if (const u16* a = TextOf(piBackgroundAttachment); a && *a == u"fixed") x.Fixed = y.Fixed = true;
}

bool TProperties::VerticalAlignOf(AlignmentCode& code) const
{
    const u16* t = TextOf(piVerticalAlign);
    if (!t) return false;
    struct Row {
        u16v Name;
        AlignmentCode Code;
    };
    static constexpr std::array<Row, 7> rows = {{{u"top", AlignmentCode::Top},
                                                 {u"text-top", AlignmentCode::Top},
                                                 {u"middle", AlignmentCode::Middle},
                                                 {u"baseline", AlignmentCode::Baseline},
                                                 {u"bottom", AlignmentCode::Bottom},
                                                 {u"sub", AlignmentCode::Sub},
                                                 {u"super", AlignmentCode::Super}}};
    for (const Row& r : rows)
        if (*t == r.Name) {
            code = r.Code;
            return true;
        }
    return false;
}

bool TProperties::HidesOverflow() const
{
    const u16* t = TextOf(piOverflow);
    return t && *t == u"hidden";
}

bool TProperties::FloatSideOf(AlignmentCode& code) const
{
    const u16* t = TextOf(piFloat);
    if (!t) return false;
    if (*t == u"left") code = AlignmentCode::Left;
    else if (*t == u"right") code = AlignmentCode::Right;
    else if (*t == u"none") code = AlignmentCode::None;
    else return false;
    return true;
}

bool TProperties::ClearSideOf(ClearSide& side)
{
    const u16* t = TextOf(piClear);
    if (!t) return false;
    bool known = true;
    if (*t == u"left") side = ClearSide::Left;
    else if (*t == u"right") side = ClearSide::Right;
    else if (*t == u"both") side = ClearSide::Both;
    else if (*t == u"none") side = ClearSide::None;
    else known = false;
    Props[piClear].Clear();
    return known;
}

DisplayCode TProperties::DisplayOf() const
{
    const u16* t = TextOf(piDisplay);
    const int i = t && !t->empty() ? KeywordIndex(DisplayNames, *t) : -1;
    return i > 0 ? DisplayCode(i) : DisplayCode::NotGiven;
}

ListStyleType TProperties::ListStyleTypeOf() const
{
    const u16* t = TextOf(piListStyleType);
    const int i = t ? KeywordIndex(ListStyleTypeNames, *t) : -1;
    return i > 0 ? ListStyleType(i) : ListStyleType::Blank;
}

Positioning TProperties::PositioningOf() const
{
    const u16* t = TextOf(piPosition);
    if (!t) return Positioning::Static;
    if (*t == u"absolute") return Positioning::Absolute;
    if (*t == u"fixed") return Positioning::Fixed;
    if (*t == u"relative") return Positioning::Relative;
    return Positioning::Static;
}

std::uint8_t TProperties::VisibilityOf() const
{
    const PropValue& v = Props[piVisibility];
    return v.IsNumeric() && v.AsFloat() == VisibilityHidden ? VisibilityHidden : VisibilityVisible;
}

int TProperties::ZIndexOf() const
{
    const PropValue& v = Props[piZIndex];
    if (v.IsNumeric()) return v.AsInt();
    if (const u16* t = v.TextPtr()) return TryStrToInt(*t).value_or(0);
    return 0;
}

bool TProperties::HasAnyBorderWidth() const
{
    for (int i = piBorderTopWidth; i <= piBorderLeftWidth; ++i) {
        const PropValue& v = Props[std::size_t(i)];
        if (!v.IsEmpty() && !IsUnsetLength(v)) return true;
    }
    return false;
}

bool TProperties::CollapsesBorders() const
{
    const u16* t = TextOf(piBorderCollapse);
    return t && *t == u"collapse";
}

int TProperties::LineHeightOf(int fontHeight) const
{
    const u16* t = TextOf(piLineHeight);
    if (!t) return -1;
    if (auto n = TryStrToFloat(*t)) {
        const double v = std::clamp(std::abs(fontHeight) * *n, -2e9, 2e9);
        return static_cast<int>(RoundHalfEven(v));
    }
    return ConvertLength(*t, true, EmSize, -1, ExSize, EmSize);
}

int TProperties::TextIndentOf(bool& isPercent) const
{
    isPercent = false;
    const u16* t = TextOf(piTextIndent);
    if (!t) return 0;
    if (t->find(u'%') != u16::npos) {
        isPercent = true;
        return ConvertLength(*t, true, 100, 0, 0, 0);
    }
    return ConvertLength(*t, false, 0, 0, EmSize, EmSize);
}

std::uint8_t TProperties::TextTransformOf() const
{
    const PropValue& v = Props[piTextTransform];
    return v.IsNumeric() ? static_cast<std::uint8_t>(v.AsInt()) : 0;
}

u16 TProperties::FontVariantOf() const
{
    const u16* t = TextOf(piFontVariant);
    return t ? *t : u16(u"normal");
}

void TProperties::PageBreaksOf(bool& before, bool& after, bool& inside) const
{
    const u16* b = TextOf(piPageBreakBefore);
    const u16* a = TextOf(piPageBreakAfter);
    const u16* i = TextOf(piPageBreakInside);
    before = b && *b == u"always";
    after = a && *a == u"always";
    inside = i && *i == u"avoid";
}

Color TProperties::BackgroundColorOf() const
{
    const PropValue& v = Props[piBackgroundColor];
    return v.IsNumeric() && SetFlags[piBackgroundColor] ? v.AsColor() : clNone;
}

Color TProperties::GetExplicitForegroundColor() const
{
    const PropValue& v = Props[piColor];
    return v.IsNumeric() && SetFlags[piColor] ? v.AsColor() : clNone;
}

bool TProperties::BorderStyleOf(int index, BorderStyle& style) const
{
    if (index < piBorderTopStyle || index > piBorderLeftStyle) return false;
    const PropValue& v = Props[std::size_t(index)];
    int code = -1;
    if (const u16* t = v.TextPtr()) code = KeywordIndex(BorderStyleNames, *t);
    else if (v.IsNumeric() && !IsUnsetLength(v)) code = v.AsInt();
    if (code < 0 || code >= int(BorderStyleNames.size())) return false;
    style = BorderStyle(code);
    return true;
}

bool TProperties::HasAnyBorderStyle() const
{
    BorderStyle s;
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i)
        if (BorderStyleOf(i, s)) return true;
    return false;
}

bool TProperties::HasVisibleBorder() const
{
    BorderStyle s;
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i)
        if (BorderStyleOf(i, s) && s != BorderStyle::None) return true;
    return false;
}

bool TProperties::ShowsEmptyCells() const
{
    const u16* t = TextOf(piEmptyCells);
    return t && *t == u"show";
}

void TProperties::GatherBorderValues(TBoxCellArray& cells, bool useColorForBorders) const
{
    for (int i = BoxFirst; i <= piLeft; ++i) cells[std::size_t(BoxSlot(i))] = Props[std::size_t(i)];
    // A border colour that is not an ordinary colour (none, transparent, a system colour) is not given.
    for (int i = piBorderTopColor; i <= piBorderLeftColor; ++i) {
        const PropValue& v = Props[std::size_t(i)];
        const bool ordinary = v.IsNumeric() && (v.AsColor() & ~clPaletteFlag) <= 0x00FFFFFFu;
        if (!ordinary) cells[std::size_t(BoxSlot(i))] = useColorForBorders ? Props[piColor] : PropValue(UnsetLength);
    }
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i) {
        BorderStyle s = BorderStyle::None;
        if (!BorderStyleOf(i, s)) s = BorderStyle::None;
        cells[std::size_t(BoxSlot(i))] = std::uint8_t(s);
    }
}

int TProperties::LengthCellToPixels(const PropValue& cell, bool relative, int base, int def, int exSize, int emSize)
{
    if (const u16* t = cell.TextPtr()) return ConvertLength(*t, relative, base, def, exSize, emSize);
    if (cell.IsNumeric() && !IsUnsetLength(cell)) return cell.AsInt();
    return def;
}

// ---------------------------------------------------------------------------------------------------------------
// Fonts

void TProperties::FontInfoOf(ThtFontInfo& info) const
{
    info.BackColor = InlineBackground;
    info.FontColor = Props[piColor].AsColor();
    info.Style = 0;
    const PropValue& weight = Props[piFontWeight];
    if (const u16* w = weight.TextPtr()) {
        if (w->find(u"bold") != u16::npos || TryStrToInt(*w).value_or(0) >= 600) info.Style |= FontBold;
    } else if (weight.IsNumeric() && weight.AsInt() >= 600) {
        info.Style |= FontBold;
    }
    if (const u16* s = TextOf(piFontStyle); s && (*s == u"italic" || *s == u"oblique")) info.Style |= FontItalic;
    if (const u16* d = TextOf(piTextDecoration)) {
        if (*d == u"underline") info.Style |= FontUnderline;
        else if (*d == u"line-through") info.Style |= FontStrikeOut;
    }
    const PropValue& size = Props[piFontSize];
    info.Size = size.IsText() ? TryStrToFloat(size.Text()).value_or(0) : size.AsFloat();
    info.Charset = Charset;
    info.LetterSpacing = Props[piLetterSpacing];
    info.Face = ResolveFontFamily(Props[piFontFamily].Text());
    if (info.Face.empty()) info.Face = DefaultFaceName;
}

std::unique_ptr<TMyFont> TProperties::FontOf()
{
    if (!CachedFont) {
        ThtFontInfo info;
        FontInfoOf(info);
        const TMyFont& shared =
            TMyFontCache::Instance().GetFont(info.Face, FontHeightOfPoints(info.Size), info.Style, info.Charset);
        CachedFont = std::make_unique<TMyFont>(shared);
        CachedFont->BackColor = info.BackColor;
        CachedFont->FontColor = info.FontColor;
        EmSize = CachedFont->EmSize;
        ExSize = CachedFont->ExSize;
        const PropValue& spacing = Props[piLetterSpacing];
        if (spacing.IsNumeric()) CachedFont->LetterSpacing = spacing.AsInt();
        else if (const u16* t = spacing.TextPtr(); t && *t != u"normal")
            CachedFont->LetterSpacing = ConvertLength(*t, false, EmSize, 0, ExSize, EmSize);
        else CachedFont->LetterSpacing = 0;
    }
    return std::make_unique<TMyFont>(*CachedFont);
}

void TProperties::CopyLinkFonts(TFontInfoArray& out) const
{
    if (LinkFonts) out = *LinkFonts;
}

} // namespace lantern
