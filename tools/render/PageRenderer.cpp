#include "tools/render/PageRenderer.h"

#include "common/Colors.h"
#include "layout/Document.h"
#include "platform/Canvas.h"
#include "viewer/HtmlViewer.h"

#include <QPainter>

#include <algorithm>
#include <ctime>

namespace lantern {

namespace {

double ProcessCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Bands stay well inside the extent the painting code clips boxes to.
constexpr int BandHeight = 4096;

u16 ToU16(const QString& s) { return s.toStdU16String(); }

} // namespace

TPhaseClock::TPhaseClock() : FWall(std::chrono::steady_clock::now()), FCpu(ProcessCpuMs()) {}

TPhaseTime TPhaseClock::Lap()
{
    const auto wall = std::chrono::steady_clock::now();
    const double cpu = ProcessCpuMs();
    const TPhaseTime time{std::chrono::duration<double, std::milli>(wall - FWall).count(), cpu - FCpu};
    FWall = wall;
    FCpu = cpu;
    return time;
}

TPageRenderer::TPageRenderer(int width) : FViewer(std::make_unique<THtmlViewer>()), FWidth(width)
{
    // As the window sets its viewer up, without the frame and the bars: the page gets the whole width.
    THtmlViewer& v = *FViewer;
    v.SetBorderStyle(THTMLBorderStyle::htNone);
    v.SetScrollBars(TScrollStyle::ssNone);
    v.SetDefBackground(clWindow);
    v.SetDefFontColor(clWindowText);
    v.SetDefFontName(u"Times New Roman");
    v.SetDefFontSize(12); // points: 16 pixels
    v.SetDefPreFontName(u"Courier New");
    v.resize(width, 600);
}

TPageRenderer::~TPageRenderer() = default;

TLoadTimes TPageRenderer::Load(const TRenderInput& input)
{
    THtmlViewer& v = *FViewer;
    TLoadTimes times;
    TPhaseClock clock;
    v.OnParseBegin = [&](THtmlViewer&, std::unique_ptr<TBuffer>&) { clock.Lap(); };
    v.OnParseEnd = [&](THtmlViewer&) { times.Parse = clock.Lap(); };
    v.SetCharSet(input.CharSet);
    if (input.PagePath.isEmpty()) {
        v.ShowString(ToU16(input.IndexPage), u"", DocType::dtHtml);
    } else {
        const u16 path = ToU16(input.PagePath);
        const DocType kind = DocTypeOfName(path) == DocType::dtText ? DocType::dtText : DocType::dtHtml;
        v.ShowFile(path, kind);
    }
    times.Layout = clock.Lap();
    v.OnParseBegin = nullptr;
    v.OnParseEnd = nullptr;
    return times;
}

int TPageRenderer::Width() const { return std::max(FWidth, FViewer->DocWidth()); }

int TPageRenderer::Height() const { return FViewer->DocHeight(); }

void TPageRenderer::PaintBand(QImage& band, int top)
{
    platform::PaintCanvas canvas(band);
    FViewer->Document().SetViewTop(top);
    FViewer->PaintPage(canvas, Rect{0, 0, band.width(), band.height()});
}

QImage TPageRenderer::PaintWhole(int maxHeight)
{
    const int height = std::clamp(Height(), 1, maxHeight);
    QImage whole(Width(), height, QImage::Format_RGB32);
    QImage band(Width(), std::min(height, BandHeight), QImage::Format_RGB32);
    QPainter painter(&whole);
    for (int top = 0; top < height; top += band.height()) {
        PaintBand(band, top);
        painter.drawImage(0, top, band);
    }
    return whole;
}

} // namespace lantern
