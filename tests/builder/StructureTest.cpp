// The section tree the builder makes from real-world markup: which elements become blocks, which text goes where,
// and how nesting a page leaves broken is repaired.
#include "tests/builder/BuilderFixture.h"

#include <gtest/gtest.h>

namespace lantern::testbuilder {
namespace {

class Structure : public ::testing::TestWithParam<TTreeCase> {};

TEST_P(Structure, BuildsTheTree)
{
    const TBuiltPage page(GetParam().Html);
    EXPECT_EQ(page.BodyTree(), GetParam().Tree) << GetParam().Html;
}

const TTreeCase StructureCases[] = {
    {"ParagraphsEndEachOther", "<p>a<p>b", "p\n  text \"a \"\np\n  text \"b \"\n"},
    {"EmptyParagraphsCollapse", "<p><p><p>x", "p\n  text \"x \"\n"},
    {"BlockEndsParagraph", "<p>a<div>b</div>c</p>", "p\n  text \"a \"\ndiv\n  text \"b \"\ntext \"c \"\n"},
    {"ListItemsWithoutEndTags", "<ul><li>a<li>b</ul>", "ul\n  li\n    text \"a \"\n  li\n    text \"b \"\n"},
    {"EmptyList", "<ul></ul>x", "ul\ntext \"x \"\n"},
    {"EmptyItemGetsALine", "<ul><li></ul>", "ul\n  li\n    text \"~ \"\n"},
    {"ItemOutsideAList", "<li>x", "li\n  text \"x \"\n"},
    {"NestedListEndsOnlyItself", "<ul><li>a<ul><li>b</ul>c<li>d</ul>e",
     "ul\n  li\n    text \"a \"\n    ul\n      li\n        text \"b \"\n    text \"c \"\n  li\n    text \"d \"\n"
     "text \"e \"\n"},
    {"MissingEndTagsEndBothLists", "<ol><li>a<ul><li>b</ol>c",
     "ol\n  li\n    text \"a \"\n    ul\n      li\n        text \"b \"\ntext \"c \"\n"},
    {"DefinitionList", "<dl><dt>term<dd>meaning</dl>", "dl\n  dt\n    text \"term \"\n  dd\n    text \"meaning \"\n"},
    {"UnknownHeadingLevel", "<h7>x</h7>", "text \"x \"\n"},
    {"HeadingThenParagraph", "<h2>Title</h2><p>body", "h2\n  text \"Title \"\np\n  text \"body \"\n"},
    {"UnknownAndUnmatchedTags", "<foo>a</foo></div></b> b<section>c</section>", "text \"a bc \"\n"},
    {"CenterAndBlockquote", "<center>a</center><blockquote>b</blockquote>",
     "text \"a \"\nblockquote\n  text \"b \"\n"},
    {"LineBreaksSplitSections", "a<br>b<br><br>c", "text \"a \"\ntext \"b \"\ntext \"|\"\ntext \"c \"\n"},
    {"BreakWithClearStartsASection", "a<br clear=all>b", "text \"a \"\ntext \"b \" clear=3\n"},
    {"Rule", "a<hr>b", "text \"a \"\nhr\ntext \"b \"\n"},
    {"PreformattedLines", "<pre>\n a  b\nc\n</pre>d", "pre\n  pre \" a  b \"\n  pre \"c \"\ntext \"d \"\n"},
    {"BreakAndLineEndInPreGiveOneBreak", "<pre>a<br>\nb</pre>", "pre\n  pre \"a \"\n  pre \"b \"\n"},
    {"TabsMoveToTabStops", "<pre>\tx\nab\tc<b>d\te</b></pre>",
     "pre\n  pre \"        x \"\n  pre \"ab      cd      e \"\n"},
    {"ParagraphInsidePre", "<pre>a<p>b\nc</p>d</pre>",
     "pre\n  pre \"a \"\n  p\n    pre \"b \"\n    pre \"c \"\n  pre \"d \"\n"},
    {"WrappedPreFlows", "<pre wrap>a\n b</pre>", "text \"a b \"\n"},
    {"PageBreak", "a<page>b", "text \"a \"\npage\ntext \"b \"\n"},
    {"ScriptIsSkipped", "<p>a<script><!-- x = '<b>no</b>'; //--></script> b", "p\n  text \"a b \"\n"},
    {"ObjectShowsItsFallback", "<object data=\"x.swf\"><param name=a value=b>fall <b>back</b></object>",
     "text \"fall back \"\n"},
    {"PictureStandsInTheText", "go <a href=next.htm><img src=n.gif alt=\"Next\"></a> on <panel>",
     "text \"go @ on @ \"\n"},
    {"TableCellsKeepTheirText", "<table><tr><td>a<td>b</table>c",
     "table\n  tr\n    td\n      text \"a \"\n    td\n      text \"b \"\ntext \"c \"\n"},
    {"ContentOutsideCellsGoesBefore", "<table>x<tr><td>y</table>",
     "text \"x \"\ntable\n  tr\n    td\n      text \"y \"\n"},
    {"ParagraphEndsAtTable", "<p>a<table><td>b</table>", "p\n  text \"a \"\ntable\n  tr\n    td\n      text \"b \"\n"},
    {"ControlsStandInTheText",
     "a <input value=x> <select><option>o1<option>o2</select> b <textarea>t<b>u</textarea> c",
     "text \"a \x02 \x02 b \x02 c \"\n"},
    {"TextBeforeBodyIsKept", "<html>early<body>late", "text \"early \"\ntext \"late \"\n"},
    {"MapIsPassedOver", "a <map name=m><area href=x></map> b", "text \"a b \"\n"},
};

INSTANTIATE_TEST_SUITE_P(Builder, Structure, ::testing::ValuesIn(StructureCases),
                         TreeCaseName);

TEST(Builder, TextEndingInsidePreEndsThePage)
{
    // A zero byte ends the text; the tag read last (the PRE itself, or one inside it) is not read again.
    EXPECT_EQ(TBuiltPage(std::string("<pre>a\0<p>b", 12)).BodyTree(), "pre\n  pre \"a \"\n");
    EXPECT_EQ(TBuiltPage(std::string("<pre><b>a\0<p>b", 15)).BodyTree(), "pre\n  pre \"a \"\n");
}

TEST(Builder, HeadingCentredByCenterInside)
{
    const TBuiltPage page("<h1><center>x</center></h1><p>y");
    EXPECT_EQ(page.Text(u"x").TextAlign, 2);
    EXPECT_EQ(page.Text(u"y").TextAlign, 1);
}

TEST(Builder, UnmatchedEndTagChangesNoFont)
{
    const TBuiltPage page("a</b>b<b>c</b>d");
    const TSection& s = page.Text(u"a");
    ASSERT_EQ(s.Fonts.Count(), 3) << "runs for ab, for c, and for d";
    EXPECT_FALSE(s.Fonts[0].Font->Style & FontBold);
    EXPECT_TRUE(s.Fonts[1].Font->Style & FontBold);
    EXPECT_EQ(s.Fonts[1].StartPos, 2);
    EXPECT_FALSE(s.Fonts[2].Font->Style & FontBold);
}

TEST(Builder, NoBreakMarksItsText)
{
    const TBuiltPage page("<nobr>a b</nobr> c");
    EXPECT_EQ(page.Text(u"a b").BreakClasses, "nnnyyyy") << "and the final space's";
}

TEST(Builder, LinksAndAnchors)
{
    const TBuiltPage page("<a name=\"#top\">t</a> <a href=\"p.htm\" target=_blank>link</a> after");
    EXPECT_NE(page.Doc.IdTable.Find(u"TOP"), nullptr) << "a leading # is dropped, the name upper-cased";
    const TSection& s = page.Text(u"link");
    ASSERT_EQ(page.Doc.LinkList.size(), 1u);
    const TFontObj& run = *page.Doc.LinkList.front();
    EXPECT_EQ(run.Section, &s);
    EXPECT_EQ(ToUtf8(run.LinkTarget.Url), "p.htm");
    EXPECT_EQ(ToUtf8(run.LinkTarget.Target), "_blank");
    EXPECT_EQ(s.Text.substr(std::size_t(run.StartPos), 4), u"link");
    EXPECT_FALSE(s.Fonts.Last().IsLink()) << "the text after the link is no link";
}

TEST(Builder, TooManyLinksTakeNoFocus)
{
    auto links = [](int n) {
        std::string html;
        for (int i = 0; i < n; ++i)
            html += "<a href=x>l</a>";
        return html;
    };
    EXPECT_FALSE(TBuiltPage(links(400)).Doc.TooManyLinks);
    EXPECT_TRUE(TBuiltPage(links(401)).Doc.TooManyLinks);
    // In UTF-16 the tags do not show in the bytes: the page is read to count them.
    auto utf16 = [](const std::string& ascii) {
        std::string bytes = "\xff\xfe";
        for (char c : ascii)
            bytes += std::string{c, '\0'};
        return bytes;
    };
    EXPECT_TRUE(TBuiltPage(utf16(links(401))).Doc.TooManyLinks);
    EXPECT_FALSE(TBuiltPage(utf16(links(400))).Doc.TooManyLinks);
}

TEST(Builder, BodyAttributesStyleTheText)
{
    const TBuiltPage page("<body text=#0000ff link=red>x <a href=y>l</a>");
    EXPECT_EQ(page.Text(u"x").Fonts[0].Font->FontColor, 0x00FF0000u) << "blue, as 0x00BBGGRR";
    EXPECT_EQ(page.Doc.LinkList.front()->Font->FontColor, 0x000000FFu) << "red";
}

TEST(Builder, FontAttributes)
{
    const TBuiltPage page("a<font color=#00ff00 size=+2 face=Arial>b</font>c");
    const TSection& s = page.Text(u"a");
    ASSERT_EQ(s.Fonts.Count(), 3);
    const TMyFont& plain = *s.Fonts[0].Font;
    const TMyFont& font = *s.Fonts[1].Font;
    EXPECT_EQ(font.FontColor, 0x0000FF00u);
    EXPECT_GT(std::abs(font.Height), std::abs(plain.Height)) << "size 5 is larger than the base size 3";
    EXPECT_NE(font.Name, plain.Name);
    EXPECT_EQ(s.Fonts[2].Font->Name, plain.Name);
}

TEST(Builder, PlainTextIsPreformattedLineByLine)
{
    const TBuiltPage page("one  <b>\n\ttwo", {}, true);
    EXPECT_EQ(page.BodyTree(), "pre\n  pre \"one  <b> \"\n  pre \"        two \"\n");
}

} // namespace
} // namespace lantern::testbuilder
