// The pointer over a real page: clicks that follow links and drags that select instead, Shift-click, double and
// triple click, hovering links with its cursor and its end when the pointer leaves. Every event goes through the
// paint surface's own event handlers, at the points where the page drew the characters.
#include "viewer/HtmlViewer.h"

#include "layout/Document.h"
#include "tests/support/Pictures.h"
#include "viewer/PaintPanel.h"

#include <QApplication>
#include <QImage>
#include <QCursor>
#include <QMouseEvent>
#include <QTimer>
#include <QPainter>
#include <QTime>
#include <gtest/gtest.h>

namespace lantern {
namespace {

class PointerTest : public ::testing::Test {
protected:
    THtmlViewer Viewer;
    std::vector<u16> Clicked; // links the viewer raised OnHotSpotClick for
    std::vector<u16> Covered; // targets of OnHotSpotCovered, in order

    void SetUp() override
    {
        Viewer.SetBorderStyle(THTMLBorderStyle::htNone);
        Viewer.resize(500, 300);
        Viewer.OnHotSpotClick = [this](THtmlViewer&, const u16& Src, bool& Handled) {
            Clicked.push_back(Src);
            Handled = true;
        };
        Viewer.OnHotSpotCovered = [this](THtmlViewer&, const u16& Src) { Covered.push_back(Src); };
    }

    void Show(u16v Html) { Viewer.ShowString(Html, u"page.htm", DocType::dtHtml); }

    // The surface point in the middle of the character at a document position.
    QPoint At(int Pos)
    {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        platform::Canvas canvas;
        EXPECT_TRUE(Viewer.Document().CaretToPoint(&canvas, Pos, x0, y0));
        EXPECT_TRUE(Viewer.Document().CaretToPoint(&canvas, Pos + 1, x1, y1));
        const int right = y1 == y0 ? x1 : x0 + 4;
        return {(x0 + right) / 2, y0 + 5 - Viewer.VScrollPos()};
    }
    // The document position of the first occurrence of Text.
    int PosOf(u16v Text)
    {
        const int p = Viewer.Document().SearchForward(0, Text, true);
        EXPECT_GE(p, 0) << ToUtf8(Text);
        return p;
    }

    void Send(QEvent::Type Type, QPoint P, Qt::MouseButton Button, Qt::MouseButtons Held,
              Qt::KeyboardModifiers Keys = Qt::NoModifier)
    {
        QWidget& surface = Viewer.PaintPanel();
        QMouseEvent event(Type, QPointF(P), QPointF(surface.mapToGlobal(P)), Button, Held, Keys);
        QCoreApplication::sendEvent(&surface, &event);
    }
    void Press(QPoint P, Qt::KeyboardModifiers Keys = Qt::NoModifier)
    {
        Send(QEvent::MouseButtonPress, P, Qt::LeftButton, Qt::LeftButton, Keys);
    }
    void Release(QPoint P, Qt::KeyboardModifiers Keys = Qt::NoModifier)
    {
        Send(QEvent::MouseButtonRelease, P, Qt::LeftButton, Qt::NoButton, Keys);
    }
    void Move(QPoint P, Qt::MouseButtons Held = Qt::NoButton) { Send(QEvent::MouseMove, P, Qt::NoButton, Held); }
    void Click(QPoint P, Qt::KeyboardModifiers Keys = Qt::NoModifier)
    {
        Press(P, Keys);
        Release(P, Keys);
    }
    void DoubleClick(QPoint P)
    {
        Click(P);
        Send(QEvent::MouseButtonDblClick, P, Qt::LeftButton, Qt::LeftButton);
        Release(P);
    }
    u16 Selected() { return Viewer.SelectionText(); }
};

const char16_t LinkPage[] = u"<p>plain words <a href=\"next.htm\" title=\"Next page\">the link text</a> and more</p>";

TEST_F(PointerTest, AClickFollowsTheLinkADragSelectsInstead)
{
    Show(LinkPage);
    Click(At(PosOf(u"link")));
    EXPECT_EQ(Clicked, std::vector<u16>{u"next.htm"});
    EXPECT_EQ(Viewer.HotUrl(), u"next.htm");
    EXPECT_EQ(Viewer.HotLinkText(), u"the link text");

    Clicked.clear();
    Press(At(PosOf(u"link")));
    Move(At(PosOf(u"and")), Qt::LeftButton);
    Release(At(PosOf(u"and")));
    EXPECT_TRUE(Clicked.empty());
    EXPECT_EQ(Selected(), u"link text ");
}

TEST_F(PointerTest, DraggingBackwardsSelectsFromTheAnchor)
{
    Show(LinkPage);
    Press(At(PosOf(u"more")));
    Move(At(PosOf(u"words")), Qt::LeftButton);
    Release(At(PosOf(u"words")));
    EXPECT_EQ(Selected(), u"words the link text and ");
    EXPECT_EQ(Viewer.CaretPos(), PosOf(u"words"));
}

TEST_F(PointerTest, ShiftClickExtendsFromTheCaretWithoutMovingIt)
{
    Show(u"<p>one two three four five</p>");
    Click(At(PosOf(u"three")));
    const int caret = Viewer.CaretPos();
    ASSERT_EQ(caret, PosOf(u"three"));
    Click(At(PosOf(u"five")), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), u"three four ");
    EXPECT_EQ(Viewer.CaretPos(), caret);
    Click(At(PosOf(u"two")), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), u"two ");
    // a plain click ends the selection
    Click(At(PosOf(u"one")));
    EXPECT_EQ(Viewer.SelStart(), Viewer.SelEnd());
}

