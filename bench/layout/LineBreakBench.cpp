// Line breaking and width measuring of real prose: the text of the largest page of a corpus help file, laid out
// as one section and as one section per paragraph at widths 800 and 400, and the same paragraphs repeated to 5 MB
// (the stress page of paragraphs). Characters per second count the text laid out in each pass.
#include "tests/layout/LayoutFixture.h"
#include "tests/support/Corpus.h"
#include "tests/support/PageText.h"

#include <benchmark/benchmark.h>

using namespace lantern;
using namespace lantern::testlayout;

namespace {

constexpr const char* CorpusFile = "en-sandcastle-apps-test-api.chm";

const std::vector<u16>& PageText()
{
    static const std::vector<u16> paragraphs = [] {
        testsupport::TUnpackedChm chm(CorpusFile);
        return chm.Ok() ? testsupport::PageParagraphs(testsupport::ReadBytes(chm.Largest({".htm", ".html"})))
                        : std::vector<u16>{};
    }();
    return paragraphs;
}

enum class Shape { OneSection, PerParagraph, FiveMegabytes };

std::unique_ptr<TestPage> BuildPage(Shape shape)
{
    auto page = std::make_unique<TestPage>(RealFont(u"Times New Roman", 16));
    const auto& paragraphs = PageText();
    if (shape == Shape::OneSection) {
        u16 all;
        for (const u16& p : paragraphs)
            all += p + u" ";
        page->Add(all);
    } else {
        const std::size_t target = shape == Shape::FiveMegabytes ? 5u << 20 : 0;
        std::size_t chars = 0;
        do
            for (const u16& p : paragraphs) {
                page->Add(p);
                chars += p.size();
            }
        while (chars < target);
    }
    return page;
}

void Layout(benchmark::State& state, Shape shape)
{
    if (PageText().empty()) {
        state.SkipWithError("corpus or extractor missing");
        return;
    }
    auto page = BuildPage(shape);
    const int width = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(page->Layout(width));
    state.SetItemsProcessed(state.iterations() * page->Doc.CharCount);
    state.counters["chars"] = page->Doc.CharCount;
    state.counters["height"] = page->Height;
}

void BM_LayoutOneSection(benchmark::State& state) { Layout(state, Shape::OneSection); }
void BM_LayoutPerParagraph(benchmark::State& state) { Layout(state, Shape::PerParagraph); }
void BM_LayoutFiveMegabytesOfParagraphs(benchmark::State& state) { Layout(state, Shape::FiveMegabytes); }

void MeasureWidths(benchmark::State& state, Shape shape)
{
    if (PageText().empty()) {
        state.SkipWithError("corpus or extractor missing");
        return;
    }
    auto page = BuildPage(shape);
    for (auto _ : state) {
        int widest = 0;
        for (int i = 0; i < page->Doc.Count(); ++i) {
            auto& s = static_cast<TSection&>(page->Doc[i]);
            s.MinWidthCache = 0; // measure, not read the cache
            int mn = 0, mx = 0;
            s.MeasureWidths(page->Canvas, mn, mx);
            widest = std::max(widest, mx);
        }
        benchmark::DoNotOptimize(widest);
    }
    std::int64_t chars = 0;
    for (int i = 0; i < page->Doc.Count(); ++i)
        chars += page->Doc[i].CharCount;
    state.SetItemsProcessed(state.iterations() * chars);
}

void BM_MeasureWidthsOneSection(benchmark::State& state) { MeasureWidths(state, Shape::OneSection); }
void BM_MeasureWidthsPerParagraph(benchmark::State& state) { MeasureWidths(state, Shape::PerParagraph); }

} // namespace

BENCHMARK(BM_LayoutOneSection)->Arg(800)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutPerParagraph)->Arg(800)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutFiveMegabytesOfParagraphs)->Arg(800)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureWidthsOneSection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureWidthsPerParagraph)->Unit(benchmark::kMillisecond);
