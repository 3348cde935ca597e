#include "platform/Canvas.h"

#include "Pixels.h"

#include <QImage>
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

using namespace lantern;
using namespace lantern::platform;
using namespace lantern::platform::test;

namespace {

FontRef MakeFont(u16v face, int px, bool underline = false, bool strikeOut = false)
{
    LogFont d;
    d.Face = u16(face);
    d.Height = -px;
    d.Underline = underline;
    d.StrikeOut = strikeOut;
    return FontService::Instance().GetFont(d);
}

int SumOfAdvances(const Font& f, u16v s)
{
    return std::accumulate(s.begin(), s.end(), 0, [&](int w, char16_t u) { return w + f.Advance(u); });
}

} // namespace

TEST(CanvasMeasure, ExtentIsTheSumOfIntegerAdvances)
{
    Canvas c;
    for (u16v face : {u16v(u"Times New Roman"), u16v(u"Arial"), u16v(u"Courier New"), u16v(u"Verdana")})
        for (int px : {11, 16, 21}) {
            c.SelectFont(MakeFont(face, px));
            for (u16v s : {u16v(u"AVATAR office"), u16v(u"fi fl ffi"), u16v(u"x"), u16v(u"中文 and Latin")}) {
                Size e = c.TextExtent(s);
                EXPECT_EQ(e.cx, SumOfAdvances(*c.CurrentFont(), s)) << ToUtf8(face) << px << ToUtf8(s);
                EXPECT_EQ(e.cy, c.Metrics().Height);
            }
            EXPECT_EQ(c.TextExtent(u""), (Size{0, c.Metrics().Height}));
        }
}

TEST(CanvasMeasure, CharacterExtraAfterEveryUnitSurvivesFontChanges)
{
    Canvas c;
    c.SelectFont(MakeFont(u"Arial", 16));
    u16v s = u"a b\u4E2Dc";
    const int plain = c.TextWidth(s);
    for (int extra : {0, 3, -1}) {
        c.SetTextCharacterExtra(extra);
        EXPECT_EQ(c.TextWidth(s), plain + 5 * extra) << extra;
    }
    c.SetTextCharacterExtra(2);
    c.SelectFont(MakeFont(u"Times New Roman", 13));
    EXPECT_EQ(c.TextWidth(s), SumOfAdvances(*c.CurrentFont(), s) + 10);
    // A surrogate pair is two units: the glyph's advance on the first, and the extra after each.
    u16v pair = u"\U00010400";
    EXPECT_EQ(c.TextWidth(pair), c.CurrentFont()->GlyphOfCodePoint(0x10400).Advance + 4);
}

TEST(CanvasMeasure, JustificationGoesToSpacesWithThePerCallRemainder)
{
    Canvas c;
    c.SelectFont(MakeFont(u"Liberation Mono", 16)); // every unit 10 px
    struct Case {
        u16v text;
        int extra, count;
        std::vector<int> ends;
    } cases[] = {
        // 7 over 3 spaces: 3, 2, 2
        {u"a b c d", 7, 3, {10, 23, 33, 45, 55, 67, 77}},
        // the remainder restarts in every call, so each piece of a cut line gets its own extra pixel
        {u" c d", 7, 3, {13, 23, 35, 45}},
        // less extra than spaces: only the remainder, to the first spaces
        {u"a b c d", 2, 3, {10, 21, 31, 42, 52, 62, 72}},
        // '?' is counted by callers but never widened
        {u"a? b", 4, 2, {10, 20, 32, 42}},
        // off when the extra or the count is not positive
        {u"a b", -5, 2, {10, 20, 30}},
        {u"a b", 5, 0, {10, 20, 30}},
    };
    for (const Case& k : cases) {
        c.SetTextJustification(k.extra, k.count);
        std::vector<int> ends(k.text.size());
        c.Positions(k.text, ends);
        EXPECT_EQ(ends, k.ends) << ToUtf8(k.text) << " " << k.extra << "/" << k.count;
        EXPECT_EQ(c.TextWidth(k.text), k.ends.back());
    }
    // Character extra and justification add up.
    c.SetTextJustification(2, 1);
    c.SetTextCharacterExtra(1);
    EXPECT_EQ(c.TextWidth(u"a b"), 33 + 2);
}

TEST(CanvasMeasure, FitCountAtAndAroundBoundaries)
{
    Canvas c;
    c.SelectFont(MakeFont(u"Liberation Mono", 16));
    c.SetTextCharacterExtra(1); // 11 px per unit
    u16v s = u"abcd";
    struct Case {
        int max, fit;
    } cases[] = {{-1, 0}, {0, 0}, {10, 0}, {11, 1}, {21, 1}, {22, 2}, {43, 3}, {44, 4}, {1000, 4}};
    for (const Case& k : cases) {
        EXPECT_EQ(c.FitCount(s, k.max), k.fit) << k.max;
        int fitted = -1;
        EXPECT_EQ(c.FitCount(s, k.max, fitted), k.fit) << k.max;
        EXPECT_EQ(fitted, 11 * k.fit) << k.max;
    }

    std::vector<int> partial(s.size(), -1);
    EXPECT_EQ(c.FitCount(s, 30, partial), 2);
    EXPECT_EQ(partial, (std::vector<int>{11, 22, -1, -1}));
    EXPECT_EQ(c.FitCount(u"", 5), 0);
}

