// The viewer's side of the page's forms: widgets on the paint surface for the controls, and the controls'
// events passed on to the host.
#include "viewer/HtmlViewer.h"

#include "layout/Document.h"
#include "viewer/FormWidgets.h"
#include "viewer/PaintPanel.h"

#include <QMetaObject>

#include <algorithm>

namespace lantern {

namespace {

int QtKeyOf(int key)
{
    switch (key) {
    case VkLeft: return Qt::Key_Left;
    case VkUp: return Qt::Key_Up;
    case VkRight: return Qt::Key_Right;
    case VkDown: return Qt::Key_Down;
    default: return 0;
    }
}

} // namespace

void THtmlViewer::ConnectDocumentForms()
{
    ThtDocument& doc = *FDocument;
    doc.MakeFormWidget = MakeFormWidgetFactory(*FPaintPanel);
    TFormHost& host = doc.FormHost;
    // A submission follows the click or key that caused it: the host may load another page, which frees the
    // control that is still handling its event.
    host.OnFormSubmit = [this](const u16& action, const u16& target, const u16& encType, const u16& method,
                               const std::vector<u16>& results) {
        if (!OnFormSubmit)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, action, target, encType, method, results] {
                if (OnFormSubmit)
                    OnFormSubmit(*this, action, target, encType, method, results);
            },
            Qt::QueuedConnection);
    };
    host.Invalidate = [this] { FPaintPanel->update(); };
    host.ViewerKey = [this](int key) {
        if (const int qtKey = QtKeyOf(key))
            KeyDown(qtKey, Qt::NoModifier);
    };
}

void THtmlViewer::ArrangeFormTabOrder()
{
    std::vector<const TFormControlObj*> order;
    for (const auto& control : FDocument->FormControls)
        order.push_back(control.get());
    if (std::none_of(order.begin(), order.end(), [](const TFormControlObj* c) { return c->TabOrder() >= 0; }))
        return;
    std::stable_sort(order.begin(), order.end(), [](const TFormControlObj* a, const TFormControlObj* b) {
        const int x = a->TabOrder(), y = b->TabOrder();
        return x >= 0 && (y < 0 || x < y);
    });
    QWidget* previous = nullptr;
    for (const TFormControlObj* control : order) {
        const auto* widget = dynamic_cast<const TQtFormWidget*>(control->PlatformControl());
        QWidget* native = widget ? widget->Native() : nullptr;
        if (!native)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, native);
        previous = native;
    }
}

} // namespace lantern
