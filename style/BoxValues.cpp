#include "style/BoxValues.h"

#include "style/Lengths.h"

#include <algorithm>
#include <climits>
#include <initializer_list>

namespace lantern {

namespace {

const PropValue& Cell(const TBoxCellArray& cells, int propIndex) { return cells[std::size_t(BoxSlot(propIndex))]; }

// A length cell: text through ConvertLength, a numeric as is, UnsetLength and anything else the default.
int Length(const PropValue& cell, int base, int textDefault, int numericDefault, int exSize, int emSize)
{
    if (const u16* t = cell.TextPtr()) return ConvertLength(*t, false, base, textDefault, exSize, emSize);
    if (cell.IsNumeric() && !TProperties::IsUnsetLength(cell)) return cell.AsInt();
    return numericDefault;
}

int BorderWidth(const TBoxCellArray& cells, int side, int base, int defaultWidth, int exSize, int emSize)
{
    if (Cell(cells, side + (piBorderTopStyle - piBorderTopWidth)).AsInt() == int(BorderStyle::None)) return 0;
    const PropValue& cell = Cell(cells, side);
    if (const u16* t = cell.TextPtr()) {
        if (*t == u"thin") return 2;
        if (*t == u"medium") return 4;
        if (*t == u"thick") return 6;
    }
    return Length(cell, base, defaultWidth, defaultWidth, exSize, emSize);
}

// Saturated lengths ("99999999999px") are summed and subtracted in 64 bits and only then brought back into range,
// so a box of huge paddings never wraps round into a small or positive size.
int ClampToInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

long long SumOf(const TBoxValueArray& marg, std::initializer_list<int> propIndices)
{
    long long sum = 0;
    for (int i : propIndices) sum += BoxValue(marg, i);
    return sum;
}

bool HasPercent(const PropValue& cell) { return cell.IsText() && cell.Text().find(u'%') != u16::npos; }

// Worked in 64 bits: a saturated length position or a large offset must not wrap around before the origin is
// brought back next to the clip rectangle.
void Origin(const TBackgroundPlacement::Axis& a, int clipStart, int clipEnd, int area, int image, int offset,
            int& origin, int& end)
{
    const long long extent = static_cast<long long>(area) - image;
    long long o = 0;
    switch (a.Kind) {
    case BackgroundPosKind::Top:
    case BackgroundPosKind::Left: o = 0; break;
    case BackgroundPosKind::Center: o = extent / 2; break;
    case BackgroundPosKind::Bottom:
    case BackgroundPosKind::Right: o = extent; break;
    case BackgroundPosKind::Percent: o = a.Value * extent / 100; break;
    case BackgroundPosKind::Length: o = a.Value; break;
    }
    o -= offset;
    long long e;
    // An empty picture cannot tile; it is placed once.
    if (a.Repeat && image > 0) {
        if (o > clipStart) o -= (o - clipStart + image - 1) / image * image;
        else o += (clipStart - o) / image * image;
        e = clipEnd;
    } else {
        e = clipStart < o + image && o < clipEnd ? o + 1 : o;
    }
    // Off-range positions lie wholly outside any clip: clamped, they still draw nothing.
    origin = ClampToInt(o);
    end = ClampToInt(e);
}

} // namespace

void ResolveBoxValues(const TBoxCellArray& cells, int widthBase, int heightBase, TBoxValueArray& marg,
                      int& autoCount, int defaultBorderWidth, int exSize, int emSize)
{
    autoCount = 0;
    for (int i : {int(piBackgroundColor), int(piBorderTopColor), int(piBorderRightColor), int(piBorderBottomColor),
                  int(piBorderLeftColor)}) {
        const PropValue& c = Cell(cells, i);
        BoxValue(marg, i) = c.IsEmpty() || TProperties::IsUnsetLength(c) ? clNone : c.AsColor();
    }
    for (int i : {int(piMarginRight), int(piMarginLeft)}) {
        const PropValue& c = Cell(cells, i);
        if (c.IsText() && c.Text() == u"auto") {
            BoxValue(marg, i) = AutoLength;
            ++autoCount;
        } else {
            BoxValue(marg, i) = Length(c, widthBase, 0, 0, exSize, emSize);
        }
    }
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i) BoxValue(marg, i) = Cell(cells, i).AsInt();
    const PropValue& sizing = Cell(cells, piBoxSizing);
    // Not given (UnsetLength, as for nearly every element) is content-box, never the sentinel itself.
    if (sizing.IsText()) BoxValue(marg, piBoxSizing) = sizing.Text() == u"border-box" ? 1 : 0;
    else BoxValue(marg, piBoxSizing) = sizing.IsNumeric() && !TProperties::IsUnsetLength(sizing) ? sizing.AsInt() : 0;
    // Paddings and border widths first: percentage heights subtract the vertical ones.
    for (int i = piPaddingTop; i <= piPaddingLeft; ++i)
        BoxValue(marg, i) = Length(Cell(cells, i), widthBase, 0, 0, exSize, emSize);
    for (int i = piBorderTopWidth; i <= piBorderLeftWidth; ++i)
        BoxValue(marg, i) = BorderWidth(cells, i, widthBase, defaultBorderWidth, exSize, emSize);
    const long long verticalBox = SumOf(marg, {piPaddingTop, piPaddingBottom, piBorderTopWidth, piBorderBottomWidth});
    for (int i : {int(piMinHeight), int(piMaxHeight), int(piHeight)}) {
        const PropValue& c = Cell(cells, i);
        const int base = i == piHeight ? heightBase : widthBase;
        BoxValue(marg, i) = ClampToInt(Length(c, base, 0, 0, exSize, emSize) - (HasPercent(c) ? verticalBox : 0));
    }
    for (int i : {int(piMinWidth), int(piMaxWidth)})
        BoxValue(marg, i) = Length(Cell(cells, i), widthBase, AutoLength, 0, exSize, emSize);
    BoxValue(marg, piWidth) = Length(Cell(cells, piWidth), widthBase, AutoLength, AutoLength, exSize, emSize);
    if (BoxValue(marg, piWidth) == AutoLength) ++autoCount;
    for (int i = piTop; i <= piLeft; ++i)
        BoxValue(marg, i) = Length(Cell(cells, i), i == piTop ? heightBase : widthBase, AutoLength, AutoLength,
                                   exSize, emSize);
}

