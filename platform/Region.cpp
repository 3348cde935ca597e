#include "platform/Region.h"

#include <QPolygon>
#include <QRegion>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>
#include <vector>

namespace lantern::platform {

namespace {

QRect ToQRect(const Rect& r)
{
    return r.IsEmpty() ? QRect() : QRect(r.left, r.top, r.Width(), r.Height());
}

// Elliptic and polygonal regions are built pixel row by pixel row, only within this distance of the origin: far
// beyond any surface or picture the engine paints or hit-tests, and it keeps hostile sizes cheap.
constexpr int Reach = 1 << 16;

} // namespace

Region::Region() : r_(std::make_unique<QRegion>()) {}
Region::Region(const QRegion& q) : r_(std::make_unique<QRegion>(q)) {}
Region::~Region() = default;
Region::Region(const Region& o) : r_(std::make_unique<QRegion>(*o.r_)) {}
Region& Region::operator=(const Region& o)
{
    *r_ = *o.r_;
    return *this;
}
Region::Region(Region&& o) noexcept : r_(std::move(o.r_))
{
    o.r_ = std::make_unique<QRegion>();
}
Region& Region::operator=(Region&& o) noexcept
{
    std::swap(r_, o.r_);
    return *this;
}

Region Region::FromRect(const Rect& r)
{
    return Region(QRegion(ToQRect(r)));
}

Region Region::FromEllipse(const Rect& box)
{
    if (box.IsEmpty())
        return Region();
    // A pixel belongs to the ellipse when its centre does: symmetric in both axes, which the framework's own
    // elliptic region is not for every size.
    const double cx = (double(box.left) + box.right) / 2.0, cy = (double(box.top) + box.bottom) / 2.0;
    const double a = (double(box.right) - box.left) / 2.0, b = (double(box.bottom) - box.top) / 2.0;
    QList<QRect> rows;
    for (int y = std::max(box.top, -Reach); y < std::min(box.bottom, Reach); ++y) {
        double dy = (y + 0.5 - cy) / b;
        double span = 1 - dy * dy;
        if (span < 0)
            continue;
        double half = a * std::sqrt(span);
        // Pixels whose centre x + 0.5 lies within [cx - half, cx + half].
        double left = std::max({std::ceil(cx - half - 0.5), double(box.left), double(-Reach)});
        double right = std::min({std::floor(cx + half - 0.5) + 1, double(box.right), double(Reach)});
        if (right > left)
            rows.append(QRect(int(left), y, int(right - left), 1));
    }
    QRegion r;
    r.setRects(rows.constData(), static_cast<int>(rows.size()));
    return Region(r);
}

Region Region::FromPolygon(std::span<const Point> points)
{
    // Scan-converted here rather than by the framework, whose polygon regions take time growing with the square
    // of the height and come out empty when very large; the coverage is the same. Pixel (x, y) is inside when the
    // point (x, y) has a non-zero winding number; a point exactly on an edge belongs to the side the edge is the
    // left or top boundary of, so polygons sharing an edge never share a pixel.
    struct Edge {
        long long x0, y0, x1, y1; // y0 < y1
        int dir;
    };
    std::vector<Edge> edges;
    long long top = LLONG_MAX, bottom = LLONG_MIN;
    for (std::size_t i = 0; i < points.size(); ++i) {
        Point p = points[i], q = points[(i + 1) % points.size()];
        if (p.y == q.y)
            continue;
        Edge e = p.y < q.y ? Edge{p.x, p.y, q.x, q.y, 1} : Edge{q.x, q.y, p.x, p.y, -1};
        edges.push_back(e);
        top = std::min(top, e.y0);
        bottom = std::max(bottom, e.y1);
    }
    QList<QRect> rects;
    std::vector<std::pair<long long, int>> crossings;
    for (long long y = std::max(top, -static_cast<long long>(Reach)); y < std::min(bottom, static_cast<long long>(Reach)); ++y) {
        crossings.clear();
        for (const Edge& e : edges) {
            if (y < e.y0 || y >= e.y1)
                continue;
            // The edge meets the row's line at X = n / d; the first pixel at or right of X is ceil(X).
            const __int128 d = e.y1 - e.y0;
            const __int128 n = __int128(e.x0) * d + (__int128(y) - e.y0) * (e.x1 - e.x0);
            const __int128 first = n >= 0 ? (n + d - 1) / d : -((-n) / d);
            crossings.emplace_back(static_cast<long long>(std::clamp<__int128>(first, -Reach, Reach)), e.dir);
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (std::size_t i = 0; i < crossings.size(); ++i) {
            winding += crossings[i].second;
            if (winding == 0 || i + 1 == crossings.size() || crossings[i + 1].first == crossings[i].first)
                continue;
            const int from = int(crossings[i].first), to = int(crossings[i + 1].first);
            if (!rects.isEmpty() && rects.back().top() == y && rects.back().right() + 1 == from)
                rects.back().setRight(to - 1); // spans of the row that touch make one rectangle
            else
                rects.append(QRect(from, int(y), to - from, 1));
        }
    }
    QRegion r;
    r.setRects(rects.constData(), static_cast<int>(rects.size()));
    return Region(r);
}

bool Region::Contains(Point p) const
{
    return r_->contains(QPoint(p.x, p.y));
}

bool Region::IsEmpty() const
{
    return r_->isEmpty();
}

Rect Region::Bounds() const
{
    QRect b = r_->boundingRect();
    if (b.isEmpty())
        return Rect{};
    return Rect{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}

Region Region::United(const Region& o) const { return Region(r_->united(*o.r_)); }
Region Region::Intersected(const Region& o) const { return Region(r_->intersected(*o.r_)); }
Region Region::Subtracted(const Region& o) const { return Region(r_->subtracted(*o.r_)); }
Region Region::Translated(int dx, int dy) const { return Region(r_->translated(dx, dy)); }

const QRegion& Region::Native() const
{
    return *r_;
}

} // namespace lantern::platform
