// Pictures as the viewer control shows them: read from files named relative to the page, kept in the cache
// across pages for ImageCacheCount loads, animated by the control's timer while they are on screen, and the
// page's background picture behind everything.
#include "viewer/HtmlViewer.h"

#include "images/GifImage.h"
#include "layout/Document.h"
#include "tests/support/Pictures.h"
#include "viewer/PaintPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace lantern {
namespace {

using testsupport::AnimatedGifUrl;

class ViewerPictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        Viewer.SetBorderStyle(THTMLBorderStyle::htNone);
        Viewer.SetScrollBars(TScrollStyle::ssVertical);
        Viewer.resize(300, 200);
    }

    QString File(const QString& name) const { return Folder.filePath(name); }

    void WritePage(const QString& name, const std::string& html) const
    {
        QFile f(File(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(html.data(), qint64(html.size()));
    }

    void WritePicture(const QString& name, int width, int height, Qt::GlobalColor color) const
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(color);
        ASSERT_TRUE(picture.save(File(name)));
    }

    void Show(const QString& name) { Viewer.ShowFile(name.toStdU16String(), DocType::dtHtml); }

    // Runs the event loop for `ms` milliseconds, or until `done` says so.
    static void RunFor(int ms, const std::function<bool()>& done = [] { return false; })
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms && !done())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    QTemporaryDir Folder;
    THtmlViewer Viewer;
};

TEST_F(ViewerPictures, APictureNamedRelativeToThePageComesFromItsFolderAndStaysInTheCache)
{
    WritePicture("pic.png", 30, 10, Qt::red);
    WritePage("a.htm", "<p>x <img src=\"pic.png\">");
    WritePage("b.htm", "<p>no pictures");
    Viewer.SetImageCacheCount(2);
    Show(File("a.htm"));
    TStringBitmapList& cache = Viewer.Document().ImageCache;
    ASSERT_EQ(cache.Count(), 1) << "the picture was read from the page's folder";

    // Unused, it outlives as many further pages as ImageCacheCount says and goes at the next.
    Show(File("b.htm"));
    Show(File("b.htm"));
    EXPECT_EQ(cache.Count(), 1);
    Show(File("b.htm"));
    EXPECT_EQ(cache.Count(), 0);

    // A smaller count evicts at once what is already older.
    Show(File("a.htm"));
    Show(File("b.htm"));
    Show(File("b.htm"));
    ASSERT_EQ(cache.Count(), 1);
    Viewer.SetImageCacheCount(1);
    EXPECT_EQ(cache.Count(), 0);
}

TEST_F(ViewerPictures, AnAnimatedPictureMovesWhileItIsOnScreenAndRestsWhenScrolledAway)
{
    // Named inline by a data url, which is no file name relative to the page. 5 hundredths a frame: the timer
    // ticks every 40 ms, so each tick or the next moves it on.
    std::string page = "<p>first<p>second<p><img src=\"" + AnimatedGifUrl(20, 20, 3, 5) + "\">";
    for (int i = 0; i < 40; ++i)
        page += "<p>line";
    WritePage("anim.htm", page);
    Viewer.show();
    Show(File("anim.htm"));
    ASSERT_EQ(Viewer.Document().AnimatedImages().size(), 1u);
    const TGIFImage& gif = *Viewer.Document().AnimatedImages().front();

    // Frame changes seen while the loop runs for up to `ms`, stopping at three: a loaded machine may be slow,
    // but a picture that moves at all moves three times in a few seconds.
    const auto changesWithin = [&](int ms) {
        int changes = 0, last = gif.CurrentFrame();
        RunFor(ms, [&] {
            if (gif.CurrentFrame() != last) {
                ++changes;
                last = gif.CurrentFrame();
            }
            return changes >= 3;
        });
        return changes;
    };
    EXPECT_EQ(changesWithin(3000), 3) << "each frame change repaints the picture, so the next tick finds it drawn again";

    Viewer.VertBar().setValue(Viewer.VertBar().maximum());
    RunFor(100);
    EXPECT_EQ(changesWithin(400), 0) << "a picture scrolled out of view is not drawn, so it does not move on";

    Viewer.VertBar().setValue(0);
    EXPECT_EQ(changesWithin(3000), 3) << "back in view it moves again";

    Viewer.KeyDown(Qt::Key_Down, Qt::NoModifier);
    EXPECT_EQ(changesWithin(3000), 3)
        << "a line's scroll paints only the strip it uncovers, and the picture still in view moves on";
}

TEST_F(ViewerPictures, ThePageBackgroundPictureIsPaintedBehindThePage)
{
    WritePicture("back.png", 8, 8, Qt::green);
    WritePage("back.htm", "<body background=\"back.png\"><p>");
    Viewer.SetDefBackground(0x00FFFFFF);
    Viewer.show();
    Show(File("back.htm"));
    const QImage surface = Viewer.PaintPanel().grab().toImage();
    EXPECT_EQ(surface.pixel(150, 150), qRgb(0, 255, 0));

    Viewer.SetViewImages(false);
    EXPECT_EQ(Viewer.PaintPanel().grab().toImage().pixel(150, 150), qRgb(255, 255, 255))
        << "with pictures off the page shows its colour";
}

} // namespace
} // namespace lantern
