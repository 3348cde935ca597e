// The CSS reader: selectors to keys, at-rules, error recovery, style elements, style attributes and urls.
#include "CssTestSupport.h"

#include <gtest/gtest.h>

using namespace lantern;
using namespace lantern::test;

namespace {

struct KeyCase {
    const char16_t* Css;
    std::vector<u16> Keys; // every key the sheet stores, in list order
};

class SelectorKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SelectorKeys, BecomeTheKeysTheCascadeLooksUp)
{
    THtmlStyleList list(false);
    ParseSheet(list, GetParam().Css);
    EXPECT_EQ(Keys(list), GetParam().Keys) << ToUtf8(GetParam().Css);
}

INSTANTIATE_TEST_SUITE_P(
    Css, SelectorKeys,
    ::testing::Values(
        KeyCase{u"P, .Note, A:Hover, #Top, TD.x { color: red }", {u"#top", u".note", u"a:hover", u"p", u"td.x"}},
        // Two qualifiers put every compound in canonical order: classes sorted, id, then pseudo-class.
        KeyCase{u"a:hover#x {color:red} a#x:hover {margin-top:1px}", {u"a#x:hover"}},
        KeyCase{u"p.b.a {color:red}", {u"p.a.b"}},
        KeyCase{u"div.b.a span.d.c {color:red}", {u"span.c.d 110div.a.b "}},
        // Ancestors: count and sequence number, then the nearest ancestor first.
        KeyCase{u"div p {color:red} ul ol li {color:red}", {u"li 211ol ul ", u"p 110div "}},
        KeyCase{u"ul > li {color:red} ol>li {color:red} div > ul li {color:red}",
                {u"li 110ul> ", u"li 111ol> ", u"li 212ul div> "}},
        // "*" reads as a blank; a leading or trailing ">" is dropped.
        KeyCase{u"*.x {color:red} * {color:red} > p > {color:red}", {u"", u".x", u"p"}},
        // A sibling combinator drops that selector only; an attribute selector keeps what came before "[".
        KeyCase{u"h1, h2 + p, h3 {color:red}", {u"h1", u"h3"}},
        KeyCase{u"p[title], h4 {color:red}", {u"p"}},
        // Non-ASCII text ends a selector.
        KeyCase{u"p\u00E9t, h5 {color:red}", {u"p"}}));

// ---------------------------------------------------------------------------------------------------------------

struct Expect {
    const char16_t* Key;
    const char16_t* Property;
    PropValue Value; // empty: the key has no such value
};

struct SheetCase {
    const char* Name;
    const char16_t* Css;
    std::vector<Expect> Expected;
};

class SheetRecovery : public ::testing::TestWithParam<SheetCase> {};

TEST_P(SheetRecovery, StoresWhatThePartsOfTheSheetSay)
{
    THtmlStyleList list(false);
    ParseSheet(list, GetParam().Css);
    for (const Expect& e : GetParam().Expected)
        EXPECT_EQ(Stored(list, e.Key, e.Property), e.Value) << ToUtf8(e.Key) << " " << ToUtf8(e.Property);
}

const PropValue None;
const PropValue Unset = PropValue(UnsetLength); // what a rule holds in a box cell it does not set
const PropValue Red = PropValue(ColorOf(u"red"));
const PropValue Blue = PropValue(ColorOf(u"blue"));

