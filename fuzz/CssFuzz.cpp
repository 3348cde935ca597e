// Fuzz target for the CSS reader and the cascade over what it stored. The first byte picks the route: a
// style element or an external sheet, quirks mode, a base location for urls; the rest is the sheet, read as
// UTF-8. Afterwards a few elements are styled so that every stored key is split and matched.
#include "markup/Buffer.h"
#include "markup/Errors.h"
#include "style/CssParser.h"
#include "style/StyleList.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

using namespace lantern;

namespace {

void StyleSomeElements(THtmlStyleList& list, bool quirks)
{
    THtmlPropStack stack;
    stack.Cascade = &list;
    stack.Quirks = quirks;
    auto root = std::make_unique<TProperties>(&stack, quirks);
    root->CopyAsDefault(*list.DefProp);
    stack.Add(std::move(root));
    stack.PushElement(u"body", u"", nullptr, u"", u"", u"");
    stack.PushElement(u"div", u"a.b", nullptr, u"t", u"", u"main");
    stack.PushElement(u"ul", u"", nullptr, u"", u"", u"");
    stack.PushElement(u"li", u"x", nullptr, u"", u"hover", u"");
    stack.PushElement(u"p", u"a", nullptr, u"", u"visited", u"i");
    stack.PopElement(u"ul"); // out of order: the sets above are inherited again
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0];
    const bool external = mode & 1, quirks = mode & 2;
    const u16 base = (mode & 4) ? u16(u"http://h/a/b/") : (mode & 8) ? u16(u"/help/css/") : u16();
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    const u16 text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    THtmlStyleList list(quirks);
    list.BuildDefaultSheet(u"Times New Roman", u"Courier New", 10, 15, 1, true, 0xFF, 0x800080, 0xFF0000, 0, 12.0);
    list.UseIndex = (mode & 16) == 0;
    auto buffer = TBuffer::CreateFromBytes(std::move(bytes), u"fuzz.css");
    char16_t ch = u'>';
    try {
        ParseStyleSheet(list, ch, *buffer, quirks, external, base);
    } catch (const EParseError&) {
    }
    StyleSomeElements(list, quirks);

    TProperties attr(quirks);
    try {
        ParseStyleAttribute(text, attr);
    } catch (const EParseError&) {
    }
    return 0;
}
