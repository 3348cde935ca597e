// Small helpers shared by the style sheet tests: parse a sheet into a list, read a stored cell, build an
// element path on a property stack.
#pragma once

#include "markup/Buffer.h"
#include "style/ColorParser.h"
#include "style/CssParser.h"
#include "style/CssSelectors.h"
#include "style/StyleList.h"

#include <memory>
#include <ostream>
#include <vector>

namespace lantern {

// Readable cells in failure messages.
inline void PrintTo(const PropValue& v, std::ostream* os)
{
    if (v.IsEmpty())
        *os << "(empty)";
    else if (v.IsText())
        *os << '"' << ToUtf8(v.Text()) << '"';
    else if (v.IsFloat())
        *os << v.AsFloat();
    else
        *os << (v.IsByte() ? "byte " : "int ") << v.AsInt();
}

} // namespace lantern

namespace lantern::test {

// Parses `css` as an external sheet (or a style element's content) named "sheet.css"; returns where it stopped.
inline char16_t ParseSheet(THtmlStyleList& list, u16v css, bool external = true, u16v base = {})
{
    std::unique_ptr<TBuffer> buffer = TBuffer::CreateFromString(css, u"sheet.css");
    char16_t ch = u'>';
    ParseStyleSheet(list, ch, *buffer, list.Quirks, external, base);
    return ch;
}

inline std::vector<u16> Keys(const TStyleList& list)
{
    std::vector<u16> keys;
    for (int i = 0; i < list.Count(); ++i)
        keys.push_back(list.Key(i));
    return keys;
}

// The cell a rule stores for a property, or an empty cell when the key or the value is absent.
inline PropValue Stored(const TStyleList& list, u16v key, u16v property)
{
    const TProperties* set = list.FindFirst(key);
    int index = FindPropertyIndex(property);
    return set && index >= 0 ? set->Props[std::size_t(index)] : PropValue();
}

inline Color ColorOf(u16v text)
{
    Color c = 0;
    ParseColor(text, false, c);
    return c;
}

// A document's property stack over a style list: the root is a copy of the default set, and elements are
// pushed as "tag.class1.class2#id:pseudo".
class TElementPath {
public:
    explicit TElementPath(THtmlStyleList& list)
    {
        Stack.Cascade = &list;
        Stack.Quirks = list.Quirks;
        auto root = std::make_unique<TProperties>(&Stack, list.Quirks);
        root->CopyAsDefault(*list.DefProp);
        Stack.Add(std::move(root));
    }

    TProperties& Push(u16v compound, std::unique_ptr<TProperties> styleAttr = nullptr)
    {
        TKeyWord w = SplitCompound(compound);
        return Stack.PushElement(w.Tag, w.Classes, std::move(styleAttr), u"", w.Pseudo, w.Id);
    }

    THtmlPropStack Stack;
};

// A list with the default sheet as a viewer with default settings builds it (12 points, black text).
inline void BuildDefaults(TStyleList& list)
{
    list.BuildDefaultSheet(u"Times New Roman", u"Courier New", 10, 15, 1, true, 0x000000FF, 0x00800080,
                           0x00FF0000, 0, 12.0);
}

} // namespace lantern::test
