// A page rendered off screen by a viewer control set up as the window sets up its own: the control loads, parses
// and lays out the page exactly as it does on screen, and its page paint draws the document band by band.
#pragma once

#include "tools/render/RenderInput.h"

#include <QImage>

#include <chrono>
#include <memory>

namespace lantern {

class THtmlViewer;

// Wall-clock and process CPU time of one phase, in milliseconds.
struct TPhaseTime {
    double WallMs = 0;
    double CpuMs = 0;
};

class TPhaseClock {
public:
    TPhaseClock();
    // The time since construction or the last Lap, and a new start.
    TPhaseTime Lap();

private:
    std::chrono::steady_clock::time_point FWall;
    double FCpu;
};

struct TLoadTimes {
    TPhaseTime Parse;
    TPhaseTime Layout;
};

class TPageRenderer {
public:
    // Lays pages out at `width` pixels with 1 CSS pixel = 1 pixel, Times New Roman 16 px and Courier New.
    explicit TPageRenderer(int width);
    ~TPageRenderer();

    TLoadTimes Load(const TRenderInput& input);
    // The laid-out extent: at least the width asked for, wider when the content overflows.
    int Width() const;
    int Height() const;
    // Paints the band of the page from `top` into `band`, which is as wide as Width().
    void PaintBand(QImage& band, int top);
    // The whole page top to bottom, at most maxHeight high.
    QImage PaintWhole(int maxHeight);

private:
    std::unique_ptr<THtmlViewer> FViewer;
    int FWidth;
};

} // namespace lantern
