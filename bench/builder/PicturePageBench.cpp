// A page of 200 pictures built, laid out and painted whole, as a viewer shows it: cold (a new document, so every
// picture file is decoded) and warm (the same document showing the page again, so every picture is a cache hit).
// The pictures are 40 files, PNG, JPEG and GIF, each named five ways (letter case, blanks), in paragraphs of text
// with some of them floating.
#include "builder/Parser.h"
#include "layout/Document.h"
#include "markup/Buffer.h"
#include "platform/Canvas.h"
#include "style/Lengths.h"
#include "style/StyleList.h"
#include "tests/support/GifWriter.h"

#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

using namespace lantern;
using namespace lantern::testsupport;

namespace {

constexpr int Width = 800;

struct TPicturePage {
    QTemporaryDir Folder;
    std::string Html;
};

void WritePictures(const QTemporaryDir& folder, std::vector<std::string>& names)
{
    for (int i = 0; i < 40; ++i) {
        std::string name = "pic" + std::to_string(i);
        if (i < 30) {
            QImage image(96, 64, QImage::Format_RGB32);
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 96; ++x)
                    image.setPixel(x, y, qRgb((x * 7 + i * 30) & 255, (y * 5 + i * 11) & 255, (x * y + i) & 255));
            name += i < 20 ? ".png" : ".jpg";
            image.save(folder.filePath(QString::fromStdString(name)));
        } else {
            const Bytes bytes = NoisyStillGif(64, 48, unsigned(i), i % 2 == 1);
            name += ".gif";
            std::ofstream(folder.filePath(QString::fromStdString(name)).toStdString(), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        }
        names.push_back(name);
    }
}

const TPicturePage& Page()
{
    static const TPicturePage page = [] {
        TPicturePage built;
        std::vector<std::string> names;
        WritePictures(built.Folder, names);
        std::string html = "<html><body><h1>Pictures</h1>";
        for (int i = 0; i < 200; ++i) {
            if (i % 5 == 0)
                html += "<p>A paragraph of text that wraps around and between the pictures standing in it; ";
            std::string name = names[std::size_t(i % 40)];
            const int way = i / 40;
            if (way % 2)
                for (char& c : name)
                    c = char(std::toupper(static_cast<unsigned char>(c)));
            const std::string src = way >= 3 ? " " + name + " " : name;
            html += "<img src=\"" + src + "\"" + (i % 10 == 3 ? " align=left" : "") + " alt=\"picture\"> words ";
            if (i % 5 == 4)
                html += "and the end of the paragraph.</p>";
        }
        built.Html = html + "</body></html>";
        return built;
    }();
    return page;
}

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
    const TPicturePage& page = Page();
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
