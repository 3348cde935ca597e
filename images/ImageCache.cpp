#include "images/ImageCache.h"

#include "images/ImageLoader.h"

#include <algorithm>

namespace lantern {

TBitmapItem::TBitmapItem(std::unique_ptr<TImage> image, std::unique_ptr<platform::Mask> mask, TransparencyKind transparency)
    : Transparency(transparency), Image(std::move(image)), Mask(std::move(mask))
{
}

u16 TStringBitmapList::KeyOf(u16v source)
{
    const u16v trimmed = TrimView(source);
    if (IsDataImageUrl(trimmed)) {
        // Only the media type and its parameters are case-insensitive; the data after the comma is not.
        const std::size_t comma = std::min(trimmed.find(u','), trimmed.size());
        return UpperAscii(trimmed.substr(0, comma)) + u16(trimmed.substr(comma));
    }
    return UpperUnits(trimmed);
}

std::vector<TStringBitmapList::Entry>::const_iterator TStringBitmapList::LowerBound(u16v key) const
{
    return std::lower_bound(entries_.begin(), entries_.end(), key, [](const Entry& e, u16v k) { return u16v(e.Key) < k; });
}

int TStringBitmapList::Find(u16v source) const
{
    const u16 key = KeyOf(source);
    const auto it = LowerBound(key);
    return it != entries_.end() && it->Key == key ? static_cast<int>(it - entries_.begin()) : -1;
}

TBitmapItem& TStringBitmapList::CacheImage(u16v source, std::unique_ptr<TBitmapItem> item)
{
    u16 key = KeyOf(source);
    const auto at = LowerBound(key);
    item->Age = 0;
    ++item->UsageCount;
    return *entries_.insert(at, Entry{std::move(key), std::move(item)})->Item;
}

TImage* TStringBitmapList::FetchImage(int index)
{
    TBitmapItem& item = Item(index);
    item.Age = 0;
    ++item.UsageCount;
    return item.Image.get();
}

void TStringBitmapList::ReleaseImage(u16v source)
{
    const int index = Find(source);
    if (index >= 0 && Item(index).UsageCount > 0)
        --Item(index).UsageCount;
}

void TStringBitmapList::PurgeImages()
{
    for (Entry& e : entries_)
        ++e.Item->Age;
    std::erase_if(entries_, [&](const Entry& e) { return e.Item->Age > maxAge_ && e.Item->UsageCount < 1; });
}

void TStringBitmapList::SetMaxAge(int maxAge)
{
    std::erase_if(entries_, [&](const Entry& e) { return e.Item->Age > maxAge && e.Item->UsageCount <= 0; });
    maxAge_ = maxAge;
}

void TStringBitmapList::Clear()
{
    entries_.clear();
}

} // namespace lantern
