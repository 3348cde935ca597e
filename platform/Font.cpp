#include "platform/Font.h"

#include "common/WinMath.h"

#include <QFont>
#include <QFontDatabase>
#include <QRawFont>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <unordered_map>

namespace lantern::platform {

namespace {

constexpr u16v CjkFace = u"WenQuanYi Micro Hei";
constexpr u16v CjkMonoFace = u"WenQuanYi Micro Hei Mono";
constexpr u16v DefaultFace = u"Liberation Sans";

// Windows face names resolved to installed faces with the same metrics where such faces exist (the Liberation
// family), else to the closest installed design. Sorted by nothing in particular; looked up linearly at font
// creation only.
constexpr FaceAlias AliasTable[] = {
    {u"Times New Roman", u"Liberation Serif"},
    {u"Times", u"Liberation Serif"},
    {u"Arial", u"Liberation Sans"},
    {u"Helvetica", u"Liberation Sans"},
    {u"MS Sans Serif", u"Liberation Sans"},
    {u"Microsoft Sans Serif", u"Liberation Sans"},
    {u"Arial Narrow", u"Liberation Sans Narrow"},
    {u"Courier New", u"Liberation Mono"},
    {u"Courier", u"Liberation Mono"},
    {u"Tahoma", u"DejaVu Sans"},
    {u"Verdana", u"DejaVu Sans"},
    {u"Segoe UI", u"DejaVu Sans"},
    {u"Trebuchet MS", u"DejaVu Sans"},
    {u"Arial Unicode MS", u"DejaVu Sans"},
    {u"Lucida Sans Unicode", u"DejaVu Sans"},
    {u"Georgia", u"DejaVu Serif"},
    {u"Lucida Console", u"DejaVu Sans Mono"},
    {u"Consolas", u"DejaVu Sans Mono"},
    {u"SimSun", CjkFace},
    {u"宋体", CjkFace},
    {u"NSimSun", CjkMonoFace},
    {u"新宋体", CjkMonoFace},
    {u"SimHei", CjkFace},
    {u"黑体", CjkFace},
    {u"KaiTi", CjkFace},
    {u"楷体", CjkFace},
    {u"楷体_GB2312", CjkFace},
    {u"FangSong", CjkFace},
    {u"仿宋", CjkFace},
    {u"仿宋_GB2312", CjkFace},
    {u"Microsoft YaHei", CjkFace},
    {u"微软雅黑", CjkFace},
    {u"MingLiU", CjkMonoFace},
    {u"細明體", CjkMonoFace},
    {u"PMingLiU", CjkFace},
    {u"新細明體", CjkFace},
    {u"Microsoft JhengHei", CjkFace},
    {u"微軟正黑體", CjkFace},
    {u"MS Gothic", CjkMonoFace},
    {u"ＭＳ ゴシック", CjkMonoFace},
    {u"MS PGothic", CjkFace},
    {u"ＭＳ Ｐゴシック", CjkFace},
    {u"MS Mincho", CjkMonoFace},
    {u"ＭＳ 明朝", CjkMonoFace},
    {u"MS UI Gothic", CjkFace},
    {u"Meiryo", CjkFace},
    {u"Gulim", CjkFace},
    {u"굴림", CjkFace},
    {u"Dotum", CjkFace},
    {u"돋움", CjkFace},
    {u"Batang", CjkFace},
    {u"바탕", CjkFace},
    {u"Malgun Gothic", CjkFace},
};

constexpr u16v FallbackTable[] = {CjkFace, u"DejaVu Sans"};

bool IsCjkCharset(std::uint8_t cs)
{
    return cs == 128 || cs == 129 || cs == 130 || cs == 134 || cs == 136;
}

QString ToQ(u16v s)
{
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

u16 FromQ(const QString& s)
{
    return u16(reinterpret_cast<const char16_t*>(s.constData()), static_cast<std::size_t>(s.size()));
}

// Big-endian reads from a font table; out-of-range offsets read as 0 so a truncated table cannot crash.
int U16At(const QByteArray& t, int off)
{
    if (off < 0 || off + 2 > t.size())
        return 0;
    return (static_cast<unsigned char>(t[off]) << 8) | static_cast<unsigned char>(t[off + 1]);
}

int S16At(const QByteArray& t, int off)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(U16At(t, off)));
}

bool HasSymbolCmap(const QByteArray& cmap)
{
    int count = U16At(cmap, 2);
    for (int i = 0; i < count; ++i) {
        int rec = 4 + i * 8;
        if (U16At(cmap, rec) == 3 && U16At(cmap, rec + 2) == 0)
            return true;
    }
    return false;
}

// Font units scaled to pixels, rounded half away from zero.
int Scale(int units, int em, int unitsPerEm)
{
    return MulDiv(units, em, unitsPerEm);
}

QFont MakeQFont(const QString& family, int em, const LogFont& d)
{
    QFont f(family);
    f.setPixelSize(std::max(1, em));
    f.setWeight(d.Bold() ? QFont::Bold : QFont::Normal);
    f.setItalic(d.Italic);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferDefault));
    return f;
}

} // namespace

