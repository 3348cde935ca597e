#include "platform/Font.h"

#include <QRawFont>
#include <gtest/gtest.h>

using namespace lantern;
using namespace lantern::platform;

namespace {

FontRef MakeFont(u16v face, int height, int weight = FwNormal, bool italic = false)
{
    LogFont d;
    d.Face = u16(face);
    d.Height = height;
    d.Weight = weight;
    d.Italic = italic;
    return FontService::Instance().GetFont(d);
}

} // namespace

// Line heights and baselines of every page depend on these; a change here must be deliberate.
TEST(Font, MetricsGoldenTable)
{
    struct Case {
        u16v face;
        int px, height, ascent, descent, internal, external, average;
    } cases[] = {
        {u"Liberation Serif", 11, 12, 10, 2, 1, 0, 6},
        {u"Liberation Serif", 13, 15, 12, 3, 2, 1, 7},
        {u"Liberation Serif", 16, 17, 14, 3, 1, 1, 9},
        {u"Liberation Serif", 21, 24, 19, 5, 3, 1, 12},
        {u"Liberation Serif", 32, 36, 29, 7, 4, 1, 18},
        {u"Liberation Sans", 11, 12, 10, 2, 1, 0, 6},
        {u"Liberation Sans", 13, 15, 12, 3, 2, 0, 8},
        {u"Liberation Sans", 16, 17, 14, 3, 1, 1, 9},
        {u"Liberation Sans", 21, 23, 19, 4, 2, 1, 12},
        {u"Liberation Sans", 32, 36, 29, 7, 4, 1, 19},
        {u"Liberation Mono", 11, 12, 9, 3, 1, 0, 7},
        {u"Liberation Mono", 16, 18, 13, 5, 2, 0, 10},
        {u"Liberation Mono", 32, 37, 27, 10, 5, 0, 19},
        {u"DejaVu Sans", 11, 13, 10, 3, 2, 0, 6},
        {u"DejaVu Sans", 13, 15, 12, 3, 2, 0, 7},
        {u"DejaVu Sans", 16, 19, 15, 4, 3, 0, 8},
        {u"DejaVu Sans", 21, 24, 19, 5, 3, 0, 11},
        {u"DejaVu Sans", 32, 38, 30, 8, 6, 0, 16},
    };
    for (const Case& c : cases) {
        FontRef f = MakeFont(c.face, -c.px);
        const TextMetrics& tm = f->Metrics();
        SCOPED_TRACE(ToUtf8(c.face) + " " + std::to_string(c.px));
        EXPECT_EQ(tm.Height, c.height);
        EXPECT_EQ(tm.Ascent, c.ascent);
        EXPECT_EQ(tm.Descent, c.descent);
        EXPECT_EQ(tm.InternalLeading, c.internal);
        EXPECT_EQ(tm.ExternalLeading, c.external);
        EXPECT_EQ(tm.AveCharWidth, c.average);
        EXPECT_EQ(f->EmHeight(), c.px); // a negative height asks for the em size itself
        EXPECT_EQ(tm.Overhang, 0);
    }
}

TEST(Font, HeightSignConvention)
{
    // Positive heights ask for the cell (ascent + descent), zero for the 16-pixel default.
    struct Case {
        int height, cellHeight, em;
    } cases[] = {{-16, 17, 16}, {0, 17, 16}, {12, 12, 11}, {20, 20, 18}};
    for (const Case& c : cases) {
        FontRef f = MakeFont(u"Liberation Serif", c.height);
        EXPECT_EQ(f->Metrics().Height, c.cellHeight) << c.height;
        EXPECT_EQ(f->EmHeight(), c.em) << c.height;
    }
}

TEST(Font, IntegerAdvancesWithoutKerning)
{
    FontRef serif = MakeFont(u"Times New Roman", -16);
    struct Case {
        char16_t unit;
        int advance;
    } cases[] = {{u'A', 12}, {u'V', 12}, {u'f', 5}, {u'i', 4}, {u' ', 4}, {u'W', 15}, {u'?', 7}};
    for (const Case& c : cases)
        EXPECT_EQ(serif->Advance(c.unit), c.advance) << char(c.unit);

    // A pangram with kerning pairs and ligature candidates is the plain sum of its units' advances.
    int sum = 0;
    for (char16_t u : u16v(u"The quick brown fox jumps over the lazy dog. AV To Wa fi fl office"))
        sum += serif->Advance(u);
    EXPECT_EQ(sum, 435);
}

TEST(Font, MaxCharWidthBoundsEveryAdvance)
{
    // Layout skips measuring when width >= MaxCharWidth x count; that is only sound if no unit is wider.
    for (u16v face : {u16v(u"Liberation Serif"), u16v(u"Liberation Sans"), u16v(u"Liberation Mono"), u16v(u"DejaVu Sans"),
                      u16v(u"WenQuanYi Micro Hei")})
        for (int px : {9, 13, 16, 24}) {
            FontRef f = MakeFont(face, -px, FwBold);
            for (char16_t u = 0x20; u < 0x17F; ++u)
                ASSERT_LE(f->Advance(u), f->Metrics().MaxCharWidth) << ToUtf8(face) << " " << px << " U+" << int(u);
            EXPECT_LE(f->Advance(u'中'), f->Metrics().MaxCharWidth);
        }
}

