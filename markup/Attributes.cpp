#include "markup/Attributes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lantern {

namespace {

int TruncToInt(double v)
{
    if (!(v == v))
        return 0;
    constexpr double lo = double(std::numeric_limits<int>::min()), hi = double(std::numeric_limits<int>::max());
    return int(std::trunc(std::clamp(v, lo, hi)));
}

} // namespace

TAttribute::TAttribute(THtmlSymbol symbol, double numValue, u16 name, u16 value, int codePage)
    : Symbol(symbol), Name(std::move(name)), IntValue(TruncToInt(numValue)), NumValue(numValue),
      Value(std::move(value)), CodePage(codePage)
{
}

TAttributeList::TAttributeList(const TAttributeList& other) : FCachedId(other.FCachedId), FIdCached(other.FIdCached)
{
    FItems.reserve(other.FItems.size());
    for (const auto& a : other.FItems)
        FItems.push_back(std::make_unique<TAttribute>(*a));
}

TAttributeList& TAttributeList::operator=(const TAttributeList& other)
{
    if (this != &other)
        *this = TAttributeList(other);
    return *this;
}

void TAttributeList::Clear()
{
    FItems.clear();
    FCachedId.clear();
    FIdCached = false;
}

const TAttribute* TAttributeList::Find(THtmlSymbol symbol) const
{
    for (const auto& a : FItems)
        if (a->Symbol == symbol)
            return a.get();
    return nullptr;
}

std::vector<u16> TAttributeList::ListAsNameValues() const
{
    std::vector<u16> lines;
    lines.reserve(FItems.size());
    for (const auto& a : FItems)
        lines.push_back(a->Name + u"=" + a->Value);
    return lines;
}

const u16& TAttributeList::GetId() const
{
    if (!FIdCached) {
        if (const TAttribute* a = Find(symId))
            FCachedId = LowerAscii(a->Value);
        FIdCached = true;
    }
    return FCachedId;
}

u16 TAttributeList::GetTitle() const
{
    const TAttribute* a = Find(symTitle);
    return a ? a->Value : u16();
}

u16 TAttributeList::GetClass() const
{
    const TAttribute* a = Find(symClass);
    if (!a)
        return {};
    u16 value = LowerAscii(TrimView(a->Value));
    std::vector<u16v> names;
    for (std::size_t i = 0; i < value.size();) {
        std::size_t end = value.find(u' ', i);
        if (end == u16::npos)
            end = value.size();
        if (end > i)
            names.emplace_back(u16v(value).substr(i, end - i));
        i = end + 1;
    }
    if (names.size() < 2)
        return value;
    // The canonical order the style sheet keys use, so "b a" and "a b" meet the same rules.
    std::sort(names.begin(), names.end());
    u16 joined;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i)
            joined += u'.';
        joined += names[i];
    }
    return joined;
}

} // namespace lantern
