// Text measurement is the hot path of every layout. These benchmarks measure every word of the largest page of a
// real help file with the engine's canvas, and the same words with the framework's own font metrics for scale.
// The help files are unpacked at run time from the corpus beside the repository; without it they are skipped.
#include "platform/Canvas.h"

#include "tests/support/Corpus.h"

#include <QFont>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QStringDecoder>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace lantern;
using namespace lantern::platform;

namespace {

struct Page {
    std::vector<u16> words;
    QStringList qwords;
    std::size_t units = 0;
};

// Crude text extraction: drop tags, scripts and styles, turn a few entities into characters, split at blanks.
QString VisibleText(const QString& html)
{
    QString out;
    out.reserve(html.size());
    const QString lower = html.toLower();
    qsizetype i = 0;
    while (i < html.size()) {
        if (html[i] == u'<') {
            for (const char* skip : {"<script", "<style"}) {
                if (lower.mid(i, qsizetype(strlen(skip))) == QLatin1String(skip)) {
                    QString close = QStringLiteral("</") + QLatin1String(skip + 1);
                    qsizetype end = lower.indexOf(close, i);
                    i = end < 0 ? html.size() : end;
                }
            }
            qsizetype end = html.indexOf(u'>', i);
            i = end < 0 ? html.size() : end + 1;
            out += u' ';
            continue;
        }
        out += html[i++];
    }
    out.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    out.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return out;
}

const Page* LoadPage(const std::string& chmName, const char* encoding)
{
    static std::map<std::string, std::unique_ptr<Page>> pages;
    auto it = pages.find(chmName);
    if (it != pages.end())
        return it->second.get();
    pages[chmName] = nullptr;

    testsupport::TUnpackedChm chm(chmName);
    const auto largest = chm.Largest({".htm", ".html"});
    if (largest.empty())
        return nullptr;
    const auto raw = testsupport::ReadBytes(largest);
    QByteArray bytes(reinterpret_cast<const char*>(raw.data()), qsizetype(raw.size()));
    QStringDecoder decoder(encoding);
    QString html = decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);

    auto page = std::make_unique<Page>();
    for (const QString& w : VisibleText(html).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        page->qwords << w;
        page->words.emplace_back(reinterpret_cast<const char16_t*>(w.constData()), static_cast<std::size_t>(w.size()));
        page->units += static_cast<std::size_t>(w.size());
    }
    pages[chmName] = std::move(page);
    return pages[chmName].get();
}

LogFont BodyFont()
{
    LogFont d;
    d.Face = u"Times New Roman";
    d.Height = -16;
    return d;
}

void Report(benchmark::State& state, const Page& page)
{
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * page.words.size()));
    state.counters["words"] = static_cast<double>(page.words.size());
    state.counters["units"] = static_cast<double>(page.units);
}

void BM_CanvasTextWidth(benchmark::State& state, const std::string& chm, const char* encoding)
{
    const Page* page = LoadPage(chm, encoding);
    if (!page) {
        state.SkipWithError("corpus help file not available");
        return;
    }
    Canvas canvas;
    canvas.SelectFont(FontService::Instance().GetFont(BodyFont()));
    for (auto _ : state) {
        long long total = 0;
        for (const u16& w : page->words)
            total += canvas.TextWidth(w);
        benchmark::DoNotOptimize(total);
    }
    Report(state, *page);
}

void BM_QFontMetricsHorizontalAdvance(benchmark::State& state, const std::string& chm, const char* encoding)
{
    const Page* page = LoadPage(chm, encoding);
    if (!page) {
        state.SkipWithError("corpus help file not available");
        return;
    }
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(16);
    QFontMetrics metrics(font);
    for (auto _ : state) {
        long long total = 0;
        for (const QString& w : page->qwords)
            total += metrics.horizontalAdvance(w);
        benchmark::DoNotOptimize(total);
    }
    Report(state, *page);
}

// Fit counts of every word at half its width: the question line breaking asks most often.
void BM_CanvasFitCount(benchmark::State& state, const std::string& chm, const char* encoding)
{
    const Page* page = LoadPage(chm, encoding);
    if (!page) {
        state.SkipWithError("corpus help file not available");
        return;
    }
    Canvas canvas;
    canvas.SelectFont(FontService::Instance().GetFont(BodyFont()));
    std::vector<int> half;
    for (const u16& w : page->words)
        half.push_back(canvas.TextWidth(w) / 2);
    for (auto _ : state) {
        long long total = 0;
        for (std::size_t i = 0; i < page->words.size(); ++i)
            total += canvas.FitCount(page->words[i], half[i]);
        benchmark::DoNotOptimize(total);
    }
    Report(state, *page);
}

} // namespace

BENCHMARK_CAPTURE(BM_CanvasTextWidth, latin, std::string("en-sandcastle-apps-test-api.chm"), "UTF-8");
BENCHMARK_CAPTURE(BM_QFontMetricsHorizontalAdvance, latin, std::string("en-sandcastle-apps-test-api.chm"), "UTF-8");
BENCHMARK_CAPTURE(BM_CanvasFitCount, latin, std::string("en-sandcastle-apps-test-api.chm"), "UTF-8");
BENCHMARK_CAPTURE(BM_CanvasTextWidth, chinese, std::string("zh-gbk-css-handbook-2018.chm"), "GBK");
BENCHMARK_CAPTURE(BM_QFontMetricsHorizontalAdvance, chinese, std::string("zh-gbk-css-handbook-2018.chm"), "GBK");
BENCHMARK_CAPTURE(BM_CanvasFitCount, chinese, std::string("zh-gbk-css-handbook-2018.chm"), "GBK");