TEST_F(PointerTest, DoubleClickSelectsAWordTripleClickTheParagraph)
{
    Show(u"<p>call foo_bar(baz) now</p><p>second paragraph</p>");
    DoubleClick(At(PosOf(u"bar")));
    EXPECT_EQ(Selected(), u"foo_bar");
    DoubleClick(At(PosOf(u"az)")));
    EXPECT_EQ(Selected(), u"baz");
    // a third click on the spot of the double click takes the whole paragraph, and its release keeps it
    Click(At(PosOf(u"az)")));
    EXPECT_EQ(Selected(), u"call foo_bar(baz) now");
    // a double click on the parenthesis finds no word and leaves the click's empty selection
    DoubleClick(At(PosOf(u"(")));
    EXPECT_EQ(Viewer.SelStart(), Viewer.SelEnd());
}

TEST_F(PointerTest, WithoutLinkHilitePressingOnALinkDoesNotSelect)
{
    Viewer.SetHtOptions(Viewer.HtOptions().With(THtmlViewerOption::htNoLinkHilite));
    Show(LinkPage);
    Press(At(PosOf(u"link")));
    Move(At(PosOf(u"more")), Qt::LeftButton);
    Release(At(PosOf(u"more")));
    EXPECT_EQ(Viewer.SelStart(), Viewer.SelEnd());
}

TEST_F(PointerTest, HoveringALinkShowsItAndLeavingEndsIt)
{
    Show(LinkPage);
    QWidget& surface = Viewer.PaintPanel();
    Move(At(PosOf(u"plain")));
    EXPECT_EQ(surface.cursor().shape(), Qt::IBeamCursor);
    EXPECT_TRUE(Covered.empty());
    Move(At(PosOf(u"link")));
    EXPECT_EQ(surface.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(Viewer.HotTitle(), u"Next page");
    Move(At(PosOf(u"text")));
    EXPECT_EQ(Covered, std::vector<u16>{u"next.htm"}); // moving within the link fires nothing new
    Move(QPoint(480, 250));
    EXPECT_EQ(surface.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(Covered, (std::vector<u16>{u"next.htm", u""}));

    Move(At(PosOf(u"link")));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&surface, &leave);
    EXPECT_EQ(Covered, (std::vector<u16>{u"next.htm", u"", u"next.htm", u""}));
    EXPECT_TRUE(Viewer.HotUrl().empty());
}

// Pixels of the page in the colour 0x00BBGGRR.
int PixelsOf(THtmlViewer& Viewer, Color Value)
{
    QImage image(Viewer.PaintPanel().size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        platform::PaintCanvas canvas(painter);
        Viewer.PaintPage(canvas, Rect{0, 0, image.width(), image.height()});
    }
    const QRgb wanted = qRgb(Value & 0xFF, (Value >> 8) & 0xFF, (Value >> 16) & 0xFF);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == wanted;
    return n;
}

TEST_F(PointerTest, AHoveredLinkTakesTheOverLinkColourUntilThePointerLeaves)
{
    constexpr Color Fuchsia = MakeColor(255, 0, 255);
    Viewer.SetDefOverLinkColor(Fuchsia);
    Viewer.SetHtOptions(Viewer.HtOptions().With(THtmlViewerOption::htOverLinksActive));
    Show(LinkPage);
    ASSERT_EQ(PixelsOf(Viewer, Fuchsia), 0);
    Move(At(PosOf(u"link")));
    EXPECT_GT(PixelsOf(Viewer, Fuchsia), 20);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&Viewer.PaintPanel(), &leave);
    EXPECT_EQ(PixelsOf(Viewer, Fuchsia), 0);
}

