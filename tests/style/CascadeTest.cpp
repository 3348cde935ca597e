// The cascade over a small document: precedence, ancestry, pseudo-classes, link states and the default sheet.
#include "CssTestSupport.h"

#include "markup/Tokenizer.h"
#include "style/Lengths.h"

#include <gtest/gtest.h>

using namespace lantern;
using namespace lantern::test;

namespace {

enum class Mode { Standards, Quirks, Both };

struct CascadeCase {
    const char* Name;
    Mode Modes;
    const char16_t* Css;
    std::vector<const char16_t*> Path; // the open elements, outermost first; the last is looked at
    const char16_t* Property;
    PropValue Expected;
};

class Cascade : public ::testing::TestWithParam<CascadeCase> {};

void ExpectCell(const PropValue& actual, const PropValue& expected)
{
    if (expected.IsFloat())
        EXPECT_NEAR(actual.AsFloat(), expected.AsFloat(), 1e-9);
    else
        EXPECT_EQ(actual, expected);
}

TEST_P(Cascade, GivesTheElementItsValue)
{
    const CascadeCase& c = GetParam();
    for (bool quirks : {false, true}) {
        if ((c.Modes == Mode::Standards && quirks) || (c.Modes == Mode::Quirks && !quirks))
            continue;
        SCOPED_TRACE(quirks ? "quirks" : "standards");
        THtmlStyleList list(quirks);
        BuildDefaults(list);
        ParseSheet(list, c.Css);
        TElementPath doc(list);
        TProperties* element = nullptr;
        for (const char16_t* compound : c.Path)
            element = &doc.Push(compound);
        ExpectCell(element->Props[std::size_t(FindPropertyIndex(c.Property))], c.Expected);
    }
}

const PropValue Black = PropValue(Color(0));
const PropValue Red = PropValue(ColorOf(u"red"));
const PropValue Green = PropValue(ColorOf(u"green"));
const PropValue Blue = PropValue(ColorOf(u"blue"));
PropValue Points(double p) { return PropValue(p); }

INSTANTIATE_TEST_SUITE_P(
    Style, Cascade,
    ::testing::Values(
        // Precedence: type, class, id, descendant; ties go to the later declaration.
        CascadeCase{"ClassBeatsType", Mode::Both, u".x{color:blue} p{color:red}", {u"p.x"}, u"color", Blue},
        CascadeCase{"IdBeatsClass", Mode::Both, u"#i{color:green} p.x{color:blue}", {u"p.x#i"}, u"color", Green},
        CascadeCase{"DescendantBeatsId", Mode::Both, u"div p{color:red} #i{color:green}", {u"div", u"p#i"},
                    u"color", Red},
        CascadeCase{"LaterRuleWins", Mode::Both, u"p{color:red} p{color:blue}", {u"p"}, u"color", Blue},
        CascadeCase{"EarlierPropertyStays", Mode::Both, u"p{color:red;margin-top:1px} p{color:blue}", {u"p"},
                    u"margin-top", PropValue(u"1px")},
        CascadeCase{"LaterAncestorRuleWins", Mode::Both, u"div p{color:red} body p{color:blue}",
                    {u"body", u"div", u"p"}, u"color", Blue},
        CascadeCase{"MoreAncestorsWin", Mode::Both, u"body div p{color:red} div p{color:blue}",
                    {u"body", u"div", u"p"}, u"color", Red},

        // Ancestry.
        CascadeCase{"DescendantAtAnyDepth", Mode::Both, u"div p{color:red}", {u"div", u"span", u"b", u"p"},
                    u"color", Red},
        CascadeCase{"DescendantNeedsItsAncestor", Mode::Both, u"div p{color:red}", {u"span", u"p"}, u"color",
                    Black},
        CascadeCase{"ChildOfItsParent", Mode::Both, u"ul > li{color:red}", {u"ul", u"li"}, u"color", Red},
        CascadeCase{"ChildNotOfGrandparent", Mode::Both, u"ul > li{color:red}", {u"ul", u"ol", u"li"}, u"color",
                    Black},
        CascadeCase{"ChildCombinatorHigherUp", Mode::Both, u"div > ul li{color:red}",
                    {u"div", u"ul", u"span", u"li"}, u"color", Red},
        CascadeCase{"ChildCombinatorHigherUpFails", Mode::Both, u"div > ul li{color:red}",
                    {u"div", u"p", u"ul", u"li"}, u"color", Black},
        CascadeCase{"AncestorClassAmongItsClasses", Mode::Both, u"div.a p{color:red}", {u"div.a.b", u"p"},
                    u"color", Red},
        CascadeCase{"AncestorIdAndPseudo", Mode::Both, u"#nav a:link b{color:red}", {u"div#nav", u"a:link", u"b"},
                    u"color", Red},
        CascadeCase{"DescendantIdRuleReachesALinkWithAClass", Mode::Both, u"div #i{color:red}",
                    {u"div", u"a.x#i:link"}, u"color", Red},
        CascadeCase{"RootIsNoAncestor", Mode::Both, u"default p{color:red}", {u"p"}, u"color", Black},

        // Classes and ids: selectors are lower-cased in both modes; several classes go one by one, then together.
        CascadeCase{"ClassSelectorCase", Mode::Both, u".NOTE{color:red}", {u"p.note"}, u"color", Red},
        CascadeCase{"IdSelectorCase", Mode::Both, u"#Top{color:red}", {u"p#top"}, u"color", Red},
        CascadeCase{"TagAndClass", Mode::Both, u"td.x{color:red}", {u"td"}, u"color", Black},
        CascadeCase{"ClassesInNameOrder", Mode::Both, u".b{color:blue} .a{color:red}", {u"p.a.b"}, u"color", Blue},
        CascadeCase{"ClassListLast", Mode::Both, u".a.b{color:green} .b{color:blue}", {u"p.a.b"}, u"color",
                    Green},

        // Links and pseudo-classes.
        CascadeCase{"RuleForAColoursLinks", Mode::Both, u"a{color:green}", {u"a:link"}, u"color", Green},
        CascadeCase{"LinkRuleBeatsA", Mode::Both, u"a:link{color:red} a{color:green}", {u"a:link"}, u"color", Red},
        CascadeCase{"DefaultLinkColour", Mode::Both, u"", {u"a:link"}, u"color", PropValue(Color(0x00FF0000))},
        CascadeCase{"HoverRuleOnlyForHover", Mode::Both, u"a:hover{color:red}", {u"a:link"}, u"color",
                    PropValue(Color(0x00FF0000))},

        // The default sheet.
        CascadeCase{"Heading", Mode::Both, u"", {u"h1"}, u"font-size", Points(24)},
        CascadeCase{"Preformatted", Mode::Both, u"", {u"pre"}, u"font-size", Points(10)},
        CascadeCase{"CodeIsRelative", Mode::Both, u"p{font-size:20pt}", {u"p", u"code"}, u"font-size",
                    Points(20 * 0.83)},
        CascadeCase{"ParagraphGap", Mode::Both, u"", {u"p"}, u"margin-top", PropValue(ParagraphGapMarker)},
        CascadeCase{"NoGapInPre", Mode::Both, u"", {u"pre", u"p"}, u"margin-top", PropValue(0)},
        CascadeCase{"ThBoldInStandards", Mode::Standards, u"", {u"table", u"tr", u"th"}, u"font-weight",
                    PropValue(u"bold")},
        CascadeCase{"TableAlignInStandards", Mode::Standards, u"", {u"table"}, u"text-align", PropValue(u"none")},
        CascadeCase{"QuirksTableResetsColour", Mode::Quirks, u"div{color:red}", {u"div", u"table", u"tr", u"td"},
                    u"color", Black},
        CascadeCase{"QuirksTableResetsSize", Mode::Quirks, u"div{font-size:20pt}", {u"div", u"table"},
                    u"font-size", Points(12)},
        CascadeCase{"QuirksCellSizeFromDefault", Mode::Quirks, u"div{font-size:20pt} td{font-size:150%}",
                    {u"div", u"table", u"tr", u"td"}, u"font-size", Points(18)},
        // Several classes run the lookups more than once; a relative size still refers to the parent's size.
        CascadeCase{"RelativeSizeOnceWithSeveralClasses", Mode::Both, u"div{font-size:20pt} p{font-size:150%}",
                    {u"div", u"p.a.b"}, u"font-size", Points(30)},
        CascadeCase{"DefaultRelativeSizeOnceWithSeveralClasses", Mode::Both, u"p{font-size:20pt}",
                    {u"p", u"code.x.y.z"}, u"font-size", Points(20 * 0.83)},
        CascadeCase{"StandardsCellSizeFromParent", Mode::Standards, u"div{font-size:20pt} td{font-size:150%}",
                    {u"div", u"table", u"tr", u"td"}, u"font-size", Points(30)},
        CascadeCase{"QuirksBodyColourReachesTables", Mode::Quirks, u"body{color:red}", {u"body", u"table", u"tr",
                    u"td"}, u"color", Red}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------------------------

TEST(Cascade, StyleAttributeBeatsEveryRule)
{
    THtmlStyleList list(false);
    BuildDefaults(list);
    ParseSheet(list, u"div #i{color:red; margin-left: 1px}");
    auto style = std::make_unique<TProperties>(false);
    ParseStyleAttribute(u"color: blue", *style);
    const TProperties* given = style.get();
    TElementPath doc(list);
    doc.Push(u"div");
    TProperties& p = doc.Push(u"p#i", std::move(style));
    EXPECT_EQ(p.Props[piColor], Blue);
    EXPECT_EQ(p.Props[piMarginLeft], PropValue(u"1px"));
    EXPECT_TRUE(p.SetFlags[piColor]);
    EXPECT_EQ(p.PropStyle.get(), given) << "the element's entry owns its style-attribute set";
}

TEST(Cascade, LinkStatesTakeTheirOwnRulesOverTheLinkColour)
{
    struct Case {
        const char16_t* Css;
        Color Link, Visited, Hover, VisitedHover;
    };
    const Color red = ColorOf(u"red"), green = ColorOf(u"green"), blue = ColorOf(u"blue");
    for (const Case& c : {
             // Defaults: link 0xFF0000, visited 0x800080, hover 0x0000FF.
             Case{u"", 0x00FF0000, 0x00800080, 0x000000FF, 0x000000FF},
             // A :link colour also becomes the visited and hover colour, unless their rules follow.
             Case{u":link{color:red}", red, red, red, red},
             Case{u":link{color:red} :visited{color:green}", red, green, green, green},
             Case{u":link{color:red} :hover{color:blue}", red, red, blue, blue},
             // A rule for a is a plain rule: the state sets do not take it.
             Case{u"a{color:green}", green, 0x00800080, 0x000000FF, 0x000000FF},
             Case{u"a:visited{color:green} a:hover{color:blue}", 0x00FF0000, green, blue, blue},
         }) {
        SCOPED_TRACE(ToUtf8(c.Css));
        THtmlStyleList list(false);
        BuildDefaults(list);
        ParseSheet(list, c.Css);
        TElementPath doc(list);
        doc.Push(u"body");
        TProperties& link = doc.Push(u"a:link");
        ASSERT_TRUE(link.LinkFonts);
        EXPECT_TRUE(link.InLink);
        const TFontInfoArray& fonts = *link.LinkFonts;
        EXPECT_EQ(fonts[lsLink].FontColor, c.Link);
        EXPECT_EQ(fonts[lsVisited].FontColor, c.Visited);
        EXPECT_EQ(fonts[lsHover].FontColor, c.Hover);
        EXPECT_EQ(fonts[lsVisitedHover].FontColor, c.VisitedHover);
        EXPECT_EQ(doc.Stack.Count(), 3); // the state sets are gone again
    }
}

TEST(Cascade, LinkFontsFollowRulesForElementsInsideTheLink)
{
    THtmlStyleList list(false);
    BuildDefaults(list);
    ParseSheet(list, u"a b{font-weight:bold; text-decoration:none; color:green; font-size:200%}");
    TElementPath doc(list);
    doc.Push(u"a:link");
    TProperties& inner = doc.Push(u"b");
    ASSERT_TRUE(inner.InLink && inner.LinkFonts);
    for (const ThtFontInfo& font : *inner.LinkFonts) {
        EXPECT_EQ(font.Style & (FontBold | FontUnderline), FontBold);
        EXPECT_EQ(font.FontColor, ColorOf(u"green"));
        EXPECT_DOUBLE_EQ(font.Size, 24);
    }
}

// The attribute list sorts an element's classes itself; its order must be the one rule keys are written in,
// or a rule for several classes never meets the element.
TEST(Cascade, ClassAttributesMeetRulesForSeveralClasses)
{
    for (const char16_t* markup : {u"<p class=\"b a\">", u"<p class=\"A-b a\">", u"<p class=\" x9  x10 _y\">",
                                   u"<p class=\"z\tzz-1 zz\">"}) {
        SCOPED_TRACE(ToUtf8(markup));
        auto buffer = TBuffer::CreateFromString(markup);
        THtmlTokenizer tokens(*buffer);
        tokens.AdvanceChar();
        tokens.NextSymbol();
        const u16 classes = tokens.Attributes().GetClass();
        THtmlStyleList list(false);
        BuildDefaults(list);
        // The selector lists the classes in reverse order of the attribute; the key puts them in canonical order.
        u16 selector;
        for (std::size_t end = classes.size(); end != u16::npos && end > 0;) {
            std::size_t dot = classes.rfind(u'.', end - 1);
            std::size_t start = dot == u16::npos ? 0 : dot + 1;
            selector += u'.' + classes.substr(start, end - start);
            end = dot == u16::npos ? u16::npos : dot;
        }
        ParseSheet(list, selector + u"{color:red}");
        TElementPath doc(list);
        EXPECT_EQ(doc.Push(u"p." + classes).Props[piColor], Red) << ToUtf8(selector);
    }
}

// The link fonts of an element inside a link take a relative size from the link fonts it inherited, once,
// however many rules and class passes give the element a size.
TEST(Cascade, LinkFontsTakeARelativeSizeOnce)
{
    struct Case {
        const char16_t* Css;
        const char16_t* Inner;
        double Size; // points, in all four entries (the link is 12 points)
    };
    for (const Case& c : {Case{u"a span{font-size:200%}", u"span.x.y", 24},
                          Case{u"span{font-size:150%} .x{font-size:200%}", u"span.x", 24},
                          Case{u"span{font-size:20pt} .x{font-size:50%}", u"span.x", 6}}) {
        SCOPED_TRACE(ToUtf8(c.Css));
        THtmlStyleList list(false);
        BuildDefaults(list);
        ParseSheet(list, c.Css);
        TElementPath doc(list);
        doc.Push(u"a:link");
        auto style = std::make_unique<TProperties>(false);
        ParseStyleAttribute(u"color: green", *style);
        TProperties& inner = doc.Push(c.Inner, std::move(style));
        ASSERT_TRUE(inner.InLink && inner.LinkFonts);
        EXPECT_DOUBLE_EQ(inner.Props[piFontSize].AsFloat(), c.Size);
        for (const ThtFontInfo& font : *inner.LinkFonts)
            EXPECT_DOUBLE_EQ(font.Size, c.Size);
    }
}

TEST(Cascade, HoverRulesSwitchLinksToReactToThePointer)
{
    for (auto [css, expected] : {std::pair{u"a:hover{color:red}", true}, std::pair{u"#x:hover b{color:red}", true},
                                 std::pair{u"a:link{color:red} .hover{color:red}", false}}) {
        bool hover = false;
        THtmlStyleList list(false, [&hover](bool on) { hover = on; });
        BuildDefaults(list);
        ParseSheet(list, css);
        EXPECT_EQ(hover, expected) << ToUtf8(css);
    }
}

// The part index only skips lookups that cannot find anything: with and without it, every element of a
// document gets the same set.
TEST(Cascade, PartIndexGivesTheSameSetsAsPlainLookup)
{
    const char16_t* css =
        u"body{color:#333} p{margin:1px} .note{color:red} p.note{font-weight:bold} #main p{color:blue}"
        u" div > p{padding:2px} ul li a:link{color:green} a:hover{color:red} .a.b{font-size:120%} li{color:#abc}"
        u" td.x{border:1px solid} :visited{color:purple} #main:hover{color:red} em{font-style:normal}";
    const std::vector<std::vector<const char16_t*>> paths = {
        {u"body", u"div#main", u"p.note", u"em"},  {u"body", u"div", u"p.a.b.note"},
        {u"body", u"ul", u"li", u"a:link"},        {u"body", u"table", u"tr", u"td.x.y", u"span"},
        {u"body", u"div#main.z", u"p#q", u"a:link"}, {u"body", u"blockquote.q", u"p.unknown#nothing"},
        // A close out of order leaves the ancestors' filter a superset, never short of an ancestor.
        {u"body", u"div#main", u"span", u"/div", u"p", u"ul", u"li", u"/ul", u"a:link"}};
    for (const auto& path : paths) {
        std::vector<std::unique_ptr<THtmlStyleList>> lists;
        std::vector<std::unique_ptr<TElementPath>> docs;
        for (bool indexed : {true, false}) {
            lists.push_back(std::make_unique<THtmlStyleList>(false));
            BuildDefaults(*lists.back());
            ParseSheet(*lists.back(), css);
            lists.back()->UseIndex = indexed;
            docs.push_back(std::make_unique<TElementPath>(*lists.back()));
            for (const char16_t* compound : path) {
                if (compound[0] == u'/')
                    docs.back()->Stack.PopElement(compound + 1);
                else
                    docs.back()->Push(compound);
            }
        }
        for (int i = 0; i < docs[0]->Stack.Count(); ++i) {
            const TProperties& a = docs[0]->Stack.Get(i);
            const TProperties& b = docs[1]->Stack.Get(i);
            EXPECT_EQ(a.Props, b.Props) << ToUtf8(path.back()) << " at " << i;
            EXPECT_EQ(a.SetFlags, b.SetFlags);
            EXPECT_EQ(bool(a.LinkFonts), bool(b.LinkFonts));
            if (a.LinkFonts && b.LinkFonts) {
                EXPECT_EQ(*a.LinkFonts, *b.LinkFonts);
            }
        }
    }
}

} // namespace
