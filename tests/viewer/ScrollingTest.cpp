// The viewer control's layout driving, scrolling and painting: the scroll-bar decision and its bias, the cap on
// the scroll width, keys and wheel, the place kept across resizes and reloads, and what each scroll paints.
//
// Pages are built in code with the uniform test font (8 pixels a character, 16 a line), handed to the viewer's
// document in place of what the builder made from the page when the load reports the end of parsing, so that
// every height below is arithmetic.
#include "viewer/HtmlViewer.h"

#include "layout/Document.h"
#include "tests/layout/LayoutFixture.h"
#include "viewer/PaintPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace lantern {
namespace {

using namespace testlayout;

constexpr int RoomW = 400;
constexpr int RoomH = 300;
constexpr int Line = 16; // the vertical bar's line and the test font's line height

// A one-line paragraph at the full room width (392 pixels) that wraps as soon as a vertical bar takes its room.
const u16 WideLine = u"aaaaaaa aaaaaaa aaaaaaa aaaaaaa aaaaaaa aaaaaaa a";

class ScrollingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SavedBias = THtmlViewer::VBarBias();
        Viewer.SetBorderStyle(THTMLBorderStyle::htNone);
        Viewer.resize(RoomW, RoomH);
        Viewer.OnParseEnd = [this](THtmlViewer& Sender) {
            Sender.Document().Sections.clear();
            for (const u16& text : Paragraphs)
                AddParagraph(Sender.Document(), text);
        };
    }
    void TearDown() override { THtmlViewer::SetVBarBias(SavedBias); }

    void AddParagraph(ThtDocument& doc, u16v text)
    {
        auto section = std::make_unique<TSection>(doc, true, nullptr, *Props, nullptr);
        TokenObj token;
        for (char16_t c : text)
            token.AddChar(c, Source++);
        section->AppendToken(token);
        doc.AddSection(std::move(section), Source);
    }

    // The page the next load shows: `lines` paragraphs of one short line each, after the given first ones.
    void PageOf(int lines, std::vector<u16> first = {})
    {
        Paragraphs = std::move(first);
        for (int i = 0; i < lines; ++i)
            Paragraphs.push_back(u"line " + FromUtf8(std::to_string(i)));
    }

    // Shows the page under a name; returns the number of layout passes the load took.
    int Show(u16v name = u"page")
    {
        const int before = Viewer.Document().LayoutPass;
        Viewer.ShowString(u"", name, DocType::dtHtml);
        return Viewer.Document().LayoutPass - before;
    }

    int ScrollBarWidth() const { return Viewer.style()->pixelMetric(QStyle::PM_ScrollBarExtent); }
    TSectionBase& SectionAt(int y) const
    {
        int top = 0, index = 0;
        TSectionBase* s = Viewer.Document().SectionAtY(y, top, index);
        EXPECT_NE(s, nullptr);
        return *s;
    }

    int SavedBias = 0;
    std::unique_ptr<TProperties> Props = PropsWith(UniformFont());
    int Source = 0;
    std::vector<u16> Paragraphs;
    THtmlViewer Viewer;
};

// ---- The scroll-bar decision

struct BarCase {
    const char* Name;
    int Bias;
    bool AlwaysShowBar;
    std::vector<u16> First;
    int Lines; // short paragraphs after First
    int Passes;
    bool Bar;
    int DocHeight; // tells the width the page was laid out at: the first paragraph wraps below the full width
    int BiasAfter;
};
void PrintTo(const BarCase& c, std::ostream* os) { *os << c.Name; }

class BarDecisionTest : public ScrollingTest, public ::testing::WithParamInterface<BarCase> {};

TEST_P(BarDecisionTest, LaysOutAsOftenAsTheGuessRequires)
{
    const BarCase& c = GetParam();
    THtmlViewer::SetVBarBias(c.Bias);
    if (c.AlwaysShowBar)
        Viewer.SetHtOptions(Viewer.HtOptions().With(THtmlViewerOption::htShowVScroll));
    PageOf(c.Lines, c.First);

    EXPECT_EQ(Show(), c.Passes);
    EXPECT_EQ(Viewer.VertBar().isVisibleTo(&Viewer), c.Bar);
    EXPECT_EQ(Viewer.DocHeight(), c.DocHeight);
    EXPECT_EQ(THtmlViewer::VBarBias(), c.BiasAfter);
    EXPECT_EQ(Viewer.PaintPanel().width(), c.Bar ? RoomW - ScrollBarWidth() : RoomW);
    EXPECT_EQ(Viewer.PaintPanel().height(), RoomH);
    EXPECT_FALSE(Viewer.HorzBar().isVisibleTo(&Viewer));
}

