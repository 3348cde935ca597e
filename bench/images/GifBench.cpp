// Decoding and compositing GIF pictures with the engine's reader, beside the platform's own GIF reader reading
// every frame of the same bytes; and the document's picture fetch, cold (from files) and warm (cache hits).
//
// Pictures: the GIFs of the corpus help files (all stills together, each animation alone) and a few generated
// ones: a large still, a large interlaced still and a long animation with transparency and disposal.
#include "images/DocumentImage.h"
#include "images/GifImage.h"

#include "tests/support/Corpus.h"
#include "tests/support/GifWriter.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fstream>

using namespace lantern;
using namespace lantern::testsupport;

namespace {

struct Picture {
    std::string Name;
    Bytes Data;
};

Picture Still(const char* name, int width, int height, bool interlaced)
{
    GifPlan plan;
    plan.Width = width;
    plan.Height = height;
    plan.GlobalTable = DistinctPalette(256);
    GifFrame f;
    f.Width = width;
    f.Height = height;
    f.Interlaced = interlaced;
    f.Pixels = RunsOfIndices(std::size_t(width) * std::size_t(height), 256, 1, 40);
    plan.Frames = {f};
    return {name, GiflibGif(plan)};
}

// A spinner-like animation: a full first frame, then frames that redraw a moving square with transparent holes,
// every other one disposed to the background.
Picture LongAnimation()
{
    GifPlan plan;
    plan.Width = 320;
    plan.Height = 240;
    plan.Loop = 0;
    plan.GlobalTable = DistinctPalette(64);
    GifFrame first;
    first.Width = 320;
    first.Height = 240;
    first.Pixels = RunsOfIndices(320 * 240, 63, 2, 40);
    first.Transparent = 63;
    plan.Frames = {first};
    for (int i = 1; i < 40; ++i) {
        GifFrame f;
        f.Left = (i * 17) % 220;
        f.Top = (i * 11) % 140;
        f.Width = f.Height = 100;
        f.Pixels = RunsOfIndices(100 * 100, 64, unsigned(i) + 3, 40);
        f.Transparent = 63;
        f.Disposal = i % 2 ? 2 : 1;
        f.Delay = 4;
        plan.Frames.push_back(f);
    }
    return {"generated animation 320x240x40", GiflibGif(plan)};
}

const std::vector<Picture>& Generated()
{
    static const std::vector<Picture> pictures = {
        Still("generated still 1024x768", 1024, 768, false),
        Still("generated interlaced 1024x768", 1024, 768, true),
        LongAnimation(),
    };
    return pictures;
}

// The corpus GIFs: every animation alone, all stills as one set.
struct CorpusGifs {
    std::vector<Picture> Animations;
    std::vector<Picture> Stills;
};

const CorpusGifs& Corpus()
{
    static const CorpusGifs gifs = [] {
        CorpusGifs out;
        for (const std::string& name : CorpusChmNames()) {
            TUnpackedChm chm(name);
            for (const auto& file : chm.Files({".gif"})) {
                Picture p{file.filename().string(), ReadBytes(file)};
                try {
                    (LoadGifImage(p.Data)->Animated() ? out.Animations : out.Stills).push_back(std::move(p));
                } catch (const std::exception&) {
                }
            }
        }
        return out;
    }();
    return gifs;
}

void Engine(benchmark::State& state, const std::vector<const Picture*>& pictures)
{
    std::int64_t bytes = 0;
    for (auto _ : state)
        for (const Picture* p : pictures) {
            auto gif = LoadGifImage(p->Data);
            benchmark::DoNotOptimize(gif.get());
            bytes += std::int64_t(p->Data.size());
        }
    state.SetBytesProcessed(bytes);
}

// The platform reader, every frame (it composites each over the previous one as it goes).
void Platform(benchmark::State& state, const std::vector<const Picture*>& pictures)
{
    std::int64_t bytes = 0;
    for (auto _ : state)
        for (const Picture* p : pictures) {
            QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(p->Data.data()), qsizetype(p->Data.size()));
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, "gif");
            QImage frame;
            while (reader.read(&frame))
                benchmark::DoNotOptimize(frame.constBits());
            bytes += std::int64_t(p->Data.size());
        }
    state.SetBytesProcessed(bytes);
}

void RegisterPair(const std::string& name, std::vector<const Picture*> pictures)
{
    benchmark::RegisterBenchmark(("engine/" + name).c_str(), [pictures](benchmark::State& s) { Engine(s, pictures); });
    benchmark::RegisterBenchmark(("platform/" + name).c_str(), [pictures](benchmark::State& s) { Platform(s, pictures); });
}

// A page of 200 pictures (40 files, each named five times with different case and blanks): the first fetch
// decodes each file once, the ones after it hit the cache.
void BM_DocumentImages(benchmark::State& state, bool warm)
{
    QTemporaryDir dir;
    std::vector<u16> sources;
    for (int i = 0; i < 40; ++i) {
        const Bytes bytes = NoisyStillGif(64, 48, unsigned(i), i % 3 == 0);
        const std::string path = dir.path().toStdString() + "/pic" + std::to_string(i) + ".gif";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        for (int k = 0; k < 5; ++k)
            sources.push_back((k % 2 ? u" " : u"") + (k ? UpperUnits(FromUtf8(path)) : FromUtf8(path)));
    }
    const TImageHost host;
    TStringBitmapList cache;
    auto page = [&] {
        for (const u16& source : sources)
            benchmark::DoNotOptimize(GetDocumentImage(cache, host, source, TransparencyKind::None).Image);
    };
    if (warm)
        page();
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            cache.Clear();
            state.ResumeTiming();
        }
        page();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(sources.size()));
}

const bool registered = [] {
    const CorpusGifs& corpus = Corpus();
    std::vector<const Picture*> stills;
    for (const Picture& p : corpus.Stills)
        stills.push_back(&p);
    if (!stills.empty())
        RegisterPair("corpus stills (" + std::to_string(stills.size()) + " files)", stills);
    for (const Picture& p : corpus.Animations)
        RegisterPair("corpus animation " + p.Name, {&p});
    for (const Picture& p : Generated())
        RegisterPair(p.Name, {&p});
    benchmark::RegisterBenchmark("document images/200 cold", [](benchmark::State& s) { BM_DocumentImages(s, false); });
    benchmark::RegisterBenchmark("document images/200 warm", [](benchmark::State& s) { BM_DocumentImages(s, true); });
    return true;
}();

} // namespace
