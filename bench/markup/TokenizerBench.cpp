// Tokenizer throughput over the HTML pages of the help files in ../shared/corpus/chm (unpacked at run
// time), beside the cost of only decoding the same bytes, unit by unit and in one conversion.
#include "markup/Buffer.h"
#include "markup/Errors.h"
#include "markup/Tokenizer.h"

#include "tests/support/Corpus.h"
#include "tests/support/MetaCharset.h"

#include <benchmark/benchmark.h>


using namespace lantern;

namespace {

struct TCorpus {
    std::vector<std::vector<std::uint8_t>> Pages;
    std::int64_t Bytes = 0;

    TCorpus()
    {
        for (const auto& name : testsupport::CorpusChmNames()) {
            testsupport::TUnpackedChm chm(name);
            for (const auto& page : chm.Files({".htm", ".html"})) {
                Pages.push_back(testsupport::ReadBytes(page));
                Bytes += std::int64_t(Pages.back().size());
            }
        }
    }
};

const TCorpus& Corpus()
{
    static const TCorpus corpus;
    return corpus;
}

void BM_Tokenize(benchmark::State& state)
{
    const TCorpus& corpus = Corpus();
    if (corpus.Pages.empty()) {
        state.SkipWithError("no corpus");
        return;
    }
    std::int64_t symbols = 0;
    for (auto _ : state) {
        for (const auto& page : corpus.Pages) {
            auto b = TBuffer::CreateFromStream(page);
            THtmlTokenizer t(*b);
            try {
                t.AdvanceChar();
                for (t.NextSymbol(); t.Sy() != symEndOfFile; t.NextSymbol()) {
                    ++symbols;
                    if (t.Sy() == symMeta)
                        testsupport::FollowMetaCharset(t.Attributes(), *b);
                    else if (t.Sy() == symScript || t.Sy() == symStyle) {
                        // Content readers as the builder drives them.
                        t.RawMode = true;
                        t.AdvanceChar();
                        do
                            t.ReadScriptSymbol();
                        while (t.Sy() != symEndScript && t.Sy() != symEndOfFile && t.Token().AsString().find(u"</") != 0);
                        t.RawMode = false;
                    }
                }
            } catch (const EParseError&) {
            }
        }
    }
    state.SetBytesProcessed(state.iterations() * corpus.Bytes);
    state.counters["pages"] = double(corpus.Pages.size());
    state.counters["symbols/iter"] = double(symbols) / double(state.iterations());
}
BENCHMARK(BM_Tokenize)->Unit(benchmark::kMillisecond);

// The raw decoding cost: every unit through TakeChar, no tokenizing. Pages keep the code page they
// were detected with, so this is the floor under BM_Tokenize's per-character reading.
void BM_DecodeUnitByUnit(benchmark::State& state)
{
    const TCorpus& corpus = Corpus();
    if (corpus.Pages.empty()) {
        state.SkipWithError("no corpus");
        return;
    }
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (const auto& page : corpus.Pages) {
            auto b = TBuffer::CreateFromStream(page);
            while (!b->AtEnd())
                sum += b->TakeChar();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * corpus.Bytes);
}
BENCHMARK(BM_DecodeUnitByUnit)->Unit(benchmark::kMillisecond);

// One conversion per page, as the viewer does to give out the whole document text.
void BM_DecodeReadToEnd(benchmark::State& state)
{
    const TCorpus& corpus = Corpus();
    if (corpus.Pages.empty()) {
        state.SkipWithError("no corpus");
        return;
    }
    for (auto _ : state) {
        std::size_t units = 0;
        for (const auto& page : corpus.Pages) {
            auto b = TBuffer::CreateFromStream(page);
            units += b->ReadToEnd().size();
        }
        benchmark::DoNotOptimize(units);
    }
    state.SetBytesProcessed(state.iterations() * corpus.Bytes);
}
BENCHMARK(BM_DecodeReadToEnd)->Unit(benchmark::kMillisecond);

} // namespace
