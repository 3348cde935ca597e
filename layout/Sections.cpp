#include "layout/Sections.h"

#include "layout/Document.h"
#include "layout/FontRuns.h"

#include <algorithm>

namespace lantern {

TSectionBase::TSectionBase(ThtDocument& document) : Document(&document) {}

TSectionBase::~TSectionBase() = default;

void TSectionBase::CopyBaseFrom(const TSectionBase& source)
{
    DisplayKind = source.DisplayKind;
    BoxHeight = source.BoxHeight;
    ZOrder = source.ZOrder;
}

std::unique_ptr<TSectionBase> TSectionBase::Clone(ThtDocument& document) const
{
    auto copy = std::make_unique<TSectionBase>(document);
    copy->CopyBaseFrom(*this);
    return copy;
}

bool TSectionBase::CaretToPoint(platform::Canvas*, int, int&, int&) const
{
    return false;
}

int TSectionBase::Paint(platform::PaintCanvas&, const Rect&, TIndentManager&, int, int, int)
{
    return PaintTop + BoxHeight;
}

int TSectionBase::Layout(platform::Canvas&, int, int y, int, int, int, int, int, TIndentManager&, int& maxWidth,
                         int& counter)
{
    FirstChar = counter;
    VisibleHeight = BoxHeight;
    maxWidth = 0;
    BoxTop = VisibleTop = PaintTop = y;
    BoxBottom = y + BoxHeight;
    VisibleBottom = y + VisibleHeight;
    return BoxHeight;
}

int TSectionBase::PointToCaret(platform::Canvas&, int, int, int&, int&, int&, bool&)
{
    return -1;
}

int TSectionBase::SourceToDocPos(int, bool) const
{
    return -1;
}

int TSectionBase::DocToSourcePos(int) const
{
    return -1;
}

int TSectionBase::SearchForward(int, u16v, bool) const
{
    return -1;
}

int TSectionBase::SearchBackward(int, u16v, bool) const
{
    return -1;
}

bool TSectionBase::CharAt(int, char16_t&, const TSectionBase*& section) const
{
    section = nullptr;
    return false;
}

THitKinds TSectionBase::HitLink(platform::Canvas&, int, int, std::unique_ptr<TUrlTarget>& target,
                                TFormControlObj*& control, u16& title)
{
    target.reset();
    control = nullptr;
    title.clear();
    return 0;
}

bool TSectionBase::HitObject(int, int, TFloatingObj*& object, int&, int&)
{
    object = nullptr;
    return false;
}

void TSectionBase::RegisterPosition()
{
    Document->PositionList.push_back(this);
}

void TSectionBase::CopySelection() {}

void TSectionBase::MeasureWidths(platform::Canvas&, int& minWidth, int& maxWidth)
{
    minWidth = 0;
    maxWidth = 0;
}

void TSectionBase::PaintExtent(int& top, int& bottom) const
{
    top = VisibleTop;
    bottom = VisibleBottom;
}

TSectionBaseList::~TSectionBaseList() = default;

bool TSectionBaseList::CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const
{
    return std::any_of(Sections.begin(), Sections.end(),
                       [&](const auto& s) { return s->CaretToPoint(canvas, pos, x, y); });
}

int TSectionBaseList::SourceToDocPos(int sourcePos, bool backward) const
{
    auto ask = [&](const auto& s) { return s->SourceToDocPos(sourcePos, backward); };
    if (backward) {
        for (auto it = Sections.rbegin(); it != Sections.rend(); ++it)
            if (int pos = ask(*it); pos >= 0)
                return pos;
    } else {
        for (const auto& s : Sections)
            if (int pos = ask(s); pos >= 0)
                return pos;
    }
    return -1;
}

} // namespace lantern
