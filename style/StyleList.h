// The style sheet store of one document (TStyleList, THtmlStyleList) and the cascade that applies it.
//
// Ownership: the list owns every rule set it stores, under a key (see style/CssSelectors.h for their shapes). It
// borrows the element sets the cascade works on, and the property stack they sit on, for one call only.
//
// Lookup: the cascade sees the keys sorted (case-insensitive; equal keys keep the order they were added in), so
// its exact keys are found by binary search and the descendant keys that share a subject by one forward scan
// from where their prefix would sort. A sheet being read only appends: the new entries are sorted and merged in
// once, when the cascade next asks, so loading n rules costs n log n rather than n squared; while rules come in,
// the first set stored under a key is found through a hash map. Two filters keep the cascade's work small
// without changing any answer: the list notes every tag, class, id and pseudo-class some key names, so a lookup
// for a part no key names is skipped; and each descendant key carries a small Bloom filter of the parts its
// ancestors need, so a rule is matched against the stack only when every one of those parts may occur on some
// ancestor. The element's side of that test is the running filter of its parent's set (TProperties::Lineage),
// so it costs the same at any depth.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "style/CssSelectors.h"
#include "style/PartFilter.h"
#include "style/Properties.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace lantern {

class TStyleList : public TStyleCascade {
public:
    explicit TStyleList(bool quirks);
    ~TStyleList() override;
    TStyleList(const TStyleList&) = delete;
    TStyleList& operator=(const TStyleList&) = delete;

    // --- the sorted store
    int Count() const { return int(Entries.size()); }
    const u16& Key(int index) const { return SortedEntry(index).Key; }
    TProperties& Object(int index) const { return *SortedEntry(index).Props; }
    // The first set stored under the key, or null.
    TProperties* FindFirst(u16v key) const;
    // Stores the set under the key (after any equal keys) and writes the key into the set's tag.
    TProperties& AddObject(u16v key, std::unique_ptr<TProperties> set);
    // Frees every set, empties the list and restarts the sequence counter at 10.
    void Clear();

    // The sequence number as decimal text; each call gives the next one.
    u16 NextSequenceNumber();

    // --- filling
    void AddRuleProperty(u16v key, u16v name, u16v value);
    void SetLinkStateColor(u16v state, Color color);
    void CopyBodyToTables(const TProperties& body);
    TProperties& AddCopy(u16v key, const TProperties& source);
    void BuildDefaultSheet(u16v defFontName, u16v preFontName, int marginWidth, int marginHeight, int charset,
                           bool linkUnderline, Color hoverColor, Color visitedColor, Color linkColor,
                           Color fontColor, double fontSize);

    // Called when a rule for a hovered element is stored.
    virtual void NoteHoverRules(bool on) = 0;

    // --- the cascade
    void ComputeElementStyle(TProperties& element, u16v tag, int parentIndex, const TProperties* styleAttr,
                             u16v title, u16v pseudo, u16v id, u16v classes) override;
    void BuildLinkFonts(TProperties& link, int stackIndex) override;
    // Copies every non-empty cell of `rule` into `element` (and its link fonts when it is in a link). A relative
    // font size reaches link font i relative to linkParentSizes[i] when given, else to the entry's current size.
    static void MergeRule(const TProperties& rule, TProperties& element, const double* linkParentSizes = nullptr);

    bool Quirks = false;
    TProperties* DefProp = nullptr; // the set stored under "default"
    // The two lookup filters (the answers are the same either way; off only to compare).
    bool UseIndex = true;

private:
    struct TEntry {
        u16 Key;
        std::unique_ptr<TProperties> Props;
        std::vector<TKeyWord> Words; // the key's words when it has ancestors
        TPartFilter AncestorParts;   // what those ancestors name
    };
    // What the cascade looks one element up with.
    struct TElementKey {
        u16v Tag, Class, Id, Pseudo;
        int ParentIndex = 0;
        TPartFilter Ancestors; // the parts of every set on the stack from the parent down to index 1
        // What relative font sizes refer to: the inherited size, taken before any rule is merged, since an element
        // with several classes runs the lookups more than once.
        double ParentSize = 0;
        std::array<double, 4> LinkParentSizes{};
        bool InLink = false;
    };

    // Merges the entries appended since the last lookup into key order.
    void SortPending() const;
    const TEntry& SortedEntry(int index) const
    {
        SortPending();
        return Entries[std::size_t(index)];
    }
    std::size_t LowerBound(u16v key) const; // over the sorted entries
    void ApplyMatchingRules(TProperties& element, const TElementKey& el, const TProperties* styleAttr);
    void ApplyExactRules(u16v key, TProperties& element, const double* linkParentSizes) const;
    void ApplyDescendantRules(u16v prefix, TProperties& element, const TElementKey& el,
                              const double* linkParentSizes) const;
    static bool AncestorsMatch(const std::vector<TKeyWord>& words, const TProperties& element, int parentIndex);
    // Which of the element's parts (tag, class list, id, pseudo-class) some stored key names.
    unsigned NamedParts(const TElementKey& el) const;

    // In key order up to SortedCount; the entries after it were appended since and are merged in by SortPending.
    mutable std::vector<TEntry> Entries;
    mutable std::size_t SortedCount = 0;
    std::unordered_map<u16, TProperties*> FirstByKey; // lower-cased key -> the first set stored under it
    int SequenceNumber = 10;
    std::unordered_set<std::uint32_t> KeyParts; // hashes of every part some key names
};

// The style list of a document: hover rules switch the document's links to react to the pointer.
class THtmlStyleList : public TStyleList {
public:
    // `noteHoverRules` receives the document's links-react-to-hover flag.
    explicit THtmlStyleList(bool quirks, std::function<void(bool)> noteHoverRules = {});
    void NoteHoverRules(bool on) override;

private:
    std::function<void(bool)> OnHoverRules;
};

} // namespace lantern
