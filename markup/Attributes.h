// The attributes of the tag being read: one TAttribute per attribute as written, owned by the list.
// The reader keeps one list and clears it before each tag, so whoever needs the attributes after the next
// tag is read copies the list (a copy owns copies of the attributes).
#pragma once

#include "common/Str.h"
#include "markup/Symbols.h"

#include <memory>
#include <vector>

namespace lantern {

struct TAttribute {
    TAttribute(THtmlSymbol symbol, double numValue, u16 name, u16 value, int codePage);

    THtmlSymbol Symbol; // symOtherAttribute when the name is not in the table
    u16 Name; // upper case, as read
    int IntValue; // NumValue truncated toward zero
    double NumValue; // the value read as a number; 0 when not numeric (BORDER: 1)
    u16 Value; // character references decoded; empty when the attribute has no value
    int CodePage; // the code page in force when the tag was read
};

class TAttributeList {
public:
    TAttributeList() = default;
    TAttributeList(const TAttributeList& other);
    TAttributeList& operator=(const TAttributeList& other);
    TAttributeList(TAttributeList&&) noexcept = default;
    TAttributeList& operator=(TAttributeList&&) noexcept = default;

    void Clear();
    void Add(std::unique_ptr<TAttribute> attribute) { FItems.push_back(std::move(attribute)); }

    // The first attribute with that symbol, or nullptr.
    const TAttribute* Find(THtmlSymbol symbol) const;
    const TAttribute& operator[](std::size_t i) const { return *FItems[i]; }
    std::size_t Count() const { return FItems.size(); }

    // "NAME=value" per attribute, in the order written.
    std::vector<u16> ListAsNameValues() const;
    // Class and id are names, lower-cased in ASCII like the style sheet keys they are matched against.
    // The ID value lower-cased (kept once asked for); empty without an ID.
    const u16& GetId() const;
    // The TITLE value as written.
    u16 GetTitle() const;
    // The CLASS value trimmed and lower-cased, several names in ascending order joined with ".".
    u16 GetClass() const;

private:
    std::vector<std::unique_ptr<TAttribute>> FItems;
    mutable u16 FCachedId;
    mutable bool FIdCached = false;
};

} // namespace lantern
