// Fuzz target for the whole road from a page's bytes to a laid-out document: the buffer, the tokenizer, the
// document builder with style sheets and includes, and layout at two widths. The first byte picks the route:
// plain text or HTML, quirks, a width, an include handler that feeds part of the input back.
#include "builder/Parser.h"
#include "layout/Document.h"
#include "markup/Buffer.h"
#include "platform/Canvas.h"
#include "style/Lengths.h"
#include "style/StyleList.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

using namespace lantern;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t route = data[0];
    std::span<const std::uint8_t> page(data + 1, size - 1);
    auto buffer = TBuffer::CreateFromStream(page, u"fuzz.htm");

    ThtDocument doc(route & 1);
    doc.Styles->BuildDefaultSheet(u"Times New Roman", u"Courier New", 10, 5, 1, true, 0xFF0000, 0x800080, 0xFF0000,
                                  0, 12.0);
    SetFontSizeSteps(12.0);
    TParserHost host;
    if (route & 2) {
        // An include hands back the page's first bytes, so includes nest until the tokenizer's limits stop them.
        host.OnInclude = [page](const u16&, const std::vector<u16>&) {
            return TBuffer::CreateFromStream(page.first(std::min<std::size_t>(page.size(), 64)), u"inc.htm");
        };
    }
    {
        THtmlParser parser(*buffer, doc, host);
        if (route & 4)
            parser.ParseText();
        else
            parser.ParseHtml();
    }
    platform::Canvas canvas;
    for (int width : {route & 8 ? 40 : 800, 300}) {
        int scrollWidth = 0, counter = 0;
        doc.LayoutDocument(canvas, 0, width, 0, 0, scrollWidth, counter);
    }
    return 0;
}
