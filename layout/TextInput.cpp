#include "layout/TextInput.h"

namespace lantern {

namespace {
// Room for a typical paragraph, so collecting one rarely reallocates.
constexpr std::size_t InitialCapacity = 300;
} // namespace

TCharCollection::TCharCollection()
{
    Chars.reserve(InitialCapacity);
    SourcePositions.reserve(InitialCapacity);
}

void TCharCollection::Add(char16_t ch, int sourcePos)
{
    Chars.push_back(ch);
    SourcePositions.push_back(sourcePos);
}

void TCharCollection::AddString(u16v s, int sourcePos)
{
    Chars.append(s);
    SourcePositions.insert(SourcePositions.end(), s.size(), sourcePos);
}

void TCharCollection::Clear()
{
    Chars.clear();
    SourcePositions.clear();
}

TokenObj::TokenObj()
{
    C.reserve(InitialCapacity);
    I.reserve(InitialCapacity);
}

void TokenObj::AddChar(char16_t ch, int sourcePos)
{
    C.push_back(ch);
    I.push_back(sourcePos);
}

void TokenObj::AddString(u16v s, int sourcePos)
{
    C.append(s);
    I.insert(I.end(), s.size(), sourcePos);
}

void TokenObj::AddCollection(const TCharCollection& collection)
{
    C.append(collection.Chars);
    I.insert(I.end(), collection.SourcePositions.begin(), collection.SourcePositions.end());
}

void TokenObj::Clear()
{
    C.clear();
    I.clear();
}

void TokenObj::SetCapacity(int n)
{
    if (n >= 0 && n < Count()) {
        C.resize(static_cast<std::size_t>(n));
        I.resize(static_cast<std::size_t>(n));
    }
}

} // namespace lantern
