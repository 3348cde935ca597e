#include "platform/Canvas.h"

#include "common/Colors.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace lantern::platform {

namespace {

QColor ToQColor(Color c)
{
    Color rgb = ColorToRGB(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

QRect ToQRect(const Rect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Everything, for clip arithmetic when no clip is set.
const QRect Everything(-(1 << 24), -(1 << 24), 1 << 25, 1 << 25);

bool IsLineBreak(char16_t u)
{
    return u == u'\r' || u == u'\n';
}

// Splits text at CR, LF and CR LF; a final line break ends the last line without starting another.
template <class F>
void ForEachLine(u16v s, F&& f)
{
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t end = start;
        while (end < s.size() && !IsLineBreak(s[end]))
            ++end;
        f(s.substr(start, end - start));
        if (end < s.size() && s[end] == u'\r' && end + 1 < s.size() && s[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Measuring

Canvas::Canvas()
{
    LogFont def;
    def.Height = -16;
    font_ = FontService::Instance().GetFont(def);
}

Canvas::~Canvas() = default;

void Canvas::SelectFont(FontRef font)
{
    if (font)
        font_ = std::move(font);
}

void Canvas::SetTextJustification(int extra, int count)
{
    // A negative extra (an overlong line) is treated as none.
    if (extra <= 0 || count <= 0) {
        justExtra_ = 0;
        justRem_ = 0;
        return;
    }
    justExtra_ = extra / count;
    justRem_ = extra - count * justExtra_;
}

int Canvas::TextWidth(u16v s) const
{
    return Place(s, [](const Placed&) { return true; });
}

Size Canvas::TextExtent(u16v s) const
{
    return Size{TextWidth(s), font_->Metrics().Height};
}

int Canvas::Fit(u16v s, int maxExtent, int& fitted, std::span<int> partial) const
{
    fitted = 0;
    if (maxExtent < 0)
        return 0;
    int count = 0;
    Place(s, [&](const Placed& p) {
        if (p.End > maxExtent)
            return false;
        if (!partial.empty())
            partial[p.Unit] = p.End;
        fitted = p.End;
        ++count;
        return true;
    });
    return count;
}

int Canvas::FitCount(u16v s, int maxExtent, std::span<int> partial) const
{
    int fitted = 0;
    return Fit(s, maxExtent, fitted, partial);
}

int Canvas::FitCount(u16v s, int maxExtent, int& fitted) const
{
    return Fit(s, maxExtent, fitted, {});
}

void Canvas::Positions(u16v s, std::span<int> out) const
{
    Place(s, [&](const Placed& p) {
        out[p.Unit] = p.End;
        return true;
    });
}

Size Canvas::DrawTextExtent(u16v s) const
{
    Size size;
    ForEachLine(s, [&](u16v line) {
        size.cx = std::max(size.cx, TextWidth(line));
        size.cy += font_->Metrics().Height;
    });
    return size;
}

// ---------------------------------------------------------------------------------------------------------------
// Painting: state

PaintCanvas::PaintCanvas(QPainter& painter) : p_(&painter)
{
    p_->setRenderHint(QPainter::Antialiasing, false);
}

PaintCanvas::PaintCanvas(QImage& target) : owned_(std::make_unique<QPainter>(&target)), p_(owned_.get())
{
    p_->setRenderHint(QPainter::Antialiasing, false);
}

PaintCanvas::PaintCanvas(Bitmap& target) : PaintCanvas(target.Image()) {}

PaintCanvas::~PaintCanvas()
{
    while (saveDepth_ > 0)
        Restore();
}

void PaintCanvas::SetPen(Color c, int width, PenStyle style)
{
    penColor_ = c;
    penWidth_ = std::max(1, width);
    penStyle_ = style;
}

void PaintCanvas::SetBrush(Color c)
{
    brushColor_ = c;
    brushClear_ = false;
}

void PaintCanvas::SetBrushClear()
{
    brushClear_ = true;
}

// ---------------------------------------------------------------------------------------------------------------
// Painting: text

int PaintCanvas::TextOut(int x, int y, u16v s)
{
    const TextMetrics& tm = font_->Metrics();
    int width = TextWidth(s);
    int x0 = x;
    if ((align_ & TaCenter) == TaCenter)
        x0 = x - width / 2;
    else if (align_ & TaRight)
        x0 = x - width;
    int baseline = y + tm.Ascent;
    if ((align_ & TaBaseline) == TaBaseline)
        baseline = y;
    else if (align_ & TaBottom)
        baseline = y - tm.Descent;

    if (bkMode_ == BkMode::Opaque)
        FillRect(Rect{x0, baseline - tm.Ascent, x0 + width, baseline + tm.Descent}, bkColor_);
    DrawGlyphs(x0, baseline, s);
    DrawDecorations(x0, baseline, width);
    return width;
}

int PaintCanvas::TextOutClipped(int x, int y, const Rect& clip, u16v s)
{
    Save();
    IntersectClipRect(clip);
    const int width = TextOut(x, y, s);
    Restore();
    return width;
}

void PaintCanvas::DrawGlyphs(int x0, int baseline, u16v s)
{
    const Font& font = *font_;
    const int faces = font.FaceCount();
    // Glyphs are drawn one run per face of the chain, each glyph at the position measuring gave it.
    std::vector<quint32> indexes;
    std::vector<QPointF> positions;
    indexes.reserve(s.size());
    positions.reserve(s.size());
    p_->setPen(ToQColor(textColor_));
    for (int face = 0; face < faces; ++face) {
        indexes.clear();
        positions.clear();
        bool other = false;
        Place(s, [&](const Placed& pl) {
            if (pl.Glyph && pl.Glyph->Face == face && s[pl.Unit] != u' ') {
                indexes.push_back(pl.Glyph->Index);
                positions.emplace_back(x0 + pl.Start, baseline);
            } else if (pl.Glyph && pl.Glyph->Face > face) {
                other = true;
            }
            return true;
        });
        if (!indexes.empty()) {
            QGlyphRun run;
            run.setRawFont(font.RawFace(face));
            run.setGlyphIndexes(QList<quint32>(indexes.begin(), indexes.end()));
            run.setPositions(QList<QPointF>(positions.begin(), positions.end()));
            p_->drawGlyphRun(QPointF(0, 0), run);
        }
        if (!other)
            break;
    }
}

void PaintCanvas::DrawDecorations(int x0, int baseline, int width)
{
    const LogFont& d = font_->Desc();
    const TextMetrics& tm = font_->Metrics();
    if (d.Underline)
        FillRect(Rect{x0, baseline + tm.UnderlineOffset, x0 + width, baseline + tm.UnderlineOffset + tm.UnderlineThickness},
                 textColor_);
    if (d.StrikeOut)
        FillRect(Rect{x0, baseline - tm.StrikeOutOffset, x0 + width, baseline - tm.StrikeOutOffset + tm.StrikeOutThickness},
                 textColor_);
}

void PaintCanvas::DrawTextWrapped(const Rect& box, u16v s)
{
    const int lineHeight = font_->Metrics().Height;
    const int width = box.Width();
    unsigned savedAlign = align_;
    align_ = TaLeft | TaTop;
    Save();
    IntersectClipRect(box);
    int y = box.top;
    ForEachLine(s, [&](u16v para) {
        std::size_t pos = 0;
        do {
            u16v rest = para.substr(pos);
            std::size_t fit = static_cast<std::size_t>(FitCount(rest, width));
            std::size_t take = rest.size();
            if (fit < rest.size()) {
                // Break after the last blank that still fits (a blank right at the edge counts), else let the first
                // word overflow to its end.
                std::size_t cut = rest.find_last_of(u' ', fit);
                if (cut != u16v::npos && cut > 0)
                    take = cut;
                else {
                    take = rest.find(u' ', std::max<std::size_t>(fit, 1));
                    if (take == u16v::npos)
                        take = rest.size();
                }
            }
            TextOut(box.left, y, rest.substr(0, take));
            y += lineHeight;
            pos += take;
            while (pos < para.size() && para[pos] == u' ')
                ++pos;
        } while (pos < para.size());
    });
    Restore();
    align_ = savedAlign;
}

// ---------------------------------------------------------------------------------------------------------------
// Painting: shapes

void PaintCanvas::FillRect(const Rect& r, Color c)
{
    if (!r.IsEmpty())
        p_->fillRect(ToQRect(r), ToQColor(c));
}

void PaintCanvas::FillRegion(const Region& region, Color c)
{
    QColor q = ToQColor(c);
    for (const QRect& r : region.Native())
        p_->fillRect(r, q);
}

void PaintCanvas::FillPolygon(std::span<const Point> points, Color c)
{
    FillRegion(Region::FromPolygon(points), c);
}

void PaintCanvas::Rectangle(const Rect& r)
{
    if (r.IsEmpty())
        return;
    int w = std::min({penWidth_, (r.Width() + 1) / 2, (r.Height() + 1) / 2});
    Rect inner{r.left + w, r.top + w, r.right - w, r.bottom - w};
    if (!brushClear_)
        FillRect(inner, brushColor_);
    FillRect(Rect{r.left, r.top, r.right, r.top + w}, penColor_);
    FillRect(Rect{r.left, r.bottom - w, r.right, r.bottom}, penColor_);
    FillRect(Rect{r.left, r.top + w, r.left + w, r.bottom - w}, penColor_);
    FillRect(Rect{r.right - w, r.top + w, r.right, r.bottom - w}, penColor_);
}

void PaintCanvas::Ellipse(const Rect& box)
{
    if (box.IsEmpty())
        return;
    Region outer = Region::FromEllipse(box);
    Region inner = Region::FromEllipse(Rect{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1});
    if (!brushClear_)
        FillRegion(inner, brushColor_);
    FillRegion(outer.Subtracted(inner), penColor_);
}

void PaintCanvas::LineTo(int x, int y)
{
    Point from = pos_;
    pos_ = {x, y};
    int w = penWidth_;
    int lo = -(w - 1) / 2;
    if (from.y == y) {
        if (x > from.x)
            FillRect(Rect{from.x, y + lo, x, y + lo + w}, penColor_);
        else if (x < from.x)
            FillRect(Rect{x + 1, y + lo, from.x + 1, y + lo + w}, penColor_);
        return;
    }
    if (from.x == x) {
        if (y > from.y)
            FillRect(Rect{x + lo, from.y, x + lo + w, y}, penColor_);
        else
            FillRect(Rect{x + lo, y + 1, x + lo + w, from.y + 1}, penColor_);
        return;
    }
    // A slanted line: the pixels of the classic integer line walk, without its end point.
    int dx = std::abs(x - from.x), dy = -std::abs(y - from.y);
    int sx = from.x < x ? 1 : -1, sy = from.y < y ? 1 : -1;
    int err = dx + dy;
    Point p = from;
    while (p.x != x || p.y != y) {
        FillRect(Rect{p.x + lo, p.y + lo, p.x + lo + w, p.y + lo + w}, penColor_);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.y += sy;
        }
    }
}

void PaintCanvas::StrokePath(std::span<const Point> points, bool closed)
{
    if (points.size() < 2)
        return;
    std::vector<QPointF> pts;
    pts.reserve(points.size());
    for (Point p : points)
        pts.emplace_back(p.x, p.y);
    const double w = penWidth_;
    // Dots are round-capped, dashes square-capped: a dot is a disc one width across. Up to two pixels wide a disc
    // and a square cover the same pixels, and those are drawn as flat dashes on ends stretched by half a width,
    // which places them identically.
    const bool roundDots = penStyle_ == PenStyle::Dot && penWidth_ > 2;
    if (!closed && penStyle_ != PenStyle::Solid && !roundDots) {
        auto extend = [w](QPointF& end, QPointF towards) {
            QPointF d = end - towards;
            double len = std::hypot(d.x(), d.y());
            if (len > 0)
                end += d * (w / 2 / len);
        };
        extend(pts.front(), pts[1]);
        extend(pts.back(), pts[pts.size() - 2]);
    }
    if (roundDots && penWidth_ % 2 == 1) {
        // An odd-width disc is centred on the pixel the point names, not on its corner.
        for (QPointF& p : pts)
            p += QPointF(0.5, 0.5);
    }
    QPainterPath path(pts.front());
    for (std::size_t i = 1; i < pts.size(); ++i)
        path.lineTo(pts[i]);
    if (closed)
        path.closeSubpath();

    QPen pen(ToQColor(penColor_), w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    if (penStyle_ == PenStyle::Dash)
        pen.setDashPattern({3, 1});
    else if (roundDots) {
        // A dash too short to see, capped round at both ends, every two widths.
        constexpr double Speck = 1.0 / 1024;
        pen.setCapStyle(Qt::RoundCap);
        pen.setDashPattern({Speck, 2 - Speck});
    } else if (penStyle_ == PenStyle::Dot)
        pen.setDashPattern({1, 1});
    p_->save();
    p_->setRenderHint(QPainter::Antialiasing, false);
    p_->setPen(pen);
    p_->setBrush(Qt::NoBrush);
    p_->drawPath(path);
    p_->restore();
}

void PaintCanvas::DrawFocusRect(const Rect& r)
{
    if (r.IsEmpty())
        return;
    // Every other pixel of the frame, on the checkerboard anchored at the origin, XOR-ed with white.
    p_->save();
    p_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    // Only the visible stretch of each side is walked, so a frame round a huge picture costs what shows.
    const Rect area = VisibleArea();
    auto toggle = [&](int x, int y) {
        if (((x + y) & 1) == 0 && area.Contains(Point{x, y}))
            p_->fillRect(QRect(x, y, 1, 1), Qt::white);
    };
    for (int x = std::max(r.left, area.left); x < std::min(r.right, area.right); ++x) {
        toggle(x, r.top);
        if (r.bottom - 1 > r.top)
            toggle(x, r.bottom - 1);
    }
    for (int y = std::max(r.top + 1, area.top); y < std::min(r.bottom - 1, area.bottom); ++y) {
        toggle(r.left, y);
        if (r.right - 1 > r.left)
            toggle(r.right - 1, y);
    }
    p_->restore();
}

// ---------------------------------------------------------------------------------------------------------------
// Painting: clipping

void PaintCanvas::Save()
{
    p_->save();
    ++saveDepth_;
}

void PaintCanvas::Restore()
{
    if (saveDepth_ == 0)
        return;
    p_->restore();
    --saveDepth_;
}

void PaintCanvas::IntersectClipRect(const Rect& r)
{
    p_->setClipRect(r.IsEmpty() ? QRect() : ToQRect(r), p_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void PaintCanvas::ExcludeClipRect(const Rect& r)
{
    QRegion current = p_->hasClipping() ? p_->clipRegion() : QRegion(Everything);
    p_->setClipRegion(current.subtracted(QRegion(ToQRect(r))), Qt::ReplaceClip);
}

void PaintCanvas::SelectClipRegion(const Region& region)
{
    p_->setClipRegion(region.Native(), p_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void PaintCanvas::LiftClip()
{
    p_->setClipping(false);
}

// ---------------------------------------------------------------------------------------------------------------
// Painting: pictures

void PaintCanvas::DrawBitmap(const Rect& target, const Bitmap& bitmap, StretchMode mode)
{
    DrawBitmap(target, bitmap, Rect{0, 0, bitmap.Width(), bitmap.Height()}, mode);
}

void PaintCanvas::DrawBitmap(const Rect& target, const Bitmap& bitmap, const Rect& source, StretchMode mode)
{
    if (target.IsEmpty() || source.IsEmpty() || bitmap.IsEmpty())
        return;
    const Rect window = VisiblePart(target);
    if (window.IsEmpty())
        return;
    QImage part = StretchedPart(bitmap, source, target.Width(), target.Height(), window, mode);
    p_->drawImage(QPoint(target.left + window.left, target.top + window.top), part);
}

void PaintCanvas::DrawMasked(const Rect& target, const Bitmap& bitmap, const Mask& mask, StretchMode mode)
{
    DrawMasked(target, bitmap, mask, Rect{0, 0, bitmap.Width(), bitmap.Height()}, mode);
}

void PaintCanvas::DrawMasked(const Rect& target, const Bitmap& bitmap, const Mask& mask, const Rect& source, StretchMode mode)
{
    if (target.IsEmpty() || source.IsEmpty() || bitmap.IsEmpty())
        return;
    const Rect window = VisiblePart(target);
    if (window.IsEmpty())
        return;
    QImage img = MaskedImage(bitmap, mask, source, target.Width(), target.Height(), window, mode);
    p_->save();
    p_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p_->drawImage(QPoint(target.left + window.left, target.top + window.top), img);
    p_->restore();
}

Rect PaintCanvas::VisibleArea() const
{
    // What of the logical plane can reach the device through the transform and the clip.
    Rect area{Everything.left(), Everything.top(), Everything.left() + Everything.width(), Everything.top() + Everything.height()};
    const QPaintDevice* device = p_->device();
    bool invertible = false;
    const QTransform toLogical = p_->deviceTransform().inverted(&invertible);
    if (!device || !invertible)
        return area;
    QRect r = toLogical.mapRect(QRectF(0, 0, device->width(), device->height())).toAlignedRect();
    if (p_->hasClipping())
        r &= p_->clipBoundingRect().toAlignedRect();
    return r.isEmpty() ? Rect{} : Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

Rect PaintCanvas::VisiblePart(const Rect& target) const
{
    // In the target's own coordinates: a picture stretched far past the screen is only stretched as far as it
    // shows.
    const Rect area = VisibleArea();
    const Rect visible{std::max(target.left, area.left), std::max(target.top, area.top), std::min(target.right, area.right),
                       std::min(target.bottom, area.bottom)};
    return visible.IsEmpty() ? Rect{} : visible.Offset(-target.left, -target.top);
}

void PaintCanvas::FillTiled(const Rect& area, const Bitmap& tile, Point origin)
{
    if (area.IsEmpty() || tile.IsEmpty())
        return;
    QBrush brush(tile.Image());
    brush.setTransform(QTransform::fromTranslate(origin.x, origin.y));
    p_->save();
    p_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p_->fillRect(ToQRect(area), brush);
    p_->restore();
}

Bitmap PaintCanvas::CopyRect(const Rect& source) const
{
    QPaintDevice* device = p_->device();
    if (!device || device->devType() != QInternal::Image || source.IsEmpty())
        return Bitmap();
    const auto* image = static_cast<const QImage*>(device);
    QRect onDevice = p_->deviceTransform().mapRect(ToQRect(source));
    return Bitmap::FromImage(image->copy(onDevice));
}

} // namespace lantern::platform
