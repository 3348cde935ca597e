#include "layout/Borders.h"

#include "common/Colors.h"
#include "layout/Document.h"
#include "platform/Canvas.h"
#include "style/BoxValues.h"
#include "style/Fonts.h"

#include <algorithm>
#include <climits>
#include <span>

namespace lantern {

namespace {

// Sides in ring order (left, top, right, bottom) as property indices of the box values.
constexpr std::array<int, 4> RingStyle = {piBorderLeftStyle, piBorderTopStyle, piBorderRightStyle,
                                          piBorderBottomStyle};
constexpr std::array<int, 4> RingColor = {piBorderLeftColor, piBorderTopColor, piBorderRightColor,
                                          piBorderBottomColor};

// Corner i of a rectangle: 0 left bottom, 1 left top, 2 right top, 3 right bottom. Side i runs from corner i to
// corner i + 1.
Point Corner(const Rect& r, int i)
{
    switch (i & 3) {
    case 0: return {r.left, r.bottom};
    case 1: return {r.left, r.top};
    case 2: return {r.right, r.top};
    default: return {r.right, r.bottom};
    }
}

// A polygon one pixel row tall covers exactly that row between the corners on its top line (pixels are sampled
// at their top left point), so the thin borders of table cells are filled as rectangles, not scan-converted.
void FillShape(platform::PaintCanvas& canvas, std::span<const Point> points, Color color)
{
    const auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                                 [](Point a, Point b) { return a.y < b.y; });
    if (high->y - low->y != 1) {
        canvas.FillPolygon(points, color);
        return;
    }
    int left = INT_MAX, right = INT_MIN;
    for (Point p : points)
        if (p.y == low->y) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
        }
    if (left < right)
        canvas.FillRect(Rect{left, low->y, right, low->y + 1}, color);
}

// The band of side i between two nested rectangles, its ends on the corner diagonals. A left or right band runs
// the height of its box: its straight middle is one rectangle, and only its slanted ends are scan-converted, as
// triangles with the same edges over their rows, so the pixels are those of the whole quadrilateral.
void FillBand(platform::PaintCanvas& canvas, const Rect& outer, const Rect& inner, int side, Color color)
{
    const bool upright = side == 0 || side == 2;
    if (upright && outer.top <= inner.top && inner.top <= inner.bottom && inner.bottom <= outer.bottom) {
        const int edge = side == 0 ? outer.left : outer.right;
        const int inside = side == 0 ? inner.left : inner.right;
        canvas.FillRect(Rect{std::min(edge, inside), inner.top, std::max(edge, inside), inner.bottom}, color);
        if (inner.top > outer.top) {
            const std::array<Point, 3> end = {Point{edge, inner.top}, Point{edge, outer.top}, Point{inside, inner.top}};
            FillShape(canvas, end, color);
        }
        if (outer.bottom > inner.bottom) {
            const std::array<Point, 3> end = {Point{edge, outer.bottom}, Point{edge, inner.bottom},
                                              Point{inside, inner.bottom}};
            FillShape(canvas, end, color);
        }
        return;
    }
    const std::array<Point, 4> quad = {Corner(outer, side), Corner(outer, side + 1), Corner(inner, side + 1),
                                       Corner(inner, side)};
    FillShape(canvas, quad, color);
}

// A third of a border width, rounded so that the two bands of a double border take the odd pixel.
int Third(int w)
{
    return w / 3 + (w % 3 == 2 ? 1 : 0);
}

bool IsLine(std::uint8_t style)
{
    return style == std::uint8_t(BorderStyle::Dashed) || style == std::uint8_t(BorderStyle::Dotted);
}

// Left and top are the sides the light falls on.
bool Lit(int side)
{
    return side == 0 || side == 1;
}

// The dashed and dotted sides: runs of consecutive sides drawn alike are stroked as one path along the middle of
// the ring, closed when the run goes all the way round.
class TLineSides {
public:
    TLineSides(platform::PaintCanvas& canvas, const Rect& middle) : canvas_(canvas), middle_(middle) {}

