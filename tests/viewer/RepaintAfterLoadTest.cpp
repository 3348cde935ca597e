// A page that finished loading is painted even when a progress handler let painting run while the load was
// still under way (the window's progress bar does): the surface paints nothing while Loading.
#include "viewer/HtmlViewer.h"

#include "viewer/PaintPanel.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

namespace lantern {
namespace {

// Notes, for each paint the surface receives, whether the viewer was loading then.
class TPaintWatch : public QObject {
public:
    explicit TPaintWatch(THtmlViewer& Viewer) : Viewer(Viewer) {}
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            LoadingAtPaint.push_back(Viewer.IsLoading());
        return QObject::eventFilter(Watched, Event);
    }
    THtmlViewer& Viewer;
    std::vector<bool> LoadingAtPaint;
};

TEST(RepaintAfterLoad, APaintLetThroughDuringTheLoadIsRepeatedAfterIt)
{
    THtmlViewer viewer;
    viewer.resize(300, 200);
    viewer.show();
    viewer.ShowString(u"<p>first</p>", u"", DocType::dtHtml);
    QCoreApplication::processEvents();
    viewer.OnProgress = [](THtmlViewer&, TProgressStage Stage, int) {
        if (Stage == TProgressStage::psEnding)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    TPaintWatch watch(viewer);
    viewer.PaintPanel().installEventFilter(&watch);
    viewer.ShowString(u"<p>second</p>", u"", DocType::dtHtml);
    QCoreApplication::processEvents();
    ASSERT_FALSE(watch.LoadingAtPaint.empty());
    EXPECT_FALSE(watch.LoadingAtPaint.back());
}

} // namespace
} // namespace lantern
