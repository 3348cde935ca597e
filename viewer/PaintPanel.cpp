#include "viewer/PaintPanel.h"

#include "platform/Canvas.h"
#include "viewer/HtmlViewer.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

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
    const QRect r = event->rect();
    if (r.isEmpty())
        return;
    if (FBuffer.width() < r.width() || FBuffer.height() < r.height()) {
        FBuffer = QImage(std::max(r.width(), FBuffer.width()), std::max(r.height(), FBuffer.height()),
                         QImage::Format_RGB32);
        if (FBuffer.isNull())
            throw EOutOfResources("Out of Resources");
    }
    {
        // The buffer's origin sits at R's top-left, so the page paints in surface coordinates.
        QPainter memory(&FBuffer);
        memory.translate(-r.left(), -r.top());
        memory.setClipRect(r);
        platform::PaintCanvas canvas(memory);
        FViewer.UpdateBorder();
        FViewer.PaintPage(canvas, Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
    }
    QPainter surface(this);
    surface.drawImage(r.topLeft(), FBuffer, QRect(0, 0, r.width(), r.height()));
}

} // namespace lantern
