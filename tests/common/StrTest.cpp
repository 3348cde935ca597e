#include "common/Str.h"
#include "common/WinMath.h"

#include <gtest/gtest.h>

using namespace lantern;

TEST(Str, CaseMappingKeepsLength)
{
    EXPECT_EQ(UpperAscii(u"straße-ab"), u"STRAßE-AB");
    EXPECT_EQ(UpperUnits(u"straße"), u"STRAßE"); // no expansion to SS
    EXPECT_EQ(LowerUnits(u"ÄÖÜ İ"), u"äöü i");
}

TEST(Str, TrimStopsAtSpaceAndKeepsNoBreakSpace)
{
    EXPECT_EQ(Trim(u"\x01 \t a b \r\n"), u"a b");
    EXPECT_EQ(Trim(u"\u00A0x\u00A0"), u"\u00A0x\u00A0");
}

TEST(Str, OneBasedHelpersClampLikeTheFramework)
{
    EXPECT_EQ(Pos(u"b", u"abcb"), 2u);
    EXPECT_EQ(PosEx(u"b", u"abcb", 3), 4u);
    EXPECT_EQ(Pos(u"z", u"abc"), 0u);
    EXPECT_EQ(Copy(u"abcdef", 0, 2), u"ab");
    EXPECT_EQ(Copy(u"abcdef", 5, 100), u"ef");
    EXPECT_EQ(Copy(u"abcdef", 7, 1), u"");
    u16 s = u"abcdef";
    Delete(s, 2, 2);
    EXPECT_EQ(s, u"adef");
    Insert(u"XY", s, 100);
    EXPECT_EQ(s, u"adefXY");
}

TEST(Str, StrictNumbers)
{
    EXPECT_EQ(TryStrToInt(u"42"), 42);
    EXPECT_EQ(TryStrToInt(u"-7"), -7);
    EXPECT_EQ(TryStrToInt(u"+7"), 7);
    EXPECT_FALSE(TryStrToInt(u" 42"));
    EXPECT_FALSE(TryStrToInt(u"42px"));
    EXPECT_FALSE(TryStrToInt(u""));
    EXPECT_FALSE(TryStrToInt(u"99999999999"));
    EXPECT_DOUBLE_EQ(*TryStrToFloat(u"1.5"), 1.5);
    EXPECT_FALSE(TryStrToFloat(u"1,5"));
    // One sign at most, and a number is digits: the library's words for infinity and not-a-number are text.
    for (u16v text : {u16v(u"+-5"), u16v(u"-+5"), u16v(u"+"), u16v(u"-"), u16v(u"nan"), u16v(u"inf"), u16v(u"-inf"),
                      u16v(u"+infinity"), u16v(u"NAN")}) {
        EXPECT_FALSE(TryStrToInt(text)) << ToUtf8(text);
        EXPECT_FALSE(TryStrToFloat(text)) << ToUtf8(text);
    }
    EXPECT_DOUBLE_EQ(*TryStrToFloat(u"-.5"), -0.5);
    EXPECT_DOUBLE_EQ(*TryStrToFloat(u"+2e3"), 2000);
}

TEST(Str, Utf8RoundTripAndRepair)
{
    u16 s = u"a\u00E9\u4E2D\U0001F600";
    EXPECT_EQ(FromUtf8(ToUtf8(s)), s);
    EXPECT_EQ(FromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");
    // One replacement per maximal ill-formed subsequence, as the page reader decodes them one character at a time,
    // so counting the units of a whole buffer agrees with reading it.
    struct Case {
        std::string_view bytes;
        u16v text;
    } cases[] = {
        {"a\xE4\xB8", u"a\uFFFD"},                // a truncated sequence is one
        {"\xE2\x82x", u"\uFFFDx"},                 // the byte that breaks it starts afresh
        {"\xC3\x41", u"\uFFFDA"},
        {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},   // overlong: the lead alone, then two strays
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},   // a surrogate, likewise
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xF0\x9F\x98", u"\uFFFD"},
        {"\xFF\xFE", u"\uFFFD\uFFFD"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FromUtf8(c.bytes), c.text) << ToUtf8(c.text);
}

TEST(WinMath, MulDivRoundsHalfAwayFromZero)
{
    struct Case { int a, b, c, expected; };
    for (const Case& k : {Case{5, 1, 2, 3}, Case{-5, 1, 2, -3}, Case{7, 3, 0, -1}, Case{400, 50, 100, 200},
                          Case{0x7FFFFFFF, 2, 1, -1}, Case{1, 1, -2, -1}})
        EXPECT_EQ(MulDiv(k.a, k.b, k.c), k.expected) << k.a << "*" << k.b << "/" << k.c;
}

TEST(WinMath, RoundIsHalfToEven)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.51), 3);
    EXPECT_EQ(Trunc(-2.9), -2);
}
