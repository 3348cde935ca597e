// Regions with the platform's pixel coverage: a rectangle covers [left, right) x [top, bottom), an ellipse its
// bounding box with the same exclusive edges, a polygon its interior under the winding rule.
#pragma once

#include "common/Types.h"

#include <memory>
#include <span>

class QRegion;

namespace lantern::platform {

class Region {
public:
    Region();
    ~Region();
    Region(const Region&);
    Region& operator=(const Region&);
    Region(Region&&) noexcept;
    Region& operator=(Region&&) noexcept;

    static Region FromRect(const Rect& r);
    static Region FromEllipse(const Rect& box);
    static Region FromPolygon(std::span<const Point> points);

    bool Contains(Point p) const;
    bool IsEmpty() const;
    Rect Bounds() const;

    Region United(const Region& other) const;
    Region Intersected(const Region& other) const;
    Region Subtracted(const Region& other) const;
    Region Translated(int dx, int dy) const;

    const QRegion& Native() const;

private:
    explicit Region(const QRegion& q);
    std::unique_ptr<QRegion> r_;
};

} // namespace lantern::platform
