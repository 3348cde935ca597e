// The image cache of one document root: every picture decoded once and shared by every element with the same
// source, kept across page loads and evicted only when no document object uses it and it has gone unfetched for
// more loads than the maximum age (the viewer's ImageCacheCount).
//
// Ownership: the list owns its items, and each item owns its picture and mask. Fetches hand out plain pointers
// to them; they stay valid until the item is evicted, which never happens while its usage count is above 0, so
// a holder keeps its pointer good by holding a use (CacheImage or FetchImage) and giving it back with
// ReleaseImage.
//
// Keys: the source trimmed, in upper case, so that sources differing only in letter case or surrounding blanks
// share one item. A data url keeps the case of its data (Base64 is case-sensitive), so two pictures inline that
// differ only there do not collide.
#pragma once

#include "common/Str.h"
#include "images/Image.h"

#include <memory>
#include <vector>

namespace lantern {

class TBitmapItem {
public:
    TBitmapItem(std::unique_ptr<TImage> image, std::unique_ptr<platform::Mask> mask, TransparencyKind transparency);

    int Age = 0;        // purges since it was last fetched
    int UsageCount = 0; // document objects holding it
    TransparencyKind Transparency;
    std::unique_ptr<TImage> Image;
    std::unique_ptr<platform::Mask> Mask;
};

class TStringBitmapList {
public:
    TStringBitmapList() = default;
    TStringBitmapList(const TStringBitmapList&) = delete;
    TStringBitmapList& operator=(const TStringBitmapList&) = delete;

    static u16 KeyOf(u16v source);

    int Count() const { return static_cast<int>(entries_.size()); }
    const u16& Key(int index) const { return entries_[std::size_t(index)].Key; }
    TBitmapItem& Item(int index) const { return *entries_[std::size_t(index)].Item; }
    // The index of the source's item, or -1.
    int Find(u16v source) const;

    // Stores the item under the source (which has none yet) and counts one use of it.
    TBitmapItem& CacheImage(u16v source, std::unique_ptr<TBitmapItem> item);
    // The item's picture, fetched: its age starts again at 0 and it counts one more use.
    TImage* FetchImage(int index);
    // One use fewer, when a holder lets go.
    void ReleaseImage(u16v source);

    // At every document load: each item ages by one, and those older than the maximum age that nobody uses go.
    void PurgeImages();
    // Evicts now what the new maximum no longer keeps, then keeps it.
    void SetMaxAge(int maxAge);
    int MaxAge() const { return maxAge_; }
    void Clear();

private:
    struct Entry {
        u16 Key;
        std::unique_ptr<TBitmapItem> Item;
    };
    std::vector<Entry>::const_iterator LowerBound(u16v key) const;

    std::vector<Entry> entries_; // sorted by key
    int maxAge_ = 4;
};

} // namespace lantern