INSTANTIATE_TEST_SUITE_P(
    Css, SheetRecovery,
    ::testing::Values(
        SheetCase{"HtmlCommentAroundTheSheet", u"<!--\n p { color: red }\n-->", {{u"p", u"color", Red}}},
        SheetCase{"CapitalsAreLowerCased", u"P { COLOR: RED; Font-Family: \"Arial\" }",
                  {{u"p", u"color", Red}, {u"p", u"font-family", PropValue(u"arial")}}},
        SheetCase{"CommentsReadAsBlanks", u"p/* a */{/* b */color:/**/red}h1{color:blue/* c */}",
                  {{u"p", u"color", Red}, {u"h1", u"color", Blue}}},
        SheetCase{"LaterDeclarationWins", u"p{color:red;margin-top:1px} p{color:blue}",
                  {{u"p", u"color", Blue}, {u"p", u"margin-top", PropValue(u"1px")}}},
        SheetCase{"MediaPrintIsSkipped", u"@media print { p { color: red } } h1 { color: blue }",
                  {{u"p", u"color", None}, {u"h1", u"color", Blue}}},
        SheetCase{"MediaScreenAndBareMediaAreRead",
                  u"@media screen, print { p { color: red } h2 {color: blue} } @media { h1 { color: blue } }",
                  {{u"p", u"color", Red}, {u"h2", u"color", Blue}, {u"h1", u"color", Blue}}},
        SheetCase{"MediaStatementEndsAtSemicolon", u"@media screen; p { color: red }", {{u"p", u"color", Red}}},
        SheetCase{"MediaWithoutBlankBeforeBraceIsNoMediaList", u"@media screen{p{color:red}} h1{color:blue}",
                  {{u"p", u"color", None}, {u"h1", u"color", None}}},
        SheetCase{"NestedBlocksInSkippedMedia", u"@media print { p { x: {a} } } h1 { color: blue }",
                  {{u"h1", u"color", Blue}}},
        SheetCase{"ImportIsPassedOver",
                  u"@import url(\"a.css\") screen; @import 'b.css'; @IMPORT url(c.css); p { color: red }",
                  {{u"p", u"color", Red}}},
        // An unknown at-rule reads as a rule with an empty selector; for a statement that is the next rule.
        SheetCase{"CharsetRuleTakesTheNextRule", u"@charset \"utf-8\";\nbody { color: red } p { color: blue }",
                  {{u"body", u"color", None}, {u"", u"color", Red}, {u"p", u"color", Blue}}},
        SheetCase{"FontFaceBlockGoesUnderEmptyKey", u"@font-face { font-family: x } p { color: red }",
                  {{u"", u"font-family", PropValue(u"x")}, {u"p", u"color", Red}}},
        SheetCase{"BadDeclarationsAreSkipped",
                  u"p { color: red; foo bar; ; : x; width 3px; margin-top = 2px; unknown-prop: 1; }",
                  {{u"p", u"color", Red}, {u"p", u"margin-top", PropValue(u"2px")}, {u"p", u"width", Unset}}},
        SheetCase{"ImportantStaysInTheValue", u"p { color: red !important; margin-top: 1px !important }",
                  {{u"p", u"color", None}, {u"p", u"margin-top", PropValue(u"1px !important")}}},
        // A brace inside a value ends the block at the next "}"; what follows starts a new rule.
        SheetCase{"BraceInValueEndsTheBlock", u"p { color: red { x } ; margin-top: 0 } h1 { color: blue }",
                  {{u"p", u"color", None}, {u"p", u"margin-top", Unset}, {u"", u"color", Blue}}},
        SheetCase{"UnterminatedBlockKeepsItsDeclarations", u"h1 { color: blue } p { color: red; margin-top: 2px",
                  {{u"h1", u"color", Blue}, {u"p", u"color", Red}, {u"p", u"margin-top", PropValue(u"2px")}}},
        SheetCase{"UnterminatedStringEndsAtSemicolon", u"p { font-family: \"arial; color: red } h1 { color: blue }",
                  {{u"p", u"font-family", PropValue(u"\"arial")}, {u"p", u"color", Red}, {u"h1", u"color", Blue}}},
        // A quote that opens where a name should be runs to the end: nothing after it is read.
        SheetCase{"StrayQuoteRunsToTheEnd", u"p { 'x: 1; color: red } h1 { color: blue }",
                  {{u"p", u"color", None}, {u"h1", u"color", None}}},
        SheetCase{"GarbageBetweenRulesTakesTheNextSelector", u"p { color: red } ]]] h1 { color: blue } h2 {color:red}",
                  {{u"p", u"color", Red}, {u"h1", u"color", None}, {u"", u"color", Blue}, {u"h2", u"color", Red}}},
        SheetCase{"StrayClosingBraceTakesTheNextSelector", u"} p { color: red }",
                  {{u"p", u"color", None}, {u"", u"color", Red}}}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------------------------

TEST(CssParser, UnterminatedCommentRaisesWithTheBufferNameAndKeepsEarlierRules)
{
    THtmlStyleList list(false);
    try {
        ParseSheet(list, u"p { color: red } /* never closed");
        FAIL() << "no error";
    } catch (const EParseError& e) {
        EXPECT_STREQ(e.what(), "Unterminated comment in style file: sheet.css");
    }
    EXPECT_EQ(Stored(list, u"p", u"color"), Red);

    TProperties target(false);
    EXPECT_THROW(ParseStyleAttribute(u"color: red; /* open", target), EParseError);
    EXPECT_EQ(target.Props[piColor], Red);
}

TEST(CssParser, StyleElementStopsAtTheEndTagAndLeavesItUnread)
{
    struct Case {
        const char16_t* Content;
        const char16_t* Rest; // what the document builder reads next, after the returned "<"
    };
    for (const Case& c : {Case{u"\n p { color: red }\n</style><p>x", u"/style><p>x"},
                          Case{u"<!-- p{color:red} --></style>", u"/style>"},
                          Case{u"</style>text<b>", u"/style>text<b>"},
                          Case{u"\n  </style>", u"/style>"},
                          Case{u"p { color: red </style><p>", u"/style><p>"}}) {
        THtmlStyleList list(false);
        auto buffer = TBuffer::CreateFromString(c.Content, u"page.htm");
        char16_t ch = u'>';
        ParseStyleSheet(list, ch, *buffer, false, false, {});
        EXPECT_EQ(ch, u'<') << ToUtf8(c.Content);
        EXPECT_EQ(buffer->ReadToEnd(), c.Rest) << ToUtf8(c.Content);
    }
}

TEST(CssParser, ExternalSheetPassesOverMarkup)
{
    THtmlStyleList list(false);
    EXPECT_EQ(ParseSheet(list, u"p { color: red }\n</style> <b>x</b> h1 { color: blue }"), 0);
    EXPECT_EQ(Stored(list, u"p", u"color"), Red);
    EXPECT_EQ(Stored(list, u"h1", u"color"), Blue);
}

TEST(CssParser, StyleAttributeRecoversAfterEachBadPart)
{
    TProperties target(false);
    ParseStyleAttribute(u"  COLOR : Red;;; bogus; %% margin-top=3px ; width: 'x' ; height", target);
    EXPECT_EQ(target.Props[piColor], Red);
    EXPECT_EQ(target.Props[piMarginTop], PropValue(u"3px"));
    EXPECT_EQ(target.Props[piWidth], PropValue(u"x"));
    EXPECT_EQ(target.Props[piHeight], PropValue(UnsetLength));
}

// ---------------------------------------------------------------------------------------------------------------

TEST(CssParser, UrlsAreResolvedAgainstTheSheetsLocation)
{
    struct Case {
        const char16_t* Base;
        const char16_t* Value;
        const char16_t* Stored;
    };
    for (const Case& c : {
             Case{u"/help/css/", u"url(img/a.gif)", u"url(\"/help/css/img/a.gif\")"},
             Case{u"/help/css", u"url( 'a%20b.gif' )", u"url(\"/help/css/a b.gif\")"},
             Case{u"/help/css/", u"url(\"/abs/a.gif\")", u"url(\"/abs/a.gif\")"},
             Case{u"/help/css/", u"url(..\\img\\a.gif)", u"url(\"/help/css/../img/a.gif\")"},
             Case{u"/help/css/", u"url(file:///srv/a.gif)", u"url(\"/srv/a.gif\")"},
             Case{u"http://h/x/y/", u"url(../a.gif)", u"url(\"http://h/x/a.gif\")"},
             Case{u"http://h/x/y/", u"url(/a.gif)", u"url(\"http://h/a.gif\")"},
             Case{u"http://h/x/", u"url(http://o/b.gif)", u"url(\"http://o/b.gif\")"},
             Case{u"", u"url(a.gif)", u"url(a.gif)"}, // no base: left as written
         }) {
        THtmlStyleList list(false);
        ParseSheet(list, u"p { background-image: " + u16(c.Value) + u" }", true, c.Base);
        EXPECT_EQ(Stored(list, u"p", u"background-image"), PropValue(c.Stored)) << ToUtf8(c.Value);
    }

    // The shorthands rewrite their url words too; style attributes never do.
    THtmlStyleList list(false);
    ParseSheet(list, u"p { background: url(a.gif) red; list-style: url(b/c.gif) square }", true, u"/d/");
    EXPECT_EQ(Stored(list, u"p", u"background-image"), PropValue(u"url(\"/d/a.gif\")"));
    EXPECT_EQ(Stored(list, u"p", u"list-style-image"), PropValue(u"url(\"/d/b/c.gif\")"));
    EXPECT_EQ(Stored(list, u"p", u"list-style-type"), PropValue(u"square"));
    TProperties target(false);
    ParseStyleAttribute(u"background-image: url(a.gif)", target);
    EXPECT_EQ(target.Props[piBackgroundImage], PropValue(u"url(a.gif)"));
}

} // namespace
