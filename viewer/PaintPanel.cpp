#include "viewer/PaintPanel.h"

#include "viewer/HtmlViewer.h"

#include <QPaintEvent>
#include <QPainter>

namespace lantern {

TPaintPanel::TPaintPanel(THtmlViewer& Viewer) : QWidget(&Viewer), FViewer(Viewer)
{
    // The page paints every pixel of the clip rectangle itself; letting Qt erase first would only flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TPaintPanel::paintEvent(QPaintEvent* event)
{
    if (FViewer.IsLoading())
        return;
    // Qt already double-buffers the widget, so the page is painted straight into its backing store, clipped to R.
    QPainter canvas(this);
    const QRect r = event->rect();
    canvas.setClipRect(r);
    FViewer.UpdateBorder();
    FViewer.PaintPage(canvas, r);
}

} // namespace lantern
