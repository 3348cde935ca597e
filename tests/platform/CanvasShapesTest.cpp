#include "platform/Canvas.h"

#include "Pixels.h"

#include <QImage>
#include <QPolygon>
#include <QRegion>
#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace lantern;
using namespace lantern::platform;
using namespace lantern::platform::test;

TEST(Region, CoverageKeepsRightAndBottomEdgesOut)
{
    const Region rect = Region::FromRect(Rect{2, 2, 5, 5});
    const Region circle = Region::FromEllipse(Rect{5, 5, 16, 16}); // centre 10,10, radius 5, as image maps make it
    const Point square[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    const Region poly = Region::FromPolygon(square);
    // A five-pointed star drawn in one stroke: its centre is inside under the winding rule.
    const Point star[] = {{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}};
    const Region winding = Region::FromPolygon(star);
    struct Case {
        const Region* region;
        Point p;
        bool inside;
    } cases[] = {
        {&rect, {2, 2}, true},     {&rect, {4, 4}, true},     {&rect, {5, 4}, false},   {&rect, {4, 5}, false},
        {&rect, {1, 2}, false},    {&circle, {14, 10}, true}, {&circle, {15, 10}, true}, {&circle, {16, 10}, false},
        {&circle, {5, 10}, true},  {&circle, {4, 10}, false}, {&circle, {10, 15}, true}, {&circle, {10, 16}, false},
        {&circle, {6, 6}, false},  {&poly, {3, 3}, true},     {&poly, {4, 3}, false},   {&poly, {3, 4}, false},
        {&winding, {20, 20}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.region->Contains(c.p), c.inside) << c.p.x << "," << c.p.y;
    EXPECT_EQ(rect.Bounds(), (Rect{2, 2, 5, 5}));
    EXPECT_EQ(circle.Bounds(), (Rect{5, 5, 16, 16}));
    EXPECT_TRUE(Region::FromRect(Rect{3, 3, 3, 9}).IsEmpty());
    EXPECT_FALSE(rect.Subtracted(Region::FromRect(Rect{2, 2, 5, 4})).Contains(Point{3, 3}));
    EXPECT_TRUE(rect.Translated(10, 0).Contains(Point{12, 2}));
}

// Image-map areas come from the page: absurd sizes must neither hang nor lose the part that matters, and ordinary
// polygons keep the coverage the framework's own scan conversion gives them.
TEST(Region, HugeAreasStayCheapAndCorrectNearTheOrigin)
{
    const int big = 1 << 30;
    const Region circle = Region::FromEllipse(Rect{-big, -big, big, big});
    EXPECT_TRUE(circle.Contains(Point{0, 0}));
    EXPECT_TRUE(circle.Contains(Point{5000, -5000}));
    const Point triangle[] = {{0, 0}, {1 << 24, 1 << 23}, {0, 1 << 24}};
    const Region wedge = Region::FromPolygon(triangle);
    // Row 100 runs from the left edge to the upper edge, x = 2y.
    EXPECT_TRUE(wedge.Contains(Point{0, 100}));
    EXPECT_TRUE(wedge.Contains(Point{199, 100}));
    EXPECT_FALSE(wedge.Contains(Point{200, 100}));
    EXPECT_FALSE(wedge.Contains(Point{-1, 100}));

    const std::vector<std::vector<Point>> polygons = {
        {{0, 0}, {9, 0}, {6, 4}, {0, 4}},                  // a border trapezoid
        {{3, 1}, {17, 6}, {2, 13}},                        // slanted edges both ways
        {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}},     // a star: the winding rule fills its centre
        {{0, 0}, {12, 12}, {12, 0}, {0, 12}},              // a bow tie
    };
    for (const auto& poly : polygons) {
        QPolygon q;
        for (Point p : poly)
            q << QPoint(p.x, p.y);
        const QRegion reference(q, Qt::WindingFill);
        const Region region = Region::FromPolygon(poly);
        for (int y = -2; y < 22; ++y)
            for (int x = -2; x < 22; ++x)
                ASSERT_EQ(region.Contains(Point{x, y}), reference.contains(QPoint(x, y))) << x << "," << y;
    }
}

// The four sides of a border ring are quadrilaterals meeting on the corner diagonals: together they must cover
// every pixel of the ring exactly once and nothing inside or outside it.
TEST(Region, BorderRingQuadrilateralsTileTheRing)
{
    struct Case {
        Rect outer, inner;
    } cases[] = {
        {{10, 10, 50, 40}, {18, 18, 42, 32}}, // 8 px on every side
        {{0, 0, 30, 20}, {1, 5, 27, 20}},     // uneven widths, no bottom side
        {{5, 5, 9, 9}, {6, 6, 8, 8}},         // tiny
    };
    for (const Case& c : cases) {
        // Corners in the order left-bottom, left-top, right-top, right-bottom; side i runs from corner i to i + 1.
        std::array<Point, 4> o{{{c.outer.left, c.outer.bottom}, {c.outer.left, c.outer.top}, {c.outer.right, c.outer.top},
                                {c.outer.right, c.outer.bottom}}};
        std::array<Point, 4> n{{{c.inner.left, c.inner.bottom}, {c.inner.left, c.inner.top}, {c.inner.right, c.inner.top},
                                {c.inner.right, c.inner.bottom}}};
        std::vector<Region> sides;
        for (int i = 0; i < 4; ++i) {
            Point quad[] = {o[i], o[(i + 1) % 4], n[(i + 1) % 4], n[i]};
            sides.push_back(Region::FromPolygon(quad));
        }
        for (int y = c.outer.top - 2; y < c.outer.bottom + 2; ++y)
            for (int x = c.outer.left - 2; x < c.outer.right + 2; ++x) {
                int covered = 0;
                for (const Region& r : sides)
                    covered += r.Contains(Point{x, y});
                bool inRing = c.outer.Contains(Point{x, y}) && !c.inner.Contains(Point{x, y});
                ASSERT_EQ(covered, inRing ? 1 : 0) << x << "," << y;
            }
    }
}

TEST(CanvasShapes, FillsCoverExactlyTheirArea)
{
    QImage img = WhiteImage(40, 40);
    PaintCanvas p(img);
    p.FillRect(Rect{3, 4, 10, 6}, 0);
    EXPECT_EQ(InkBounds(img), (Rect{3, 4, 10, 6}));
    p.FillRect(Rect{20, 20, 20, 30}, 0); // empty: nothing
    EXPECT_EQ(InkBounds(img), (Rect{3, 4, 10, 6}));

    QImage poly = WhiteImage(40, 40);
    PaintCanvas q(poly);
    const Point trapezoid[] = {{1, 1}, {9, 1}, {6, 4}, {1, 4}};
    q.FillPolygon(trapezoid, 0x0000FF);
    Region expected = Region::FromPolygon(trapezoid);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(Inked(poly, x, y), expected.Contains(Point{x, y})) << x << "," << y;
    EXPECT_EQ(poly.pixel(2, 2), qRgb(255, 0, 0));
}

TEST(CanvasShapes, RectangleAndEllipseStayInsideTheirBox)
{
    struct Case {
        int penWidth;
        bool brush;
        Rect box;
        Point hollow; // a pixel the outline must not reach (white without a brush, brush colour with one)
    } cases[] = {
        {1, false, {0, 0, 7, 7}, {3, 3}},
        {2, true, {2, 3, 12, 9}, {6, 5}},
        {1, true, {0, 0, 5, 5}, {2, 2}},
    };
    for (const Case& c : cases)
        for (bool ellipse : {false, true}) {
            QImage img = WhiteImage(20, 20);
            PaintCanvas p(img);
            p.SetPen(0x000000, c.penWidth);
            if (c.brush)
                p.SetBrush(0x0000FF);
            else
                p.SetBrushClear();
            if (ellipse)
                p.Ellipse(c.box);
            else
                p.Rectangle(c.box);
            EXPECT_EQ(InkBounds(img), c.box) << ellipse;
            EXPECT_EQ(img.pixel(c.hollow.x, c.hollow.y), c.brush ? qRgb(255, 0, 0) : qRgb(255, 255, 255)) << ellipse;
            // Symmetric: the exclusive right and bottom edges do not lean the shape.
            for (int y = c.box.top; y < c.box.bottom; ++y)
                for (int x = c.box.left; x < c.box.right; ++x)
                    ASSERT_EQ(img.pixel(x, y), img.pixel(c.box.right - 1 - (x - c.box.left), c.box.bottom - 1 - (y - c.box.top)))
                        << ellipse << " " << x << "," << y;
        }
}

TEST(CanvasShapes, LineToLeavesOutItsEndPoint)
{
    struct Case {
        Point from, to;
        Rect ink;
    } cases[] = {
        {{2, 5}, {8, 5}, {2, 5, 8, 6}},
        {{8, 5}, {2, 5}, {3, 5, 9, 6}},
        {{4, 1}, {4, 6}, {4, 1, 5, 6}},
        {{4, 6}, {4, 1}, {4, 2, 5, 7}},
        {{0, 0}, {5, 5}, {0, 0, 5, 5}},
        {{3, 3}, {3, 3}, {}},
    };
    for (const Case& c : cases) {
        QImage img = WhiteImage(12, 12);
        PaintCanvas p(img);
        p.SetPen(0);
        p.MoveTo(c.from.x, c.from.y);
        p.LineTo(c.to.x, c.to.y);
        EXPECT_EQ(InkBounds(img), c.ink) << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y;
    }
    // The diagonal is one pixel per step.
    QImage img = WhiteImage(12, 12);
    PaintCanvas p(img);
    p.SetPen(0);
    p.MoveTo(0, 0);
    p.LineTo(5, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Inked(img, i, i));
    EXPECT_FALSE(Inked(img, 1, 0));
}

// Dashed and dotted border sides: dashes three pen widths with one-width gaps, dots one with one, and open ends
// reaching half a width past the end points.
TEST(CanvasShapes, DashedAndDottedGeometricPens)
{
    struct Case {
        PenStyle style;
        int width;
        std::vector<int> runs; // alternating inked and blank run lengths along the line, from x = 0
    } cases[] = {
        {PenStyle::Dash, 2, {5, 2, 6, 2, 6, 2, 6, 2, 6, 2, 2}}, // the first dash starts one pixel before x = 0
        {PenStyle::Dot, 2, {1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
        {PenStyle::Dash, 4, {10, 4, 12, 4, 12, 4}},
        {PenStyle::Solid, 2, {40}},
    };
    for (const Case& c : cases) {
        QImage img = WhiteImage(60, 20);
        PaintCanvas p(img);
        p.SetPen(0, c.width, c.style);
        const Point line[] = {{0, 10}, {40, 10}};
        p.StrokePath(line, false);
        std::vector<int> runs;
        bool inked = true;
        int run = 0;
        for (int x = 0; x < 60; ++x) {
            if (Inked(img, x, 10) != inked) {
                runs.push_back(run);
                inked = !inked;
                run = 0;
            }
            ++run;
        }
        std::vector<int> expected = c.runs;
        // Compare the pattern's head; the tail depends only on where the line ends.
        runs.resize(std::min(runs.size(), expected.size()));
        expected.resize(runs.size());
        EXPECT_EQ(runs, expected) << int(c.style) << " width " << c.width;
        // The pen is as thick as asked, centred on the line.
        int rows = 0;
        for (int y = 0; y < 20; ++y)
            rows += Inked(img, 0, y);
        EXPECT_EQ(rows, c.width);
    }
}

// Dotted pens have round ends: a wide dot is a disc one width across, centred every two widths from the start,
// so its corner pixels stay blank where a square would fill them; dashes keep square corners.
TEST(CanvasShapes, WideDotsAreDiscsAndDashesAreSquare)
{
    struct Case {
        PenStyle style;
        int width;
        bool cornersInked;
    } cases[] = {{PenStyle::Dot, 5, false}, {PenStyle::Dot, 7, false}, {PenStyle::Dash, 5, true}};
    for (const Case& c : cases) {
        QImage img = WhiteImage(80, 30);
        PaintCanvas p(img);
        p.SetPen(0, c.width, c.style);
        const Point line[] = {{10, 15}, {70, 15}};
        p.StrokePath(line, false);
        const int r = c.width / 2;
        SCOPED_TRACE(std::to_string(int(c.style)) + " width " + std::to_string(c.width));
        // The first mark is centred on the start point and spans one width each way.
        EXPECT_TRUE(Inked(img, 10, 15 - r));
        EXPECT_TRUE(Inked(img, 10, 15 + r));
        EXPECT_TRUE(Inked(img, 10 - r, 15));
        EXPECT_FALSE(Inked(img, 10 - r - 1, 15));
        EXPECT_EQ(Inked(img, 10 - r, 15 - r), c.cornersInked);
        EXPECT_EQ(Inked(img, 10 - r, 15 + r), c.cornersInked);
        if (c.style == PenStyle::Dot) {
            // The next dot two widths on, with a one-width gap between.
            EXPECT_TRUE(Inked(img, 10 + 2 * c.width, 15));
            EXPECT_FALSE(Inked(img, 10 + c.width, 15));
        }
    }
}

TEST(CanvasShapes, FocusRectangleTogglesAlternatePixels)
{
    QImage img = WhiteImage(20, 20);
    PaintCanvas p(img);
    p.FillRect(Rect{0, 0, 20, 10}, 0x808080);
    const QImage before = img.copy();
    const Rect r{2, 3, 15, 14};
    p.DrawFocusRect(r);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            bool onFrame = r.Contains(Point{x, y}) && (x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1);
            bool changed = img.pixel(x, y) != before.pixel(x, y);
            ASSERT_EQ(changed, onFrame && (x + y) % 2 == 0) << x << "," << y;
        }
    p.DrawFocusRect(r);
    EXPECT_TRUE(img == before);

    // Round a huge picture only the visible stretch is toggled, with the same pattern.
    const Rect huge{-(1 << 30), 3, 1 << 30, 1 << 30};
    p.DrawFocusRect(huge);
    for (int x = 0; x < 20; ++x)
        ASSERT_EQ(img.pixel(x, 3) != before.pixel(x, 3), (x + 3) % 2 == 0) << x;
    EXPECT_EQ(img.pixel(5, 4), before.pixel(5, 4));
    p.DrawFocusRect(huge);
    EXPECT_TRUE(img == before);
}

TEST(CanvasShapes, ClipsNestAndComeBack)
{
    QImage img = WhiteImage(30, 30);
    PaintCanvas p(img);
    p.Save();
    p.IntersectClipRect(Rect{5, 5, 20, 20});
    p.ExcludeClipRect(Rect{8, 8, 12, 12});
    p.Save();
    p.IntersectClipRect(Rect{0, 0, 15, 30});
    p.FillRect(Rect{0, 0, 30, 30}, 0);
    p.Restore();
    EXPECT_EQ(InkBounds(img), (Rect{5, 5, 15, 20}));
    EXPECT_FALSE(Inked(img, 10, 10)); // the excluded hole
    p.Save();
    p.LiftClip();
    p.FillRect(Rect{25, 25, 26, 26}, 0);
    p.Restore();
    EXPECT_TRUE(Inked(img, 25, 25));
    p.FillRect(Rect{0, 0, 30, 30}, 0x0000FF);
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255)); // still clipped to the outer level
    EXPECT_EQ(img.pixel(19, 19), qRgb(255, 0, 0));
    p.Restore();
    p.FillRect(Rect{0, 0, 1, 1}, 0x0000FF);
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
}
