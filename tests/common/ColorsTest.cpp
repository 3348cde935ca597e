#include "common/Colors.h"

#include <gtest/gtest.h>

using namespace lantern;

TEST(Colors, ChannelsKeepTheBlueGreenRedOrder)
{
    Color c = MakeColor(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412u);
    EXPECT_EQ(RedOf(c), 0x12);
    EXPECT_EQ(GreenOf(c), 0x34);
    EXPECT_EQ(BlueOf(c), 0x56);
}

TEST(Colors, ColorToRGBResolvesSystemColoursAndDropsFlags)
{
    struct Case {
        Color in, out;
    } cases[] = {
        {clWindow, 0xFFFFFF},
        {clWindowText, 0x000000},
        // the classic scheme: grey faces, white highlight and grey shadow of 3-D edges, navy selection
        {clBtnFace, 0xC0C0C0},
        {clBtnShadow, 0x808080},
        {clBtnHighlight, 0xFFFFFF},
        {cl3DDkShadow, 0x000000},
        {clHighlight, 0x800000},         // navy, 0x000080 as red, green, blue
        {clHighlightText, 0xFFFFFF},
        {clInfoBk, 0xE1FFFF},
        {SystemColor(200), clBlack},     // beyond the table
        {0x00123456, 0x00123456},
        {0x02123456, 0x00123456},        // palette-relative flag ignored
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorToRGB(c.in), c.out) << std::hex << c.in;
}

TEST(Colors, ShadesRoundHalfToEvenAndClamp)
{
    struct Case {
        Color in, darker, lighter;
    } cases[] = {
        {0x808080, 0x606060, 0x939393},                                      // 96; 147.2 -> 147
        {MakeColor(2, 6, 10), MakeColor(2, 4, 8), MakeColor(2, 7, 12)},      // exact halves go to even: 1.5, 4.5, 7.5, 11.5
        {0xF0F0F0, 0xB4B4B4, 0xFFFFFF},                                      // 276 clamps to 255
        {clBlack, clBlack, clBlack},                                         // black stays black
        {MakeColor(0, 0, 1), MakeColor(0, 0, 1), MakeColor(0, 0, 1)},        // 0.75 -> 1, 1.15 -> 1
        {clBtnFace, 0x909090, 0xDDDDDD},                                     // system colours resolve first: 144; 220.8
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DarkerShade(c.in), c.darker) << std::hex << c.in;
        EXPECT_EQ(LighterShade(c.in), c.lighter) << std::hex << c.in;
    }
}
