// Box properties to pixels, and where background tiles go.
#include "style/BoxValues.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <utility>

namespace lantern {
namespace {

using Cells = std::initializer_list<std::pair<int, PropValue>>;

// The box cells of a set holding these values, as layout gathers them (border colours default to "color").
TBoxCellArray Gather(Cells values)
{
    TProperties p;
    p.Props[piColor] = Color(0x00000080);
    for (const auto& [index, value] : values) p.Props[std::size_t(index)] = value;
    TBoxCellArray cells;
    p.GatherBorderValues(cells, true);
    return cells;
}

TEST(ResolveBoxValues, FreshSetGivesDefaults)
{
    TBoxValueArray marg{};
    BoxValue(marg, piMarginTop) = 77; // vertical margins are left alone
    int autoCount = -1;
    ResolveBoxValues(Gather({}), 400, 300, marg, autoCount, 4, 8, 16);
    EXPECT_EQ(autoCount, 1); // the width
    EXPECT_EQ(BoxValue(marg, piMarginTop), 77);
    EXPECT_EQ(BoxValue(marg, piBackgroundColor), clNone);
    EXPECT_EQ(BoxValue(marg, piBorderTopColor), 0x00000080);
    EXPECT_EQ(BoxValue(marg, piMarginLeft), 0);
    EXPECT_EQ(BoxValue(marg, piPaddingLeft), 0);
    EXPECT_EQ(BoxValue(marg, piBorderLeftWidth), 0); // no style: no border
    EXPECT_EQ(BoxValue(marg, piMinHeight), 0);
    EXPECT_EQ(BoxValue(marg, piMinWidth), 0);
    EXPECT_EQ(BoxValue(marg, piWidth), AutoLength);
    EXPECT_EQ(BoxValue(marg, piHeight), 0);
    EXPECT_EQ(BoxValue(marg, piLeft), AutoLength);
    EXPECT_EQ(BoxValue(marg, piBoxSizing), 0); // content-box
}

TEST(ResolveBoxValues, ValuesOfEveryKind)
{
    const TBoxCellArray cells = Gather({
        {piBackgroundColor, Color(0x00FF00)},
        {piMarginLeft, u"auto"},
        {piMarginRight, u"10%"},
        {piMinWidth, u"wide"},
        {piMaxWidth, u"50em"},
        {piBoxSizing, u"border-box"},
        {piPaddingTop, u"5px"},
        {piPaddingBottom, 3},
        {piBorderTopStyle, u"solid"},
        {piBorderTopWidth, u"thick"},
        {piBorderBottomStyle, u"dashed"},
        {piBorderBottomWidth, u"nonsense"},
        {piBorderLeftStyle, u"dotted"},
        {piBorderRightStyle, u"double"},
        {piBorderRightWidth, u"1ex"},
        {piHeight, u"50%"},
        {piMaxHeight, u"200px"},
        {piWidth, u"auto"},
        {piTop, u"10%"},
        {piLeft, u"-3px"},
    });
    TBoxValueArray marg{};
    int autoCount = 0;
    ResolveBoxValues(cells, 400, 300, marg, autoCount, 4, 8, 16);
    EXPECT_EQ(autoCount, 2);
    EXPECT_EQ(BoxValue(marg, piBackgroundColor), 0x00FF00);
    EXPECT_EQ(BoxValue(marg, piMarginLeft), AutoLength);
    EXPECT_EQ(BoxValue(marg, piMarginRight), 40);
    EXPECT_EQ(BoxValue(marg, piMinWidth), AutoLength);
    EXPECT_EQ(BoxValue(marg, piMaxWidth), 800);
    EXPECT_EQ(BoxValue(marg, piBoxSizing), 1);
    EXPECT_EQ(BoxValue(marg, piBorderTopWidth), 6);
    EXPECT_EQ(BoxValue(marg, piBorderBottomWidth), 4); // unreadable: the default width
    EXPECT_EQ(BoxValue(marg, piBorderLeftWidth), 4);   // styled but not given
    EXPECT_EQ(BoxValue(marg, piBorderRightWidth), 8);
    EXPECT_EQ(BoxValue(marg, piBorderTopStyle), int(BorderStyle::Solid));
    EXPECT_EQ(BoxValue(marg, piBorderRightStyle), int(BorderStyle::Double));
    // A percentage height is of the height base, less the vertical paddings and borders.
    EXPECT_EQ(BoxValue(marg, piHeight), 150 - (5 + 3 + 6 + 4));
    EXPECT_EQ(BoxValue(marg, piMaxHeight), 200);
    EXPECT_EQ(BoxValue(marg, piWidth), AutoLength);
    EXPECT_EQ(BoxValue(marg, piTop), 30);
    EXPECT_EQ(BoxValue(marg, piLeft), -3);
    EXPECT_EQ(BoxValue(marg, piRight), AutoLength);
}

TEST(ResolveBoxValues, ReplacedElementsKeepUnsetValues)
{
    const TBoxCellArray cells = Gather({{piMarginLeft, u"7px"}, {piBorderTopStyle, u"solid"}, {piWidth, u"50%"}});
    TBoxValueArray marg{};
    ResolveBoxValuesForReplaced(cells, 200, marg, 8, 16);
    EXPECT_EQ(BoxValue(marg, piMarginLeft), 7);
    EXPECT_EQ(BoxValue(marg, piMarginTop), UnsetLength);
    EXPECT_EQ(BoxValue(marg, piMaxWidth), UnsetLength);
    EXPECT_EQ(BoxValue(marg, piBorderTopWidth), 4);
    EXPECT_EQ(BoxValue(marg, piBorderLeftWidth), 0);
    EXPECT_EQ(BoxValue(marg, piWidth), 100);
    EXPECT_EQ(BoxValue(marg, piHeight), UnsetLength);
}

TEST(ResolveVerticalMargins, GapsAndLengths)
{
    struct Case {
        PropValue Cell;
        int Pixels;
        bool Gap;
    };
    const Case cases[] = {
        {ParagraphGapMarker, 14, true}, {UnsetLength, 0, false}, {u"2em", 32, false}, {u"10%", 20, false},
        {u"auto", 0, false},            {-5, -5, false},         {PropValue(), 0, false},
    };
    for (const Case& c : cases) {
        TBoxValueArray marg{};
        bool topGap = !c.Gap, bottomGap = true;
        ResolveVerticalMargins(Gather({{piMarginTop, c.Cell}}), 200, marg, topGap, bottomGap, 8, 16);
        EXPECT_EQ(BoxValue(marg, piMarginTop), c.Pixels) << ToUtf8(c.Cell.Text()) << c.Cell.AsInt();
        EXPECT_EQ(topGap, c.Gap) << ToUtf8(c.Cell.Text());
        EXPECT_FALSE(bottomGap);
    }
}

TEST(ResolveDeferredPaddings, PercentagesStayNegative)
{
    TBoxValueArray marg{};
    ResolveDeferredPaddings(Gather({{piPaddingTop, u"10%"}, {piPaddingRight, u"4px"}, {piPaddingBottom, 2}}), marg,
                            8, 16);
    EXPECT_EQ(BoxValue(marg, piPaddingTop), -10);
    EXPECT_EQ(BoxValue(marg, piPaddingRight), 4);
    EXPECT_EQ(BoxValue(marg, piPaddingBottom), 2);
    EXPECT_EQ(BoxValue(marg, piPaddingLeft), -1);
}

TEST(BoxSizing, MinMaxAndBorderBox)
{
    TBoxValueArray marg{};
    BoxValue(marg, piMinWidth) = 50;
    BoxValue(marg, piMaxWidth) = 300;
    int width = 500, maxSeen = 0;
    ApplyMinMaxWidth(marg, width, maxSeen, false);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(maxSeen, 300);
    width = 20;
    ApplyMinMaxWidth(marg, width, maxSeen, false);
    EXPECT_EQ(width, 50);
    width = 500;
    ApplyMinMaxWidth(marg, width, maxSeen, true);
    EXPECT_EQ(width, 500);

    struct Case {
        int Width, Height, Sizing;
        bool IncludeBox;
        int OutWidth, OutHeight;
    };
    // Max 300 x 100, min 50 x 10; left+right box 2+3+4+5 = 14, top+bottom 1+2+3+4 = 10.
    const Case cases[] = {
        {500, 500, 0, false, 300, 100}, {500, 500, 1, false, 286, 90}, {200, 60, 0, true, 186, 50},
        {AutoLength, 5, 0, false, AutoLength, 10},
        {AutoLength, -1, 1, false, AutoLength, 0}, // the height is clamped without a sign test, then loses its box
    };
    for (const Case& c : cases) {
        TBoxValueArray m{};
        BoxValue(m, piMinWidth) = 50;
        BoxValue(m, piMaxWidth) = 300;
        BoxValue(m, piMinHeight) = 10;
        BoxValue(m, piMaxHeight) = 100;
        BoxValue(m, piBorderLeftWidth) = 2;
        BoxValue(m, piBorderRightWidth) = 3;
        BoxValue(m, piPaddingLeft) = 4;
        BoxValue(m, piPaddingRight) = 5;
        BoxValue(m, piBorderTopWidth) = 1;
        BoxValue(m, piBorderBottomWidth) = 2;
        BoxValue(m, piPaddingTop) = 3;
        BoxValue(m, piPaddingBottom) = 4;
        BoxValue(m, piBoxSizing) = c.Sizing;
        BoxValue(m, piWidth) = c.Width;
        BoxValue(m, piHeight) = c.Height;
        ApplyBoxSizing(m, c.IncludeBox);
        EXPECT_EQ(BoxValue(m, piWidth), c.OutWidth) << c.Width << "x" << c.Height;
        EXPECT_EQ(BoxValue(m, piHeight), c.OutHeight) << c.Width << "x" << c.Height;
    }
}

TEST(BoxSizing, SaturatedPaddingsDoNotWrapRound)
{
    // "99999999999px" saturates to the largest pixel count; two of them must not add up to a small box.
    const u16v huge = u"99999999999px";
    const TBoxCellArray cells = Gather({{piPaddingTop, huge}, {piPaddingBottom, huge}, {piPaddingLeft, huge},
                                        {piPaddingRight, huge}, {piHeight, u"50%"}, {piWidth, u"500px"},
                                        {piBoxSizing, u"border-box"}});
    TBoxValueArray marg{};
    int autoCount = 0;
    ResolveBoxValues(cells, 400, 300, marg, autoCount, 4, 8, 16);
    EXPECT_EQ(BoxValue(marg, piHeight), INT_MIN);
    BoxValue(marg, piHeight) = 60;
    ApplyBoxSizing(marg, false);
    EXPECT_EQ(BoxValue(marg, piWidth), INT_MIN);
    EXPECT_EQ(BoxValue(marg, piHeight), INT_MIN);
}

TEST(BackgroundTiles, OriginsAndRepeats)
{
    using K = BackgroundPosKind;
    struct Case {
        TBackgroundPlacement::Axis X;
        Rect Clip;
        int OffsetX;
        int Start, End;
    };
    // Area 200 wide, picture 30 wide.
    const Case cases[] = {
        {{K::Left, 0, false, false}, {0, 0, 100, 10}, 0, 0, 1},
        {{K::Center, 0, false, false}, {0, 0, 100, 10}, 0, 85, 86},
        {{K::Right, 0, false, false}, {0, 0, 100, 10}, 0, 170, 170},   // outside the clip: nothing drawn
        {{K::Percent, 50, false, false}, {0, 0, 200, 10}, 10, 75, 76},
        {{K::Length, 17, true, false}, {40, 0, 100, 10}, 0, 17, 100},  // back to the last tile before the clip
        {{K::Length, 17, true, false}, {0, 0, 100, 10}, 0, -13, 100},
        {{K::Length, 0, true, false}, {65, 0, 100, 10}, 5, 55, 100},
        // Saturated lengths ("99999999999px") still tile in step with their position.
        {{K::Length, INT_MAX, true, false}, {0, 0, 100, 10}, 0, -23, 100},
        {{K::Length, INT_MIN, true, false}, {0, 0, 100, 10}, 5, -13, 100},
    };
    for (const Case& c : cases) {
        TBackgroundPlacement pl;
        pl.Axes = {c.X, TBackgroundPlacement::Axis{K::Top, 0, false, false}};
        int x = 0, xEnd = 0, y = 0, yEnd = 0;
        ComputeBackgroundTiles(pl, c.Clip, 200, 50, 30, 20, c.OffsetX, 0, x, xEnd, y, yEnd);
        EXPECT_EQ(x, c.Start) << int(c.X.Kind) << " " << c.X.Value;
        EXPECT_EQ(xEnd, c.End) << int(c.X.Kind) << " " << c.X.Value;
        EXPECT_EQ(y, 0);
        EXPECT_EQ(yEnd, 1);
    }
    // A picture without size is placed once rather than tiled.
    TBackgroundPlacement pl;
    int x = 0, xEnd = 0, y = 0, yEnd = 0;
    ComputeBackgroundTiles(pl, {0, 0, 100, 100}, 200, 50, 0, 0, 0, 0, x, xEnd, y, yEnd);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(xEnd, 0);
}

} // namespace
} // namespace lantern
