// Selector text to rule keys, and rule keys back into the parts the cascade matches.
//
// A key is a compound selector in lower case ("p", ".note", "a#x:hover"), or, for a selector with ancestors, the
// subject compound, a blank, the ancestor count and a sequence number as decimal digits run straight into the
// nearest ancestor compound, then the further ancestors, each followed by a blank: "div p" becomes "p 110div ".
// A ">" closing an ancestor compound says that the word before it must be its direct child.
#pragma once

#include "common/Str.h"

#include <functional>
#include <vector>

namespace lantern {

// Puts the pieces of one compound in canonical order: tag, classes sorted, ids, pseudo-classes (".b.a" gives
// ".a.b"; a bare "b.a" is tag b with class a and stays). An element's class list reaches the cascade in the
// same ascending order, sorted by the attribute list (markup/Attributes.cpp), which cannot call this.
u16 SortQualifiers(u16v compound);

// The key for one selector (already trimmed and lower-cased). `canonical` asks for SortQualifiers on every
// compound; `nextSequence` gives the sequence number text for a selector with ancestors.
u16 NormaliseSelector(u16v text, bool canonical, const std::function<u16()>& nextSequence);

// One word of a key, split into its parts.
struct TKeyWord {
    u16 Tag, Classes, Id, Pseudo; // Classes: sorted, joined by "."
    bool MustBeDirectParent = false; // the word before this one must be this one's direct child
};

// Splits a compound ("td.a.b#x:hover", a trailing ">" allowed) into its parts.
TKeyWord SplitCompound(u16v compound);

// Splits a key into at most 10 words (subject first, then ancestors from nearest to farthest), stripping the
// count and sequence digits from the second word.
std::vector<TKeyWord> SplitRuleKey(u16v key);

// True when every class of `wanted` (joined by ".") is among the classes of `have`; an empty `wanted` is true.
bool ClassListContains(u16v have, u16v wanted);

} // namespace lantern
