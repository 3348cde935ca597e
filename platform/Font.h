// Fonts as the engine's layout expects them: a description in the classic logical-font form, metrics in the classic
// text-metric form taken from the font's own tables, and integer advances per UTF-16 unit (full hinting, no
// kerning, no ligatures), so that widths add up exactly and every line breaks the same way on every desktop.
#pragma once

#include "common/Str.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QFont;
class QRawFont;

namespace lantern::platform {

// Charset values of the logical-font description.
inline constexpr std::uint8_t AnsiCharset = 0;
inline constexpr std::uint8_t DefaultCharset = 1;
inline constexpr std::uint8_t SymbolCharset = 2;

inline constexpr int FwNormal = 400;
inline constexpr int FwBold = 700;

struct LogFont {
    u16 Face;                 // as requested ("Times New Roman"); the alias table is applied when the font is made
    int Height = 0;           // < 0: character (em) height in pixels; > 0: cell height (ascent + descent); 0: 16 px em
    int Weight = FwNormal;    // 1..1000; 600 and above draws bold
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::uint8_t CharSet = DefaultCharset;

    bool Bold() const { return Weight >= 600; }
    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// All values in pixels. Ascent + Descent = Height; Height - InternalLeading is the em size.
struct TextMetrics {
    int Height = 0;
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0;
    int ExternalLeading = 0;  // space above the text that the line adds (not part of Height)
    int AveCharWidth = 0;
    int MaxCharWidth = 0;     // bounds every advance the font reports, fallback faces included
    int Overhang = 0;         // always 0 for outline fonts; the engine adds its own italic overhang
    std::uint8_t CharSet = DefaultCharset; // SymbolCharset for symbol-encoded faces, else the requested charset
    int UnderlineOffset = 0;  // top of the underline, below the baseline
    int UnderlineThickness = 1;
    int StrikeOutOffset = 0;  // top of the strike-out bar, above the baseline (positive = up)
    int StrikeOutThickness = 1;
};

// How one UTF-16 unit is drawn: which face of the font's chain and which glyph, and its integer advance.
struct GlyphInfo {
    std::int32_t Advance = 0;
    std::uint32_t Index = 0;  // glyph index in the face; 0 = the primary face's missing-glyph box
    std::uint8_t Face = 0;    // 0 = primary face, 1.. = fallback faces for characters the primary face lacks
};

class FontService;

// A platform font: immutable after creation and shared; made only by FontService, which keeps it for the process.
class Font {
public:
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const LogFont& Desc() const { return desc_; }
    const TextMetrics& Metrics() const { return tm_; }
    int EmHeight() const { return tm_.Height - tm_.InternalLeading; }
    // The installed family that the description resolved to (after aliases and the default face).
    const u16& FamilyName() const { return family_; }

    // Glyph and integer advance of one unit, cached per unit. Surrogates answer for themselves alone (a low
    // surrogate has advance 0, a high surrogate the missing-glyph box); GlyphOfCodePoint serves pairs.
    const GlyphInfo& Glyph(char16_t unit) const
    {
        // Inline, as text measuring calls it for every unit; the first use of a page fills it.
        const GlyphInfo* page = pageTable_[unit >> 8];
        return page ? page[unit & 0xFF] : FillAndGet(unit);
    }
    int Advance(char16_t unit) const { return Glyph(unit).Advance; }
    GlyphInfo GlyphOfCodePoint(char32_t cp) const;

    // Number of faces in the chain (primary plus fallbacks) and each face as drawn.
    int FaceCount() const;
    const QRawFont& RawFace(int face) const;
    // A widget font with the same face, pixel size and style (for child controls).
    const QFont& QtFont() const;

private:
    friend class FontService;
    struct Impl;
    Font(LogFont desc, std::unique_ptr<Impl> impl);
    GlyphInfo Lookup(char32_t cp) const;
    const GlyphInfo& FillAndGet(char16_t unit) const;

    LogFont desc_;
    TextMetrics tm_;
    u16 family_;
    std::unique_ptr<Impl> d_;
    mutable std::array<const GlyphInfo*, 256> pageTable_{}; // the filled pages of d_, by high byte
};

using FontRef = std::shared_ptr<const Font>;

struct FaceAlias {
    u16v Name;      // a face name pages ask for
    u16v Installed; // the installed metric-compatible (or closest) family drawn for it
};

// Turns descriptions into fonts (cached forever: a document has few distinct fonts) and answers which faces exist.
class FontService {
public:
    static FontService& Instance();
    ~FontService();

    FontRef GetFont(const LogFont& desc);
    // A font in which every unit advances by `advance` pixels and whose metrics are `metrics`, drawn with the glyphs
    // of the face `desc` resolves to. Line breaking against it is plain arithmetic, which is what layout tests and
    // debugging want; it is not cached, and MaxCharWidth is raised to `advance` when given smaller.
    FontRef MakeUniformFont(const LogFont& desc, int advance, const TextMetrics& metrics);

    // Exact, case-sensitive lookup in the list of installed faces, where an alias name counts as installed when
    // its target is. This is the test the style system's font-family resolution makes.
    bool IsInstalled(u16v face) const;
    // The installed family a face name draws with: itself when installed, its alias target, or the default face.
    u16 FamilyFor(u16v face, std::uint8_t charset = DefaultCharset) const;
    // The charset a font made with an empty face name and this charset would report.
    std::uint8_t RealizedCharset(std::uint8_t charset);

    static std::span<const FaceAlias> Aliases();
    // Faces tried, in order, for characters the requested face lacks (CJK first, as font linking does).
    static std::span<const u16v> FallbackFaces();
    static constexpr int PixelsPerInch() { return 96; }

private:
    FontService();
    struct State;
    std::unique_ptr<State> s_;
};

} // namespace lantern::platform
