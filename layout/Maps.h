// Client-side image maps: a MAP element's areas (TMapItem, a list of TMapArea), which turn a point inside a
// picture that names the map in its USEMAP into a link.
//
// Ownership: the document owns its maps; a map owns its areas. Pictures find their map by name at each hit test
// and keep no pointer to it.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "platform/Region.h"

#include <optional>
#include <vector>

namespace lantern {

class TAttributeList;
class TUrlTarget;

struct TMapArea {
    std::optional<u16> Href; // none for NOHREF or an area without HREF: the area only stops the search
    platform::Region Region;
    u16 Target;
    u16 Title;
};

class TMapItem {
public:
    static constexpr int MaxAreas = 1000;
    static constexpr int MaxCoords = 301;

    explicit TMapItem(u16v name) : MapName(name) {}

    // An AREA element; dropped when its shape has too few numbers, ignored once the map is full.
    void AppendArea(const TAttributeList& attributes);
    // The first area that holds the point decides: true with its link and title when it has an href, false when
    // it has none or no area holds the point.
    bool FindLink(int x, int y, u16& title, TUrlTarget& target) const;

    u16 MapName; // upper case, as USEMAP names are compared
    std::vector<TMapArea> Areas;
};

} // namespace lantern
