// TokenObj: the text handed from the HTML reader to a text section, each character with the source
// position (byte offset in the page's buffer) it was read at. The reader reuses one token for every
// symbol, so its storage grows to the longest run and is not reallocated per character.
#pragma once

#include "common/Str.h"

#include <span>
#include <vector>

namespace lantern {

class TokenObj {
public:
    void AddChar(char16_t c, int sourcePos)
    {
        FChars.push_back(c);
        FPositions.push_back(sourcePos);
    }
    // Every character of a decoded reference shares the position of its "&".
    void AddString(u16v s, int sourcePos)
    {
        FChars.append(s);
        FPositions.insert(FPositions.end(), s.size(), sourcePos);
    }
    void AddToken(const TokenObj& other)
    {
        FChars += other.FChars;
        FPositions.insert(FPositions.end(), other.FPositions.begin(), other.FPositions.end());
    }
    void Clear()
    {
        FChars.clear();
        FPositions.clear();
    }
    // Truncates to n characters when n is smaller than the count.
    void SetCapacity(std::size_t n)
    {
        if (n < FChars.size()) {
            FChars.resize(n);
            FPositions.resize(n);
        }
    }

    std::size_t Count() const { return FChars.size(); }
    bool Empty() const { return FChars.empty(); }
    const u16& AsString() const { return FChars; }
    std::span<const int> Positions() const { return FPositions; }
    char16_t operator[](std::size_t i) const { return FChars[i]; }

private:
    u16 FChars;
    std::vector<int> FPositions;
};

} // namespace lantern
