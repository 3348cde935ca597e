// The viewer's paint surface: the child widget the page is drawn on and that receives the pointer.
#pragma once

#include <QWidget>

namespace lantern {

class THtmlViewer;

class TPaintPanel : public QWidget {
    Q_OBJECT

public:
    explicit TPaintPanel(THtmlViewer& Viewer);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    THtmlViewer& FViewer;
};

} // namespace lantern
