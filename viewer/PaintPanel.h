// The viewer's paint surface: the child widget the page is drawn on and that receives the pointer.
#pragma once

#include "common/Exceptions.h"

#include <QImage>
#include <QWidget>

namespace lantern {

class THtmlViewer;

// The off-screen buffer of a paint could not be made.
class EOutOfResources : public EhtException {
public:
    using EhtException::EhtException;
};

class TPaintPanel : public QWidget {
    Q_OBJECT

public:
    explicit TPaintPanel(THtmlViewer& Viewer);

protected:
    void paintEvent(QPaintEvent* event) override;
    // The pointer goes to the viewer (HtmlViewerPointer.cpp).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    THtmlViewer& FViewer;
    // Each paint renders its clip rectangle here and then copies it to the surface in one transfer. Kept between
    // paints so a scroll's strip or a full screen does not allocate again.
    QImage FBuffer;
};

} // namespace lantern
