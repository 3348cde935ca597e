// The style sheet store: ordering, the sequence counter, how declarations are stored, and the default sheet.
#include "CssTestSupport.h"

#include "style/Lengths.h"

#include <gtest/gtest.h>

using namespace lantern;
using namespace lantern::test;

namespace {

TEST(StyleList, KeepsKeysSortedWithoutCaseAndEqualKeysInTheirOrder)
{
    THtmlStyleList list(false);
    TProperties& first = list.AddObject(u"p", std::make_unique<TProperties>());
    list.AddObject(u"div", std::make_unique<TProperties>());
    TProperties& second = list.AddObject(u"P", std::make_unique<TProperties>());
    list.AddObject(u"a", std::make_unique<TProperties>());
    EXPECT_EQ(Keys(list), (std::vector<u16>{u"a", u"div", u"p", u"P"}));
    EXPECT_EQ(list.FindFirst(u"P"), &first);
    EXPECT_EQ(second.PropTag, u"P"); // storing a set names it after its key
    EXPECT_EQ(list.FindFirst(u"span"), nullptr);

    // Sets stored after a lookup are merged in behind the equal keys already there.
    list.AddObject(u"p", std::make_unique<TProperties>());
    list.AddObject(u"A", std::make_unique<TProperties>());
    list.AddObject(u"b", std::make_unique<TProperties>());
    EXPECT_EQ(list.FindFirst(u"p"), &first);
    EXPECT_EQ(Keys(list), (std::vector<u16>{u"a", u"A", u"b", u"div", u"p", u"P", u"p"}));
    EXPECT_EQ(&list.Object(4), &first);
    EXPECT_EQ(&list.Object(5), &second);
}

TEST(StyleList, SequenceNumbersRestartWithEveryClear)
{
    THtmlStyleList list(false);
    EXPECT_EQ(list.NextSequenceNumber(), u"10");
    EXPECT_EQ(list.NextSequenceNumber(), u"11");
    ParseSheet(list, u"div p { color: red }");
    EXPECT_EQ(Keys(list), std::vector<u16>{u"p 112div "});
    BuildDefaults(list); // a new document: the sheet starts again
    EXPECT_EQ(list.FindFirst(u"p 112div "), nullptr);
    EXPECT_EQ(list.NextSequenceNumber(), u"10");
}

TEST(StyleList, DeclarationsAreStoredByKind)
{
    struct Case {
        const char16_t* Property;
        const char16_t* Value;
        PropValue Stored;
    };
    const PropValue nothing;
    for (const Case& c : {
             Case{u"color", u"#00ff00", PropValue(Color(0x0000FF00))},
             Case{u"color", u"no-colour", nothing},
             Case{u"background-color", u"no-colour", PropValue(clNone)},
             Case{u"border-left-color", u"no-colour", PropValue(UnsetLength)},
             Case{u"border-left-color", u"navy", PropValue(Color(0x00800000))},
             Case{u"visibility", u"hidden", PropValue(std::uint8_t(1))},
             Case{u"visibility", u"collapse", nothing},
             Case{u"text-transform", u"lowercase", PropValue(std::uint8_t(2))},
             Case{u"text-transform", u"capitalize", PropValue(std::uint8_t(0))},
             Case{u"word-wrap", u"anywhere", PropValue(u"normal")},
             Case{u"font-variant", u"small-caps", PropValue(u"small-caps")},
             Case{u"font-variant", u"all-caps", nothing},
             Case{u"line-height", u"1.5", PropValue(u"1.5")},
             Case{u"border-top-style", u"groove", PropValue(u"groove")},
         }) {
        THtmlStyleList list(false);
        list.AddRuleProperty(u"p", c.Property, c.Value);
        EXPECT_EQ(Stored(list, u"p", c.Property), c.Stored) << ToUtf8(c.Property) << ": " << ToUtf8(c.Value);
    }

    THtmlStyleList list(false);
    list.AddRuleProperty(u"p", u"no-such-property", u"1");
    EXPECT_EQ(list.Count(), 0);
    list.AddRuleProperty(u"p", u"Color", u"red"); // names compare exactly
    EXPECT_EQ(Stored(list, u"p", u"color"), PropValue());
}

TEST(StyleList, RulesForATagAlsoStyleTheLinkRule)
{
    THtmlStyleList list(false);
    BuildDefaults(list);
    list.AddRuleProperty(u"a", u"text-decoration", u"none");
    EXPECT_EQ(Stored(list, u"::link", u"text-decoration"), PropValue(u"none"));
    EXPECT_EQ(Stored(list, u"a", u"text-decoration"), PropValue(u"none"));
}

TEST(StyleList, LinkStateColoursFromBodyAttributes)
{
    THtmlStyleList list(false);
    list.SetLinkStateColor(u"visited", 0x123456); // no such rule yet: nothing happens
    EXPECT_EQ(list.Count(), 0);
    BuildDefaults(list);
    list.SetLinkStateColor(u"visited", 0x123456);
    list.SetLinkStateColor(u"active", 0x654321);
    EXPECT_EQ(Stored(list, u"::visited", u"color"), PropValue(Color(0x123456)));
    EXPECT_EQ(Stored(list, u"::link", u"color"), PropValue(Color(0x00FF0000)));
}

TEST(StyleList, QuirksBodyColourIsCopiedIntoTableRules)
{
    for (bool quirks : {true, false}) {
        THtmlStyleList list(quirks);
        BuildDefaults(list);
        ParseSheet(list, u"body { color: red; font-size: 20pt }");
        const PropValue expected = quirks ? PropValue(ColorOf(u"red")) : PropValue();
        for (u16v tag : {u"table", u"td", u"th"})
            EXPECT_EQ(Stored(list, tag, u"color"), expected) << ToUtf8(tag) << (quirks ? " quirks" : "");
    }
}

// ---------------------------------------------------------------------------------------------------------------

struct DefaultCase {
    bool Quirks;
    const char16_t* Key;
    const char16_t* Property;
    PropValue Value;
};

class DefaultSheet : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultSheet, HoldsTheBuiltInRules)
{
    const DefaultCase& c = GetParam();
    THtmlStyleList list(c.Quirks);
    // Default font Times New Roman 12pt, preformatted Courier New, margins 10 x 15, black text.
    BuildDefaults(list);
    EXPECT_EQ(Stored(list, c.Key, c.Property), c.Value) << ToUtf8(c.Key) << " " << ToUtf8(c.Property);
}