void ResolveBoxValuesForReplaced(const TBoxCellArray& cells, int base, TBoxValueArray& marg, int exSize, int emSize)
{
    auto keepUnset = [&](int i, int def) {
        const PropValue& c = Cell(cells, i);
        BoxValue(marg, i) = TProperties::IsUnsetLength(c) ? UnsetLength : Length(c, base, def, def, exSize, emSize);
    };
    for (int i = piMarginTop; i <= piMaxWidth; ++i) keepUnset(i, 0);
    for (int i = piBorderTopWidth; i <= piBorderLeftWidth; ++i)
        BoxValue(marg, i) = BorderWidth(cells, i, base, 4, exSize, emSize);
    keepUnset(piWidth, AutoLength);
    keepUnset(piHeight, AutoLength);
}

void ResolveVerticalMargins(const TBoxCellArray& cells, int base, TBoxValueArray& marg, bool& topIsGap,
                            bool& bottomIsGap, int exSize, int emSize)
{
    auto one = [&](int i, bool& isGap) {
        const PropValue& c = Cell(cells, i);
        isGap = false;
        if (const u16* t = c.TextPtr()) BoxValue(marg, i) = ConvertLength(*t, false, base, 0, exSize, emSize);
        else if (c.IsInt(ParagraphGapMarker)) {
            BoxValue(marg, i) = 14;
            isGap = true;
        } else if (c.IsNumeric() && !TProperties::IsUnsetLength(c)) BoxValue(marg, i) = c.AsInt();
        else BoxValue(marg, i) = 0;
    };
    one(piMarginTop, topIsGap);
    one(piMarginBottom, bottomIsGap);
}

void ResolveDeferredPaddings(const TBoxCellArray& cells, TBoxValueArray& marg, int exSize, int emSize)
{
    for (int i = piPaddingTop; i <= piPaddingLeft; ++i) {
        const PropValue& c = Cell(cells, i);
        if (const u16* t = c.TextPtr()) BoxValue(marg, i) = ConvertLength(*t, false, -100, 0, exSize, emSize);
        else if (c.IsNumeric() && !TProperties::IsUnsetLength(c)) BoxValue(marg, i) = c.AsInt();
        else BoxValue(marg, i) = -1;
    }
}

void ApplyMinMaxWidth(const TBoxValueArray& marg, int& width, int& maxSeen, bool skip)
{
    if (skip) return;
    const int maxWidth = BoxValue(marg, piMaxWidth);
    if (maxWidth > 0) {
        maxSeen = maxWidth;
        width = std::min(width, maxWidth);
    }
    const int minWidth = BoxValue(marg, piMinWidth);
    if (minWidth > 0) width = std::max(width, minWidth);
}

void ApplyBoxSizing(TBoxValueArray& marg, bool sizesIncludeBox)
{
    int& width = BoxValue(marg, piWidth);
    int& height = BoxValue(marg, piHeight);
    if (!sizesIncludeBox) {
        if (width >= 0) {
            if (BoxValue(marg, piMaxWidth) > 0) width = std::min(width, BoxValue(marg, piMaxWidth));
            if (BoxValue(marg, piMinWidth) > 0) width = std::max(width, BoxValue(marg, piMinWidth));
        }
        if (BoxValue(marg, piMaxHeight) > 0) height = std::min(height, BoxValue(marg, piMaxHeight));
        if (BoxValue(marg, piMinHeight) > 0) height = std::max(height, BoxValue(marg, piMinHeight));
    }
    if (BoxValue(marg, piBoxSizing) == 1 || sizesIncludeBox) {
        if (width >= 0)
            width = ClampToInt(width - SumOf(marg, {piBorderLeftWidth, piBorderRightWidth, piPaddingLeft,
                                                    piPaddingRight}));
        if (height >= 0)
            height = ClampToInt(height - SumOf(marg, {piBorderTopWidth, piBorderBottomWidth, piPaddingTop,
                                                      piPaddingBottom}));
    }
}

void ComputeBackgroundTiles(const TBackgroundPlacement& placement, const Rect& clip, int areaWidth, int areaHeight,
                            int imageWidth, int imageHeight, int offsetX, int offsetY, int& x, int& xEnd, int& y,
                            int& yEnd)
{
    Origin(placement.Axes[0], clip.left, clip.right, areaWidth, imageWidth, offsetX, x, xEnd);
    Origin(placement.Axes[1], clip.top, clip.bottom, areaHeight, imageHeight, offsetY, y, yEnd);
}

} // namespace lantern
