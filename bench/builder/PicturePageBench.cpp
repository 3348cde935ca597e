// A page of 200 pictures built, laid out and painted whole, as a viewer shows it: cold (a new document, so every
// picture file is decoded) and warm (the same document showing the page again, so every picture is a cache hit).
// The page is bench/support/PicturePage.h's.
#include "bench/support/PicturePage.h"
#include "builder/Parser.h"
#include "layout/Document.h"
#include "markup/Buffer.h"
#include "platform/Canvas.h"
#include "style/Lengths.h"
#include "style/StyleList.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>

using namespace lantern;

namespace {

using benchsupport::TPicturePage;

constexpr int Width = 800;

// Returns the number of pictures the cache holds afterwards.
int Render(ThtDocument& doc, const TPicturePage& page)
{
    doc.Styles->BuildDefaultSheet(u"Times New Roman", u"Courier New", 10, 5, DEFAULT_CHARSET, true, 0x00FF0000,
                                  0x00800080, 0x00FF0000, 0, 12.0);
    const u16 folder = FromUtf8(page.Folder.path().toStdString()) + u"/";
    doc.ImageHost.ExpandSourceName = [&](u16v source) { return folder + u16(TrimView(source)); };
    auto buffer = TBuffer::CreateFromBytes(std::vector<std::uint8_t>(page.Html.begin(), page.Html.end()), u"page.htm");
    THtmlParser parser(*buffer, doc);
    parser.ParseHtml();
    platform::Canvas measure;
    int scrollWidth = 0, counter = 0;
    const int height = doc.LayoutDocument(measure, 0, Width, 600, 0, scrollWidth, counter);
    QImage image(Width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    platform::PaintCanvas canvas(image);
    doc.PaintDocument(canvas, Rect{0, 0, Width, height}, 6000, 0, 0, 0, 0);
    benchmark::DoNotOptimize(image.bits());
    return doc.ImageCache.Count();
}

void BM_PicturePage(benchmark::State& state, bool warm)
{
    SetFontSizeSteps(12.0);
    const TPicturePage& page = benchsupport::PicturePage();
    ThtDocument shown;
    int cacheItems = warm ? Render(shown, page) : 0;
    for (auto _ : state) {
        if (warm) {
            shown.ClearDocument();
            shown.ImageCache.PurgeImages();
            cacheItems = Render(shown, page);
        } else {
            ThtDocument doc;
            cacheItems = Render(doc, page);
        }
    }
    state.SetItemsProcessed(state.iterations() * 200);
    state.counters["cache items"] = double(cacheItems);
}

const bool registered = [] {
    benchmark::RegisterBenchmark("picture page/200 pictures cold", [](benchmark::State& s) { BM_PicturePage(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("picture page/200 pictures warm", [](benchmark::State& s) { BM_PicturePage(s, true); })
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
