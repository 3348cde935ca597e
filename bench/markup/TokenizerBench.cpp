// Tokenizer throughput over the HTML pages of the help files in ../shared/corpus/chm (unpacked at run
// time), beside the cost of only decoding the same bytes, unit by unit and in one conversion.
#include "markup/Buffer.h"
#include "markup/Errors.h"
#include "markup/Tokenizer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace lantern;
namespace fs = std::filesystem;

namespace {

struct TCorpus {
    std::vector<std::vector<std::uint8_t>> Pages;
    std::int64_t Bytes = 0;
    fs::path Folder;

    TCorpus()
    {
        const fs::path chms = fs::path(LANTERN_SOURCE_DIR) / ".." / "shared" / "corpus" / "chm";
        const char* sevenZip = "/usr/lib/p7zip/7z";
        if (!fs::is_directory(chms) || !fs::exists(sevenZip))
            return;
        Folder = fs::temp_directory_path() / ("lantern-bench-markup-" + std::to_string(::getpid()));
        int n = 0;
        for (const auto& chm : fs::directory_iterator(chms)) {
            if (chm.path().extension() != ".chm")
                continue;
            const fs::path out = Folder / std::to_string(n++);
            const std::string cmd = std::string(sevenZip) + " x -y -tChm -o\"" + out.string() + "\" \"" +
                                    chm.path().string() + "\" > /dev/null 2>&1";
            if (std::system(cmd.c_str()) != 0)
                continue;
        }
        for (const auto& f : fs::recursive_directory_iterator(Folder)) {
            const auto ext = f.path().extension().string();
            if (!f.is_regular_file() || (ext != ".htm" && ext != ".html" && ext != ".HTM" && ext != ".HTML"))
                continue;
            std::ifstream in(f.path(), std::ios::binary);
            Pages.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            Bytes += std::int64_t(Pages.back().size());
        }
    }
    ~TCorpus()
    {
        std::error_code ec;
        if (!Folder.empty())
            fs::remove_all(Folder, ec);
    }
};

const TCorpus& Corpus()
{
    static const TCorpus corpus;
    return corpus;
}

// What the builder does with a META charset, so pages decode with the code page they declare.
void FollowMetaCharset(THtmlTokenizer& t, TBuffer& b)
{
    const TAttribute* a = t.Attributes().Find(symCharset);
    u16 name;
    if (a)
        name = a->Value;
    else if (const TAttribute* content = t.Attributes().Find(symContent)) {
        auto at = LowerAscii(content->Value).find(u"charset=");
        if (at == u16::npos)
            return;
        name = content->Value.substr(at + 8);
    }
    if (const TBuffCharSetCodePageInfo* row = FindCharSetInfo(name)) {
        b.SetCharSet(row->CharSet);
        b.SetCodePage(row->CodePage);
    }
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
                        FollowMetaCharset(t, *b);
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
