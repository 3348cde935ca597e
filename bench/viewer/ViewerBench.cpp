// The viewer window's paint and scroll costs: one screen (842 x 530) painted at the top, middle and bottom of
// the 5 MB stress page of paragraphs, a one-line scroll (the pixels moved and the uncovered strip painted), and
// the re-layout a resize of the window costs on a typical corpus page.
//
// The pages come from the benchmark corpus that make-corpus.sh builds; CORPUS names its folder. They are opened
// as the window opens a page: read, built and laid out by the viewer.
#include "layout/Document.h"
#include "viewer/HtmlViewer.h"
#include "viewer/PaintPanel.h"

#include <QApplication>
#include <QStyle>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

using namespace lantern;

namespace {

constexpr int ScreenW = 842;
constexpr int ScreenH = 530;

std::filesystem::path CorpusPage(const char* relative)
{
    const char* corpus = std::getenv("CORPUS");
    return corpus ? std::filesystem::path(corpus) / relative : std::filesystem::path();
}

// A shown viewer, set up as the window sets it up, whose paint surface is one screen beside the vertical bar.
class TViewerPage {
public:
    explicit TViewerPage(const char* relative)
    {
        const std::filesystem::path file = CorpusPage(relative);
        if (file.empty() || !std::filesystem::exists(file))
            return;
        Viewer.SetBorderStyle(THTMLBorderStyle::htNone);
        Viewer.SetDefBackground(clWindow);
        Viewer.SetDefFontColor(clWindowText);
        Viewer.resize(ScreenW + Viewer.style()->pixelMetric(QStyle::PM_ScrollBarExtent), ScreenH);
        Viewer.show();
        Viewer.ShowFile(FromUtf8(file.string()), DocType::dtHtml);
        QApplication::processEvents();
        Ok = Viewer.DocHeight() > 0;
    }

    bool Ok = false;
    THtmlViewer Viewer;
};

TViewerPage& StressPage()
{
    static TViewerPage page("stress/stress-paragraphs-5mb.html");
    return page;
}

bool Skip(benchmark::State& state, const TViewerPage& page)
{
    if (page.Ok)
        return false;
    state.SkipWithError("the page did not open: CORPUS names the folder make-corpus.sh built");
    return true;
}

// range(0): where the screen is, in per mille of the last screenful.
void BM_PaintScreen(benchmark::State& state)
{
    TViewerPage& page = StressPage();
    if (Skip(state, page))
        return;
    THtmlViewer& viewer = page.Viewer;
    viewer.VScrollTo(static_cast<int>(static_cast<long long>(viewer.DocHeight() - ScreenH) * state.range(0) / 1000));
    QApplication::processEvents();
    TPaintPanel& surface = viewer.PaintPanel();
    for (auto _ : state)
        surface.repaint();
    state.counters["docHeight"] = viewer.DocHeight();
    state.counters["surfaceW"] = surface.width();
    state.counters["surfaceH"] = surface.height();
}
BENCHMARK(BM_PaintScreen)->Arg(0)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

// A line down and a line up in turn, in the middle of the page: each moves the pixels and paints a 16-pixel strip.
void BM_ScrollOneLine(benchmark::State& state)
{
    TViewerPage& page = StressPage();
    if (Skip(state, page))
        return;
    THtmlViewer& viewer = page.Viewer;
    viewer.VScrollTo(viewer.DocHeight() / 2);
    QApplication::processEvents();
    bool down = true;
    for (auto _ : state) {
        viewer.KeyDown(down ? Qt::Key_Down : Qt::Key_Up, Qt::NoModifier);
        down = !down;
    }
    QApplication::processEvents();
}
BENCHMARK(BM_ScrollOneLine)->Unit(benchmark::kMicrosecond);

// The window made narrower and wider in turn: each size change lays the page out again at the new width.
void BM_ResizeRelayout(benchmark::State& state)
{
    static TViewerPage page("python3.11/library/http.html");
    if (Skip(state, page))
        return;
    THtmlViewer& viewer = page.Viewer;
    const int wide = viewer.width();
    bool narrow = true;
    for (auto _ : state) {
        viewer.resize(narrow ? wide - 160 : wide, ScreenH);
        narrow = !narrow;
    }
    state.counters["chars"] = viewer.Document().CharCount;
    state.counters["docHeight"] = viewer.DocHeight();
}
BENCHMARK(BM_ResizeRelayout)->Unit(benchmark::kMillisecond);

} // namespace
