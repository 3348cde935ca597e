// The widgets behind the page's form controls: one Qt widget per control, a child of the paint surface, which
// the text layout moves into place at every paint. They hold the control's value and report focus, clicks and
// the keys the engine reacts to back to the control object.
//
// Ownership: the control object owns its TQtFormWidget, which owns its Qt widget. The surface deletes its
// children when it goes first, so the widget is held through a guarded pointer.
#pragma once

#include "layout/FormWidget.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace lantern {

class TQtFormWidget final : public QObject, public TFormWidget {
    Q_OBJECT

public:
    TQtFormWidget(TWidgetKind kind, QWidget& surface);
    ~TQtFormWidget() override;

    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void SetLeft(int left) override;
    void SetTop(int top) override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Visible() const override;
    void Show() override;
    void Hide() override;
    void PaintTo(platform::PaintCanvas& canvas, int x, int y) const override;

    void SetEnabled(bool enabled) override;
    void SetReadOnly(bool readOnly) override;
    void SetFont(const TMyFont& font) override;
    void SetColor(Color color) override;
    int TabOrder() const override { return FTabOrder; }
    void SetTabOrder(int order) override { FTabOrder = order; }
    bool TabStop() const override;
    void SetTabStop(bool stop) override;
    bool Focused() const override;
    void SetFocus() override;

    u16 Text() const override;
    void SetText(u16v text) override;
    bool Checked() const override;
    void SetChecked(bool checked) override;
    void SetItems(const std::vector<u16>& items) override;
    int ItemCount() const override;
    int ItemIndex() const override;
    void SetItemIndex(int index) override;
    bool Selected(int index) const override;
    void SetSelected(int index, bool selected) override;
    void ScrollToTop() override;
    void SetWrap(int mode) override;
    std::vector<u16> DisplayedLines() const override;
    void ClearSelection() override;

    QWidget* Native() const { return FWidget; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Clicked();

    TWidgetKind Kind;
    QPointer<QWidget> FWidget;
    int FTabOrder = -1;
};

// The document's widget factory for a viewer's surface.
TFormWidgetFactory MakeFormWidgetFactory(QWidget& surface);

} // namespace lantern
