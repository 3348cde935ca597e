#include "platform/Region.h"

#include <QPolygon>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace lantern::platform {

namespace {

QRect ToQRect(const Rect& r)
{
    return r.IsEmpty() ? QRect() : QRect(r.left, r.top, r.Width(), r.Height());
}

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
    const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    const double a = box.Width() / 2.0, b = box.Height() / 2.0;
    QList<QRect> rows;
    for (int y = box.top; y < box.bottom; ++y) {
        double dy = (y + 0.5 - cy) / b;
        double span = 1 - dy * dy;
        if (span < 0)
            continue;
        double half = a * std::sqrt(span);
        // Pixels whose centre x + 0.5 lies within [cx - half, cx + half].
        int left = static_cast<int>(std::ceil(cx - half - 0.5));
        int right = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
        left = std::max(left, box.left);
        right = std::min(right, box.right);
        if (right > left)
            rows.append(QRect(left, y, right - left, 1));
    }
    QRegion r;
    r.setRects(rows.constData(), static_cast<int>(rows.size()));
    return Region(r);
}

Region Region::FromPolygon(std::span<const Point> points)
{
    QPolygon poly;
    poly.reserve(static_cast<qsizetype>(points.size()));
    for (Point p : points)
        poly << QPoint(p.x, p.y);
    return Region(QRegion(poly, Qt::WindingFill));
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
