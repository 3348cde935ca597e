// Fuzz target for the CSS reader and the cascade over what it stored. The first byte picks the route: a
// style element or an external sheet, quirks mode, a base location for urls; the rest is the sheet, read as
// UTF-8. Afterwards a few elements are styled so that every stored key is split and matched, one of them a
// link whose style attribute is the same text, closed around out of order so its states are built again.
#include "markup/Buffer.h"
#include "markup/Errors.h"
#include "style/CssParser.h"
#include "style/StyleList.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

using namespace lantern;

namespace {

void StyleSomeElements(THtmlStyleList& list, bool quirks, u16v styleAttribute)
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
    auto style = std::make_unique<TProperties>(quirks);
    try {
        ParseStyleAttribute(styleAttribute, *style);
    } catch (const EParseError&) {
    }
    stack.PushElement(u"b", u"", nullptr, u"", u"", u"");
    stack.PushElement(u"a", u"x", std::move(style), u"", u"link", u"");
    stack.PushElement(u"i", u"", nullptr, u"", u"", u"");
    stack.PopElement(u"b"); // the link's states are rebuilt, reading its style attribute
}

} // namespace

// Link states describe their fonts, which asks the platform's font database: that needs an application.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

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
    StyleSomeElements(list, quirks, text);
    return 0;
}