TEST(CanvasMeasure, DrawTextExtentBreaksOnlyAtLineBreaks)
{
    Canvas c;
    c.SelectFont(MakeFont(u"Liberation Mono", 16));
    const int h = c.Metrics().Height;
    struct Case {
        u16v text;
        int width, lines;
    } cases[] = {
        {u"one line with blanks", 200, 1},
        {u"ab\r\nabcd", 40, 2},
        {u"ab\rabc\nx", 30, 3},
        {u"abc\r\n", 30, 1}, // a final line break adds no line
        {u"a\n\nb", 10, 3},  // an empty line in between counts
        {u"", 0, 0},
    };
    for (const Case& k : cases)
        EXPECT_EQ(c.DrawTextExtent(k.text), (Size{k.width, k.lines * h})) << ToUtf8(k.text);
}

// Drawing places every glyph where measuring said it would be: a line drawn whole and the same line drawn in
// pieces, each piece at the measured end of the one before, give identical pixels.
TEST(CanvasPaint, DrawnWholeEqualsDrawnInMeasuredPieces)
{
    struct Case {
        u16v face;
        int px, extra, justifyExtra, justifyCount;
    } cases[] = {
        {u"Times New Roman", 16, 0, 0, 0},
        {u"Arial", 13, 2, 0, 0},
        {u"Verdana", 21, -1, 0, 0},
        {u"Times New Roman", 16, 0, 3, 3}, // one pixel per space; no remainder, so pieces justify like the whole
        {u"Arial", 16, 1, 6, 3},
    };
    u16v line = u"Wave fi AV \u4E2D\u6587 end";
    for (const Case& k : cases) {
        QImage whole = WhiteImage(400, 40), pieces = WhiteImage(400, 40);
        PaintCanvas a(whole), b(pieces);
        for (PaintCanvas* p : {&a, &b}) {
            p->SelectFont(MakeFont(k.face, k.px));
            p->SetTextCharacterExtra(k.extra);
            p->SetTextJustification(k.justifyExtra, k.justifyCount);
            p->SetBkMode(BkMode::Transparent);
            p->SetTextAlign(TaBaseline);
        }
        a.TextOut(5, 30, line);
        std::vector<int> ends(line.size());
        b.Positions(line, ends);
        std::size_t cut = 0;
        for (std::size_t next : {std::size_t(3), std::size_t(8), std::size_t(13), line.size()}) {
            int x = 5 + (cut ? ends[cut - 1] : 0);
            b.TextOut(x, 30, line.substr(cut, next - cut));
            cut = next;
        }
        EXPECT_TRUE(whole == pieces) << ToUtf8(k.face) << " " << k.px;
        EXPECT_FALSE(InkBounds(whole).IsEmpty());
    }
}

TEST(CanvasPaint, OpaqueTextFillsTheCharacterCell)
{
    QImage img = WhiteImage(200, 40);
    PaintCanvas p(img);
    p.SelectFont(MakeFont(u"Arial", 16));
    p.SetTextCharacterExtra(2);
    p.SetBkMode(BkMode::Opaque);
    p.SetBkColor(0x0000FF); // red, as 0x00BBGGRR
    p.SetTextColor(0xFF0000);
    p.SetTextAlign(TaLeft | TaTop);
    u16v s = u"Cell";
    p.TextOut(10, 5, s);
    const int w = p.TextWidth(s), h = p.Metrics().Height;
    const QRgb red = qRgb(255, 0, 0);
    // The cell's four corners are background; one pixel beyond each edge is untouched.
    EXPECT_EQ(img.pixel(10, 5), red);
    EXPECT_EQ(img.pixel(10 + w - 1, 5 + h - 1), red);
    EXPECT_EQ(img.pixel(10 + w - 1, 5), red);
    EXPECT_EQ(img.pixel(9, 10), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(10 + w, 10), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(12, 4), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(12, 5 + h), qRgb(255, 255, 255));
    // Transparent mode leaves the background alone.
    QImage clear = WhiteImage(200, 40);
    PaintCanvas t(clear);
    t.SelectFont(MakeFont(u"Arial", 16));
    t.SetBkMode(BkMode::Transparent);
    t.SetTextAlign(TaLeft | TaTop);
    t.TextOut(10, 5, s);
    EXPECT_EQ(clear.pixel(10, 5), qRgb(255, 255, 255));
}

