// How the cost of styling grows with the document: elements nested ever deeper, and style sheets with ever more
// rules. Both must grow linearly; per_element and per_rule show it at a glance.
#include "markup/Buffer.h"
#include "style/CssParser.h"
#include "style/StyleList.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace lantern {
namespace {

void BuildDefaults(TStyleList& list)
{
    list.BuildDefaultSheet(u"Times New Roman", u"Courier New", 10, 15, 1, true, 0xFF, 0x800080, 0xFF0000, 0, 12.0);
}

void ReadSheet(THtmlStyleList& list, const std::string& css)
{
    auto buffer = TBuffer::CreateFromStream(
        std::span(reinterpret_cast<const std::uint8_t*>(css.data()), css.size()), u"bench.css");
    char16_t ch = u' ';
    ParseStyleSheet(list, ch, *buffer, list.Quirks, true, {});
}

// A help file's usual sheet: type, class and link rules, and descendant rules whose ancestors the chains below
// never contain, so every push meets them and the ancestor filter turns them away.
constexpr const char* TypicalSheet = R"(
body { font-family: Verdana, Arial; font-size: 10pt }
span { color: #333333 } .x { font-weight: bold } span.x { margin-left: 1px }
a:link { color: #0000cc } a:visited { color: #660099 } a:hover { text-decoration: underline }
table span { color: red } div.note span.x { color: green } ul li a { color: blue } #nav a:hover { color: red }
)";

enum class Chain { Plain, WithClass, WithLinks };

// `depth` elements, each inside the one before, then closed from the innermost out.
void BM_NestedChain(benchmark::State& state, Chain kind)
{
    const int depth = int(state.range(0));
    THtmlStyleList list(false);
    BuildDefaults(list);
    ReadSheet(list, TypicalSheet);
    const u16v tag = kind == Chain::WithLinks ? u"a" : u"span";
    const u16v classes = kind == Chain::WithClass ? u"x" : u"";
    const u16v pseudo = kind == Chain::WithLinks ? u"link" : u"";
    for (auto _ : state) {
        THtmlPropStack stack;
        stack.Cascade = &list;
        auto root = std::make_unique<TProperties>(&stack, false);
        root->CopyAsDefault(*list.DefProp);
        stack.Add(std::move(root));
        for (int i = 0; i < depth; ++i)
            stack.PushElement(tag, classes, nullptr, u"", pseudo, u"");
        for (int i = 0; i < depth; ++i)
            stack.PopElement(tag);
        benchmark::DoNotOptimize(stack.Count());
    }
    state.counters["per_element"] =
        benchmark::Counter(depth, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(BM_NestedChain, plain, Chain::Plain)
    ->Arg(1000)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NestedChain, with_class, Chain::WithClass)
    ->Arg(1000)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NestedChain, with_links, Chain::WithLinks)
    ->Arg(1000)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

// `rules` rules with distinct selectors, as a generated reference sheet has them: classes, tags with classes,
// ids, and descendant selectors, two or three declarations each.
std::string GeneratedSheet(int rules)
{
    std::string css;
    for (int i = 0; i < rules; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 4) {
        case 0: css += ".c" + n + " { color: #123456; margin: 1px 2px }\n"; break;
        case 1: css += "h2.c" + n + " { font-size: 120%; font-weight: bold }\n"; break;
        case 2: css += "#id" + n + " { padding-left: 4px; background-color: #ffffee }\n"; break;
        default: css += "div.c" + n + " p { text-indent: 1em; border: 1px solid #ccc }\n"; break;
        }
    }
    return css;
}

void BM_LoadSheet(benchmark::State& state)
{
    const int rules = int(state.range(0));
    const std::string css = GeneratedSheet(rules);
    int keys = 0;
    for (auto _ : state) {
        THtmlStyleList list(false);
        BuildDefaults(list);
        ReadSheet(list, css);
        keys = list.Count();
        benchmark::DoNotOptimize(keys);
    }
    state.counters["keys"] = keys;
    state.counters["per_rule"] =
        benchmark::Counter(rules, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LoadSheet)->Arg(5000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lantern