    void Add(int side, std::uint8_t style, Color color, int width)
    {
        if (!points_.empty() && (style != style_ || color != color_ || width != width_))
            Stroke();
        if (points_.empty()) {
            first_ = side;
            style_ = style;
            color_ = color;
            width_ = width;
            points_.push_back(Corner(middle_, side));
        }
        points_.push_back(Corner(middle_, side + 1));
    }
    void Stroke()
    {
        if (points_.empty())
            return;
        const bool round = first_ == 0 && points_.size() == 5;
        if (round)
            points_.pop_back();
        canvas_.SetPen(color_, width_,
                       style_ == std::uint8_t(BorderStyle::Dashed) ? platform::PenStyle::Dash
                                                                    : platform::PenStyle::Dot);
        canvas_.StrokePath(points_, round);
        points_.clear();
    }

private:
    platform::PaintCanvas& canvas_;
    Rect middle_;
    std::vector<Point> points_;
    int first_ = 0;
    std::uint8_t style_ = 0;
    Color color_ = 0;
    int width_ = 0;
};

} // namespace

TBorderSides BorderSidesOf(const TBoxValueArray& box)
{
    TBorderSides sides;
    for (std::size_t i = 0; i < 4; ++i) {
        sides.Styles[i] = static_cast<std::uint8_t>(BoxValue(box, RingStyle[i]));
        sides.Colors[i] = static_cast<Color>(BoxValue(box, RingColor[i]));
    }
    return sides;
}

void PaintBorderRing(platform::PaintCanvas& canvas, Rect borderBox, Rect paddingBox, Color background,
                     const TBorderSides& sides)
{
    // 1. Screens and pages are far smaller: what lies beyond is never seen, and the bands stay small.
    // A box wholly past the cut paints nothing rather than a box turned upside down.
    for (Rect* r : {&borderBox, &paddingBox}) {
        r->bottom = std::min(r->bottom, 5000);
        r->top = std::max(r->top, -200);
        r->bottom = std::max(r->bottom, r->top);
    }
    if (borderBox.bottom == borderBox.top)
        return;
    // 2.
    const std::array<int, 4> widths = {paddingBox.left - borderBox.left, paddingBox.top - borderBox.top,
                                       borderBox.right - paddingBox.right, borderBox.bottom - paddingBox.bottom};
    if (std::all_of(widths.begin(), widths.end(), [](int w) { return w == 0; }))
        return;
    // 4.
    const auto has = [&](auto test) { return std::any_of(sides.Styles.begin(), sides.Styles.end(), test); };
    const Rect middle{(borderBox.left + paddingBox.left) / 2, (borderBox.top + paddingBox.top) / 2,
                      (borderBox.right + paddingBox.right) / 2, (borderBox.bottom + paddingBox.bottom) / 2};
    const Rect outerThird{borderBox.left + Third(widths[0]), borderBox.top + Third(widths[1]),
                          borderBox.right - Third(widths[2]), borderBox.bottom - Third(widths[3])};
    const Rect innerThird{paddingBox.left - Third(widths[0]), paddingBox.top - Third(widths[1]),
                          paddingBox.right + Third(widths[2]), paddingBox.bottom + Third(widths[3])};
    // 5. The gaps of broken lines show the box's background.
    if (background != clNone && has([](std::uint8_t s) { return IsLine(s) || s == std::uint8_t(BorderStyle::Double); }))
        for (int side = 0; side < 4; ++side)
            FillBand(canvas, borderBox, paddingBox, side, background);
    // 6.
    TLineSides lines(canvas, middle);
    for (int side = 0; side < 4; ++side) {
        const std::uint8_t style = sides.Styles[std::size_t(side)];
        const Color c = sides.Colors[std::size_t(side)];
        if (IsLine(style)) {
            lines.Add(side, style, c, widths[std::size_t(side)]);
            continue;
        }
        lines.Stroke();
        if (c == clNone)
            continue;
        const Color light = LighterShade(c), dark = DarkerShade(c);
        switch (static_cast<BorderStyle>(style)) {
        case BorderStyle::Solid: FillBand(canvas, borderBox, paddingBox, side, c); break;
        case BorderStyle::Inset: FillBand(canvas, borderBox, paddingBox, side, Lit(side) ? dark : light); break;
        case BorderStyle::Outset: FillBand(canvas, borderBox, paddingBox, side, Lit(side) ? light : dark); break;
        case BorderStyle::Groove:
            FillBand(canvas, borderBox, middle, side, Lit(side) ? dark : light);
            FillBand(canvas, middle, paddingBox, side, Lit(side) ? light : dark);
            break;
        case BorderStyle::Ridge:
            FillBand(canvas, borderBox, middle, side, Lit(side) ? light : dark);
            FillBand(canvas, middle, paddingBox, side, Lit(side) ? dark : light);
            break;
        case BorderStyle::Double:
            FillBand(canvas, borderBox, outerThird, side, c);
            FillBand(canvas, innerThird, paddingBox, side, c);
            break;
        default: break;
        }
    }
    lines.Stroke();
}