TEST(CanvasPaint, AlignmentMovesTheReferencePoint)
{
    FontRef f = MakeFont(u"Times New Roman", 16);
    const TextMetrics& tm = f->Metrics();
    u16v s = u"Align";
    auto draw = [&](unsigned align, int x, int y) {
        QImage img = WhiteImage(200, 60);
        PaintCanvas p(img);
        p.SelectFont(f);
        p.SetBkMode(BkMode::Transparent);
        p.SetTextAlign(align);
        p.TextOut(x, y, s);
        return img;
    };
    Canvas measure;
    measure.SelectFont(f);
    const int w = measure.TextWidth(s);
    const QImage reference = draw(TaLeft | TaTop, 60, 10);
    EXPECT_TRUE(draw(TaLeft | TaBaseline, 60, 10 + tm.Ascent) == reference);
    EXPECT_TRUE(draw(TaLeft | TaBottom, 60, 10 + tm.Height) == reference);
    EXPECT_TRUE(draw(TaRight | TaTop, 60 + w, 10) == reference);
    EXPECT_TRUE(draw(TaCenter | TaTop, 60 + w / 2, 10) == reference);
}

TEST(CanvasPaint, UnderlineAndStrikeOutSpanTheWholeExtent)
{
    for (bool strike : {false, true}) {
        QImage img = WhiteImage(200, 40);
        PaintCanvas p(img);
        FontRef f = MakeFont(u"Arial", 16, !strike, strike);
        p.SelectFont(f);
        p.SetBkMode(BkMode::Transparent);
        p.SetTextAlign(TaBaseline);
        p.SetTextCharacterExtra(4);        // the gaps after every unit are decorated too
        p.SetTextJustification(9, 1);
        u16v s = u"i i";
        p.TextOut(20, 25, s);
        const int w = p.TextWidth(s);
        const TextMetrics& tm = f->Metrics();
        int row = strike ? 25 - tm.StrikeOutOffset : 25 + tm.UnderlineOffset;
        for (int x = 20; x < 20 + w; ++x)
            ASSERT_TRUE(Inked(img, x, row)) << "strike " << strike << " x " << x;
        EXPECT_FALSE(Inked(img, 19, row));
        EXPECT_FALSE(Inked(img, 20 + w, row));
    }
}

TEST(CanvasPaint, ClippedTextStaysInsideItsRectangle)
{
    QImage img = WhiteImage(200, 40);
    PaintCanvas p(img);
    p.SelectFont(MakeFont(u"Courier New", 16));
    p.SetBkMode(BkMode::Opaque);
    p.SetBkColor(0x00FF00);
    p.SetTextAlign(TaBaseline);
    Rect clip{30, 14, 70, 28}; // inside the cell, which runs from 12 to 30
    p.TextOutClipped(10, 25, clip, u"clipped clipped clipped");
    EXPECT_EQ(InkBounds(img), clip);
    // The clip ends with the call.
    p.FillRect(Rect{0, 0, 2, 2}, 0);
    EXPECT_TRUE(Inked(img, 0, 0));
}

TEST(CanvasPaint, ChineseTextMeasuresAndDrawsInLatinFonts)
{
    for (u16v face : {u16v(u"Times New Roman"), u16v(u"Arial"), u16v(u"Courier New")}) {
        QImage img = WhiteImage(120, 40);
        PaintCanvas p(img);
        p.SelectFont(MakeFont(face, 16));
        p.SetBkMode(BkMode::Transparent);
        p.SetTextAlign(TaLeft | TaTop);
        u16v s = u"\u4E2D\u6587\u5B57";
        EXPECT_EQ(p.TextWidth(s), 48) << ToUtf8(face);
        p.TextOut(4, 4, s);
        Rect ink = InkBounds(img);
        EXPECT_GE(ink.Width(), 36) << ToUtf8(face); // three ideographs' worth of ink, not three empty boxes
        EXPECT_LE(ink.right, 4 + 48);
    }
}

TEST(CanvasPaint, WrappedTextBreaksBetweenWords)
{
    FontRef mono = MakeFont(u"Liberation Mono", 16);
    const int h = mono->Metrics().Height;
    QImage wrapped = WhiteImage(200, 100), expected = WhiteImage(200, 100);
    PaintCanvas w(wrapped), e(expected);
    for (PaintCanvas* p : {&w, &e}) {
        p->SelectFont(mono);
        p->SetBkMode(BkMode::Transparent);
        p->SetTextAlign(TaBaseline); // wrapping draws from the top whatever the alignment
    }
    // 75 px holds seven units: "aaa bbb" fits, "ccccccccc" overflows on its own line, the CR LF starts another.
    w.DrawTextWrapped(Rect{10, 5, 85, 95}, u"aaa bbb ccccccccc dd\r\nee");
    e.SetTextAlign(TaTop);
    e.Save();
    e.IntersectClipRect(Rect{10, 5, 85, 95});
    e.TextOut(10, 5, u"aaa bbb");
    e.TextOut(10, 5 + h, u"ccccccccc");
    e.TextOut(10, 5 + 2 * h, u"dd");
    e.TextOut(10, 5 + 3 * h, u"ee");
    e.Restore();
    EXPECT_TRUE(wrapped == expected);
    EXPECT_EQ(w.GetTextAlign(), unsigned(TaBaseline));
}
