// The viewer control's layout driving, scrolling and painting: the room the document is laid out in, the bars,
// the scroll positions, and the page painted into the surface.
#include "viewer/HtmlViewer.h"

#include "viewer/PaintPanel.h"

#include <QFrame>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

namespace lantern {

namespace {

QColor ToQColor(Color c)
{
    Color rgb = ColorToRGB(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

} // namespace

// ---- Scrolling

THtmlViewer::TGeometry THtmlViewer::ComputeGeometry(int W, int H) const
{
    TGeometry g;
    if (FBorderStyle != THTMLBorderStyle::htNone) {
        g.Frame = FFramePanel->width() - FFramePanel->contentsRect().width();
        g.Offset = g.Frame / 2;
    }
    g.ClientW = width() - g.Frame;
    g.ClientH = height() - g.Frame;
    const bool forceV = FHtOptions.Has(THtmlViewerOption::htShowVScroll);
    switch (FScrollBars) {
    case TScrollStyle::ssNone:
        break;
    case TScrollStyle::ssHorizontal:
        g.ShowH = g.ClientW < W;
        if (g.ShowH)
            g.ClientH -= FScrollBarWidth;
        break;
    case TScrollStyle::ssVertical:
        g.ShowV = forceV || g.ClientH < H;
        if (g.ShowV)
            g.ClientW -= FScrollBarWidth;
        break;
    case TScrollStyle::ssBoth:
        g.ShowV = forceV || g.ClientH < H;
        if (g.ShowV)
            g.ClientW -= FScrollBarWidth;
        g.ShowH = g.ClientW < W;
        if (g.ShowH) {
            g.ClientH -= FScrollBarWidth;
            if (!g.ShowV && g.ClientH < H) {
                g.ShowV = true;
                g.ClientW -= FScrollBarWidth;
            }
        }
        break;
    }
    return g;
}

void THtmlViewer::ArrangeChildren()
{
    FDocWidth = std::min(FDocWidth, 6000);
    const TGeometry g = ComputeGeometry(FDocWidth, FDocHeight);
    FFramePanel->setGeometry(rect());
    FFramePanel->setVisible(g.Offset > 0);
    FPaintPanel->setGeometry(g.Offset, g.Offset, std::max(g.ClientW, 0), std::max(g.ClientH, 0));
    const QRect surface = FPaintPanel->geometry();

    FHorzBar->setGeometry(surface.left(), surface.bottom() + 1, surface.width(), FScrollBarWidth);
    FHorzBar->setVisible(g.ShowH);
    FHorzBar->setEnabled(g.ClientW < FDocWidth);
    FHorzBar->setPageStep(std::max(g.ClientW - FHorzBar->singleStep(), 16));
    FHorzBar->setRange(0, std::max(FDocWidth - g.ClientW, 0));

    FVertBar->setGeometry(surface.right() + 1, surface.top(), FScrollBarWidth, surface.height());
    FVertBar->setVisible(g.ShowV);
    FVertBar->setEnabled(g.ClientH < FDocHeight);
    FVertBar->setPageStep(std::max(g.ClientH - FVertBar->singleStep(), 16));
    FVertBar->setRange(0, std::max(FDocHeight - g.ClientH, 0));
}

void THtmlViewer::LayOutNow()
{
    const bool wasLoading = FLoading;
    FLoading = true;
    // The document lays itself out here at the room's width, deciding on the vertical bar; until then a page
    // has no extent.
    FDocWidth = 0;
    FDocHeight = 0;
    ArrangeChildren();
    FLoading = wasLoading;
}

void THtmlViewer::Relayout()
{
    if (FProcessing)
        return;
    bool ended = false;
    try {
        SetProcessing(true);
        const int pos = ScrollPosition();
        FProgressBase = 0;
        FireProgress(TProgressStage::psStarting, 0);
        LayOutNow();
        SetScrollPosition(pos);
        ended = true; // the end is reported once, even when its handler fails
        FireProgress(TProgressStage::psEnding, 100);
    } catch (...) {
        EndFailedBracket(!ended);
        throw;
    }
    SetProcessing(false);
}

int THtmlViewer::ScrollPosition() const
{
    // A position relative to the section at the top of the view is encoded here once the document has sections;
    // without one the bar position stands for itself.
    return VScrollPos();
}

void THtmlViewer::SetScrollPosition(int Value)
{
    int y = Value & 0xFFFF;
    if (Value > 0xFFFF) {
        // The index (Value >> 16) - 1 names an entry of the document's position list, whose AnchorY is added
        // here; a page without sections has no such entry, and nothing happens.
        return;
    }
    VScrollTo(y);
}

int THtmlViewer::VScrollPos() const { return FVertBar->value(); }

void THtmlViewer::SetVScrollPos(int Y)
{
    int v = std::min(std::max(Y, 0), FDocHeight - FPaintPanel->height());
    if (v != VScrollPos())
        VScrollTo(v);
}

int THtmlViewer::HScrollPos() const { return FHorzBar->value(); }

void THtmlViewer::SetHScrollPos(int X)
{
    FHorzBar->setValue(std::min(std::max(X, 0), FDocWidth - FPaintPanel->width()));
    FPaintPanel->update();
}

void THtmlViewer::VScrollTo(int Y)
{
    const int v = std::max(std::min(Y, FDocHeight - FPaintPanel->height()), 0);
    FVertBar->setValue(v);
    // The document learns its new view top here (it places form controls by it).
    update();
}

void THtmlViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (FCreating)
        return;
    if (FProcessing)
        ArrangeChildren();
    else
        Relayout();
    if (FDocHeight < FPaintPanel->height())
        SetScrollPosition(0);
    else
        VScrollTo(VScrollPos());
    SetHScrollPos(HScrollPos());
}

// ---- Painting

void THtmlViewer::UpdateBorder()
{
    const bool framed = (FBorderStyle == THTMLBorderStyle::htFocused && hasFocus()) ||
                        FBorderStyle == THTMLBorderStyle::htSingle;
    FFramePanel->setFrameStyle(framed ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
}

void THtmlViewer::PaintPage(QPainter& Canvas, const QRect& R)
{
    FBackgroundFixed = false;
    Canvas.fillRect(R, ToQColor(FPaintColor));
    // The document's background picture is tiled and the document painted here, offset by the scroll position.
}

} // namespace lantern