const std::vector<u16> Wide{WideLine};
// A paragraph that fits the width left beside the bar (384 of 386 pixels) and only that.
const std::vector<u16> FitsBesideTheBar{u"aaaaaaa aaaaaaa aaaaaaa aaaaaaa aaaaaaa aaaaaaa "};

INSTANTIATE_TEST_SUITE_P(
    Pages, BarDecisionTest,
    ::testing::Values(
        // 18 lines fit the room at the full width (288) but not beside a bar (304): the guess of a bar costs a
        // second pass, and the page ends laid out at the full width.
        BarCase{"JustFitsGuessingABar", 0, false, Wide, 17, 2, false, 18 * Line, -1},
        BarCase{"JustFitsGuessingNoBar", -1, false, Wide, 17, 1, false, 18 * Line, -2},
        // 2.5 rooms high: with the guess of a bar, one pass.
        BarCase{"TwoAndAHalfRoomsGuessingABar", 0, false, Wide, 46, 1, true, 48 * Line, 1},
        BarCase{"TwoAndAHalfRoomsGuessingNoBar", -1, false, Wide, 46, 2, true, 48 * Line, 0},
        // Below twice the room the page is tried at the full width, and needs the bar after all.
        BarCase{"OneAndAHalfRoomsGuessingABar", 0, false, Wide, 27, 3, true, 29 * Line, 1},
        // A bar always shown is there for an empty page too, and teaches the guess nothing.
        BarCase{"AlwaysShownOnAnEmptyPage", 0, true, {}, 0, 1, true, 0, 0},
        // ... and the page is laid out at the width beside the bar, not a bar's width narrower.
        BarCase{"AlwaysShownLaysOutBesideIt", -3, true, FitsBesideTheBar, 17, 1, true, 18 * Line, -3}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ScrollingTest, AWidePageScrollsAtMostSixThousandPixels)
{
    PageOf(0, {u16(1250, u'w')}); // one word of 10000 pixels
    Show();
    EXPECT_EQ(Viewer.DocWidth(), 6000);
    ASSERT_TRUE(Viewer.HorzBar().isVisibleTo(&Viewer));
    EXPECT_EQ(Viewer.HorzBar().maximum(), 6000 - Viewer.PaintPanel().width());
    EXPECT_EQ(Viewer.PaintPanel().height(), RoomH - ScrollBarWidth());

    Viewer.SetHScrollPos(100000);
    EXPECT_EQ(Viewer.HScrollPos(), Viewer.HorzBar().maximum());
    Viewer.KeyDown(Qt::Key_Left, Qt::NoModifier);
    EXPECT_EQ(Viewer.HScrollPos(), Viewer.HorzBar().maximum() - 15);
}

// ---- Keys and wheel

struct KeyCase {
    const char* Name;
    int Key;
    Qt::KeyboardModifiers Shift;
    int From;
    int To;
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.Name; }

class KeyScrollTest : public ScrollingTest, public ::testing::WithParamInterface<KeyCase> {};

// 200 lines (3200 pixels) in a room 300 high: a page is 284 (the room less a line), the last screenful 2900.
TEST_P(KeyScrollTest, MovesTheViewByTheKeysAmount)
{
    const KeyCase& c = GetParam();
    PageOf(200);
    Show();
    Viewer.VScrollTo(c.From);
    QKeyEvent press(QEvent::KeyPress, c.Key, c.Shift);
    QApplication::sendEvent(&Viewer, &press);
    EXPECT_EQ(Viewer.VScrollPos(), c.To);
    EXPECT_EQ(Viewer.Document().ViewTop, c.To);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyScrollTest,
    ::testing::Values(KeyCase{"Space", Qt::Key_Space, Qt::NoModifier, 400, 684},
                      KeyCase{"ShiftSpace", Qt::Key_Space, Qt::ShiftModifier, 400, 116},
                      KeyCase{"PageDown", Qt::Key_PageDown, Qt::NoModifier, 400, 684},
                      KeyCase{"KeypadPageDown", Qt::Key_PageDown, Qt::KeypadModifier, 400, 684},
                      KeyCase{"PageUp", Qt::Key_PageUp, Qt::NoModifier, 400, 116},
                      KeyCase{"PageUpNearTheTop", Qt::Key_PageUp, Qt::NoModifier, 100, 0},
                      KeyCase{"Down", Qt::Key_Down, Qt::NoModifier, 400, 416},
                      KeyCase{"DownNearTheEnd", Qt::Key_Down, Qt::NoModifier, 2890, 2900},
                      KeyCase{"Up", Qt::Key_Up, Qt::NoModifier, 400, 384},
                      KeyCase{"CtrlHome", Qt::Key_Home, Qt::ControlModifier, 400, 0},
                      KeyCase{"HomeAlone", Qt::Key_Home, Qt::NoModifier, 400, 400},
                      KeyCase{"CtrlEnd", Qt::Key_End, Qt::ControlModifier, 400, 2900},
                      KeyCase{"EndAlone", Qt::Key_End, Qt::NoModifier, 400, 400},
                      KeyCase{"CtrlDown", Qt::Key_Down, Qt::ControlModifier, 400, 400},
                      KeyCase{"ShiftPageDown", Qt::Key_PageDown, Qt::ShiftModifier, 400, 400}),
    [](const auto& info) { return std::string(info.param.Name); });

struct WheelCase {
    const char* Name;
    int ScrollLines; // the desktop's setting
    std::vector<int> Deltas;
    bool NoWheel;
    int To; // from 400
};
void PrintTo(const WheelCase& c, std::ostream* os) { *os << c.Name; }

class WheelScrollTest : public ScrollingTest, public ::testing::WithParamInterface<WheelCase> {};

TEST_P(WheelScrollTest, MovesTheViewByLinesOrHalfTheDelta)
{
    const WheelCase& c = GetParam();
    QStyleHints& hints = *QGuiApplication::styleHints();
    const int savedLines = hints.wheelScrollLines();
    hints.setWheelScrollLines(c.ScrollLines);
    if (c.NoWheel)
        Viewer.SetHtOptions(Viewer.HtOptions().With(THtmlViewerOption::htNoWheelMouse));
    PageOf(200);
    Show();
    Viewer.VScrollTo(400);
    for (int delta : c.Deltas) {
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Viewer, &wheel);
    }
    hints.setWheelScrollLines(savedLines);
    EXPECT_EQ(Viewer.VScrollPos(), c.To);
}

