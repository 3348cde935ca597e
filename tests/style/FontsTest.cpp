// Font descriptions of property sets, family-list resolution, the font cache and charsets.
#include "style/Fonts.h"
#include "style/Properties.h"

#include "markup/CodePages.h"
#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <limits>

namespace lantern {
namespace {

TEST(ResolveFontFamily, FirstInstalledName)
{
    const std::pair<u16v, u16v> cases[] = {
        {u"NoSuchFace, Helvetica, serif", u"Arial"},
        {u"NoSuchFace,serif", u"Times New Roman"},
        {u"SANS-SERIF", u"Arial"},
        {u" 'Courier New' , monospace", u"Courier New"},
        {u"\"宋体\"", u"宋体"},
        {u"微软雅黑, sans-serif", u"微软雅黑"},
        {u"cursive, Verdana", u"Verdana"},   // the handwriting face is not installed
        {u"Liberation Serif", u"Liberation Serif"},
        {u"arial", u"arial"},                // installed names match in any case, as style sheets write them
        {u"'Tahoma\"", u""},                 // mismatched quotes stay
        {u"NoSuchFace, AlsoMissing", u""},
        {u"", u""},
        {u",,", u""},
    };
    for (auto [list, face] : cases) EXPECT_EQ(ResolveFontFamily(list), face) << ToUtf8(list);
}

TEST(FontInfoOf, DescriptionFromCells)
{
    TProperties p;
    p.DefaultFaceName = u"Default Face";
    p.InlineBackground = 0x00EEEEEE;
    p.Props[piColor] = Color(0x00112233);
    p.Props[piFontFamily] = u"NoSuchFace";
    p.Props[piFontSize] = 10.5;
    p.Props[piLetterSpacing] = u"2px";
    p.Charset = 134;
    ThtFontInfo info;
    p.FontInfoOf(info);
    EXPECT_EQ(info.Face, u"Default Face");
    EXPECT_EQ(info.Size, 10.5);
    EXPECT_EQ(info.FontColor, 0x00112233u);
    EXPECT_EQ(info.BackColor, 0x00EEEEEEu);
    EXPECT_EQ(info.Charset, 134);
    EXPECT_EQ(info.LetterSpacing, PropValue(u"2px"));
    EXPECT_EQ(info.Style, 0);

    struct StyleCase {
        int Index;
        PropValue Value;
        std::uint8_t Style;
    };
    const StyleCase styles[] = {
        {piFontWeight, u"bold", FontBold},         {piFontWeight, u"bolder", FontBold},
        {piFontWeight, u"600", FontBold},          {piFontWeight, 700, FontBold},
        {piFontWeight, u"500", 0},                 {piFontWeight, u"normal", 0},
        {piFontStyle, u"italic", FontItalic},      {piFontStyle, u"oblique", FontItalic},
        {piFontStyle, u"Italic", 0},               {piTextDecoration, u"underline", FontUnderline},
        {piTextDecoration, u"line-through", FontStrikeOut}, {piTextDecoration, u"underline overline", 0},
    };
    for (const StyleCase& c : styles) {
        TProperties q;
        q.Props[std::size_t(c.Index)] = c.Value;
        q.FontInfoOf(info);
        EXPECT_EQ(info.Style, c.Style) << c.Index << " " << ToUtf8(c.Value.Text());
    }
}

TEST(FontCache, OneFontPerDistinctDescription)
{
    auto& cache = TMyFontCache::Instance();
    const TMyFont& a = cache.GetFont(u"Arial", -16, 0, 1);
    const std::size_t count = cache.FontCount();
    EXPECT_EQ(&cache.GetFont(u"Arial", -16, 0, 1), &a);
    EXPECT_EQ(&cache.GetFont(u"ARIAL", -16, 0, 1), &a); // faces compare case-insensitively
    EXPECT_EQ(cache.FontCount(), count);
    const TMyFont* others[] = {&cache.GetFont(u"Arial", -17, 0, 1), &cache.GetFont(u"Arial", -16, FontBold, 1),
                               &cache.GetFont(u"Arial", -16, 0, 134), &cache.GetFont(u"Courier New", -16, 0, 1)};
    for (const TMyFont* f : others) EXPECT_NE(f, &a);
    EXPECT_EQ(cache.FontCount(), count + 4);
    EXPECT_EQ(&cache.GetFont(u"Arial", -16, 0, 134), others[2]);
}

TEST(FontCache, MetricsAreConsistent)
{
    auto& cache = TMyFontCache::Instance();
    for (u16v face : {u16v(u"Times New Roman"), u16v(u"Arial"), u16v(u"Courier New"), u16v(u"宋体")}) {
        for (int height : {-11, -16, -32}) {
            const TMyFont& f = cache.GetFont(face, height, 0, 1);
            ASSERT_TRUE(f.Handle) << ToUtf8(face);
            const auto& tm = f.Handle->Metrics();
            EXPECT_EQ(tm.Ascent + tm.Descent, f.TextHeight) << ToUtf8(face) << height;
            EXPECT_EQ(f.EmSize, -height) << ToUtf8(face) << height;
            EXPECT_EQ(f.ExSize, f.EmSize / 2);
            EXPECT_GT(f.Descent, 0);
            EXPECT_GE(f.TextHeight, f.EmSize);
            EXPECT_GT(f.AveCharWidth, 0);
            EXPECT_GE(f.MaxCharWidth, f.AveCharWidth);
            EXPECT_EQ(f.RealizedCharset, 1);
        }
    }
    const TMyFont& serif = cache.GetFont(u"Times New Roman", -16, 0, 1);
    auto width = [&](u16v s) {
        int w = 0;
        for (char16_t c : s) w += serif.Handle->Advance(c);
        return w;
    };
    EXPECT_LT(width(u"iiii"), width(u"WWWW"));
    EXPECT_LT(width(u"WWW"), width(u"WWWW"));
    EXPECT_GT(cache.GetFont(u"Times New Roman", -32, 0, 1).TextHeight, serif.TextHeight);
}

TEST(FontOf, SetsShareOnePlatformFont)
{
    auto make = [](u16v family, double size) {
        auto p = std::make_unique<TProperties>();
        p->DefaultFaceName = u"Times New Roman";
        p->Props[piFontFamily] = family;
        p->Props[piFontSize] = size;
        p->Props[piColor] = Color(0x0000FF);
        p->SetFlags[piColor] = true;
        return p;
    };
    auto a = make(u"Arial", 12);
    auto b = make(u"'Arial', sans-serif", 12);
    b->InlineBackground = 0x00FFFF;
    const std::size_t before = TMyFontCache::Instance().FontCount();
    auto fa = a->FontOf();
    auto fb = b->FontOf();
    EXPECT_LE(TMyFontCache::Instance().FontCount(), before + 1);
    EXPECT_EQ(fa->Handle, fb->Handle);
    EXPECT_EQ(fa->Height, -16);
    EXPECT_EQ(fa->FontColor, 0x0000FFu);
    EXPECT_EQ(fb->BackColor, 0x00FFFFu);
    EXPECT_EQ(fa->BackColor, clNone);
    EXPECT_EQ(a->EmSize, fa->EmSize);
    EXPECT_EQ(a->ExSize, fa->ExSize);
    fa->FontColor = 0; // the caller's copy is its own
    EXPECT_EQ(a->FontOf()->FontColor, 0x0000FFu);
    auto c = make(u"NoSuchFace", 9);
    EXPECT_EQ(c->FontOf()->Name, u"Times New Roman");
}

TEST(FontOf, SizesOutOfRange)
{
    // An enormous size is capped rather than overflowing; a size that is no number (an infinite parent size
    // times 0%) gets the platform's default height rather than an undefined conversion.
    const std::pair<double, int> cases[] = {
        {12, -16}, {0, 0}, {1e300, -1000000}, {-1e300, 1000000}, {std::numeric_limits<double>::infinity(), -1000000},
        {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (auto [points, height] : cases) EXPECT_EQ(FontHeightOfPoints(points), height) << points;
}

TEST(FontOf, LetterSpacing)
{
    const std::pair<PropValue, int> cases[] = {
        {PropValue(), 0}, {u"normal", 0}, {3, 3}, {u"2px", 2}, {u"0.5em", 8}, {u"-1px", -1}, {u"wide", 0}};
    for (const auto& [cell, px] : cases) {
        TProperties p;
        p.DefaultFaceName = u"Arial";
        p.Props[piFontSize] = 12.0;
        p.Props[piLetterSpacing] = cell;
        EXPECT_EQ(p.FontOf()->LetterSpacing, px) << ToUtf8(cell.Text());
    }
}

TEST(FontOf, SelectedFontMeasuresWithItsSpacing)
{
    TProperties p;
    p.DefaultFaceName = u"Arial";
    p.Props[piFontSize] = 12.0;
    auto plain = p.FontOf();
    p.Props[piLetterSpacing] = u"3px";
    p.CachedFont.reset();
    auto spaced = p.FontOf();
    platform::Canvas canvas;
    plain->SelectFontInto(canvas);
    const int narrow = canvas.TextWidth(u"Lantern");
    EXPECT_LT(canvas.TextWidth(u"ill"), canvas.TextWidth(u"WMW"));
    EXPECT_EQ(canvas.TextExtent(u"x").cy, plain->TextHeight);
    spaced->SelectFontInto(canvas);
    EXPECT_EQ(canvas.CurrentFont(), plain->Handle);
    EXPECT_EQ(canvas.TextWidth(u"Lantern"), narrow + 7 * 3);
}

TEST(Charsets, CodePageAndCharsetTogether)
{
    TProperties p;
    p.LinkFonts = std::make_unique<TFontInfoArray>();
    p.SetCharset(GB2312_CHARSET);
    EXPECT_EQ(p.Charset, GB2312_CHARSET);
    EXPECT_EQ(p.CodePage, 936);
    EXPECT_EQ((*p.LinkFonts)[lsVisitedHover].Charset, GB2312_CHARSET);
    p.SetCodePage(CP_UTF8);
    EXPECT_EQ(p.Charset, DEFAULT_CHARSET);
    EXPECT_EQ(p.CodePage, CP_UTF8);
    p.SetCodePage(PseudoCpUtf16Be);
    EXPECT_EQ(p.Charset, DEFAULT_CHARSET);
    p.SetCodePage(1251);
    EXPECT_EQ(p.Charset, RUSSIAN_CHARSET);
    p.SetCharsetAndCodePage(ISO8859_2_CHARSET, 28592);
    EXPECT_EQ(p.Charset, EASTEUROPE_CHARSET);
    EXPECT_EQ(p.CodePage, 28592);
}

} // namespace
} // namespace lantern