// The bound holds for every unit of the basic plane, also for the rarer characters that only a wide fallback face
// draws (the per ten thousand sign, Canadian syllabics).
TEST(Font, MaxCharWidthBoundsTheWholePlane)
{
    for (u16v face : {u16v(u"Times New Roman"), u16v(u"Courier New")})
        for (int px : {11, 16}) {
            FontRef f = MakeFont(face, -px);
            for (char32_t u = 0x20; u < 0xFFFE; ++u) {
                if (u >= 0xD800 && u <= 0xDFFF)
                    continue;
                ASSERT_LE(f->Advance(char16_t(u)), f->Metrics().MaxCharWidth)
                    << ToUtf8(face) << " " << px << " U+" << std::hex << int(u);
            }
        }
}

TEST(Font, InstalledFacesAndAliases)
{
    const FontService& fs = FontService::Instance();
    struct Case {
        u16v face;
        bool installed;
        u16v family;
    } cases[] = {
        {u"Liberation Serif", true, u"Liberation Serif"},
        {u"Times New Roman", true, u"Liberation Serif"},
        {u"Arial", true, u"Liberation Sans"},
        {u"Courier New", true, u"Liberation Mono"},
        {u"Verdana", true, u"DejaVu Sans"},
        {u"Tahoma", true, u"DejaVu Sans"},
        {u"宋体", true, u"WenQuanYi Micro Hei"},
        {u"SimSun", true, u"WenQuanYi Micro Hei"},
        {u"arial", true, u"Liberation Sans"},             // names compare ignoring case: style sheets lower them
        {u"liberation mono", true, u"Liberation Mono"},
        {u"Lucida Handwriting", false, u"Liberation Sans"}, // not installed: drawn with the default face
        {u"", false, u"Liberation Sans"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fs.IsInstalled(c.face), c.installed) << ToUtf8(c.face);
        EXPECT_EQ(fs.FamilyFor(c.face), c.family) << ToUtf8(c.face);
    }
    // Every alias target is one of the faces set-up installs, so the table never points at nothing.
    for (const FaceAlias& a : FontService::Aliases())
        EXPECT_TRUE(fs.IsInstalled(a.Installed)) << ToUtf8(a.Installed);
    // An unknown face in a Chinese charset takes the CJK face, as the platform's font mapper would.
    EXPECT_EQ(fs.FamilyFor(u"No Such Face", 134), u"WenQuanYi Micro Hei");
}

TEST(Font, OneFontPerDescription)
{
    FontRef a = MakeFont(u"Arial", -13);
    EXPECT_EQ(a, MakeFont(u"Arial", -13));
    EXPECT_NE(a, MakeFont(u"Arial", -13, FwBold));
    EXPECT_NE(a, MakeFont(u"Arial", -14));
    EXPECT_EQ(a->Desc().Face, u"Arial"); // the requested name is kept; the alias only chooses the drawing face
    EXPECT_EQ(a->FamilyName(), u"Liberation Sans");
}

TEST(Font, StylesChangeTheFace)
{
    u16v text = u"Bold text is wider";
    auto width = [&](const FontRef& f) {
        int w = 0;
        for (char16_t u : text)
            w += f->Advance(u);
        return w;
    };
    EXPECT_GT(width(MakeFont(u"Arial", -16, FwBold)), width(MakeFont(u"Arial", -16)));
    EXPECT_NE(MakeFont(u"Arial", -16, FwNormal, true)->RawFace(0).style(), MakeFont(u"Arial", -16)->RawFace(0).style());
}

TEST(Font, MissingCharactersFallBackToTheCjkFace)
{
    FontRef serif = MakeFont(u"Times New Roman", -16);
    const GlyphInfo& g = serif->Glyph(u'中');
    EXPECT_GT(g.Face, 0);        // not from the primary face, which lacks it
    EXPECT_NE(g.Index, 0u);
    EXPECT_EQ(g.Advance, 16);    // an ideograph is one em wide
    EXPECT_EQ(serif->Glyph(u'a').Face, 0);
}

TEST(Font, SurrogatesAndControls)
{
    FontRef f = MakeFont(u"DejaVu Sans", -16);
    EXPECT_EQ(f->Advance(0xDC00), 0);                   // a low surrogate on its own adds nothing
    EXPECT_EQ(f->Glyph(0xD83D).Index, 0u);              // a lone high surrogate is the missing-glyph box
    EXPECT_GT(f->Advance(0xD83D), 0);
    EXPECT_NE(f->GlyphOfCodePoint(0x10400).Index, 0u);  // a character beyond the basic plane, looked up whole
    EXPECT_EQ(f->Glyph(0x0001).Index, 0u);              // control characters draw the box, never a fallback glyph
    EXPECT_EQ(f->Glyph(0x0001).Face, 0);
}

TEST(Font, UniformFontsAdvanceEveryUnitAlike)
{
    LogFont d;
    d.Face = u"Liberation Serif";
    d.Height = -16;
    TextMetrics tm;
    tm.Height = 16;
    tm.Ascent = 12;
    tm.Descent = 4;
    FontRef f = FontService::Instance().MakeUniformFont(d, 8, tm);
    for (char16_t u : {u'i', u'W', u' ', u'\u4E2D', u'\u0008'})
        EXPECT_EQ(f->Advance(u), 8) << int(u);
    EXPECT_EQ(f->GlyphOfCodePoint(0x1F600).Advance, 8);
    EXPECT_EQ(f->Metrics().Ascent, 12);
    EXPECT_EQ(f->Metrics().MaxCharWidth, 8);
    // Drawn with the real face's glyphs, and not shared with the real font.
    EXPECT_NE(f->Glyph(u'W').Index, 0u);
    EXPECT_NE(MakeFont(u"Liberation Serif", -16)->Advance(u'i'), 8);
}