struct Font::Impl {
    std::vector<QRawFont> faces;
    QFont qfont;
    using Page = std::array<GlyphInfo, 256>;
    // Filled a page of 256 units at a time on first use: measuring then costs two loads per unit.
    mutable std::array<std::unique_ptr<Page>, 256> pages;
    mutable std::map<char32_t, GlyphInfo> astral;
    int uniformAdvance = -1; // >= 0: every unit advances by this much

    void FillPage(unsigned page) const;
};

void Font::Impl::FillPage(unsigned page) const
{
    auto p = std::make_unique<Page>();
    if (page >= 0xD8 && page <= 0xDF) {
        // Surrogates alone: a high one shows the missing-glyph box, a low one nothing (pairs are looked up whole).
        if (page <= 0xDB) {
            quint32 index = 0;
            QPointF advance;
            faces[0].advancesForGlyphIndexes(&index, &advance, 1, QRawFont::SeparateAdvances);
            for (GlyphInfo& g : *p)
                g = GlyphInfo{static_cast<std::int32_t>(std::lround(advance.x())), 0, 0};
        }
        if (uniformAdvance >= 0)
            for (GlyphInfo& g : *p)
                g.Advance = uniformAdvance;
        pages[page] = std::move(p);
        return;
    }
    QChar chars[256];
    for (unsigned i = 0; i < 256; ++i)
        chars[i] = QChar(static_cast<char16_t>((page << 8) | i));
    std::array<quint32, 256> index{};
    std::array<std::uint8_t, 256> face{};
    for (std::size_t f = 0; f < faces.size(); ++f) {
        std::array<quint32, 256> found{};
        int count = 256;
        faces[f].glyphIndexesForChars(chars, 256, found.data(), &count);
        bool missing = false;
        for (unsigned i = 0; i < 256; ++i) {
            // Control characters have no glyph anywhere; like the platform we draw the primary face's box for them.
            bool control = page == 0 && i < 0x20;
            if (index[i] == 0 && found[i] != 0 && (f == 0 || !control)) {
                index[i] = found[i];
                face[i] = static_cast<std::uint8_t>(f);
            }
            missing = missing || index[i] == 0;
        }
        if (!missing)
            break;
    }
    for (std::size_t f = 0; f < faces.size(); ++f) {
        std::array<quint32, 256> glyphs{};
        std::array<QPointF, 256> advances{};
        for (unsigned i = 0; i < 256; ++i)
            glyphs[i] = face[i] == f ? index[i] : 0;
        faces[f].advancesForGlyphIndexes(glyphs.data(), advances.data(), 256, QRawFont::SeparateAdvances);
        for (unsigned i = 0; i < 256; ++i)
            if (face[i] == f)
                (*p)[i] = GlyphInfo{static_cast<std::int32_t>(std::lround(advances[i].x())), index[i], face[i]};
    }
    if (uniformAdvance >= 0)
        for (GlyphInfo& g : *p)
            g.Advance = uniformAdvance;
    pages[page] = std::move(p);
}

