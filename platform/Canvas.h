// The engine's drawing surface. Canvas measures text exactly as PaintCanvas draws it: both go through one
// positioning routine, so a line laid out on a measure-only canvas paints to the same pixels it was measured at.
//
// Text rules kept from the platform the layout algorithms were written for:
//  - each UTF-16 unit advances by its font's integer advance (a surrogate pair by the pair's glyph on the high
//    unit), plus the character extra after every unit;
//  - justification extra goes to spaces only: extra / count each, and the first extra % count spaces of every
//    measuring or drawing call get one pixel more (the remainder restarts per call);
//  - both settings are canvas state and survive a change of font.
// Geometry uses exclusive right and bottom edges throughout.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "platform/Bitmap.h"
#include "platform/Font.h"
#include "platform/Region.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QImage;
class QPainter;

namespace lantern::platform {

// Reference point of TextOut, as bit flags: horizontal (left, right, centre) or'ed with vertical (top, bottom,
// baseline).
enum TextAlign : unsigned {
    TaLeft = 0,
    TaRight = 2,
    TaCenter = 6,
    TaTop = 0,
    TaBottom = 8,
    TaBaseline = 24,
};

enum class BkMode : std::uint8_t { Transparent, Opaque };

// Solid pens draw plain lines; Dash and Dot are the geometric pens of dashed and dotted borders: dashes three
// widths long with one-width gaps (square ends), dots discs one width across with one-width gaps, mitred.
enum class PenStyle : std::uint8_t { Solid, Dash, Dot };

class PaintCanvas;

class Canvas {
public:
    Canvas(); // a 16-pixel default font is selected until the caller selects one
    virtual ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void SelectFont(FontRef font);
    const FontRef& CurrentFont() const { return font_; }
    const TextMetrics& Metrics() const { return font_->Metrics(); }

    void SetTextCharacterExtra(int extra) { charExtra_ = extra; }
    int TextCharacterExtra() const { return charExtra_; }
    // extra pixels spread over count spaces; extra <= 0 or count <= 0 switches justification off.
    void SetTextJustification(int extra, int count);

    // Width of the text and the font's cell height (also for empty text).
    Size TextExtent(u16v s) const;
    int TextWidth(u16v s) const;
    // How many leading units end at or before maxExtent; a negative maxExtent fits nothing. When partial is
    // given (at least s.size() long), the end of each unit counted is written there.
    int FitCount(u16v s, int maxExtent, std::span<int> partial = {}) const;
    // The same count, with the end of the last unit counted (0 when none fits) in fitted.
    int FitCount(u16v s, int maxExtent, int& fitted) const;
    // The end of every unit, cumulative from 0 (out must be at least s.size() long).
    void Positions(u16v s, std::span<int> out) const;

    // Size of text drawn as it stands: lines break only at CR, LF or CR LF (a final line break adds no line);
    // width of the widest line, height of the lines at the font's cell height each.
    Size DrawTextExtent(u16v s) const;

    // Non-null when this canvas paints.
    virtual PaintCanvas* Painter() { return nullptr; }

protected:
    struct Placed {
        std::size_t Unit;
        int Start;
        int End;
        const GlyphInfo* Glyph; // null for the low half of a surrogate pair
    };
    // The one positioning routine. Calls visit(Placed) for each unit, stops when it returns false, and returns the
    // end of the last unit visited.
    template <class Visit>
    int Place(u16v s, Visit&& visit) const;
    int Fit(u16v s, int maxExtent, int& fitted, std::span<int> partial) const;

    FontRef font_;
    int charExtra_ = 0;
    int justExtra_ = 0; // per space
    int justRem_ = 0;   // spaces of each call that get one pixel more
};

// A canvas that paints, over a QPainter on a raster image. It keeps the drawing state the engine's painting code
// sets: colours, background mode, text alignment, pen, brush and the clip stack.
class PaintCanvas final : public Canvas {
public:
    explicit PaintCanvas(QPainter& painter);
    explicit PaintCanvas(QImage& target);  // paints into the image for as long as the canvas lives
    explicit PaintCanvas(Bitmap& target);
    ~PaintCanvas() override;

    PaintCanvas* Painter() override { return this; }
    QPainter& Native() { return *p_; }

    // Drawing state. Colours are 0x00BBGGRR or system colours; clNone never reaches a canvas.
    void SetTextColor(Color c) { textColor_ = c; }
    Color TextColor() const { return textColor_; }
    void SetBkColor(Color c) { bkColor_ = c; }
    Color BkColor() const { return bkColor_; }
    void SetBkMode(BkMode m) { bkMode_ = m; }
    BkMode GetBkMode() const { return bkMode_; }
    void SetTextAlign(unsigned align) { align_ = align; }
    unsigned GetTextAlign() const { return align_; }
    void SetPen(Color c, int width = 1, PenStyle style = PenStyle::Solid);
    void SetBrush(Color c);
    void SetBrushClear();

