// The order in which the sections of a cell or block paint (TPaintOrder), and what lets a paint visit only the
// sections near the area being painted, so that painting one screen costs the same at the top, the middle and the
// bottom of a long page.
//
// Sections of the flow paint in document order. Their painted extents need not be ordered (negative margins,
// overhanging floats), so the order keeps, after every layout, the lowest bottom reached by each section or any
// before it and the highest top reached by each section or any after it; both run monotonically, and two binary
// searches give the stretch of the flow that can meet the area. Sections painted below or above the flow (by
// z-order) are few and always visited.
//
// Ownership: borrows the sections, which belong to the cell whose order this is.
#pragma once

#include "layout/Sections.h"

#include <algorithm>
#include <vector>

namespace lantern {

class TPaintOrder {
public:
    void Clear();
    // The flow, and what paints before and after it.
    void Assign(std::vector<TSectionBase*> below, std::vector<TSectionBase*> flow, std::vector<TSectionBase*> above);
    bool Empty() const { return Sections.empty(); }
    // Reads the painted extents of the flow; called after each layout.
    void Measure();

    // Calls visit(section) for every section that may paint into [top, bottom) (document Y), in paint order.
    template <class Visit>
    void ForEachNear(int top, int bottom, Visit&& visit) const
    {
        for (std::size_t i = 0; i < flowBegin_; ++i)
            visit(*Sections[i]);
        const auto first = std::lower_bound(reachDown_.begin(), reachDown_.end(), top);
        const auto last = std::upper_bound(reachUp_.begin(), reachUp_.end(), bottom - 1);
        const std::size_t from = flowBegin_ + static_cast<std::size_t>(first - reachDown_.begin());
        const std::size_t to = flowBegin_ + static_cast<std::size_t>(last - reachUp_.begin());
        for (std::size_t i = from; i < to; ++i)
            visit(*Sections[i]);
        for (std::size_t i = flowEnd_; i < Sections.size(); ++i)
            visit(*Sections[i]);
    }

    std::vector<TSectionBase*> Sections; // below the flow, the flow, above it

private:
    std::size_t flowBegin_ = 0, flowEnd_ = 0;
    std::vector<int> reachDown_; // per flow section: the largest bottom up to it
    std::vector<int> reachUp_;   // per flow section: the smallest top from it on
};

} // namespace lantern
