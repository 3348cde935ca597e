// The left and right edges that apply at each Y of a cell (TIndentManager): the content edges of the blocks being
// laid out and the space taken by floats. Text asks it for the edges of each line, so floats narrow the lines
// beside them; it also answers where a new float fits, where the next float ends, how far a clear must move down
// and how far down the lowest float reaches.
//
// Ownership: the manager owns its records (held by value). An owner is identity only: the block or cell that
// registered a content edge; it is compared, never dereferenced.
#pragma once

#include <optional>
#include <vector>

namespace lantern {

// No record ends below this: content edges run to it.
inline constexpr int IndentBottom = 9999999;

struct IndentRec {
    int X = 0;       // relative to the manager's LeftOffset
    int YTop = 0;    // the record covers YTop <= Y < YBottom
    int YBottom = 0;
    const void* Owner = nullptr; // null for a float
};

class TIndentManager {
public:
    // Frees every record and clears the current owner.
    void Reset(int leftOffset, int width);
    void ResetForPaint(int leftOffset);

    // Content edges of the current owner, from y down; the index is for the matching Remove.
    int AddLeftEdge(int x, int y);
    int AddRightEdge(int x, int y);
    void RemoveLeft(int index);
    void RemoveRight(int index);

    // Float records from yTop to yBottom, width wide, against the edge at yTop.
    IndentRec AddLeftFloat(int yTop, int yBottom, int width);
    IndentRec AddRightFloat(int yTop, int yBottom, int width);

    int LeftEdgeRel(int y) const;
    int RightEdgeRel(int y) const;
    int LeftEdgeAt(int y) const { return LeftEdgeRel(y) + LeftOffset; }
    int RightEdgeAt(int y) const { return RightEdgeRel(y) + LeftOffset; }

    // Largest bottom of any float record, 0 without floats.
    int FloatBottom() const;
    // Per side, the largest float bottom plus 1, or 0 when that side has no float.
    void FloatBottoms(int& left, int& right) const;
    // The smallest float bottom below y, or y itself when no float ends below it.
    int NextFloatEnd(int y) const;
    // Where a float `width` wide goes when the current line at y already holds lineWidth pixels and is lineHeight
    // tall: the absolute X of its left edge; y moves down when it does not fit at y.
    int PlaceLeftFloat(int& y, int width, int lineHeight, int lineWidth) const;
    int PlaceRightFloat(int& y, int width, int lineHeight, int lineWidth) const;
    // The distance to move down from y to clear floats: kind 1 left, 2 right, 3 both, 0 none.
    int ClearSpace(int clearKind, int y) const;

    int LeftOffset = 0;
    int Width = 0;
    int PaintClipWidth = 0;
    std::vector<IndentRec> LeftEdges;  // in insertion order
    std::vector<IndentRec> RightEdges; // in insertion order
    const void* CurrentOwner = nullptr;

private:
    bool Applies(const IndentRec& r) const { return r.Owner == nullptr || r.Owner == CurrentOwner; }
    template <class Inner>
    std::optional<int> CoveringEdge(const std::vector<IndentRec>& side, int y, Inner inner) const;
    // The float candidates of one side when a float must go below the floats that hold it at y.
    struct Search {
        int BestY;
        int BestX;
        bool Found = false;
    };
    static int Choose(const Search& left, const Search& right, int fallbackX, int lowest, int& y);
    template <class Fits, class EdgeAbove>
    void ScanSide(const std::vector<IndentRec>& side, int y, int& lowest, Search& best, Fits fits,
                  EdgeAbove edgeAbove, std::optional<int>& ownerX) const;
};

} // namespace lantern
