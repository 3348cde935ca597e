#include "layout/IndentManager.h"

#include <algorithm>

namespace lantern {

void TIndentManager::Reset(int leftOffset, int width)
{
    LeftOffset = leftOffset;
    Width = width;
    LeftEdges.clear();
    RightEdges.clear();
    CurrentOwner = nullptr;
}

void TIndentManager::ResetForPaint(int leftOffset)
{
    LeftOffset = leftOffset;
    CurrentOwner = nullptr;
}

int TIndentManager::AddLeftEdge(int x, int y)
{
    LeftEdges.push_back({x, y, IndentBottom, CurrentOwner});
    return static_cast<int>(LeftEdges.size()) - 1;
}

int TIndentManager::AddRightEdge(int x, int y)
{
    RightEdges.push_back({x, y, IndentBottom, CurrentOwner});
    return static_cast<int>(RightEdges.size()) - 1;
}

void TIndentManager::RemoveLeft(int index)
{
    if (index >= 0 && index < static_cast<int>(LeftEdges.size()))
        LeftEdges.erase(LeftEdges.begin() + index);
}

void TIndentManager::RemoveRight(int index)
{
    if (index >= 0 && index < static_cast<int>(RightEdges.size()))
        RightEdges.erase(RightEdges.begin() + index);
}

IndentRec TIndentManager::AddLeftFloat(int yTop, int yBottom, int width)
{
    IndentRec r{LeftEdgeRel(yTop) + width, yTop, yBottom, nullptr};
    LeftEdges.push_back(r);
    return r;
}

IndentRec TIndentManager::AddRightFloat(int yTop, int yBottom, int width)
{
    IndentRec r{RightEdgeRel(yTop) - width, yTop, yBottom, nullptr};
    RightEdges.push_back(r);
    return r;
}

// The innermost edge among the records of one side that cover y (larger X for the left side, smaller for the
// right); none when no record covers y.
template <class Inner>
std::optional<int> TIndentManager::CoveringEdge(const std::vector<IndentRec>& side, int y, Inner inner) const
{
    std::optional<int> x;
    for (const IndentRec& r : side)
        if (r.YTop <= y && y < r.YBottom && Applies(r))
            x = x ? inner(*x, r.X) : r.X;
    return x;
}

int TIndentManager::LeftEdgeRel(int y) const
{
    if (auto x = CoveringEdge(LeftEdges, y, [](int a, int b) { return std::max(a, b); }))
        return *x;
    for (auto it = LeftEdges.rbegin(); it != LeftEdges.rend(); ++it)
        if (it->Owner == CurrentOwner)
            return it->X;
    return 0;
}

int TIndentManager::RightEdgeRel(int y) const
{
    if (auto x = CoveringEdge(RightEdges, y, [](int a, int b) { return std::min(a, b); }))
        return *x;
    for (auto it = LeftEdges.rbegin(); it != LeftEdges.rend(); ++it)
        if (it->Owner == CurrentOwner)
            return it->X + Width;
    return Width;
}

int TIndentManager::FloatBottom() const
{
    int bottom = 0;
    for (const auto* side : {&LeftEdges, &RightEdges})
        for (const IndentRec& r : *side)
            if (!r.Owner)
                bottom = std::max(bottom, r.YBottom);
    return bottom;
}

void TIndentManager::FloatBottoms(int& left, int& right) const
{
    auto sideBottom = [](const std::vector<IndentRec>& side) {
        int bottom = 0;
        for (const IndentRec& r : side)
            if (!r.Owner)
                bottom = std::max(bottom, r.YBottom + 1);
        return bottom;
    };
    left = sideBottom(LeftEdges);
    right = sideBottom(RightEdges);
}

int TIndentManager::NextFloatEnd(int y) const
{
    int next = y;
    bool found = false;
    for (const auto* side : {&LeftEdges, &RightEdges})
        for (const IndentRec& r : *side)
            if (!r.Owner && r.YBottom > y && (!found || r.YBottom < next)) {
                next = r.YBottom;
                found = true;
            }
    return next;
}

int TIndentManager::ClearSpace(int clearKind, int y) const
{
    int left = 0, right = 0;
    FloatBottoms(left, right);
    const int l = std::max(0, left - 1 - y);
    const int r = std::max(0, right - 1 - y);
    switch (clearKind) {
    case 1: return l;
    case 2: return r;
    case 3: return std::max(l, r);
    default: return 0;
    }
}

// Visits the float records of one side from the newest back, stopping at the current owner's content edge
// (which lies below every float registered inside it). A record counts only when it is the one that makes the
// edge just above its own bottom: below it the edge steps, so that bottom is where room may open up.
template <class Fits, class EdgeAbove>
void TIndentManager::ScanSide(const std::vector<IndentRec>& side, int y, int& lowest, Search& best, Fits fits,
                              EdgeAbove edgeAbove, std::optional<int>& ownerX) const
{
    for (auto it = side.rbegin(); it != side.rend(); ++it) {
        const IndentRec& r = *it;
        if (r.Owner == CurrentOwner && r.Owner) {
            ownerX = r.X;
            return;
        }
        if (r.Owner)
            continue;
        if (y >= r.YBottom || (best.Found && r.YBottom >= best.BestY) || edgeAbove(r.YBottom - 1) != r.X)
            continue;
        lowest = std::max(lowest, r.YBottom);
        int x = 0;
        if (fits(r.YBottom, x)) {
            best.BestY = r.YBottom;
            best.BestX = x;
            best.Found = true;
        }
    }
}

// The higher of the two sides' candidates (the right side's on a tie), or the fallback below the
// lowest float when neither side has one.
int TIndentManager::Choose(const Search& left, const Search& right, int fallbackX, int lowest, int& y)
{
    if (!left.Found && !right.Found) {
        y = lowest;
        return fallbackX;
    }
    const Search& best = left.Found && (!right.Found || left.BestY < right.BestY) ? left : right;
    y = best.BestY;
    return best.BestX;
}

int TIndentManager::PlaceLeftFloat(int& y, int width, int lineHeight, int lineWidth) const
{
    const int d = LeftEdgeRel(y);
    // 1. Beside what the line already holds.
    if (RightEdgeRel(y) >= width + d + lineWidth)
        return d + LeftOffset;
    // 2. Just below the current line.
    if (lineHeight > 0 && RightEdgeRel(y + lineHeight) >= width + d) {
        y += lineHeight;
        return d + LeftOffset;
    }
    // 3. Below the highest float whose end leaves room.
    int lowest = y;
    std::optional<int> ownerX, unused;
    Search left{y, d}, right{y, d};
    auto fits = [&](int at, int& x) {
        x = LeftEdgeRel(at);
        return RightEdgeRel(at) - width >= x;
    };
    ScanSide(LeftEdges, y, lowest, left, fits, [&](int at) { return LeftEdgeRel(at); }, ownerX);
    ScanSide(RightEdges, y, lowest, right, fits, [&](int at) { return RightEdgeRel(at); }, unused);
    return Choose(left, right, ownerX.value_or(0), lowest, y) + LeftOffset;
}

int TIndentManager::PlaceRightFloat(int& y, int width, int lineHeight, int lineWidth) const
{
    const int d = RightEdgeRel(y) - width;
    const int e = LeftEdgeRel(y);
    if (d >= lineWidth + e)
        return d + LeftOffset;
    if (lineHeight > 0 && d >= LeftEdgeRel(y + lineHeight)) {
        y += lineHeight;
        return d + LeftOffset;
    }
    int lowest = y;
    std::optional<int> unused, ownerX;
    Search left{y, d}, right{y, d};
    auto fits = [&](int at, int& x) {
        x = RightEdgeRel(at) - width;
        return x >= LeftEdgeRel(at);
    };
    ScanSide(LeftEdges, y, lowest, left, fits, [&](int at) { return LeftEdgeRel(at); }, unused);
    ScanSide(RightEdges, y, lowest, right, fits, [&](int at) { return RightEdgeRel(at); }, ownerX);
    return Choose(left, right, ownerX ? *ownerX - width : Width - width, lowest, y) + LeftOffset;
}

} // namespace lantern