PropValue T(const char16_t* text) { return PropValue(text); }
PropValue I(int n) { return PropValue(n); }
PropValue F(double n) { return PropValue(n); }
PropValue B(int n) { return PropValue(std::uint8_t(n)); }

INSTANTIATE_TEST_SUITE_P(
    Style, DefaultSheet,
    ::testing::Values(
        DefaultCase{false, u"default", u"font-family", T(u"Times New Roman")},
        DefaultCase{false, u"default", u"font-size", F(12)},
        DefaultCase{false, u"default", u"font-style", T(u"none")},
        DefaultCase{false, u"default", u"margin-top", I(15)},
        DefaultCase{false, u"default", u"margin-left", I(10)},
        DefaultCase{false, u"default", u"visibility", B(2)},
        DefaultCase{false, u"default", u"letter-spacing", I(0)},
        DefaultCase{false, u"default", u"box-sizing", B(0)},
        DefaultCase{false, u"default", u"text-transform", B(0)},
        DefaultCase{false, u"::link", u"text-decoration", T(u"underline")},
        DefaultCase{false, u"::hover", u"color", PropValue(Color(0x000000FF))},
        DefaultCase{false, u"pre", u"font-family", T(u"Courier New")},
        DefaultCase{false, u"pre", u"font-size", F(10)},
        DefaultCase{false, u"p 11pre", u"margin-top", I(0)},
        DefaultCase{false, u"menu", u"list-style-type", T(u"blank")},
        DefaultCase{false, u"ol", u"padding-left", I(UnsetLength)},
        DefaultCase{false, u"dl", u"list-style-type", T(u"none")},
        DefaultCase{false, u"dd", u"padding-left", I(40)},
        DefaultCase{false, u"blockquote", u"margin-bottom", I(14)},
        DefaultCase{false, u"samp", u"font-size", T(u"0.83em")},
        DefaultCase{false, u"kbd", u"font-family", T(u"Courier New")},
        DefaultCase{false, u"strong", u"font-weight", T(u"bold")},
        DefaultCase{false, u"big", u"font-size", T(u"1.17em")},
        DefaultCase{false, u"sub", u"vertical-align", T(u"sub")},
        DefaultCase{false, u"address", u"font-style", T(u"italic")},
        DefaultCase{false, u"strike", u"text-decoration", T(u"line-through")},
        DefaultCase{false, u"caption", u"text-align", T(u"center")},
        DefaultCase{false, u"select", u"font-family", T(u"Arial Unicode MS, Arial")},
        DefaultCase{false, u"textarea", u"font-family", T(u"Courier New")},
        DefaultCase{false, u"textarea", u"font-size", T(u"10pt")},
        DefaultCase{false, u"hr", u"margin-top", I(10)},
        DefaultCase{false, u"h3", u"font-size", F(14)},
        DefaultCase{false, u"h6", u"font-size", F(8)},
        DefaultCase{false, u"h6", u"margin-bottom", I(19)},
        DefaultCase{false, u"mark", u"background-color", PropValue(Color(0x0000FFFF))},
        DefaultCase{false, u"th", u"font-weight", T(u"bold")},
        DefaultCase{false, u"td", u"font-size", PropValue()},
        DefaultCase{false, u"table", u"text-align", T(u"none")},
        DefaultCase{true, u"td", u"font-size", F(12)},
        DefaultCase{true, u"table", u"color", PropValue(Color(0))},
        DefaultCase{true, u"th", u"font-weight", T(u"bold")},
        DefaultCase{true, u"table", u"text-align", PropValue()}));

TEST(DefaultSheet, RecordsTheDocumentSizeAndTheDefaultSet)
{
    THtmlStyleList list(false);
    list.BuildDefaultSheet(u"Arial", u"Courier New", 0, 0, 1, false, 0, 0, 0, 0, 15.0);
    EXPECT_DOUBLE_EQ(DocumentDefaultFontSize(), 15.0);
    ASSERT_NE(list.DefProp, nullptr);
    EXPECT_EQ(list.DefProp, list.FindFirst(u"default"));
    EXPECT_EQ(list.DefProp->DefaultFaceName, u"Arial");
    EXPECT_EQ(Stored(list, u"h1", u"font-size"), F(30));
    EXPECT_EQ(Stored(list, u"::link", u"text-decoration"), T(u"none"));
    BuildDefaults(list); // the document size is process-wide: back to what the other tests expect
}

} // namespace
