// Painting a long laid-out page: one 800 x 600 screen at the top, in the middle and at the bottom (which should
// cost the same, whatever the page's length), and the whole page in tiles of 8192 pixels as a page renderer
// paints it. The page is built as the builder builds one: a body of headings, paragraphs with bordered inline
// spans, floated boxes and lists, about 2 MB of text.
#include "tests/layout/LayoutFixture.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace lantern;
using namespace lantern::testlayout;

namespace {

constexpr int Width = 800;
constexpr int ScreenHeight = 600;
constexpr int TileHeight = 8192;

// Words of varied length, in an order that never repeats a line break pattern too soon.
u16 Sentence(unsigned& seed, int words)
{
    static constexpr std::u16string_view Words[] = {
        u"the", u"viewer", u"shows", u"compiled", u"help", u"pages", u"with", u"its", u"own", u"engine",
        u"layout", u"measures", u"every", u"line", u"once", u"and", u"painting", u"reads", u"what", u"was",
        u"stored", u"a", u"paragraph", u"may", u"hold", u"links", u"images", u"tables", u"lists", u"of",
        u"documentation", u"interface", u"properties", u"method", u"returns", u"value", u"parameter", u"class"};
    u16 s;
    for (int i = 0; i < words; ++i) {
        seed = seed * 1103515245u + 12345u;
        if (i > 0)
            s += u' ';
        s += Words[(seed >> 16) % std::size(Words)];
    }
    return s + u". ";
}

struct TLongPage {
    std::unique_ptr<TestPage> Page;
    int Height = 0;
};

const TLongPage& LongPage()
{
    static const TLongPage built = [] {
        TLongPage long_;
        long_.Page = std::make_unique<TestPage>(RealFont(u"Times New Roman", 16));
        TestPage& page = *long_.Page;
        auto& body = page.AddBlock<TBodyBlock>(page.Doc, u"body", {{u"margin-left", u"10px"},
                                                                   {u"margin-right", u"10px"},
                                                                   {u"margin-top", u"8px"}});
        auto heading = page.Element(u"h2");
        *heading->CachedFont = RealFont(u"Liberation Sans", 22);
        auto span = page.Element(u"span", {{u"border-top-style", u"solid"},    {u"border-right-style", u"solid"},
                                           {u"border-bottom-style", u"solid"}, {u"border-left-style", u"solid"},
                                           {u"border-top-width", u"1px"},      {u"border-right-width", u"1px"},
                                           {u"border-bottom-width", u"1px"},   {u"border-left-width", u"1px"},
                                           {u"background-color", u"#fff0c0"}});
        unsigned seed = 1;
        std::size_t chars = 0;
        for (int n = 0; chars < (2u << 20); ++n) {
            if (n % 20 == 0) {
                TBlock& h = page.AddBlock(body.Content, u"h2", {{u"margin-top", u"19px"}, {u"margin-bottom", u"19px"}});
                page.AddText(h.Content, Sentence(seed, 5), heading.get());
            }
            if (n % 7 == 3) {
                TBlock& box = page.AddBlock(body.Content, u"div", {{u"float", u"right"}, {u"width", u"200px"},
                                                                   {u"background-color", u"#e0f0ff"}});
                page.AddText(box.Content, Sentence(seed, 20));
            }
            if (n % 10 == 9) {
                TBlock& list = page.AddBlock(body.Content, u"ul", {{u"margin-bottom", u"14px"}});
                for (int i = 0; i < 3; ++i) {
                    auto& li = page.AddBlock<TBlockLI>(list.Content, u"li", {}, 1, i + 1, u'1', false, symUl);
                    page.AddText(li.Content, Sentence(seed, 8));
                }
                continue;
            }
            TBlock& p = page.AddBlock(body.Content, u"p", {{u"margin-bottom", u"14px"}});
            auto text = std::make_unique<TSection>(page.Doc, true, nullptr, *page.Props, nullptr);
            u16 words;
            for (int i = 0; i < 6; ++i)
                words += Sentence(seed, 8 + static_cast<int>(seed % 9));
            page.Feed(*text, words.substr(0, words.size() / 2));
            const int from = page.Source;
            page.Feed(*text, Sentence(seed, 6));
            const int to = page.Source;
            page.Feed(*text, words.substr(words.size() / 2));
            chars += text->Text.size();
            page.AddTo(p.Content, std::move(text));
            OpenInlineBorder(page.Doc, from, *span);
            CloseInlineBorder(page.Doc, to, *span);
        }
        long_.Height = page.Layout(Width);
        return long_;
    }();
    return built;
}

void PaintArea(TestPage& page, platform::Bitmap& target, int viewTop, int height)
{
    platform::PaintCanvas canvas(target);
    canvas.FillRect(Rect{0, 0, Width, height}, 0xFFFFFF);
    page.Doc.SetViewTop(viewTop);
    page.Doc.PaintDocument(canvas, Rect{0, 0, Width, height}, 6000, 0, 0, 0, 0);
}

void BM_PaintScreen(benchmark::State& state)
{
    const TLongPage& long_ = LongPage();
    TestPage& page = *long_.Page;
    const int viewTop = static_cast<int>((long_.Height - ScreenHeight) * state.range(0) / 100);
    platform::Bitmap screen(Width, ScreenHeight);
    for (auto _ : state)
        PaintArea(page, screen, viewTop, ScreenHeight);
    state.counters["page_height"] = long_.Height;
    state.counters["view_top"] = viewTop;
}

void BM_PaintWholePageInTiles(benchmark::State& state)
{
    const TLongPage& long_ = LongPage();
    TestPage& page = *long_.Page;
    platform::Bitmap tile(Width, TileHeight);
    int tiles = 0;
    for (auto _ : state) {
        tiles = 0;
        for (int top = 0; top < long_.Height; top += TileHeight, ++tiles)
            PaintArea(page, tile, top, TileHeight);
    }
    state.counters["page_height"] = long_.Height;
    state.counters["tiles"] = tiles;
}

void BM_LayoutLongPage(benchmark::State& state)
{
    const TLongPage& long_ = LongPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(long_.Page->Layout(Width));
    state.counters["chars"] = long_.Page->Doc.CharCount;
}

} // namespace

BENCHMARK(BM_PaintScreen)->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWholePageInTiles)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LayoutLongPage)->Unit(benchmark::kMillisecond);