Font::Font(LogFont desc, std::unique_ptr<Impl> impl) : desc_(std::move(desc)), d_(std::move(impl)) {}

Font::~Font() = default;

int Font::FaceCount() const
{
    return static_cast<int>(d_->faces.size());
}

const QRawFont& Font::RawFace(int face) const
{
    return d_->faces[static_cast<std::size_t>(face)];
}

const QFont& Font::QtFont() const
{
    return d_->qfont;
}

const GlyphInfo& Font::FillAndGet(char16_t unit) const
{
    unsigned page = unit >> 8;
    if (!d_->pages[page])
        d_->FillPage(page);
    pageTable_[page] = d_->pages[page]->data();
    return (*d_->pages[page])[unit & 0xFF];
}

GlyphInfo Font::GlyphOfCodePoint(char32_t cp) const
{
    if (cp < 0x10000)
        return Glyph(static_cast<char16_t>(cp));
    auto it = d_->astral.find(cp);
    if (it != d_->astral.end())
        return it->second;
    GlyphInfo g = Lookup(cp);
    if (d_->uniformAdvance >= 0)
        g.Advance = d_->uniformAdvance;
    d_->astral.emplace(cp, g);
    return g;
}

GlyphInfo Font::Lookup(char32_t cp) const
{
    QChar chars[2] = {QChar(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10))),
                      QChar(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)))};
    GlyphInfo g;
    for (std::size_t face = 0; face < d_->faces.size(); ++face) {
        quint32 index[2] = {0, 0};
        int count = 2;
        d_->faces[face].glyphIndexesForChars(chars, 2, index, &count);
        if (index[0] != 0 || face + 1 == d_->faces.size()) {
            std::size_t drawFace = index[0] != 0 ? face : 0;
            QPointF advance;
            d_->faces[drawFace].advancesForGlyphIndexes(index, &advance, 1, QRawFont::SeparateAdvances);
            g = GlyphInfo{static_cast<std::int32_t>(std::lround(advance.x())), index[0], static_cast<std::uint8_t>(drawFace)};
            break;
        }
    }
    return g;
}

struct FontService::State {
    // Family names compare without regard to ASCII letter case: style sheets write them in any case (and the CSS
    // reader lowers them). Keyed by the lower-cased name, holding the name as installed.
    std::map<u16, u16> installed;
    const u16* Installed(u16v face) const
    {
        const auto it = installed.find(LowerAscii(face));
        return it == installed.end() ? nullptr : &it->second;
    }
    std::map<std::uint8_t, std::uint8_t> realized;
    struct Hash {
        std::size_t operator()(const LogFont& d) const
        {
            std::size_t h = std::hash<u16>()(d.Face);
            for (int v : {d.Height, d.Weight, int(d.Italic) | int(d.Underline) << 1 | int(d.StrikeOut) << 2, int(d.CharSet)})
                h = h * 1000003u ^ static_cast<std::size_t>(v);
            return h;
        }
    };
    std::unordered_map<LogFont, FontRef, Hash> fonts;
};

FontService::FontService() : s_(std::make_unique<State>())
{
    for (const QString& family : QFontDatabase::families())
        s_->installed.emplace(LowerAscii(FromQ(family)), FromQ(family));
}

FontService::~FontService() = default;

FontService& FontService::Instance()
{
    static FontService service;
    return service;
}

std::span<const FaceAlias> FontService::Aliases()
{
    return AliasTable;
}

std::span<const u16v> FontService::FallbackFaces()
{
    return FallbackTable;
}

