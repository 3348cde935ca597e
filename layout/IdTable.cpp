#include "layout/IdTable.h"

#include "layout/Document.h"

#include <algorithm>

namespace lantern {

TIDObjectList::~TIDObjectList() = default;

std::vector<TIDObjectList::Entry>::iterator TIDObjectList::LowerBound(u16v id)
{
    return std::lower_bound(entries_.begin(), entries_.end(), id,
                            [](const Entry& e, u16v key) { return CompareTextAscii(e.Id, key) < 0; });
}

void TIDObjectList::Insert(u16v id, TIDObject* object, std::unique_ptr<TIDObject> owned)
{
    auto it = LowerBound(id);
    if (it != entries_.end() && CompareTextAscii(it->Id, id) == 0) {
        it->Object = object;
        it->Owned = std::move(owned); // frees the previous owned object, if any
        it->Id = u16(id);
        return;
    }
    entries_.insert(it, Entry{u16(id), object, std::move(owned)});
}

void TIDObjectList::Add(u16v id, TIDObject& object)
{
    Insert(id, &object, nullptr);
}

void TIDObjectList::Add(u16v id, std::unique_ptr<TIDObject> object)
{
    TIDObject* raw = object.get();
    Insert(id, raw, std::move(object));
}

TIDObject* TIDObjectList::Find(u16v id) const
{
    auto it = std::lower_bound(entries_.begin(), entries_.end(), id,
                               [](const Entry& e, u16v key) { return CompareTextAscii(e.Id, key) < 0; });
    return it != entries_.end() && CompareTextAscii(it->Id, id) == 0 ? it->Object : nullptr;
}

void TIDObjectList::RemoveObject(const TIDObject& object)
{
    std::erase_if(entries_, [&](const Entry& e) { return e.Object == &object; });
}

void TIDObjectList::Clear()
{
    entries_.clear();
}

int TChPosObj::AnchorY() const
{
    const int pos = Document->SourceToDocPos(SourcePos, false);
    int x = 0, y = 0;
    return pos >= 0 && Document->CaretToPoint(nullptr, pos, x, y) ? y : 0;
}

} // namespace lantern
