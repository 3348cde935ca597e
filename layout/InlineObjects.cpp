#include "layout/InlineObjects.h"

#include <algorithm>

namespace lantern {

void TFloatingObj::Draw(platform::PaintCanvas&, int, const TFontObj&, int, int) {}

void TFormControlObj::PlaceForPaint(platform::PaintCanvas&, int, int) {}

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

} // namespace lantern
