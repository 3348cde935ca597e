// What an id or a named anchor can refer to (TIDObject), the document's id table (TIDObjectList) and the anchor
// that sits inside running text (TChPosObj).
//
// Ownership: the table owns the entries added with a unique_ptr (objects whose OwnedByIdList is true, such as
// TChPosObj) and frees them when their id is redefined or the table is cleared; it only borrows sections, images
// and controls, which belong to the section tree and must outlive their entries (the document clears the table
// before it frees its sections).
#pragma once

#include "common/Str.h"

#include <memory>
#include <vector>

namespace lantern {

class ThtDocument;

class TIDObject {
public:
    virtual ~TIDObject() = default;
    // The document Y to scroll to when this object is the target of a fragment.
    virtual int AnchorY() const = 0;
    // True when the id table frees the object.
    virtual bool OwnedByIdList() const { return false; }
};

// Ids compare case-insensitively (ASCII); the last definition of an id wins.
class TIDObjectList {
public:
    TIDObjectList() = default;
    ~TIDObjectList();
    TIDObjectList(const TIDObjectList&) = delete;
    TIDObjectList& operator=(const TIDObjectList&) = delete;

    // A borrowed entry.
    void Add(u16v id, TIDObject& object);
    // An entry the table owns from now on.
    void Add(u16v id, std::unique_ptr<TIDObject> object);
    TIDObject* Find(u16v id) const;
    // Drops every entry that refers to the object (a discarded section leaves the table this way).
    void RemoveObject(const TIDObject& object);
    void Clear();
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        u16 Id;
        TIDObject* Object = nullptr;
        std::unique_ptr<TIDObject> Owned; // set when the table owns Object
    };
    std::vector<Entry>::iterator LowerBound(u16v id);
    void Insert(u16v id, TIDObject* object, std::unique_ptr<TIDObject> owned);

    std::vector<Entry> entries_; // sorted by Id
};

// An anchor inside running text: scrolling to it finds the line that holds its source position.
class TChPosObj final : public TIDObject {
public:
    TChPosObj(ThtDocument& document, int sourcePos) : Document(&document), SourcePos(sourcePos) {}
    int AnchorY() const override;
    bool OwnedByIdList() const override { return true; }

    ThtDocument* Document;
    int SourcePos;
};

} // namespace lantern
