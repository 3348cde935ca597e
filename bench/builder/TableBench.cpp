// A page that is one long table, end to end: built from its markup, laid out at 800 pixels, and painted whole in
// bands as the renderer paints a page into a picture; and a page of tables nested three deep, whose cells are
// laid out more than once. The long table has 2000 rows of six cells as generated reference pages have:
// numbers, code, a sentence of varying length and a link, with every other row coloured.
#include "builder/Parser.h"
#include "layout/Document.h"
#include "markup/Buffer.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "style/Lengths.h"
#include "style/StyleList.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace lantern;

namespace {

constexpr int Width = 800;
constexpr int TileHeight = 4096;

std::string Words(unsigned& seed, int count)
{
    static constexpr const char* Vocabulary[] = {"the", "value", "object", "buffer", "string", "method", "returns",
                                                 "attribute", "element", "encoding", "layout", "document", "with",
                                                 "character", "exception", "default", "section", "instance", "of"};
    std::string out;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        if (i > 0)
            out += ' ';
        out += Vocabulary[(seed >> 16) % std::size(Vocabulary)];
    }
    return out;
}

std::string LongTable(int rows)
{
    std::string html = "<html><body><table border=\"1\" cellpadding=\"3\" cellspacing=\"0\" width=\"100%\">"
                       "<tr><th>#</th><th>Name</th><th>Kind</th><th>Value</th><th>Description</th><th>Link</th></tr>\n";
    unsigned seed = 7;
    for (int r = 1; r <= rows; ++r) {
        const std::string n = std::to_string(r);
        html += r % 2 ? "<tr>" : "<tr bgcolor=\"#eeeeff\">";
        html += "<td align=\"right\">";
        html += n;
        html += "</td><td><code>";
        html += Words(seed, 1);
        html += '_';
        html += n;
        html += "</code></td><td>";
        html += Words(seed, 1 + static_cast<int>(seed % 2));
        html += "</td><td align=\"right\">";
        html += std::to_string(r * 37 % 1000);
        html += ".25</td><td>";
        html += Words(seed, 3 + static_cast<int>(seed % 25));
        html += "</td><td><a href=\"p";
        html += n;
        html += ".htm\">see</a></td></tr>\n";
    }
    html += "</table></body></html>";
    return html;
}

std::string NestedTables(int outerRows)
{
    std::string html = "<html><body><table width=\"100%\">";
    unsigned seed = 11;
    for (int r = 0; r < outerRows; ++r) {
        html += "<tr><td>";
        html += Words(seed, 4);
        html += "</td><td><table border=1>";
        for (int i = 0; i < 4; ++i) {
            html += "<tr><td>";
            html += Words(seed, 2);
            html += "</td><td><table><tr><td>";
            html += Words(seed, 6);
            html += "</td><td>";
            html += Words(seed, 3);
            html += "</td></tr></table></td></tr>";
        }
        html += "</table></td></tr>";
    }
    html += "</table></body></html>";
    return html;
}

struct TBuilt {
    std::unique_ptr<ThtDocument> Doc = std::make_unique<ThtDocument>();
    int Height = 0;
};

void Build(TBuilt& page, const std::string& html)
{
    page.Doc->ClearDocument();
    page.Doc->Styles->BuildDefaultSheet(u"Times New Roman", u"Courier New", 10, 5, DEFAULT_CHARSET, true,
                                        0x00FF0000, 0x00800080, 0x00FF0000, 0, 12.0);
    SetFontSizeSteps(12.0);
    auto buffer = TBuffer::CreateFromBytes(std::vector<std::uint8_t>(html.begin(), html.end()), u"page.htm");
    THtmlParser parser(*buffer, *page.Doc);
    parser.ParseHtml();
}

int Layout(TBuilt& page)
{
    platform::Canvas canvas;
    int scrollWidth = 0, counter = 0;
    return page.Height = page.Doc->LayoutDocument(canvas, 0, Width, 0, 0, scrollWidth, counter);
}

void PaintInTiles(TBuilt& page, platform::Bitmap& tile)
{
    for (int top = 0; top < page.Height; top += TileHeight) {
        platform::PaintCanvas canvas(tile);
        canvas.FillRect(Rect{0, 0, Width, TileHeight}, 0xFFFFFF);
        page.Doc->SetViewTop(top);
        page.Doc->PaintDocument(canvas, Rect{0, 0, Width, TileHeight}, 6000, 0, 0, 0, 0);
    }
}

void BM_LongTableEndToEnd(benchmark::State& state)
{
    const std::string html = LongTable(static_cast<int>(state.range(0)));
    platform::Bitmap tile(Width, TileHeight);
    TBuilt page;
    for (auto _ : state) {
        Build(page, html);
        Layout(page);
        PaintInTiles(page, tile);
    }
    state.counters["page_height"] = page.Height;
    state.counters["bytes"] = static_cast<double>(html.size());
}

void BM_LongTableBuild(benchmark::State& state)
{
    const std::string html = LongTable(static_cast<int>(state.range(0)));
    TBuilt page;
    for (auto _ : state)
        Build(page, html);
}

void BM_LongTablePaint(benchmark::State& state)
{
    TBuilt page;
    Build(page, LongTable(static_cast<int>(state.range(0))));
    Layout(page);
    platform::Bitmap tile(Width, TileHeight);
    for (auto _ : state)
        PaintInTiles(page, tile);
    state.counters["page_height"] = page.Height;
}

void BM_LongTableLayout(benchmark::State& state)
{
    TBuilt page;
    Build(page, LongTable(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(Layout(page));
    state.counters["page_height"] = page.Height;
}

void BM_NestedTablesLayout(benchmark::State& state)
{
    TBuilt page;
    Build(page, NestedTables(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(Layout(page));
    state.counters["page_height"] = page.Height;
}

} // namespace

BENCHMARK(BM_LongTableEndToEnd)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LongTableBuild)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LongTablePaint)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LongTableLayout)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NestedTablesLayout)->Arg(100)->Unit(benchmark::kMillisecond);
