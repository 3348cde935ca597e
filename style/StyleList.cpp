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

void TStyleList::SortPending() const
{
    if (SortedCount == Entries.size())
        return;
    // Both steps are stable, so equal keys keep the order they were added in.
    auto less = [](const TEntry& a, const TEntry& b) { return KeyLess(a.Key, b.Key); };
    const auto pending = Entries.begin() + std::ptrdiff_t(SortedCount);
    std::stable_sort(pending, Entries.end(), less);
    std::inplace_merge(Entries.begin(), pending, Entries.end(), less);
    SortedCount = Entries.size();
}

TProperties* TStyleList::FindFirst(u16v key) const
{
    auto it = FirstByKey.find(LowerAscii(key));
    return it != FirstByKey.end() ? it->second : nullptr;
}

TProperties& TStyleList::AddObject(u16v key, std::unique_ptr<TProperties> set)
{
    set->PropTag = u16(key);
    TEntry entry{u16(key), std::move(set), {}, {}};
    std::vector<TKeyWord> words = SplitRuleKey(key);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const TKeyWord& w = words[i];
        TPartFilter::ForEachPart(w.Tag, w.Classes, w.Id, w.Pseudo, [&](std::uint32_t hash) {
            KeyParts.insert(hash);
            if (i > 0)
                entry.AncestorParts.Add(hash);
        });
    }
    if (words.size() > 1)
        entry.Words = std::move(words);
    TProperties& added = *entry.Props;
    FirstByKey.try_emplace(LowerAscii(key), &added);
    Entries.push_back(std::move(entry));
    return added;
}

void TStyleList::Clear()
{
    Entries.clear();
    SortedCount = 0;
    FirstByKey.clear();
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