bool FontService::IsInstalled(u16v face) const
{
    if (s_->Installed(face))
        return true;
    for (const FaceAlias& a : AliasTable)
        if (SameTextAscii(a.Name, face))
            return s_->Installed(a.Installed) != nullptr;
    return false;
}

u16 FontService::FamilyFor(u16v face, std::uint8_t charset) const
{
    if (!face.empty())
        if (const u16* installed = s_->Installed(face))
            return *installed;
    for (const FaceAlias& a : AliasTable)
        if (SameTextAscii(a.Name, face))
            if (const u16* installed = s_->Installed(a.Installed))
                return *installed;
    return u16(IsCjkCharset(charset) ? CjkFace : DefaultFace);
}

std::uint8_t FontService::RealizedCharset(std::uint8_t charset)
{
    auto it = s_->realized.find(charset);
    if (it != s_->realized.end())
        return it->second;
    LogFont probe;
    probe.Height = -16;
    probe.CharSet = charset;
    std::uint8_t result = GetFont(probe)->Metrics().CharSet;
    s_->realized.emplace(charset, result);
    return result;
}

namespace {

struct FaceTables {
    int unitsPerEm = 2048;
    int winAscent = 0, winDescent = 0;
    int hheaAscender = 0, hheaDescender = 0, lineGap = 0, advanceWidthMax = 0;
    int xAvgCharWidth = 0;
    int strikeSize = 0, strikePos = 0;
    int underlinePos = 0, underlineThickness = 0;
    bool symbol = false;
    bool hasOs2 = false;
};

FaceTables ReadTables(const QRawFont& raw)
{
    FaceTables t;
    QByteArray head = raw.fontTable("head");
    if (U16At(head, 18) > 0)
        t.unitsPerEm = U16At(head, 18);
    QByteArray os2 = raw.fontTable("OS/2");
    QByteArray hhea = raw.fontTable("hhea");
    QByteArray post = raw.fontTable("post");
    t.hasOs2 = os2.size() >= 78;
    t.xAvgCharWidth = S16At(os2, 2);
    t.strikeSize = S16At(os2, 26);
    t.strikePos = S16At(os2, 28);
    t.winAscent = U16At(os2, 74);
    t.winDescent = U16At(os2, 76);
    t.hheaAscender = S16At(hhea, 4);
    t.hheaDescender = S16At(hhea, 6);
    t.lineGap = S16At(hhea, 8);
    t.advanceWidthMax = U16At(hhea, 10);
    t.underlinePos = S16At(post, 8);
    t.underlineThickness = S16At(post, 10);
    t.symbol = HasSymbolCmap(raw.fontTable("cmap"));
    if (!t.hasOs2) {
        // No OS/2 table: the horizontal header's extents stand in for the Windows ones.
        t.winAscent = t.hheaAscender;
        t.winDescent = -t.hheaDescender;
    }
    return t;
}

// The horizontal header's widest advance, in pixels at this em size.
int ScaledMaxAdvance(const QRawFont& raw, int em)
{
    int unitsPerEm = U16At(raw.fontTable("head"), 18);
    return Scale(U16At(raw.fontTable("hhea"), 10), em, unitsPerEm > 0 ? unitsPerEm : 2048);
}

TextMetrics ComputeMetrics(const FaceTables& t, int em, std::uint8_t requestedCharset)
{
    TextMetrics tm;
    int U = t.unitsPerEm;
    tm.Ascent = Scale(t.winAscent, em, U);
    tm.Descent = Scale(t.winDescent, em, U);
    tm.Height = tm.Ascent + tm.Descent;
    tm.InternalLeading = tm.Height - em;
    int hheaExtent = t.hheaAscender - t.hheaDescender;
    int gap = t.lineGap - ((t.winAscent + t.winDescent) - hheaExtent);
    tm.ExternalLeading = Scale(std::max(0, gap), em, U);
    tm.AveCharWidth = Scale(t.xAvgCharWidth, em, U);
    tm.MaxCharWidth = Scale(t.advanceWidthMax, em, U);
    tm.CharSet = t.symbol ? SymbolCharset : requestedCharset;
    tm.UnderlineOffset = std::max(0, Scale(-t.underlinePos, em, U));
    tm.UnderlineThickness = std::max(1, Scale(t.underlineThickness, em, U));
    tm.StrikeOutThickness = std::max(1, Scale(t.strikeSize > 0 ? t.strikeSize : t.underlineThickness, em, U));
    int strikePos = t.strikePos > 0 ? t.strikePos : t.winAscent / 3;
    tm.StrikeOutOffset = std::max(1, Scale(strikePos, em, U));
    return tm;
}

} // namespace

