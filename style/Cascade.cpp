// The cascade: which stored rules apply to an element, in which order, and the link-state fonts.
#include "style/StyleList.h"

#include "style/Lengths.h"

#include <array>

namespace lantern {

namespace {

// Parts of a lookup key.
enum : unsigned { kT = 1, kC = 2, kI = 4, kP = 8 };

struct TLookup {
    unsigned Parts;
    bool PlainOnly; // skipped for the hover and visited state sets
};

// The lookups after the link-state rule, in precedence order (later ones win): type, pseudo-class, class,
// combined and id rules. Descendant rules use the same shapes as prefixes.
constexpr std::array<TLookup, 15> Lookups = {{
    {kT, true}, {kP, false}, {kC, true}, {kT | kC, true}, {kT | kP, false}, {kC | kP, false},
    {kT | kC | kP, false}, {kI, false}, {kT | kI, false}, {kC | kI, false}, {kI | kP, false},
    {kT | kI | kP, false}, {kT | kC | kI, false}, {kC | kI | kP, false}, {kT | kC | kI | kP, false},
}};

void BuildKey(u16& key, unsigned parts, u16v tag, u16v cls, u16v id, u16v pseudo)
{
    key.clear();
    if (parts & kT)
        key += tag;
    if (parts & kC)
        (key += u'.') += cls;
    if (parts & kI)
        (key += u'#') += id;
    if (parts & kP)
        (key += u':') += pseudo;
}

bool ContainsText(const PropValue& cell, u16v part) { return cell.IsText() && cell.Text().find(part) != u16::npos; }

// Keeps a link's four state fonts in step with a cell the element takes from a rule.
void UpdateLinkFonts(TProperties& element, int index, const double* parentSizes)
{
    const PropValue& cell = element.Props[std::size_t(index)];
    for (std::size_t entry = 0; entry < element.LinkFonts->size(); ++entry) {
        ThtFontInfo& font = (*element.LinkFonts)[entry];
        switch (index) {
        case piFontFamily:
            if (u16 face = ResolveFontFamily(cell.Text()); !face.empty())
                font.Face = face;
            break;
        case piFontSize:
            font.Size = cell.IsNumeric() ? cell.AsFloat()
                                         : ConvertFontSize(cell.Text(), element.Quirks,
                                                           parentSizes ? parentSizes[entry] : font.Size);
            break;
        case piFontStyle:
            if (cell.Text() == u"italic" || cell.Text() == u"oblique")
                font.Style |= FontItalic;
            else if (cell.Text() == u"normal")
                font.Style &= std::uint8_t(~FontItalic);
            break;
        case piFontWeight:
            if (ContainsText(cell, u"bold"))
                font.Style |= FontBold;
            else if (ContainsText(cell, u"normal"))
                font.Style &= std::uint8_t(~FontBold);
            else if (auto weight = cell.IsText() ? TryStrToInt(cell.Text()) : std::optional<int>(cell.AsInt());
                     weight && *weight >= 600)
                font.Style |= FontBold;
            break;
        case piTextDecoration:
            if (cell.Text() == u"underline")
                font.Style |= FontUnderline;
            else if (cell.Text() == u"line-through")
                font.Style |= FontStrikeOut;
            else if (cell.Text() == u"none")
                font.Style &= std::uint8_t(~(FontUnderline | FontStrikeOut));
            break;
        case piLetterSpacing: font.LetterSpacing = cell; break;
        case piColor: font.FontColor = cell.AsColor(); break;
        case piBackgroundColor: font.BackColor = cell.AsColor(); break;
        default: break;
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------

void TStyleList::ComputeElementStyle(TProperties& element, u16v tag, int parentIndex, const TProperties* styleAttr,
                                     u16v title, u16v pseudo, u16v id, u16v classes)
{
    SortPending();
    // 1. Each class on its own, then the whole class list; only the last passes merge the style attribute.
    classes = TrimView(classes);
    TElementKey el{tag, classes, id, pseudo, parentIndex, {}};
    // Quirks-mode table cells size relative text from the document's size, not from outside the table.
    el.ParentSize = DocumentDefaultFontSize();
    const PropValue& inherited = element.Props[piFontSize];
    if (!(Quirks && (tag == u"td" || tag == u"th")) && inherited.IsNumeric() && inherited.AsFloat() > 0)
        el.ParentSize = inherited.AsFloat();
    el.InLink = element.InLink && element.LinkFonts;
    if (el.InLink)
        for (std::size_t i = 0; i < el.LinkParentSizes.size(); ++i)
            el.LinkParentSizes[i] = (*element.LinkFonts)[i].Size;
    // The parent's running filter holds the parts of every ancestor, so no walk down the stack is needed.
    if (element.Owner && parentIndex >= 1 && parentIndex < element.Owner->Count())
        el.Ancestors = element.Owner->Get(parentIndex).Lineage;
    if (classes.find(u'.') != u16v::npos) {
        std::size_t start = 0;
        for (std::size_t dot; (dot = classes.find(u'.', start)) != u16v::npos; start = dot + 1) {
            el.Class = classes.substr(start, dot - start);
            ApplyMatchingRules(element, el, nullptr);
        }
        el.Class = classes.substr(start);
        ApplyMatchingRules(element, el, styleAttr);
        el.Class = classes;
    }
    ApplyMatchingRules(element, el, styleAttr);

    // 2. What later descendant matches and the painting of links read from the set.
    // The style-attribute set is the element's own already (PushElement gave it over), or only lent for this call.
    element.PropTag = u16(tag);
    element.PropClass = u16(classes);
    element.PropID = u16(id);
    element.PropPseudo = u16(pseudo);
    if (!title.empty())
        element.PropTitle = u16(title);
    element.Lineage = el.Ancestors;
    element.Lineage.AddParts(tag, classes, id, pseudo);

    // 3. A link gets its state fonts.
    if (pseudo == u"link") {
        if (!element.LinkFonts)
            element.LinkFonts = std::make_unique<TFontInfoArray>();
        BuildLinkFonts(element, parentIndex + 1);
        element.InLink = true;
    }
}

void TStyleList::ApplyMatchingRules(TProperties& element, const TElementKey& el, const TProperties* styleAttr)
{
    // 1. The size relative font sizes refer to (el.ParentSize) was taken before the first pass.
    const double* linkParentSizes = el.InLink ? el.LinkParentSizes.data() : nullptr;

    // 2. The hover and visited state sets inherit the link's plain rules and only add their own.
    const bool plain = el.Pseudo.empty() || (el.Pseudo != u"hover" && el.Pseudo != u"visited");

    // Which parts this element has at all, and which some stored key names.
    unsigned have = 0;
    if (!el.Tag.empty())
        have |= kT;
    if (!el.Class.empty())
        have |= kC;
    if (!el.Id.empty())
        have |= kI;
    if (!el.Pseudo.empty())
        have |= kP;
    const unsigned named = UseIndex ? NamedParts(el) : have;

    // 3. Exact rules, then 4. descendant rules with the same shapes.
    u16 key;
    if (el.Tag == u"a" && !el.Pseudo.empty())
        ApplyExactRules(u"::" + u16(el.Pseudo), element, linkParentSizes);
    for (const TLookup& lookup : Lookups) {
        if ((lookup.PlainOnly && !plain) || (lookup.Parts & have) != lookup.Parts || (lookup.Parts & named) != lookup.Parts)
            continue;
        BuildKey(key, lookup.Parts, el.Tag, el.Class, el.Id, el.Pseudo);
        ApplyExactRules(key, element, linkParentSizes);
    }
    for (const TLookup& lookup : Lookups) {
        if ((lookup.PlainOnly && !plain) || (lookup.Parts & have) != lookup.Parts || (lookup.Parts & named) != lookup.Parts)
            continue;
        BuildKey(key, lookup.Parts, el.Tag, el.Class, el.Id, el.Pseudo);
        key += u' ';
        ApplyDescendantRules(key, element, el, linkParentSizes);
    }

    // 5. The style attribute beats every rule.
    if (styleAttr)
        MergeRule(*styleAttr, element, linkParentSizes);

    // 6. Relative and keyword sizes become points once, here.
    PropValue& cell = element.Props[piFontSize];
    if (!cell.IsNumeric())
        cell = PropValue(ConvertFontSize(cell.IsText() ? u16v(cell.Text()) : u16v(), Quirks, el.ParentSize));
}

unsigned TStyleList::NamedParts(const TElementKey& el) const
{
    auto named = [this](char16_t kind, u16v text) { return KeyParts.contains(TPartFilter::PartHash(kind, text)); };
    unsigned parts = 0;
    if (named(u't', el.Tag))
        parts |= kT;
    if (named(u'#', el.Id))
        parts |= kI;
    if (named(u':', el.Pseudo))
        parts |= kP;
    // A class list is named only when each of its classes is.
    bool allClasses = true;
    TPartFilter::ForEachPart({}, el.Class, {}, {},
                             [&](std::uint32_t hash) { allClasses = allClasses && KeyParts.contains(hash); });
    if (allClasses)
        parts |= kC;
    return parts;
}

void TStyleList::ApplyExactRules(u16v key, TProperties& element, const double* linkParentSizes) const
{
    for (std::size_t at = LowerBound(key); at < Entries.size() && CompareTextAscii(Entries[at].Key, key) == 0; ++at)
        MergeRule(*Entries[at].Props, element, linkParentSizes);
}

void TStyleList::ApplyDescendantRules(u16v prefix, TProperties& element, const TElementKey& el,
                                      const double* linkParentSizes) const
{
    for (std::size_t at = LowerBound(prefix); at < Entries.size(); ++at) {
        const TEntry& entry = Entries[at];
        // 1. Only keys with this subject.
        if (!StartsTextAscii(prefix, entry.Key))
            break;
        if (entry.Words.empty())
            continue;
        // No early stop on a subject that shares no tag, class or pseudo-class with the element: every key here
        // has the prefix's subject, so such a test only ever turned away "#id" subjects from links with a class.
        // The subject must match, then every ancestor word in turn.
        const TKeyWord& subject = entry.Words.front();
        bool subjectMatches = (subject.Tag.empty() || subject.Tag == el.Tag) &&
                              (subject.Classes.empty() || subject.Classes == el.Class) &&
                              (subject.Id.empty() || subject.Id == el.Id) &&
                              (subject.Pseudo == el.Pseudo ||
                               (subject.Pseudo.empty() && (el.Pseudo == u"link" || el.Pseudo.empty())));
        if (entry.Words.size() > 1 && subjectMatches && (!UseIndex || el.Ancestors.Covers(entry.AncestorParts)) &&
            AncestorsMatch(entry.Words, element, el.ParentIndex))
            MergeRule(*entry.Props, element, linkParentSizes);
    }
}

bool TStyleList::AncestorsMatch(const std::vector<TKeyWord>& words, const TProperties& element, int parentIndex)
{
    const TPropStack* stack = element.Owner;
    if (!stack)
        return false;
    std::size_t word = 1;
    // The root set at index 0 is never an ancestor.
    for (int index = std::min(parentIndex, stack->Count() - 1); index >= 1; --index) {
        const TProperties& ancestor = stack->Get(index);
        const TKeyWord& w = words[word];
        bool matches = (w.Tag.empty() || w.Tag == ancestor.PropTag) &&
                       ClassListContains(ancestor.PropClass, w.Classes) &&
                       (w.Id.empty() || w.Id == ancestor.PropID) &&
                       (w.Pseudo.empty() || w.Pseudo == ancestor.PropPseudo);
        if (matches) {
            if (++word == words.size())
                return true;
        } else if (w.MustBeDirectParent) {
            return false;
        }
    }
    return false;
}

void TStyleList::MergeRule(const TProperties& rule, TProperties& element, const double* linkParentSizes)
{
    const bool linkFonts = element.InLink && element.LinkFonts;
    for (int index = 0; index < PropCount; ++index) {
        const PropValue& cell = rule.Props[std::size_t(index)];
        if (cell.IsEmpty())
            continue;
        // 2. Box cells: an unset one says nothing.
        if (index >= piMarginTop && index <= piLeft && !(cell.IsText() || (cell.IsNumeric() && !cell.IsInt(UnsetLength))))
            continue;
        element.Props[std::size_t(index)] = cell;
        element.SetFlags[std::size_t(index)] = true;
        // 1. Font and colour cells also reach the link's state fonts.
        if (linkFonts && index <= piBackgroundColor && index != piTextAlign)
            UpdateLinkFonts(element, index, linkParentSizes);
    }
}

// ---------------------------------------------------------------------------------------------------------------

void TStyleList::BuildLinkFonts(TProperties& link, int stackIndex)
{
    if (!link.LinkFonts)
        link.LinkFonts = std::make_unique<TFontInfoArray>();
    TFontInfoArray& fonts = *link.LinkFonts;

    // 1. The link itself.
    link.TakeInlineBackground();
    link.FontInfoOf(fonts[lsLink]);

    TPropStack* stack = link.Owner;
    if (!stack || stackIndex < 0 || stackIndex >= stack->Count() || &stack->Get(stackIndex) != &link) {
        // Not on a stack: the states look like the link.
        fonts[lsVisited] = fonts[lsHover] = fonts[lsVisitedHover] = fonts[lsLink];
        return;
    }

    // A state set over the set at `parent`, placed just above it, styled and read into `font`.
    auto stateOver = [&](int parent, u16v pseudo, ThtFontInfo& font) {
        auto set = std::make_unique<TProperties>(stack, link.Quirks);
        set->InheritFrom(link.PropTag, stack->Get(parent));
        TProperties& state = stack->Insert(parent + 1, std::move(set));
        ComputeElementStyle(state, link.PropTag, parent, link.PropStyle.get(), link.PropTitle, pseudo, link.PropID,
                            link.PropClass);
        state.TakeInlineBackground();
        state.FontInfoOf(font);
    };

    // 2. to 4. Visited, then hover over visited.
    stateOver(stackIndex, u"visited", fonts[lsVisited]);
    stateOver(stackIndex + 1, u"hover", fonts[lsVisitedHover]);
    stack->Delete(stackIndex + 2);
    stack->Delete(stackIndex + 1);
    // 5. Hover over an unvisited link.
    stateOver(stackIndex, u"hover", fonts[lsHover]);
    stack->Delete(stackIndex + 1);
}

} // namespace lantern
