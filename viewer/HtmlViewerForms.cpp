// The viewer's side of the page's forms: widgets on the paint surface for the controls, and the controls'
// events passed on to the host.
#include "viewer/HtmlViewer.h"

#include "layout/Document.h"
#include "viewer/FormWidgets.h"
#include "viewer/PaintPanel.h"

#include <QMetaObject>

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

} // namespace lantern