FontRef FontService::GetFont(const LogFont& desc)
{
    if (auto it = s_->fonts.find(desc); it != s_->fonts.end())
        return it->second;

    u16 family = FamilyFor(desc.Face, desc.CharSet);
    auto impl = std::make_unique<Font::Impl>();

    // The em size first needs the primary face's tables when the height is a cell height.
    QRawFont probe = QRawFont::fromFont(MakeQFont(ToQ(family), 64, desc));
    FaceTables tables = ReadTables(probe);
    int em = 16;
    if (desc.Height < 0)
        em = -desc.Height;
    else if (desc.Height > 0)
        em = MulDiv(desc.Height, tables.unitsPerEm, std::max(1, tables.winAscent + tables.winDescent));
    em = std::max(1, em);

    QFont qf = MakeQFont(ToQ(family), em, desc);
    impl->faces.push_back(QRawFont::fromFont(qf));
    for (u16v fallback : FallbackTable)
        if (fallback != family && s_->Installed(fallback))
            impl->faces.push_back(QRawFont::fromFont(MakeQFont(ToQ(fallback), em, desc)));
    qf.setUnderline(desc.Underline);
    qf.setStrikeOut(desc.StrikeOut);
    qf.setStyleStrategy(QFont::PreferDefault);
    impl->qfont = qf;

    auto font = std::shared_ptr<Font>(new Font(desc, std::move(impl)));
    font->family_ = family;
    font->tm_ = ComputeMetrics(tables, em, desc.CharSet);

    // The layout's "everything fits" shortcut relies on no advance exceeding the maximum width. Linked faces have
    // their own, often wider, glyphs: each face's own maximum counts. Hinting can push an advance a pixel past the
    // scaled table value, so the real advances of the characters text is mostly made of count as well.
    int maxAdvance = 0;
    for (int face = 1; face < font->FaceCount(); ++face)
        maxAdvance = std::max(maxAdvance, ScaledMaxAdvance(font->RawFace(face), em));
    for (char16_t u = 0x20; u < 0x250; ++u)
        maxAdvance = std::max(maxAdvance, font->Advance(u));
    for (char16_t u : {u'\u4E2D', u'\u3042', u'\uAC00', u'\uFF37'})
        maxAdvance = std::max(maxAdvance, font->Advance(u));
    font->tm_.MaxCharWidth = std::max(font->tm_.MaxCharWidth, maxAdvance);

    s_->fonts.emplace(desc, font);
    return font;
}

FontRef FontService::MakeUniformFont(const LogFont& desc, int advance, const TextMetrics& metrics)
{
    const FontRef& real = GetFont(desc);
    auto impl = std::make_unique<Font::Impl>();
    impl->faces = real->d_->faces;
    impl->qfont = real->d_->qfont;
    impl->uniformAdvance = std::max(0, advance);
    auto font = std::shared_ptr<Font>(new Font(desc, std::move(impl)));
    font->family_ = real->family_;
    font->tm_ = metrics;
    font->tm_.MaxCharWidth = std::max(metrics.MaxCharWidth, advance);
    return font;
}

} // namespace lantern::platform
