// Shorthand properties and the word splitting behind them.
#include "CssTestSupport.h"

#include <gtest/gtest.h>

using namespace lantern;
using namespace lantern::test;

namespace {

struct Cell {
    const char16_t* Property;
    PropValue Value;
};

struct ShorthandCase {
    const char16_t* Declaration;
    bool Quirks;
    std::vector<Cell> Expected;
};

class Shorthands : public ::testing::TestWithParam<ShorthandCase> {};

TEST_P(Shorthands, ExpandIntoTheirLonghands)
{
    const ShorthandCase& c = GetParam();
    TProperties set(c.Quirks);
    ParseStyleAttribute(c.Declaration, set);
    for (const Cell& cell : c.Expected)
        EXPECT_EQ(set.Props[std::size_t(FindPropertyIndex(cell.Property))], cell.Value)
            << ToUtf8(c.Declaration) << " -> " << ToUtf8(cell.Property);
}

const PropValue Unset = PropValue(UnsetLength);
PropValue T(const char16_t* text) { return PropValue(text); }
PropValue C(const char16_t* text) { return PropValue(ColorOf(text)); }

INSTANTIATE_TEST_SUITE_P(
    Css, Shorthands,
    ::testing::Values(
        // One to four words over the four sides.
        ShorthandCase{u"margin: 1px", false,
                      {{u"margin-top", T(u"1px")}, {u"margin-right", T(u"1px")}, {u"margin-bottom", T(u"1px")},
                       {u"margin-left", T(u"1px")}}},
        ShorthandCase{u"margin: 1px 2px", false,
                      {{u"margin-top", T(u"1px")}, {u"margin-right", T(u"2px")}, {u"margin-bottom", T(u"1px")},
                       {u"margin-left", T(u"2px")}}},
        ShorthandCase{u"margin: 1px 2px 3px", false,
                      {{u"margin-top", T(u"1px")}, {u"margin-right", T(u"2px")}, {u"margin-bottom", T(u"3px")},
                       {u"margin-left", T(u"2px")}}},
        ShorthandCase{u"padding:1px   2px 3px 4px 5px", false,
                      {{u"padding-top", T(u"1px")}, {u"padding-right", T(u"2px")}, {u"padding-bottom", T(u"3px")},
                       {u"padding-left", T(u"4px")}}},
        ShorthandCase{u"margin: ", false, {{u"margin-top", Unset}, {u"margin-left", Unset}}},
        ShorthandCase{u"border-color: red rgb(0, 0, 255)", false,
                      {{u"border-top-color", C(u"red")}, {u"border-right-color", C(u"blue")},
                       {u"border-bottom-color", C(u"red")}, {u"border-left-color", C(u"blue")}}},
        ShorthandCase{u"border-style: solid dashed dotted; border-width: thin", false,
                      {{u"border-top-style", T(u"solid")}, {u"border-left-style", T(u"dashed")},
                       {u"border-bottom-style", T(u"dotted")}, {u"border-right-width", T(u"thin")}}},

        // Border: colour, style and width words in any order; what is not given resets.
        ShorthandCase{u"border: 2px dotted #f00", false,
                      {{u"border-top-width", T(u"2px")}, {u"border-left-width", T(u"2px")},
                       {u"border-right-style", T(u"dotted")}, {u"border-bottom-style", T(u"dotted")},
                       {u"border-top-color", C(u"red")}, {u"border-left-color", C(u"red")}}},
        ShorthandCase{u"border-width: 5px; border-style: solid; border: red", false,
                      {{u"border-top-color", C(u"red")}, {u"border-bottom-color", C(u"red")},
                       {u"border-top-width", T(u"medium")}, {u"border-right-width", T(u"medium")},
                       {u"border-top-style", T(u"none")}, {u"border-left-style", T(u"none")}}},
        ShorthandCase{u"border-left: solid rgb(0, 0, 255) 1px", false,
                      {{u"border-left-width", T(u"1px")}, {u"border-left-style", T(u"solid")},
                       {u"border-left-color", C(u"blue")}, {u"border-top-width", Unset},
                       {u"border-top-color", Unset}}},
        // Without a hash, hexadecimal digits are no colour: "f00" is taken as the width.
        ShorthandCase{u"border-top: f00 double", false,
                      {{u"border-top-width", T(u"f00")}, {u"border-top-style", T(u"double")},
                       {u"border-top-color", Unset}}},

        // Font: style, variant, weight, size / line height, family.
        ShorthandCase{u"font: bold 12px/1.5 Arial", false,
                      {{u"font-weight", T(u"bold")}, {u"font-size", T(u"12px")}, {u"line-height", T(u"1.5")},
                       {u"font-family", T(u"arial")}, {u"font-style", T(u"normal")},
                       {u"font-variant", T(u"normal")}}},
        ShorthandCase{u"font: italic small-caps 700 10pt/12pt 'times new roman', serif", false,
                      {{u"font-style", T(u"italic")}, {u"font-variant", T(u"small-caps")},
                       {u"font-weight", T(u"normal")}, {u"font-size", T(u"10pt")}, {u"line-height", T(u"12pt")},
                       {u"font-family", T(u"'times new roman',serif")}}},
        ShorthandCase{u"font: larger", false, {{u"font-size", T(u"larger")}, {u"font-family", PropValue()}}},
        ShorthandCase{u"font: verdana", true, {{u"font-size", T(u"small")}, {u"font-family", T(u"verdana")}}},
        ShorthandCase{u"font: verdana", false, {{u"font-size", T(u"medium")}}},

        // Background: the last two unused words are the position.
        ShorthandCase{u"background: url(a.gif) no-repeat left top", false,
                      {{u"background-image", T(u"url(a.gif)")}, {u"background-repeat", T(u"no-repeat")},
                       {u"background-position", T(u"left top")}, {u"background-color", PropValue(clNone)},
                       {u"background-attachment", T(u"scroll")}}},
        ShorthandCase{u"background: #fff fixed repeat-x 50%", false,
                      {{u"background-color", C(u"#fff")}, {u"background-attachment", T(u"fixed")},
                       {u"background-repeat", T(u"repeat-x")}, {u"background-position", T(u"50%")},
                       {u"background-image", T(u"none")}}},
        ShorthandCase{u"background: rgb(1, 2, 3) none", false,
                      {{u"background-color", PropValue(Color(0x00030201))}, {u"background-image", T(u"none")},
                       {u"background-position", T(u"0% 0%")}, {u"background-repeat", T(u"repeat")}}},
        // A value calling a function the expansion cannot read is dropped whole, so the plain declaration
        // written before it as a fallback keeps its colour and picture.
        ShorthandCase{u"background: #0382ad url(r.png) repeat-x; background: -moz-linear-gradient(top, #fff, #000)",
                      false,
                      {{u"background-color", C(u"#0382ad")}, {u"background-image", T(u"url(r.png)")},
                       {u"background-repeat", T(u"repeat-x")}}},
        ShorthandCase{u"margin: 4px; margin: calc(1px + 2px)", false, {{u"margin-top", T(u"4px")}}},

        // List style.
        ShorthandCase{u"list-style: square inside", false,
                      {{u"list-style-type", T(u"square")}, {u"list-style-image", T(u"none")}}},
        ShorthandCase{u"list-style: none", false, {{u"list-style-type", T(u"none")}}},
        ShorthandCase{u"list-style: url(img/b.gif)", false,
                      {{u"list-style-type", T(u"disc")}, {u"list-style-image", T(u"url(img/b.gif)")}}}));

TEST(CssShorthand, RuleShorthandsReachEverySelectorOfTheList)
{
    THtmlStyleList list(false);
    ParseSheet(list, u"h1, .x { margin: 1px 2px; border-bottom: 3px solid }");
    for (u16v key : {u"h1", u".x"}) {
        EXPECT_EQ(Stored(list, key, u"margin-left"), T(u"2px"));
        EXPECT_EQ(Stored(list, key, u"border-bottom-width"), T(u"3px"));
        EXPECT_EQ(Stored(list, key, u"border-bottom-style"), T(u"solid"));
    }
}

TEST(CssShorthand, WordSplitting)
{
    using W = std::vector<u16>;
    EXPECT_EQ(SplitCssWords(u"  a \t  b  ", 7), (W{u"a", u"b"}));
    EXPECT_EQ(SplitCssWords(u"arial, 'times new roman' serif", 7), (W{u"arial,'times new roman'", u"serif"}));
    EXPECT_EQ(SplitCssWords(u"12px/1.5 /2 a/b", 7), (W{u"12px", u"/1.5", u"/2", u"a", u"/b"}));
    EXPECT_EQ(SplitCssWords(u"a b c d e", 2), (W{u"a", u"b", u"c d e"}));
    EXPECT_EQ(SplitCssWords(u"", 4), W{});

    u16 value = u"red url(a.gif) hsl(0,1%,2%) rgba(1,2,3,0.5) x";
    EXPECT_EQ(TakeFunctionWords(value, 7), (W{u"url(a.gif)", u"rgba(1,2,3,0.5)", u"hsl(0,1%,2%)"}));
    EXPECT_EQ(Trim(value), u"red    x");
}

} // namespace
