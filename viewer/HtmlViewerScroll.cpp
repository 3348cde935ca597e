// The viewer control's layout driving and scrolling: the room the document is laid out in and the decision on the
// vertical bar, the bars, the scroll positions, and scrolling by bar, keys and wheel.
#include "viewer/HtmlViewer.h"

#include "layout/Document.h"
#include "viewer/PaintPanel.h"

#include <QGuiApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

namespace lantern {

namespace {

// Sets a flag for the length of a scope and puts back what it was, however the scope ends.
class TFlagOn {
public:
    explicit TFlagOn(bool& flag) : Flag(flag), Was(flag) { Flag = true; }
    ~TFlagOn() { Flag = Was; }
    TFlagOn(const TFlagOn&) = delete;
    TFlagOn& operator=(const TFlagOn&) = delete;

private:
    bool& Flag;
    bool Was;
};

enum class TKeyMove : std::uint8_t { PageDown, PageUp, LineDown, LineUp, Top, Bottom, Left, Right };

struct TKeyRow {
    int Key;
    Qt::KeyboardModifiers Shift; // exactly these, the keypad flag aside
    TKeyMove Move;
};

constexpr std::array<TKeyRow, 10> KeyMoves{{
    {Qt::Key_Space, Qt::NoModifier, TKeyMove::PageDown},
    {Qt::Key_Space, Qt::ShiftModifier, TKeyMove::PageUp},
    {Qt::Key_PageUp, Qt::NoModifier, TKeyMove::PageUp},
    {Qt::Key_PageDown, Qt::NoModifier, TKeyMove::PageDown},
    {Qt::Key_Up, Qt::NoModifier, TKeyMove::LineUp},
    {Qt::Key_Down, Qt::NoModifier, TKeyMove::LineDown},
    {Qt::Key_Home, Qt::ControlModifier, TKeyMove::Top},
    {Qt::Key_End, Qt::ControlModifier, TKeyMove::Bottom},
    {Qt::Key_Left, Qt::NoModifier, TKeyMove::Left},
    {Qt::Key_Right, Qt::NoModifier, TKeyMove::Right},
}};

std::optional<TKeyMove> KeyMoveOf(int key, Qt::KeyboardModifiers shift)
{
    // Page Down and the arrows come from the keypad too when Num Lock is off.
    shift &= ~Qt::KeyboardModifiers(Qt::KeypadModifier);
    for (const TKeyRow& row : KeyMoves)
        if (row.Key == key && row.Shift == shift)
            return row.Move;
    return std::nullopt;
}

} // namespace

// ---- The room and the bars

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

void THtmlViewer::LayOutDocumentAt(int W, int H)
{
    FDocWidth = 0;
    int counter = 0;
    FDocHeight = FDocument->LayoutDocument(FMeasureCanvas, 0, std::max(W, 0), H, 0, FDocWidth, counter);
}

void THtmlViewer::LayOutNow()
{
    const TFlagOn painting(FLoading); // no paint sees a page half laid out
    const TGeometry room = ComputeGeometry(0, 0);
    if (FScrollBars == TScrollStyle::ssNone || FScrollBars == TScrollStyle::ssHorizontal) {
        LayOutDocumentAt(room.ClientW, room.ClientH);
    } else {
        const bool bar = DecideVerticalBar(room);
        if (FDocHeight > 0 && !FHtOptions.Has(THtmlViewerOption::htShowVScroll))
            FVBarBias += bar ? 1 : -1;
    }
    ArrangeChildren();
    ArrangeFormTabOrder();
}

// Lays the page out once in the common case: first at the width the last pages needed (with or without the bar),
// again only when the page turns out to need the other. A page more than twice as high as the room needs the bar
// at any width, so it is not laid out again to find out. Returns whether the page needs the bar.
bool THtmlViewer::DecideVerticalBar(const TGeometry& Room)
{
    // The widths with and without the bar, whether or not the room already counts a bar that is always shown.
    const int withoutBar = Room.ShowV ? Room.ClientW + FScrollBarWidth : Room.ClientW;
    const int withBar = withoutBar - FScrollBarWidth;
    const int h = Room.ClientH;
    auto needsBar = [this] { return ComputeGeometry(FDocWidth, FDocHeight).ShowV; };

    if (FHtOptions.Has(THtmlViewerOption::htShowVScroll)) {
        LayOutDocumentAt(withBar, h);
        return true;
    }
    if (FVBarBias >= 0) {
        LayOutDocumentAt(withBar, h);
        if (FDocHeight <= 0)
            return false;
        bool bar = needsBar();
        if (!bar || FDocHeight <= 2 * h) {
            LayOutDocumentAt(withoutBar, h);
            bar = needsBar();
            if (bar)
                LayOutDocumentAt(withBar, h);
        }
        return bar;
    }
    LayOutDocumentAt(withoutBar, h);
    bool bar = needsBar();
    if (bar) {
        LayOutDocumentAt(withBar, h);
        bar = needsBar();
        if (!bar)
            LayOutDocumentAt(withoutBar, h);
    }
    return bar;
}

void THtmlViewer::ArrangeChildren()
{
    FDocWidth = std::min(FDocWidth, MaxScrollWidth);
    const TGeometry g = ComputeGeometry(FDocWidth, FDocHeight);
    FFramePanel->setGeometry(rect());
    FFramePanel->setVisible(g.Offset > 0);
    FPaintPanel->setGeometry(g.Offset, g.Offset, std::max(g.ClientW, 0), std::max(g.ClientH, 0));
    const QRect surface = FPaintPanel->geometry();
    FHorzBar->setGeometry(surface.left(), surface.bottom() + 1, surface.width(), FScrollBarWidth);
    ArrangeBar(*FHorzBar, g.ShowH, g.ClientW, FDocWidth);
    FVertBar->setGeometry(surface.right() + 1, surface.top(), FScrollBarWidth, surface.height());
    ArrangeBar(*FVertBar, g.ShowV, g.ClientH, FDocHeight);
}

// A bar's position runs from 0 to the part of the extent that does not fit the room; a page click moves by the
// room less one line.
void THtmlViewer::ArrangeBar(QScrollBar& Bar, bool Shown, int Room, int Extent)
{
    Bar.setVisible(Shown);
    Bar.setPageStep(std::max(Room - Bar.singleStep(), 16));
    const bool scrolls = Room < Extent;
    Bar.setEnabled(scrolls);
    Bar.setRange(0, scrolls ? Extent - Room : 0);
}

void THtmlViewer::Relayout()
{
    if (FProcessing)
        return;
    bool ended = false;
    try {
        SetProcessing(true);
        const int pos = ScrollPosition();
        FDocument->ProgressBase = 0;
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

// ---- Positions

int THtmlViewer::ScrollPosition() const
{
    const int p = VScrollPos();
    int top = 0, index = 0;
    if (FDocument->SectionAtY(p, top, index))
        return (index + 1) * 65536 + ((p - top) & 0xFFFF);
    return p;
}

void THtmlViewer::SetScrollPosition(int Value)
{
    int y = Value & 0xFFFF;
    if (Value > 0xFFFF) {
        const std::size_t index = std::size_t(Value >> 16) - 1;
        if (index >= FDocument->PositionList.size())
            return;
        y += FDocument->PositionList[index]->AnchorY();
    }
    VScrollTo(y);
}

int THtmlViewer::VScrollPos() const { return FVertBar->value(); }

void THtmlViewer::SetVScrollPos(int Y)
{
    const int v = ClampViewTop(Y);
    if (v != VScrollPos())
        VScrollTo(v);
}

int THtmlViewer::HScrollPos() const { return FHorzBar->value(); }

void THtmlViewer::SetHScrollPos(int X)
{
    FHorzBar->setValue(std::clamp(X, 0, FHorzBar->maximum()));
    FPaintPanel->update();
}

void THtmlViewer::VScrollTo(int Y) { MoveViewTop(ClampViewTop(Y), TViewMove::Repaint); }

int THtmlViewer::ClampViewTop(int Y) const { return std::max(std::min(Y, FDocHeight - FPaintPanel->height()), 0); }

// ---- Moving the view

void THtmlViewer::MoveViewTop(int Y, TViewMove How)
{
    const int dy = FDocument->ViewTop - Y;
    FDocument->SetViewTop(Y);
    FVertBar->setValue(Y); // the bar's notice finds the view already there
    if (How == TViewMove::Repaint || FBackgroundFixed || FLoading) {
        FPaintPanel->update();
        return;
    }
    if (dy == 0)
        return;
    FPaintPanel->scroll(0, dy);
    // The strip the move uncovered is painted at once, so a dragged bar shows the page under it as it goes.
    const int w = FPaintPanel->width(), h = FPaintPanel->height();
    FDocument->ForgetAnimationsOutside(Rect{0, 0, w, h});
    const QRect strip = dy < 0 ? QRect(0, h + dy, w, -dy) : QRect(0, 0, w, dy);
    FPaintPanel->repaint(strip & FPaintPanel->rect());
}

void THtmlViewer::VScrolled(int ScrollPos)
{
    if (ScrollPos == FDocument->ViewTop)
        return;
    if (FLoading) {
        FDocument->SetViewTop(ScrollPos); // the whole surface is painted when the load or layout ends
        return;
    }
    MoveViewTop(ScrollPos, TViewMove::MovePixels);
}

// ---- Keys and wheel

void THtmlViewer::KeyDown(int Key, Qt::KeyboardModifiers Shift)
{
    const std::optional<TKeyMove> move = KeyMoveOf(Key, Shift);
    if (!move)
        return;
    const int p = VScrollPos();
    const int page = FVertBar->pageStep(), line = FVertBar->singleStep();
    int y = p;
    switch (*move) {
    case TKeyMove::PageDown: y = p + page; break;
    case TKeyMove::PageUp: y = p - page; break;
    case TKeyMove::LineDown: y = p + line; break;
    case TKeyMove::LineUp: y = p - line; break;
    case TKeyMove::Top: y = 0; break;
    case TKeyMove::Bottom: y = FDocHeight; break;
    case TKeyMove::Left:
    case TKeyMove::Right: {
        const int step = *move == TKeyMove::Left ? -FHorzBar->singleStep() : FHorzBar->singleStep();
        FHorzBar->setValue(std::clamp(HScrollPos() + step, 0, FHorzBar->maximum())); // a change repaints
        return;
    }
    }
    y = ClampViewTop(y);
    if (y != p)
        MoveViewTop(y, std::abs(y - p) == line ? TViewMove::MovePixels : TViewMove::Repaint);
}

void THtmlViewer::keyPressEvent(QKeyEvent* event)
{
    if (!KeyMoveOf(event->key(), event->modifiers())) {
        QWidget::keyPressEvent(event); // other keys go on to the window
        return;
    }
    KeyDown(event->key(), event->modifiers());
    event->accept();
}

bool THtmlViewer::DoMouseWheel(Qt::KeyboardModifiers /*Shift*/, int WheelDelta, QPoint /*MousePos*/)
{
    if (FHtOptions.Has(THtmlViewerOption::htNoWheelMouse))
        return false;
    const int lines = QGuiApplication::styleHints()->wheelScrollLines();
    int step;
    if (lines > 0)
        step = WheelDelta > 0 ? -16 * lines : 16 * lines;
    else
        step = -(WheelDelta / 2); // a desktop that scrolls by the page and counts no lines: half the delta
    SetVScrollPos(VScrollPos() + step);
    return true;
}

void THtmlViewer::wheelEvent(QWheelEvent* event)
{
    constexpr int Notch = 120;
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    // A classic wheel turns by whole notches; a fine-grained wheel or a touchpad sends parts of one, gathered
    // here, so that a notch scrolls as far on every device.
    int notch = delta;
    if (std::abs(delta) < Notch) {
        if ((FWheelRemainder > 0) != (delta > 0))
            FWheelRemainder = 0;
        FWheelRemainder += delta;
        if (std::abs(FWheelRemainder) < Notch) {
            event->accept();
            return;
        }
        notch = FWheelRemainder > 0 ? Notch : -Notch;
        FWheelRemainder -= notch;
    } else {
        FWheelRemainder = 0;
    }
    event->setAccepted(DoMouseWheel(event->modifiers(), notch, event->position().toPoint()));
}

} // namespace lantern