TEST_F(PointerTest, TheHoverTimerEndsAHoverThePointerLeftUnnoticed)
{
    Show(LinkPage);
    Move(At(PosOf(u"link")));
    ASSERT_EQ(Viewer.HotUrl(), u"next.htm");
    // the control is not on screen, so the pointer is over no part of it when the timer looks
    const QTime until = QTime::currentTime().addMSecs(600);
    while (!Viewer.HotUrl().empty() && QTime::currentTime() < until)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(Viewer.HotUrl().empty());
    EXPECT_EQ(Covered, (std::vector<u16>{u"next.htm", u""}));
}

TEST_F(PointerTest, RightClickReportsTheLinkAndTheWord)
{
    Show(LinkPage);
    TRightClickParameters seen;
    Viewer.OnRightClick = [&](THtmlViewer&, const TRightClickParameters& Parameters) { seen = Parameters; };
    const QPoint p = At(PosOf(u"link"));
    Send(QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton);
    Send(QEvent::MouseButtonRelease, p, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(seen.LinkUrl, u"next.htm");
    EXPECT_EQ(seen.WordUnderPointer, u"link");
    EXPECT_TRUE(Clicked.empty());
}

TEST_F(PointerTest, PicturesUnderThePointerReachTheImageEventsAndTheRightClick)
{
    Show(u16(u"<img src=\"") + FromAscii(testsupport::PngUrl(40, 30, 0x0000FF)) + u"\" width=40 height=30> text");
    std::vector<std::pair<int, int>> over, clicked;
    Viewer.OnImageOver = [&](THtmlViewer&, TImageObj* Obj, Qt::KeyboardModifiers, int X, int Y) {
        EXPECT_NE(Obj, nullptr);
        over.emplace_back(X, Y);
    };
    Viewer.OnImageClick = [&](THtmlViewer&, TImageObj* Obj, Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
        EXPECT_NE(Obj, nullptr);
        clicked.emplace_back(X, Y);
    };
    TRightClickParameters seen;
    Viewer.OnRightClick = [&](THtmlViewer&, const TRightClickParameters& Parameters) { seen = Parameters; };
    const QPoint inside(25, 20), beside(At(PosOf(u"text")));
    Move(beside);
    EXPECT_TRUE(over.empty());
    Move(inside);
    ASSERT_EQ(over.size(), 1u);
    EXPECT_EQ(Viewer.PaintPanel().cursor().shape(), Qt::ArrowCursor);
    Send(QEvent::MouseButtonPress, inside, Qt::RightButton, Qt::RightButton);
    Send(QEvent::MouseButtonRelease, inside, Qt::RightButton, Qt::NoButton);
    ASSERT_NE(seen.PictureObject, nullptr);
    EXPECT_EQ(std::make_pair(seen.PictureX, seen.PictureY), over.front());
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_GE(clicked.front().first, 0);
    EXPECT_LT(clicked.front().first, 40);
    EXPECT_GE(clicked.front().second, 0);
    EXPECT_LT(clicked.front().second, 30);
}

TEST_F(PointerTest, DraggingPastTheBottomScrollsEightLinesAStepAndExtendsTheSelection)
{
    u16 page;
    for (int i = 0; i < 100; ++i)
        page += u"<p>paragraph " + FromAscii(std::to_string(i)) + u"</p>";
    Show(page);
    Viewer.show();
    QWidget& surface = Viewer.PaintPanel();
    Press(At(PosOf(u"paragraph 1")));
    // the pointer rests 20 pixels below the surface while the button is held; the release ends the loop
    const QPoint below(50, surface.height() + 20);
    QCursor::setPos(surface.mapToGlobal(below));
    if (surface.mapFromGlobal(QCursor::pos()) != below)
        GTEST_SKIP() << "this platform cannot place the pointer";
    QTimer::singleShot(350, [&] { Release(below); });
    Move(below, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_GT(Viewer.VScrollPos(), 0);
    EXPECT_EQ(Viewer.VScrollPos() % 128, 0) << Viewer.VScrollPos();
    EXPECT_EQ(Viewer.SelStart(), PosOf(u"paragraph 1"));
    EXPECT_GT(Viewer.SelEnd(), PosOf(u"paragraph 8"));
}

TEST_F(PointerTest, AMiddleClickArmsPanningAndTheNextPressEndsIt)
{
    Show(LinkPage);
    QWidget& surface = Viewer.PaintPanel();
    const QPoint p = At(PosOf(u"plain"));
    Send(QEvent::MouseButtonPress, p, Qt::MiddleButton, Qt::MiddleButton);
    Send(QEvent::MouseButtonRelease, p, Qt::MiddleButton, Qt::NoButton);
    EXPECT_EQ(surface.cursor().shape(), Qt::SizeVerCursor);
    Click(At(PosOf(u"link"))); // ends panning and does nothing else
    EXPECT_EQ(surface.cursor().shape(), Qt::IBeamCursor);
    EXPECT_TRUE(Clicked.empty());
}

} // namespace
} // namespace lantern