// ---------------------------------------------------------------------------------------------------------------
// Inline border records

void OpenInlineBorder(ThtDocument& document, int sourcePos, TProperties& properties)
{
    if (!properties.CachedFont)
        properties.FontOf();
    InlineRec record;
    record.StartSrc = sourcePos;
    record.ElementSerial = properties.SerialNumber;
    TBoxCellArray cells;
    properties.GatherBorderValues(cells, true);
    int autoCount = 0;
    // Without a default width, a side with a style but no width stays invisible.
    ResolveBoxValues(cells, 200, 200, record.Box, autoCount, 0, properties.ExSize, properties.EmSize);
    document.InlineList.Open(record);
}

void CloseInlineBorder(ThtDocument& document, int sourcePos, const TProperties& properties)
{
    document.InlineList.Close(properties.SerialNumber, sourcePos);
}

void TInlineList::Open(const InlineRec& record)
{
    // Elements open as the source is read, so records come in the order of their starts; one that does not keeps
    // its place among them.
    auto at = std::upper_bound(Records.begin(), Records.end(), record.StartSrc,
                               [](int pos, const InlineRec& r) { return pos < r.StartSrc; });
    Records.insert(at, record);
    NeedsConvert = true;
    indexed_ = false;
}

void TInlineList::Close(int elementSerial, int sourcePos)
{
    for (auto it = Records.rbegin(); it != Records.rend(); ++it)
        if (it->ElementSerial == elementSerial) {
            it->EndSrc = sourcePos;
            NeedsConvert = true;
            indexed_ = false;
            return;
        }
}

void TInlineList::Clear()
{
    Records.clear();
    NeedsConvert = true;
    indexed_ = false;
}

void TInlineList::Index()
{
    if (indexed_)
        return;
    reach_.resize(Records.size());
    int reach = 0;
    for (std::size_t i = 0; i < Records.size(); ++i)
        reach_[i] = reach = i == 0 ? Records[i].EndSrc : std::max(reach, Records[i].EndSrc);
    indexed_ = true;
}

void TInlineList::Convert()
{
    for (InlineRec& r : Records) {
        r.StartDoc = Document->SourceToDocPos(r.StartSrc, false);
        r.EndDoc = Document->SourceToDocPos(r.EndSrc, false);
        if (r.StartDoc == r.EndDoc)
            --r.StartDoc;
    }
    NeedsConvert = false;
}

int TInlineList::StartOf(int i)
{
    if (NeedsConvert)
        Convert();
    return i >= 0 && i < Count() ? Records[std::size_t(i)].StartDoc : 99999999;
}

int TInlineList::EndOf(int i)
{
    if (NeedsConvert)
        Convert();
    return i >= 0 && i < Count() ? Records[std::size_t(i)].EndDoc : 99999999;
}

void PaintInlineBorder(const BorderRec& piece, platform::PaintCanvas& canvas, int x, int y)
{
    const TBoxValueArray& box = piece.Record->Box;
    const Rect content = piece.ContentRect.Offset(x, y);
    TBorderSides sides = BorderSidesOf(box);
    if (piece.OpenAtStart)
        sides.Styles[0] = 0;
    if (piece.OpenAtEnd)
        sides.Styles[2] = 0;
    const Color background = static_cast<Color>(BoxValue(box, piBackgroundColor));
    if (background != clNone)
        canvas.FillRect(content, background);
    const Rect border{content.left - BoxValue(box, piBorderLeftWidth), content.top - BoxValue(box, piBorderTopWidth),
                      content.right + BoxValue(box, piBorderRightWidth),
                      content.bottom + BoxValue(box, piBorderBottomWidth)};
    PaintBorderRing(canvas, border, content, background, sides);
}

} // namespace lantern
