// Lengths, font sizes and colour text: the conversions every style value goes through.
#include "style/ColorParser.h"
#include "style/Lengths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <climits>

namespace lantern {
namespace {

TEST(SplitNumberUnit, NumberAndUnit)
{
    struct Case {
        u16v Text;
        bool Ok;
        double Number;
        u16v Unit;
    };
    const Case cases[] = {
        {u"1em", true, 1, u"em"},        {u"2ex", true, 2, u"ex"},     {u"1.5e3px", true, 1.5, u"e3px"},
        {u"1e3", true, 1000, u""},       {u"-2.5pt", true, -2.5, u"pt"}, {u"+3", true, 3, u""},
        {u".5in", true, 0.5, u"in"},     {u"12 px", true, 12, u"px"},  {u"7.", true, 7, u""},
        {u"px", false, 0, u""},          {u"", false, 0, u""},         {u"-", false, 0, u""},
        {u" 12px", false, 0, u""},       {u".em", false, 0, u""},
    };
    for (const Case& c : cases) {
        double n = -99;
        u16 unit = u"?";
        EXPECT_EQ(SplitNumberUnit(c.Text, n, unit), c.Ok) << ToUtf8(c.Text);
        if (!c.Ok) continue;
        EXPECT_DOUBLE_EQ(n, c.Number) << ToUtf8(c.Text);
        EXPECT_EQ(unit, c.Unit) << ToUtf8(c.Text);
    }
}

TEST(ConvertLength, UnitsBasesAndDefaults)
{
    struct Case {
        u16v Text;
        bool Relative;
        int Base;
        int Expected;
    };
    // ex size 7, em size 16, default -5 throughout.
    const Case cases[] = {
        {u"50%", false, 300, 150}, {u"12", false, 300, 12},  {u"12", true, 3, 36},     {u"2.7px", false, 0, 2},
        {u"-2.7px", false, 0, -2}, {u"1in", false, 0, 96},  {u"2.54cm", false, 0, 96}, {u"25.4mm", false, 0, 95},
        {u"12pt", false, 0, 16},   {u"1pc", false, 0, 16},  {u"1.5em", false, 0, 24},  {u"2ex", false, 0, 14},
        {u"-10px", false, 0, -10}, {u"1.5e3px", false, 0, -5}, {u"3furlongs", false, 0, -5}, {u"auto", false, 0, -5},
        {u"", false, 0, -5},       {u"10 px", false, 0, 10}, {u"-50%", false, 200, -100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertLength(c.Text, c.Relative, c.Base, -5, 7, 16), c.Expected) << ToUtf8(c.Text);
}

TEST(ConvertLength, HugeValuesSaturate)
{
    EXPECT_EQ(ConvertLength(u"100000000000000px", false, 0, 0, 0, 0), INT_MAX);
    EXPECT_EQ(ConvertLength(u"-1e30", false, 0, 0, 0, 0), INT_MIN);
    EXPECT_EQ(ConvertLength(u"1e30px", false, 0, 0, 0, 0), 0); // "e30px" is no unit
    EXPECT_EQ(ConvertLength(u"99999999999%", false, 100000, 0, 0, 0), INT_MAX);
}

class FontSizes : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFontSizeSteps(12);
        SetDocumentDefaultFontSize(12);
    }
    void TearDown() override { SetUp(); }
};

TEST_F(FontSizes, KeywordsUnitsAndFallback)
{
    struct Case {
        u16v Text;
        bool Quirks;
        double Parent;
        double Expected;
    };
    const Case cases[] = {
        {u"medium", false, 10, 14}, {u"medium", true, 10, 18},  {u"xx-large", false, 10, 36},
        {u"xx-large", true, 10, 36}, {u"x-large", true, 10, 36}, {u"xx-small", false, 10, 8},
        {u"xx-small", true, 10, 10}, {u"small", false, 10, 12},  {u"150%", false, 10, 15},
        {u"12px", false, 10, 9},    {u"12", false, 10, 9},       {u"1in", false, 10, 72},
        {u"2pc", false, 10, 24},    {u"11pt", false, 10, 11},    {u"2em", false, 10, 20},
        {u"2ex", false, 10, 10},    {u"larger", false, 14, 18},  {u"smaller", false, 14, 12},
        {u"huge", false, 10, 12},   {u"12furlongs", false, 10, 12}, {u"MEDIUM", false, 10, 12},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ConvertFontSize(c.Text, c.Quirks, c.Parent), c.Expected, 1e-9) << ToUtf8(c.Text);
}

TEST_F(FontSizes, ScalesFollowTheDefaultSize)
{
    SetFontSizeSteps(18);
    EXPECT_DOUBLE_EQ(FontSizeSteps()[1], 12);
    EXPECT_DOUBLE_EQ(FontSizeSteps()[7], 54);
    EXPECT_DOUBLE_EQ(PreFontSizeSteps()[1], 10.5);
    EXPECT_DOUBLE_EQ(ConvertFontSize(u"medium", false, 10), 21);
    SetDocumentDefaultFontSize(9);
    EXPECT_DOUBLE_EQ(ConvertFontSize(u"bogus", false, 10), 9);
}

TEST_F(FontSizes, StepFontSize)
{
    struct Case {
        int Direction;
        double Size;
        double Expected;
    };
    const Case cases[] = {
        {+1, 14, 18}, {+1, 18, 24}, {-1, 8, 6.4}, {+1, 36, 54}, {-1, 14, 12},
        // Between two steps the nearer one is the reference, the lower on a tie.
        {+1, 13, 13.0 * 14 / 12}, {+1, 13.5, 13.5 * 18 / 14}, {+1, 100, 150}, {-1, 2, 1.6}, {0, 13, 13},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(StepFontSize(c.Direction, c.Size), c.Expected, 1e-9) << c.Direction << " " << c.Size;
}

TEST(ParseColor, Forms)
{
    struct Case {
        u16v Text;
        bool NeedHash;
        bool Ok;
        Color Expected;
    };
    const Case cases[] = {
        {u"#f0c", false, true, 0x00CC00FF},
        {u"#ff00cc", false, true, 0x00CC00FF},
        {u"red", false, true, 0x000000FF},
        {u"  Red ", false, true, 0x000000FF},
        {u"RGB(100%, 0, 0)", false, true, 0x000000FF},
        {u"rgb(300,-5,0)", false, true, 0x000000FF},
        {u"rgb(0, 128, 255)", false, true, 0x00FF8000},
        {u"rgba(0, 128, 255, 0.5)", false, true, 0x00FF8000},
        {u"rgb(50%, x, 1.5)", false, true, 0x0000007F}, // 50 x 2.55 lies just below 127.5
        {u"hsl(120, 100%, 50%)", false, true, 0x0000FF00},
        {u"hsl(480, 100%, 50%)", false, true, 0x0000FF00},
        {u"hsl(-240, 100%, 50%)", false, true, 0x0000FF00},
        {u"hsla(0, 100%, 50%, 0.3)", false, true, 0x000000FF},
        {u"hsl(0, 0%, 50%)", false, true, 0x00808080},
        {u"hsl(240, 200%, 25%)", false, true, 0x00800000},
        {u"abc", false, true, 0x00CCBBAA},
        {u"abd", true, false, 0},
        {u"#abc", true, true, 0x00CCBBAA},
        {u"darkgoldenrod", false, true, 0x000B86B8},
        {u"cornflowerblue", false, true, 0x00ED9564},
        {u"darkslategrey", false, true, 0x004F4F2F},
        {u"transparent", false, true, clNone},
        {u"buttonface", false, true, 0xFF00000F},
        {u"appworkspace", false, true, 0xFF00000C},
        {u"hightlighttext", false, true, 0xFF00000E},
        {u"highlighttext", false, false, 0},
        {u"#red", false, false, 0},
        {u"#12345g", false, false, 0},
        {u"#123456789", false, true, 0x00896745}, // a longer number still gives its low 24 bits
        {u"#000000fff", false, true, 0x00FF0F00},
        {u"#1234567890ab", false, true, 0x00AB9078},
        {u"#1234567", false, true, 0x00674523},
        {u"", false, false, 0},
        {u"#", false, false, 0},
        {u"rgb 1,2,3", false, false, 0},
        {u"hsl(120", false, false, 0},
    };
    for (const Case& c : cases) {
        Color got = 0x12345678;
        EXPECT_EQ(ParseColor(c.Text, c.NeedHash, got), c.Ok) << ToUtf8(c.Text);
        if (c.Ok) {
            EXPECT_EQ(got, c.Expected) << ToUtf8(c.Text);
        }
    }
}

TEST(ParseColor, RememberedTextStillAnswersAfterAFailure)
{
    Color c = 0;
    ASSERT_TRUE(ParseColor(u"navy", false, c));
    EXPECT_FALSE(ParseColor(u"notacolour", false, c));
    ASSERT_TRUE(ParseColor(u"navy", false, c));
    EXPECT_EQ(c, 0x00800000u);
    ASSERT_TRUE(ParseColor(u"teal", false, c));
    EXPECT_EQ(c, 0x00808000u);
}

} // namespace
} // namespace lantern
