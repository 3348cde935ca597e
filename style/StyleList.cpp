// The sorted store of rule sets and the operations that fill it.
#include "style/StyleList.h"

#include "style/ColorParser.h"

#include <algorithm>

namespace lantern {

namespace {

constexpr int FirstSequenceNumber = 10;

bool KeyLess(u16v a, u16v b) { return CompareTextAscii(a, b) < 0; }

} // namespace

TStyleList::TStyleList(bool quirks) : Quirks(quirks) {}

TStyleList::~TStyleList() = default;

std::size_t TStyleList::LowerBound(u16v key) const
{
    auto it = std::lower_bound(Entries.begin(), Entries.end(), key,
                               [](const TEntry& e, u16v k) { return KeyLess(e.Key, k); });
    return std::size_t(it - Entries.begin());
}

TProperties* TStyleList::FindFirst(u16v key) const
{
    std::size_t at = LowerBound(key);
    if (at < Entries.size() && CompareTextAscii(Entries[at].Key, key) == 0)
        return Entries[at].Props.get();
    return nullptr;
}

TProperties& TStyleList::AddObject(u16v key, std::unique_ptr<TProperties> set)
{
    set->PropTag = u16(key);
    auto it = std::upper_bound(Entries.begin(), Entries.end(), key,
                               [](u16v k, const TEntry& e) { return KeyLess(k, e.Key); });
    TEntry entry{u16(key), std::move(set), {}, {}};
    std::vector<TKeyWord> words = SplitRuleKey(key);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const TKeyWord& w = words[i];
        ForEachPart(w.Tag, w.Classes, w.Id, w.Pseudo, [&](std::uint32_t hash) {
            KeyParts.insert(hash);
            if (i > 0)
                entry.AncestorParts.Add(hash);
        });
    }
    if (words.size() > 1)
        entry.Words = std::move(words);
    return *Entries.insert(it, std::move(entry))->Props;
}

std::uint32_t TStyleList::PartHash(char16_t kind, u16v text)
{
    std::uint32_t hash = 2166136261u ^ kind; // FNV-1a
    for (char16_t c : text)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

void TStyleList::TPartFilter::Add(std::uint32_t hash)
{
    Bits[(hash >> 6) & 3] |= std::uint64_t(1) << (hash & 63);
    Bits[(hash >> 14) & 3] |= std::uint64_t(1) << ((hash >> 8) & 63);
}

bool TStyleList::TPartFilter::Covers(const TPartFilter& needed) const
{
    for (std::size_t i = 0; i < Bits.size(); ++i)
        if (needed.Bits[i] & ~Bits[i])
            return false;
    return true;
}

void TStyleList::Clear()
{
    Entries.clear();
    KeyParts.clear();
    DefProp = nullptr;
    SequenceNumber = FirstSequenceNumber;
}

u16 TStyleList::NextSequenceNumber() { return IntToStr(SequenceNumber++); }

TProperties& TStyleList::AddCopy(u16v key, const TProperties& source)
{
    auto set = std::make_unique<TProperties>(nullptr, Quirks);
    set->CopyValues(source);
    return AddObject(key, std::move(set));
}

void TStyleList::AddRuleProperty(u16v key, u16v name, u16v value)
{
    // 1. Only known properties.
    int index = FindPropertyIndex(name);
    if (index < 0)
        return;

    // 2. The set already stored under the key, or a fresh one.
    TProperties* set = FindFirst(key);
    std::unique_ptr<TProperties> fresh;
    if (!set) {
        fresh = std::make_unique<TProperties>(false);
        set = fresh.get();
    }

    // 3. and 4. Store the value; a later declaration replaces an earlier one. A link colour also becomes the
    // colour of the link states that follow it, until rules of their own say otherwise.
    if (std::optional<PropValue> stored = DeclaredValue(index, value)) {
        if (index == piColor) {
            auto copyTo = [this, &stored](u16v stateKey) {
                if (TProperties* state = FindFirst(stateKey))
                    state->Props[piColor] = *stored;
            };
            if (key == u":link") {
                copyTo(u"::hover");
                copyTo(u"::visited");
            } else if (key == u":visited") {
                copyTo(u"::hover");
            }
        }
        set->Props[std::size_t(index)] = std::move(*stored);
    }

    // 5. to 8.
    if (fresh)
        AddObject(key, std::move(fresh));
    if (key.find(u":hover") != u16v::npos)
        NoteHoverRules(true);
    if (key == u"a")
        AddRuleProperty(u"::link", name, value);
    if (Quirks && key == u"body" && index == piColor)
        if (TProperties* body = FindFirst(u"body"))
            CopyBodyToTables(*body);
}

void TStyleList::SetLinkStateColor(u16v state, Color color)
{
    if (TProperties* set = FindFirst(u"::" + u16(state)))
        set->Props[piColor] = PropValue(color);
}

void TStyleList::CopyBodyToTables(const TProperties& body)
{
    static constexpr int BorderColors[] = {piBorderTopColor, piBorderRightColor, piBorderBottomColor,
                                           piBorderLeftColor};
    if (TProperties* table = FindFirst(u"table")) {
        for (int index : {piFontSize, piFontStyle, piFontWeight, piFontVariant, piColor})
            table->Props[std::size_t(index)] = body.Props[std::size_t(index)];
        for (int index : BorderColors)
            table->Props[std::size_t(index)] = body.Props[std::size_t(index)];
    }
    for (u16v cellTag : {u16v(u"td"), u16v(u"th")}) {
        if (TProperties* cell = FindFirst(cellTag)) {
            cell->Props[piColor] = body.Props[piColor];
            for (int index : BorderColors)
                cell->Props[std::size_t(index)] = body.Props[std::size_t(index)];
        }
    }
}

// ---------------------------------------------------------------------------------------------------------------

THtmlStyleList::THtmlStyleList(bool quirks, std::function<void(bool)> noteHoverRules)
    : TStyleList(quirks), OnHoverRules(std::move(noteHoverRules))
{
}

void THtmlStyleList::NoteHoverRules(bool on)
{
    if (OnHoverRules)
        OnHoverRules(on);
}

} // namespace lantern
