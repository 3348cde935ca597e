// Pushing and popping property sets for the element stream of a typical help page, with and without asking
// each text-bearing element for its font.
#include "style/Fonts.h"
#include "style/Properties.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace lantern {
namespace {

struct Event {
    bool Open;
    u16 Tag;
    bool HasText; // the element holds a text run, so layout asks for its font
};

// One topic section of a help page: a heading, paragraphs with inline markup and links, a list and a small table.
void AppendSection(std::vector<Event>& events)
{
    auto open = [&](u16v tag, bool text = false) { events.push_back({true, u16(tag), text}); };
    auto close = [&](u16v tag) { events.push_back({false, u16(tag), false}); };
    open(u"div");
    open(u"h2", true), close(u"h2");
    for (int p = 0; p < 3; ++p) {
        open(u"p", true);
        open(u"b", true), close(u"b");
        open(u"a", true), close(u"a");
        open(u"span", true), open(u"i", true), close(u"i"), close(u"span");
        close(u"p");
    }
    open(u"ul");
    for (int i = 0; i < 4; ++i) open(u"li", true), open(u"a", true), close(u"a"), close(u"li");
    close(u"ul");
    open(u"table"), open(u"tbody");
    for (int r = 0; r < 3; ++r) {
        open(u"tr");
        for (int c = 0; c < 2; ++c) open(u"td", true), open(u"code", true), close(u"code"), close(u"td");
        close(u"tr");
    }
    close(u"tbody"), close(u"table");
    open(u"p", true), open(u"b", true), close(u"p"); // an unclosed <b> closed out of order by its paragraph
    close(u"b");
    close(u"div");
}

const std::vector<Event>& Page()
{
    static const std::vector<Event> events = [] {
        std::vector<Event> e;
        for (int s = 0; s < 50; ++s) AppendSection(e);
        return e;
    }();
    return events;
}

std::unique_ptr<TProperties> RootSet(THtmlPropStack& stack)
{
    auto root = std::make_unique<TProperties>(&stack, false);
    root->PropTag = u"default";
    root->DefaultFaceName = u"Times New Roman";
    root->Props[piFontFamily] = u"Verdana, Arial, sans-serif";
    root->Props[piFontSize] = 12.0;
    root->Props[piColor] = Color(0);
    root->SetCharset(1);
    return root;
}

void Run(benchmark::State& state, bool fonts)
{
    const auto& events = Page();
    int elements = 0;
    for (const Event& e : events) elements += e.Open;
    for (auto _ : state) {
        THtmlPropStack stack;
        stack.Add(RootSet(stack));
        for (const Event& e : events) {
            if (!e.Open) {
                stack.PopElement(e.Tag);
                continue;
            }
            TProperties& p = stack.PushElement(e.Tag, u"", nullptr, u"", u"", u"");
            p.PropTag = e.Tag; // what the cascade records
            if (e.Tag == u"b") p.Props[piFontWeight] = u"bold";
            if (e.Tag == u"code") p.Props[piFontFamily] = u"'Courier New', monospace";
            if (e.Tag == u"h2") p.Props[piFontSize] = 18.0;
            if (fonts && e.HasText) benchmark::DoNotOptimize(p.FontOf());
        }
        benchmark::DoNotOptimize(stack.Count());
    }
    state.SetItemsProcessed(state.iterations() * elements);
}

void BM_PushPopElements(benchmark::State& state) { Run(state, false); }
void BM_PushPopElementsWithFonts(benchmark::State& state) { Run(state, true); }
BENCHMARK(BM_PushPopElements)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PushPopElementsWithFonts)->Unit(benchmark::kMicrosecond);

// Cache hits over a page's worth of distinct fonts (8 faces x 6 heights x 4 styles).
void BM_FontCacheLookup(benchmark::State& state)
{
    const u16v faces[] = {u"Arial", u"Times New Roman", u"Courier New", u"Verdana", u"Tahoma", u"宋体",
                          u"微软雅黑", u"MS Sans Serif"};
    const int heights[] = {-11, -13, -16, -19, -24, -32};
    auto& cache = TMyFontCache::Instance();
    for (u16v f : faces)
        for (int h : heights)
            for (std::uint8_t s = 0; s < 4; ++s) cache.GetFont(f, h, s, 1);
    std::size_t i = 0;
    for (auto _ : state) {
        const u16v face = faces[i % 8];
        const int h = heights[(i / 8) % 6];
        benchmark::DoNotOptimize(&cache.GetFont(face, h, std::uint8_t((i / 48) % 4), 1));
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FontCacheLookup);

} // namespace
} // namespace lantern
