// lantern-render: a page or a help file rendered headless to one PNG, or timed page by page.
//
//   lantern-render [--width N] [--out page.png] [--timings] FILE.html|FILE.chm[:inner/page.htm]
//   lantern-render --bench [-w WIDTH] [-n RUNS] [-b BUDGET_S] [-t TILE_PX] PAGE...
//
// The bench prints one tab-separated line per page: PAGE parse_ms layout_ms paint_ms height_px runs parse_cpu
// layout_cpu paint_cpu, medians over the runs, wall-clock first, then process CPU.
#include "tools/render/PageRenderer.h"
#include "tools/render/RenderInput.h"

#include <QApplication>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace lantern {
namespace {

constexpr int BadInput = 2;
constexpr int Failure = 1;
// Taller pages are cut: a picture of this height is already far more than anyone looks at.
constexpr int MaxPictureHeight = 100000;

struct TRenderOptions {
    int Width = 800;
    QString Out;
    bool Timings = false;
    QString Input;
};

struct TBenchOptions {
    int Width = 800;
    int Runs = 5;
    double BudgetS = 20;
    int TileHeight = 8192;
    std::vector<QString> Pages;
};

[[noreturn]] void Usage(const char* problem)
{
    std::fprintf(stderr,
                 "lantern-render: %s\n"
                 "usage: lantern-render [--width N] [--out page.png] [--timings] FILE.html|FILE.chm[:inner/page.htm]\n"
                 "       lantern-render --bench [-w WIDTH] [-n RUNS] [-b BUDGET_S] [-t TILE_PX] PAGE...\n",
                 problem);
    std::exit(BadInput);
}

int NumberArgument(const std::vector<std::string>& args, std::size_t& i, int least)
{
    if (i + 1 >= args.size())
        Usage(("a number must follow " + args[i]).c_str());
    char* end = nullptr;
    const long value = std::strtol(args[++i].c_str(), &end, 10);
    if (*end != 0 || value < least || value > 1000000)
        Usage(("not a usable number: " + args[i]).c_str());
    return int(value);
}

TRenderOptions ParseRenderOptions(const std::vector<std::string>& args)
{
    TRenderOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--width")
            o.Width = NumberArgument(args, i, 1);
        else if (a == "--out") {
            if (i + 1 >= args.size())
                Usage("a file name must follow --out");
            o.Out = QString::fromLocal8Bit(args[++i]);
        } else if (a == "--timings")
            o.Timings = true;
        else if (a.starts_with("--") || !o.Input.isEmpty())
            Usage(("unexpected argument: " + a).c_str());
        else
            o.Input = QString::fromLocal8Bit(a);
    }
    if (o.Input.isEmpty())
        Usage("no page given");
    if (o.Out.isEmpty())
        o.Out = QFileInfo(o.Input.section(u':', 0, 0)).completeBaseName() + QStringLiteral(".png");
    return o;
}

TBenchOptions ParseBenchOptions(const std::vector<std::string>& args)
{
    TBenchOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-w")
            o.Width = NumberArgument(args, i, 1);
        else if (a == "-n")
            o.Runs = NumberArgument(args, i, 1);
        else if (a == "-b")
            o.BudgetS = NumberArgument(args, i, 0);
        else if (a == "-t")
            o.TileHeight = std::max(64, NumberArgument(args, i, 1));
        else
            o.Pages.push_back(QString::fromLocal8Bit(a));
    }
    return o;
}

int Render(const TRenderOptions& o)
{
    const TRenderInput input(o.Input);
    TPageRenderer renderer(o.Width);
    const TLoadTimes load = renderer.Load(input);
    TPhaseClock clock;
    const QImage picture = renderer.PaintWhole(MaxPictureHeight);
    const TPhaseTime paint = clock.Lap();
    if (renderer.Height() > MaxPictureHeight)
        std::fprintf(stderr, "lantern-render: the page is %d pixels high; the picture shows its first %d\n",
                     renderer.Height(), MaxPictureHeight);
    if (!picture.save(o.Out, "PNG")) {
        std::fprintf(stderr, "lantern-render: cannot write %s\n", o.Out.toLocal8Bit().constData());
        return Failure;
    }
    if (o.Timings)
        std::printf("parse %.1f ms, layout %.1f ms, paint %.1f ms (%d x %d)\n", load.Parse.WallMs, load.Layout.WallMs,
                    paint.WallMs, picture.width(), renderer.Height());
    return 0;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? -1 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The protocol the reference engines follow, so the three run side by side.
int Bench(const TBenchOptions& o)
{
    std::printf("# engine=lantern width=%d runs=%d\n", o.Width, o.Runs);
    TPageRenderer renderer(o.Width);
    // As wide as the layout, whatever overflows it: the picture of a screen of the page.
    QImage tile(o.Width, o.TileHeight, QImage::Format_RGB32);
    for (const QString& page : o.Pages) {
        const TRenderInput input(page);
        enum { Parse, Layout, Paint, Phases };
        std::vector<double> wall[Phases], cpu[Phases];
        double spent = 0;
        while (wall[Parse].size() < std::size_t(o.Runs) && (wall[Parse].size() < 3 || spent < o.BudgetS * 1e3)) {
            const TLoadTimes load = renderer.Load(input);
            TPhaseClock clock;
            for (int top = 0; top < renderer.Height(); top += o.TileHeight)
                renderer.PaintBand(tile, top);
            const TPhaseTime paint = clock.Lap();
            for (auto [phase, time] : {std::pair{Parse, load.Parse}, {Layout, load.Layout}, {Paint, paint}}) {
                wall[phase].push_back(time.WallMs);
                cpu[phase].push_back(time.CpuMs);
                spent += time.WallMs;
            }
        }
        std::printf("%s\t%.3f\t%.3f\t%.3f\t%d\t%zu\t%.3f\t%.3f\t%.3f\n", page.toLocal8Bit().constData(),
                    Median(wall[Parse]), Median(wall[Layout]), Median(wall[Paint]), renderer.Height(),
                    wall[Parse].size(), Median(cpu[Parse]), Median(cpu[Layout]), Median(cpu[Paint]));
        std::fflush(stdout);
    }
    return 0;
}

} // namespace
} // namespace lantern

// The platform's own notices (no runtime folder, font set-up) are not the user's business: what goes wrong with
// the input is said in one line of the renderer's own.
static void QuietPlatformNotices(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "lantern-render: %s\n", message.toLocal8Bit().constData());
}

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool bench = !args.empty() && args.front() == "--bench";
    if (bench)
        args.erase(args.begin());
    qInstallMessageHandler(QuietPlatformNotices);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    try {
        return bench ? lantern::Bench(lantern::ParseBenchOptions(args))
                     : lantern::Render(lantern::ParseRenderOptions(args));
    } catch (const std::exception& e) {
        // Bad input of every kind: no such file, a page the viewer cannot read, no help file.
        std::fprintf(stderr, "lantern-render: %s\n", e.what());
        return lantern::BadInput;
    }
}
