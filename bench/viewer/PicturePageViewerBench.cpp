// The page of 200 pictures opened in the viewer as the window opens a page (read, built, laid out, one screen
// of 842 x 530 painted): cold, after the view was cleared with its image cache, so every picture file is decoded,
// and warm, the same page opened again so every picture comes from the cache.
#include "bench/support/PicturePage.h"
#include "layout/Document.h"
#include "viewer/HtmlViewer.h"
#include "viewer/PaintPanel.h"

#include <QApplication>
#include <QStyle>
#include <benchmark/benchmark.h>

using namespace lantern;

namespace {

constexpr int ScreenW = 842;
constexpr int ScreenH = 530;

void BM_PicturePageInViewer(benchmark::State& state, bool warm)
{
    const benchsupport::TPicturePage& page = benchsupport::PicturePage();
    const u16 file = page.File.toStdU16String();
    THtmlViewer viewer;
    viewer.SetBorderStyle(THTMLBorderStyle::htNone);
    viewer.resize(ScreenW + viewer.style()->pixelMetric(QStyle::PM_ScrollBarExtent), ScreenH);
    viewer.show();
    viewer.ShowFile(file, DocType::dtHtml);
    QApplication::processEvents();
    if (viewer.Document().ImageCache.Count() != 40) {
        state.SkipWithError("the viewer built no page with pictures");
        return;
    }
    for (auto _ : state) {
        if (!warm)
            viewer.ClearView(); // the page and the image cache go
        viewer.ShowFile(file, DocType::dtHtml);
        viewer.PaintPanel().repaint();
    }
    state.SetItemsProcessed(state.iterations() * 200);
    state.counters["docHeight"] = viewer.DocHeight();
}

const bool registered = [] {
    benchmark::RegisterBenchmark("viewer/200 pictures cold", [](benchmark::State& s) { BM_PicturePageInViewer(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("viewer/200 pictures warm", [](benchmark::State& s) { BM_PicturePageInViewer(s, true); })
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