INSTANTIATE_TEST_SUITE_P(
    Wheel, WheelScrollTest,
    ::testing::Values(WheelCase{"NotchUp", 3, {120}, false, 352}, WheelCase{"NotchDown", 3, {-120}, false, 448},
                      // the size of a whole turn does not matter
                      WheelCase{"FastTurnUp", 3, {360}, false, 352},
                      WheelCase{"OneLineSetting", 1, {-120}, false, 416},
                      // a fine wheel's parts of a notch scroll once they make one
                      WheelCase{"FineWheelThreeQuarters", 3, {30, 30, 30}, false, 400},
                      WheelCase{"FineWheelWholeNotch", 3, {30, 30, 30, 30}, false, 352},
                      WheelCase{"FineWheelChangingDirection", 3, {60, -60, -60}, false, 448},
                      WheelCase{"WheelSwitchedOff", 3, {-120}, true, 400}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---- The place kept

TEST_F(ScrollingTest, ResizingKeepsTheFirstVisibleSectionAtTheTop)
{
    Paragraphs.assign(60, u16());
    for (u16& p : Paragraphs)
        for (int i = 0; i < 30; ++i)
            p += u"word "; // 1200 pixels: a few lines at any of the widths below
    Show();
    Viewer.show(); // a hidden widget learns of its new size only when shown
    const TSectionBase& target = Viewer.Document()[20];
    const int topBefore = target.BoxTop;
    Viewer.VScrollTo(topBefore + 5);

    Viewer.resize(250, RoomH);
    EXPECT_GT(target.BoxTop, topBefore); // narrower: the paragraphs above grew
    EXPECT_EQ(&SectionAt(Viewer.VScrollPos()), &target);
    EXPECT_EQ(Viewer.VScrollPos(), target.BoxTop + 5);

    Viewer.resize(700, RoomH);
    EXPECT_LT(target.BoxTop, topBefore);
    EXPECT_EQ(Viewer.VScrollPos(), target.BoxTop + 5);

    // Room for the whole page: back at the top.
    Viewer.resize(6000, 5000);
    EXPECT_LT(Viewer.DocHeight(), Viewer.PaintPanel().height());
    EXPECT_EQ(Viewer.VScrollPos(), 0);
}

class PageFilesTest : public ScrollingTest {
protected:
    void SetUp() override
    {
        ScrollingTest::SetUp();
        ASSERT_TRUE(Dir.isValid());
        for (const char* name : {"a.htm", "b.htm"}) {
            QFile f(Dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        PageOf(200);
        // Every page has a section with the id "sec", 1600 pixels down.
        Viewer.OnParseEnd = [this](THtmlViewer& Sender) {
            Sender.Document().Sections.clear();
            for (const u16& text : Paragraphs)
                AddParagraph(Sender.Document(), text);
            Sender.Document().IdTable.Add(u"sec", Sender.Document()[100]);
        };
    }
    u16 PathOf(const char* name) const { return FromUtf8(Dir.filePath(name).toStdString()); }

    QTemporaryDir Dir;
};

TEST_F(PageFilesTest, ANewPageStartsAtItsTopOrItsFragmentAndARefreshKeepsItsPlace)
{
    Viewer.ShowFile(PathOf("a.htm"), DocType::dtHtml);
    Viewer.VScrollTo(500);
    Viewer.ShowFile(PathOf("b.htm"), DocType::dtHtml);
    EXPECT_EQ(Viewer.VScrollPos(), 0);
    EXPECT_EQ(Viewer.Document().ViewTop, 0);

    Viewer.VScrollTo(300);
    Viewer.ShowFile(PathOf("b.htm"), DocType::dtHtml);
    EXPECT_EQ(Viewer.VScrollPos(), 300);
    Viewer.RefreshDocument();
    EXPECT_EQ(Viewer.VScrollPos(), 300);

    Viewer.ShowFile(PathOf("a.htm") + u"#SEC", DocType::dtHtml);
    EXPECT_EQ(Viewer.VScrollPos(), 100 * Line);

    Viewer.ShowString(u"", u"another", DocType::dtHtml);
    EXPECT_EQ(Viewer.VScrollPos(), 0);
}

TEST_F(PageFilesTest, AMissingPageLeavesThePageOnShowWhereItWas)
{
    Viewer.ShowFile(PathOf("a.htm"), DocType::dtHtml);
    Viewer.VScrollTo(500);
    EXPECT_THROW(Viewer.ShowFile(PathOf("missing.htm"), DocType::dtHtml), EhtLoadError);
    EXPECT_EQ(Viewer.VScrollPos(), 500);
}

// ---- Painting

// A picture four pixels wide (or one, which is stretched before tiling): its upper 16 rows red, its lower 16 blue.
platform::Bitmap TwoBandPicture(int width)
{
    platform::Bitmap picture(width, 32, 0x0000FF);
    for (int y = 16; y < 32; ++y)
        for (int x = 0; x < width; ++x)
            picture.SetPixel(x, y, 0xFF0000);
    return picture;
}

constexpr QRgb Red = 0xFFFF0000, Blue = 0xFF0000FF;

// Collects the rectangles the surface is asked to paint.
class TPaintLog : public QObject {
public:
    explicit TPaintLog(QWidget& surface) : Surface(surface) { Surface.installEventFilter(this); }
    ~TPaintLog() override { Surface.removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            Rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
    QWidget& Surface;
    std::vector<QRect> Rects;
};

class BackgroundTest : public ScrollingTest {
protected:
    void ShowWithBackground(int pictureWidth, bool fixed)
    {
        PageOf(200);
        Show();
        Picture = TwoBandPicture(pictureWidth);
        TBackgroundPicture background;
        background.Picture = &Picture;
        background.Placement.Axes[0].Fixed = background.Placement.Axes[1].Fixed = fixed;
        Viewer.SetBackgroundPicture(background);
    }
    // A column right of every line's text.
    QRgb SurfacePixel(const QImage& image, int y) const { return image.pixel(image.width() - 2, y); }

    platform::Bitmap Picture;
};

struct TileCase {
    const char* Name;
    int PictureWidth;
    bool Fixed;
    std::vector<std::pair<int, QRgb>> Rows; // surface row and its colour with the view 8 pixels down
};
void PrintTo(const TileCase& c, std::ostream* os) { *os << c.Name; }

class TilingTest : public BackgroundTest, public ::testing::WithParamInterface<TileCase> {};

TEST_P(TilingTest, TilesFollowThePageUnlessFixed)
{
    const TileCase& c = GetParam();
    ShowWithBackground(c.PictureWidth, c.Fixed);
    Viewer.VScrollTo(8);
    const QImage painted = Viewer.PaintPanel().grab().toImage();
    for (const auto& [row, colour] : c.Rows)
        EXPECT_EQ(SurfacePixel(painted, row), colour) << "row " << row;
    EXPECT_EQ(Viewer.BackgroundFixed(), c.Fixed);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, TilingTest,
    ::testing::Values(TileCase{"Scrolling", 4, false, {{0, Red}, {7, Red}, {8, Blue}, {23, Blue}, {24, Red}}},
                      TileCase{"ScrollingStrip", 1, false, {{0, Red}, {8, Blue}, {24, Red}, {299, Blue}}},
                      TileCase{"Fixed", 4, true, {{0, Red}, {15, Red}, {16, Blue}, {32, Red}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ScrollingTest, ThePageShowsItsBackgroundColourWhereThereIsNoPicture)
{
    PageOf(3);
    Viewer.SetDefBackground(0x00FF00);
    Show();
    const QImage painted = Viewer.PaintPanel().grab().toImage();
    EXPECT_EQ(painted.pixel(RoomW - 2, 0), 0xFF00FF00u);
    EXPECT_EQ(painted.pixel(RoomW - 2, RoomH - 1), 0xFF00FF00u);
}

struct StripCase {
    const char* Name;
    bool Fixed;
    std::function<void(THtmlViewer&)> Scroll;
    int Strip; // rows painted at the bottom; 0 for the whole surface
};
void PrintTo(const StripCase& c, std::ostream* os) { *os << c.Name; }

class ScrollPaintTest : public BackgroundTest, public ::testing::WithParamInterface<StripCase> {};

// What a scroll paints, and that the surface then holds what a full paint at the new place would.
TEST_P(ScrollPaintTest, PaintsOnlyTheUncoveredStripUnlessTheBackgroundIsFixed)
{
    const StripCase& c = GetParam();
    ShowWithBackground(4, c.Fixed);
    Viewer.VScrollTo(200);
    Viewer.show();
    QApplication::processEvents();

    TPaintLog log(Viewer.PaintPanel());
    c.Scroll(Viewer);
    QApplication::processEvents();

    const QRect surface = Viewer.PaintPanel().rect();
    const QRect expected =
        c.Strip == 0 ? surface : QRect(0, surface.height() - c.Strip, surface.width(), c.Strip);
    EXPECT_EQ(log.Rects, std::vector<QRect>{expected});

    const QImage onScreen = Viewer.screen()->grabWindow(Viewer.winId()).toImage().copy(Viewer.PaintPanel().geometry());
    const QImage fresh = Viewer.PaintPanel().grab().toImage();
    EXPECT_EQ(onScreen.convertToFormat(QImage::Format_RGB32), fresh.convertToFormat(QImage::Format_RGB32));
}

INSTANTIATE_TEST_SUITE_P(
    Scrolls, ScrollPaintTest,
    ::testing::Values(
        StripCase{"LineDown", false, [](THtmlViewer& v) { v.KeyDown(Qt::Key_Down, Qt::NoModifier); }, Line},
        StripCase{"BarMoved", false, [](THtmlViewer& v) { v.VertBar().setValue(v.VertBar().value() + 40); }, 40},
        StripCase{"LineDownOverAFixedPicture", true, [](THtmlViewer& v) { v.KeyDown(Qt::Key_Down, Qt::NoModifier); },
                  0},
        StripCase{"BarMovedOverAFixedPicture", true,
                  [](THtmlViewer& v) { v.VertBar().setValue(v.VertBar().value() + 40); }, 0},
        StripCase{"PageDown", false, [](THtmlViewer& v) { v.KeyDown(Qt::Key_PageDown, Qt::NoModifier); }, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lantern
