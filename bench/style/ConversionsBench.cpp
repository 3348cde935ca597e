// Colour text and lengths: runs of one colour (answered from the colour memory) against changing colours.
#include "style/ColorParser.h"
#include "style/Lengths.h"

#include <benchmark/benchmark.h>

namespace lantern {
namespace {

void BM_ParseColorRepeated(benchmark::State& state)
{
    Color c = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ParseColor(u"#336699", false, c));
}
BENCHMARK(BM_ParseColorRepeated);

void BM_ParseColorChanging(benchmark::State& state)
{
    const u16v texts[] = {u"#336699", u"navy", u"rgb(10, 20, 30)", u"lightgoldenrodyellow", u"hsl(120, 50%, 50%)"};
    Color c = 0;
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ParseColor(texts[i++ % 5], false, c));
}
BENCHMARK(BM_ParseColorChanging);

void BM_ConvertLength(benchmark::State& state)
{
    const u16v texts[] = {u"12px", u"1.5em", u"50%", u"10pt", u"auto"};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ConvertLength(texts[i++ % 5], false, 400, 0, 8, 16));
}
BENCHMARK(BM_ConvertLength);

} // namespace
} // namespace lantern
