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

void TokenObj::AddCollection(const TCharCollection& collection)
{
    Chars.append(collection.Chars);
    SourcePositions.insert(SourcePositions.end(), collection.SourcePositions.begin(), collection.SourcePositions.end());
}

void TokenObj::SetCapacity(int n)
{
    if (n >= 0 && n < Count()) {
        Chars.resize(static_cast<std::size_t>(n));
        SourcePositions.resize(static_cast<std::size_t>(n));
    }
}

} // namespace lantern
