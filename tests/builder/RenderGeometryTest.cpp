// Small pages built, laid out and painted end to end, asserting what a reader sees: headings above their text,
// gaps between blocks, the indent of nested lists, centred lines.
#include "tests/builder/BuilderFixture.h"

#include <gtest/gtest.h>

namespace lantern::testbuilder {
namespace {

const LineRec& FirstLine(const TSection& s)
{
    if (s.Lines.empty())
        throw std::runtime_error("section not laid out");
    return s.Lines.front();
}

TEST(RenderGeometry, HeadingStandsAboveItsParagraphInLargerType)
{
    TBuiltPage page("<h1>Heading</h1><p>Paragraph text</p><p>Second</p>");
    page.LayOutAndPaint(600);
    const TSection& heading = page.Text(u"Heading");
    const TSection& para = page.Text(u"Paragraph");
    const TSection& second = page.Text(u"Second");
    EXPECT_GT(FirstLine(heading).LineHeight, FirstLine(para).LineHeight + 8) << "24 against 12 points";
    EXPECT_GE(para.BoxTop - heading.BoxBottom, 19) << "the heading's bottom margin, collapsed with the gap";
    EXPECT_EQ(second.BoxTop - para.BoxBottom, 14) << "the paragraph gap, collapsed once";
    EXPECT_EQ(page.FirstLineX(heading), 10) << "at the body's left margin";
    EXPECT_EQ(page.FirstLineX(para), 10);
}

TEST(RenderGeometry, NestedListIsIndentedFurther)
{
    TBuiltPage page("<p>before</p><ul><li>outer<ul><li>inner</ul><li>next</ul>");
    page.LayOutAndPaint(600);
    const int before = page.FirstLineX(page.Text(u"before"));
    const int outer = page.FirstLineX(page.Text(u"outer"));
    const int inner = page.FirstLineX(page.Text(u"inner"));
    EXPECT_EQ(outer - before, 40);
    EXPECT_EQ(inner - outer, 40);
    EXPECT_EQ(page.FirstLineX(page.Text(u"next")), outer);
    EXPECT_GT(page.Text(u"inner").BoxTop, page.Text(u"outer").BoxTop);
    EXPECT_GT(page.Text(u"next").BoxTop, page.Text(u"inner").BoxTop);
}

TEST(RenderGeometry, CentredLineAndPreformattedSpaces)
{
    TBuiltPage page("<center>mid</center><pre>a    b</pre><pre>a b</pre>");
    const int width = 600;
    page.LayOutAndPaint(width);
    const LineRec& mid = FirstLine(page.Text(u"mid"));
    EXPECT_NEAR(page.FirstLineX(page.Text(u"mid")) + mid.Width / 2, width / 2, 2);
    EXPECT_GT(FirstLine(page.Text(u"a    b")).Width, FirstLine(page.Text(u"a b")).Width + 2 * 6)
        << "three more spaces kept";
}

} // namespace
} // namespace lantern::testbuilder
