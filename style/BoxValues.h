// Box properties (cells 8-39 as GatherBorderValues gives them) to pixels for block, replaced-element and table
// layout, and where background tiles go.
#pragma once

#include "common/Types.h"
#include "style/Properties.h"

namespace lantern {

// Every box value in index order; `autoCount` counts "auto" widths and horizontal margins. The vertical margins
// are left as they are (ResolveVerticalMargins converts them).
void ResolveBoxValues(const TBoxCellArray& cells, int widthBase, int heightBase, TBoxValueArray& marg,
                      int& autoCount, int defaultBorderWidth, int exSize, int emSize);

// Margins, min/max sizes, border widths, width and height of images, panels and form controls; UnsetLength stays.
void ResolveBoxValuesForReplaced(const TBoxCellArray& cells, int base, TBoxValueArray& marg, int exSize, int emSize);

// margin-top and margin-bottom; the paragraph gap gives 14 pixels and raises the side's flag.
void ResolveVerticalMargins(const TBoxCellArray& cells, int base, TBoxValueArray& marg, bool& topIsGap,
                            bool& bottomIsGap, int exSize, int emSize);

// The four paddings with percentages kept as their negated number (-p) for the table layout; -1 when not given.
void ResolveDeferredPaddings(const TBoxCellArray& cells, TBoxValueArray& marg, int exSize, int emSize);

void ApplyMinMaxWidth(const TBoxValueArray& marg, int& width, int& maxSeen, bool skip);
void ApplyBoxSizing(TBoxValueArray& marg, bool sizesIncludeBox);

inline int& BoxValue(TBoxValueArray& marg, int propIndex) { return marg[std::size_t(BoxSlot(propIndex))]; }
inline int BoxValue(const TBoxValueArray& marg, int propIndex) { return marg[std::size_t(BoxSlot(propIndex))]; }

// The first tile position and the end on each axis: tiles go at x, x + imageWidth, ... while below xEnd (and
// likewise vertically).
void ComputeBackgroundTiles(const TBackgroundPlacement& placement, const Rect& clip, int areaWidth, int areaHeight,
                            int imageWidth, int imageHeight, int offsetX, int offsetY, int& x, int& xEnd, int& y,
                            int& yEnd);

} // namespace lantern
