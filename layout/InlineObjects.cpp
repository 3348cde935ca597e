#include "layout/InlineObjects.h"

#include "common/WinMath.h"
#include "layout/ImageObj.h"
#include "style/BoxValues.h"

#include <algorithm>

namespace lantern {

namespace {

// a x b / c rounded half up, as the platform's multiply-divide rounds, with a wide intermediate so a picture
// far larger than the page scales without overflow; a picture without pixels scales to nothing.
int Scaled(int a, int b, int c)
{
    if (a <= 0 || b <= 0 || c <= 0)
        return 0;
    return int(std::min<long long>((static_cast<long long>(a) * b + c / 2) / c, TFloatingObj::MaxExtent));
}

} // namespace

void TFloatingObj::Draw(platform::PaintCanvas&, int, const TFontObj&, int, int) {}

bool TFloatingObj::ApplyStyleAlignment(const TProperties& properties, bool floatSideOnly)
{
    AlignmentCode code;
    if (properties.VerticalAlignOf(code))
        VertAlign = code;
    if (!properties.FloatSideOf(code) || code == AlignmentCode::None)
        return false;
    FloatSide = code;
    if (!floatSideOnly)
        VertAlign = AlignmentCode::None;
    return true;
}

void TFloatingObj::SetFromProperties(const TProperties& properties)
{
    // 1.-2.
    if (ApplyStyleAlignment(properties, false) && RightGap == 0)
        LeftGap = RightGap = 3;
    // 3.
    if (Title.empty())
        Title = properties.PropTitle;
    // 4. Margins become the gaps; width and height the specified size, a percentage of a base of 200 read back.
    TBoxCellArray cells;
    properties.GatherBorderValues(cells, true);
    TBoxValueArray marg{};
    constexpr int Base = 200;
    ResolveBoxValuesForReplaced(cells, Base, marg, properties.ExSize, properties.EmSize);
    auto gap = [&](int index, int& target) {
        if (const int v = BoxValue(marg, index); v != UnsetLength)
            target = std::clamp(v, -MaxExtent, MaxExtent);
    };
    gap(piMarginLeft, LeftGap);
    gap(piMarginRight, RightGap);
    gap(piMarginTop, TopGap);
    gap(piMarginBottom, BottomGap);
    auto size = [&](int index, int& target, bool& percent) {
        const int v = BoxValue(marg, index);
        if (v == UnsetLength)
            return;
        const u16* text = cells[std::size_t(BoxSlot(index))].TextPtr();
        percent = v != AutoLength && text && text->find(u'%') != u16::npos;
        target = v == AutoLength ? -1 : std::clamp(percent ? MulDiv(v, 100, Base) : v, -1, MaxExtent);
        SizeSettled = false;
    };
    size(piWidth, SpecWidth, PercentWidth);
    size(piHeight, SpecHeight, PercentHeight);
    // 5.
    ApplyStyleAlignment(properties, true);
    // 6.
    if (properties.HasAnyBorderStyle()) {
        NoBorder = true;
        BorderWidth = 0;
    }
}

void TFloatingObj::ComputeSize(int naturalWidth, int naturalHeight, int availableWidth, int availableHeight,
                               bool settleScaled, bool settleNatural, int& width, int& height)
{
    if (SizeSettled && !PercentWidth && !PercentHeight)
        return;
    ComputeUnclampedSize(naturalWidth, naturalHeight, availableWidth, availableHeight, settleScaled, settleNatural,
                         width, height);
    width = std::clamp(width, 0, MaxExtent);
    height = std::clamp(height, 0, MaxExtent);
}

void TFloatingObj::ComputeUnclampedSize(int naturalWidth, int naturalHeight, int availableWidth, int availableHeight,
                                        bool settleScaled, bool settleNatural, int& width, int& height)
{
    const int border = 2 * BorderWidth;
    const bool widthGiven = SpecWidth >= 0, heightGiven = SpecHeight >= 0;
    if (PercentWidth) {
        width = Scaled(availableWidth - border, SpecWidth, 100);
        if (PercentHeight)
            height = Scaled(availableHeight - border, SpecHeight, 100);
        else
            height = heightGiven ? SpecHeight : Scaled(width, naturalHeight, naturalWidth);
    } else if (PercentHeight) {
        height = Scaled(availableHeight - border, SpecHeight, 100);
        width = widthGiven ? SpecWidth : Scaled(height, naturalWidth, naturalHeight);
    } else if (widthGiven && heightGiven) {
        width = SpecWidth;
        height = SpecHeight;
        SizeSettled = true;
    } else if (heightGiven) {
        height = SpecHeight;
        width = Scaled(height, naturalWidth, naturalHeight);
        SizeSettled = settleScaled;
    } else if (widthGiven) {
        width = SpecWidth;
        height = Scaled(width, naturalHeight, naturalWidth);
        SizeSettled = settleScaled;
    } else {
        width = naturalWidth;
        height = naturalHeight;
        SizeSettled = settleNatural;
    }
}

int TFloatingObjList::IndexFrom(int pos) const
{
    auto it = std::lower_bound(Objects.begin(), Objects.end(), pos,
                               [](const std::unique_ptr<TFloatingObj>& o, int p) { return o->Pos < p; });
    return static_cast<int>(it - Objects.begin());
}

TFloatingObj* TFloatingObjList::FindObject(int pos) const
{
    const int i = IndexFrom(pos);
    return i < Count() && (*this)[i].Pos == pos ? &(*this)[i] : nullptr;
}

int TFloatingObjList::DistanceToNextObject(int pos) const
{
    const int i = IndexFrom(pos);
    return i < Count() ? (*this)[i].Pos - pos : 99999999;
}

TImageObj* TFloatingObjList::HitTest(int x, int y, int& insideX, int& insideY) const
{
    for (const auto& object : Objects) {
        TImageObj* image = object->AsImage();
        if (!image)
            continue;
        const int dx = x - image->DrawX, dy = y - image->DrawY;
        const int border = 2 * image->BorderWidth;
        if (dx >= 0 && dx < image->Width - border && dy >= 0 && dy < image->Height - border) {
            insideX = dx;
            insideY = dy;
            return image;
        }
    }
    return nullptr;
}

} // namespace lantern
