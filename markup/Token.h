// Characters on their way from the page reader to a text section, each with the source position (byte offset
// in the page's buffer) it was read at: the collection a character run is gathered in (TCharCollection) and
// the text token handed to the section (TokenObj). The reader reuses one token for every symbol, so its
// storage grows to the longest run and is not reallocated per character.
#pragma once

#include "common/Str.h"

#include <span>
#include <vector>

namespace lantern {

class TCharCollection {
public:
    void Add(char16_t ch, int sourcePos)
    {
        Chars.push_back(ch);
        SourcePositions.push_back(sourcePos);
    }
    // Every character of s, all at the same source position (the text of one character reference).
    void AddString(u16v s, int sourcePos)
    {
        Chars.append(s);
        SourcePositions.insert(SourcePositions.end(), s.size(), sourcePos);
    }
    void Clear()
    {
        Chars.clear();
        SourcePositions.clear();
    }
    int Count() const { return static_cast<int>(Chars.size()); }
    bool Empty() const { return Chars.empty(); }

    u16 Chars;
    std::vector<int> SourcePositions;
};

// The text token handed from the page reader to a section.
class TokenObj : public TCharCollection {
public:
    void AddChar(char16_t ch, int sourcePos) { Add(ch, sourcePos); }
    void AddCollection(const TCharCollection& collection)
    {
        Chars += collection.Chars;
        SourcePositions.insert(SourcePositions.end(), collection.SourcePositions.begin(),
                               collection.SourcePositions.end());
    }
    // Keeps only the first n characters when n is smaller than the count.
    void SetCapacity(int n)
    {
        if (n >= 0 && n < Count()) {
            Chars.resize(static_cast<std::size_t>(n));
            SourcePositions.resize(static_cast<std::size_t>(n));
        }
    }
    const u16& AsString() const { return Chars; }
    std::span<const int> Positions() const { return SourcePositions; }
    char16_t operator[](std::size_t i) const { return Chars[i]; }
};

} // namespace lantern
