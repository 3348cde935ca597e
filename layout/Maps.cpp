#include "layout/Maps.h"

#include "layout/FontRuns.h"
#include "markup/Attributes.h"

#include <algorithm>

namespace lantern {

namespace {

enum class AreaShape { Rect, Circle, Poly, Whole };

AreaShape ShapeOf(const TAttribute* shape)
{
    if (!shape)
        return AreaShape::Rect;
    const u16 name = LowerAscii(TrimView(shape->Value));
    if (name == u"default")
        return AreaShape::Whole;
    const u16v head = u16v(name).substr(0, 4);
    return head == u"circ" ? AreaShape::Circle : head == u"poly" ? AreaShape::Poly : AreaShape::Rect;
}

// Numbers between commas and blanks; one that does not read as an integer counts 0.
std::vector<int> CoordsOf(const TAttribute* coords)
{
    std::vector<int> out;
    if (!coords)
        return out;
    const u16v text = coords->Value;
    auto separator = [](char16_t c) { return c == u',' || c <= u' '; };
    for (std::size_t i = 0; i < text.size() && out.size() < std::size_t(TMapItem::MaxCoords);) {
        if (separator(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !separator(text[end]))
            ++end;
        out.push_back(TryStrToInt(text.substr(i, end - i)).value_or(0));
        i = end;
    }
    return out;
}

std::optional<platform::Region> RegionOf(AreaShape shape, const std::vector<int>& c)
{
    switch (shape) {
    case AreaShape::Whole:
        // Covers the whole picture, whatever its coordinates say.
        return platform::Region::FromRect(Rect{-32768, -32768, 32767, 32767});
    case AreaShape::Rect:
        if (c.size() < 4)
            return std::nullopt;
        return platform::Region::FromRect(Rect{c[0], c[1], c[2] + 1, c[3] + 1});
    case AreaShape::Circle:
        if (c.size() < 3)
            return std::nullopt;
        return platform::Region::FromEllipse(Rect{c[0] - c[2], c[1] - c[2], c[0] + c[2] + 1, c[1] + c[2] + 1});
    case AreaShape::Poly: {
        if (c.size() < 6)
            return std::nullopt;
        std::vector<Point> points;
        for (std::size_t i = 0; i + 1 < c.size(); i += 2)
            points.push_back(Point{c[i], c[i + 1]});
        return platform::Region::FromPolygon(points);
    }
    }
    return std::nullopt;
}

} // namespace

void TMapItem::AppendArea(const TAttributeList& attributes)
{
    if (static_cast<int>(Areas.size()) >= MaxAreas)
        return;
    std::optional<platform::Region> region =
        RegionOf(ShapeOf(attributes.Find(symShape)), CoordsOf(attributes.Find(symCoords)));
    if (!region)
        return;
    TMapArea area;
    area.Region = std::move(*region);
    if (const TAttribute* href = attributes.Find(symHref); href && !attributes.Find(symNohref))
        area.Href = href->Value;
    if (const TAttribute* target = attributes.Find(symTarget))
        area.Target = target->Value;
    if (const TAttribute* title = attributes.Find(symTitle))
        area.Title = title->Value;
    Areas.push_back(std::move(area));
}

bool TMapItem::FindLink(int x, int y, u16& title, TUrlTarget& target) const
{
    const auto area =
        std::find_if(Areas.begin(), Areas.end(), [&](const TMapArea& a) { return a.Region.Contains(Point{x, y}); });
    if (area == Areas.end() || !area->Href)
        return false;
    target.Clear();
    target.Url = *area->Href;
    target.Target = area->Target;
    title = area->Title;
    return true;
}

} // namespace lantern
