// Characters on their way from the page reader to a text section, each with its source position: the
// collection a character run is gathered in (TCharCollection) and the text token handed to the section
// (TokenObj).
#pragma once

#include "common/Str.h"

#include <vector>

namespace lantern {

class TCharCollection {
public:
    TCharCollection();
    void Add(char16_t ch, int sourcePos);
    // Every character of s, all at the same source position (the text of one character reference).
    void AddString(u16v s, int sourcePos);
    void Clear();
    int Count() const { return static_cast<int>(Chars.size()); }

    u16 Chars;
    std::vector<int> SourcePositions;
};

// The text token handed from the page reader to a section.
class TokenObj : public TCharCollection {
public:
    void AddChar(char16_t ch, int sourcePos) { Add(ch, sourcePos); }
    void AddCollection(const TCharCollection& collection);
    // Keeps only the first n characters when n is smaller than the count.
    void SetCapacity(int n);
    const u16& AsString() const { return Chars; }
};

} // namespace lantern