    // Text. Opaque mode fills the character cell (extent wide, ascent above to descent below the baseline) with
    // the background colour; underline and strike-out run across the whole extent. Both return the extent, so
    // text drawn piece by piece needs no measuring of its own.
    int TextOut(int x, int y, u16v s);
    int TextOutClipped(int x, int y, const Rect& clip, u16v s);
    // Word-wrapped text in a box: lines break at CR/LF and between words at blanks; a word wider than the box
    // overflows it. Lines are the font's cell height apart.
    void DrawTextWrapped(const Rect& box, u16v s);

    // Shapes with the platform's pixel coverage (right and bottom edges exclusive).
    void FillRect(const Rect& r, Color c);
    void FillRegion(const Region& region, Color c);
    void FillPolygon(std::span<const Point> points, Color c);
    // Outline in the pen (drawn inside the rectangle, pen width thick) and interior in the brush.
    void Rectangle(const Rect& r);
    // Outline in the pen (one pixel) and interior in the brush, both inside the bounding box.
    void Ellipse(const Rect& box);
    void MoveTo(int x, int y) { pos_ = {x, y}; }
    void LineTo(int x, int y); // the end point itself is not drawn
    // A path along the points in the current pen; closed joins the last point to the first. Open ends of
    // dashed and dotted paths reach half a pen width past their end points, as their caps do.
    void StrokePath(std::span<const Point> points, bool closed);
    // A dotted frame XOR-ed onto the pixels: drawing it twice restores them.
    void DrawFocusRect(const Rect& r);

    // Clipping. Save and Restore nest; the other calls change the clip until the matching Restore.
    void Save();
    void Restore();
    void IntersectClipRect(const Rect& r);
    void ExcludeClipRect(const Rect& r);
    void SelectClipRegion(const Region& region); // intersects, like the other clip calls
    void LiftClip();                             // no clipping at all until Restore

    // Pictures.
    void DrawBitmap(const Rect& target, const Bitmap& bitmap, StretchMode mode);
    void DrawBitmap(const Rect& target, const Bitmap& bitmap, const Rect& source, StretchMode mode);
    void DrawMasked(const Rect& target, const Bitmap& bitmap, const Mask& mask, StretchMode mode);
    void DrawMasked(const Rect& target, const Bitmap& bitmap, const Mask& mask, const Rect& source, StretchMode mode);
    // The area filled with the picture repeated from origin (a tile's top-left corner), composed over what is
    // painted by its alpha.
    void FillTiled(const Rect& area, const Bitmap& tile, Point origin);
    // A copy of the pixels under a rectangle of the canvas.
    Bitmap CopyRect(const Rect& source) const;

private:
    void DrawGlyphs(int x0, int baseline, u16v s);
    void DrawDecorations(int x0, int baseline, int width);
    void FillEllipseRegion(const Rect& box, Color c);
    Rect VisibleArea() const;
    Rect VisiblePart(const Rect& target) const;

    std::unique_ptr<QPainter> owned_;
    QPainter* p_ = nullptr;
    Color textColor_ = 0x000000;
    Color bkColor_ = 0xFFFFFF;
    BkMode bkMode_ = BkMode::Opaque;
    unsigned align_ = TaLeft | TaTop;
    Color penColor_ = 0x000000;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    Color brushColor_ = 0xFFFFFF;
    bool brushClear_ = false;
    Point pos_;
    int saveDepth_ = 0;
};

// Saves the clip and drawing state for its lifetime; the clip calls made meanwhile end with it, also on failure.
class CanvasSaver {
public:
    explicit CanvasSaver(PaintCanvas& canvas) : canvas_(canvas) { canvas_.Save(); }
    ~CanvasSaver() { canvas_.Restore(); }
    CanvasSaver(const CanvasSaver&) = delete;
    CanvasSaver& operator=(const CanvasSaver&) = delete;

private:
    PaintCanvas& canvas_;
};

template <class Visit>
int Canvas::Place(u16v s, Visit&& visit) const
{
    const Font& font = *font_;
    int x = 0;
    int rem = justRem_;
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n; ++i) {
        char16_t u = s[i];
        int start = x;
        const GlyphInfo* g;
        GlyphInfo pair;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            pair = font.GlyphOfCodePoint(0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00));
            g = &pair;
        } else {
            g = &font.Glyph(u);
        }
        x += g->Advance + charExtra_;
        if (u == u' ' && justExtra_ + justRem_ > 0) {
            x += justExtra_;
            if (rem > 0) {
                ++x;
                --rem;
            }
        }
        if (!visit(Placed{i, start, x, g}))
            return x;
        if (g == &pair) {
            // The low half adds only the character extra; it has no glyph of its own.
            ++i;
            start = x;
            x += charExtra_;
            if (!visit(Placed{i, start, x, nullptr}))
                return x;
        }
    }
    return x;
}

} // namespace lantern::platform
