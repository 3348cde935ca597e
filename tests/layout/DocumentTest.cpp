// The document root: whole-page layout, ids and anchors, positions and the first baseline.
#include "LayoutFixture.h"

#include <gtest/gtest.h>

namespace lantern::testlayout {
namespace {

TEST(Document, AnEmptyDocumentHasNoHeight)
{
    TestPage page;
    EXPECT_EQ(page.Layout(800), 0);
    EXPECT_EQ(page.Doc.SourceToDocPos(5, false), 0);
}

TEST(Document, SectionsStackAndCountTheirCharacters)
{
    TestPage page;
    auto& a = page.Add(u"aaa bbb");
    auto& b = page.Add(u"ccc");
    EXPECT_EQ(page.Layout(40), 3 * LineH);
    EXPECT_EQ(a.BoxTop, 0);
    EXPECT_EQ(b.BoxTop, 2 * LineH);
    EXPECT_EQ(b.FirstChar, 8);
    EXPECT_EQ(page.Doc.CharCount, 12);
    EXPECT_EQ(page.Doc.PositionList.size(), 2u);
    int top = 0, index = 0;
    EXPECT_EQ(page.Doc.SectionAtY(40, top, index), &b);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(top, 32);
}

TEST(Document, TheLaterDefinitionOfAnIdWins)
{
    TestPage page;
    auto& a = page.Add(u"a");
    auto& b = page.Add(u"b");
    page.Doc.IdTable.Add(u"x", a);
    page.Doc.IdTable.Add(u"X", b);
    EXPECT_EQ(page.Doc.IdTable.Find(u"x"), &b);
    EXPECT_EQ(page.Doc.IdTable.Count(), 1);
}

TEST(Document, AnAnchorInTextScrollsToItsLine)
{
    TestPage page;
    page.Add(u"aaa bbb ccc"); // source positions 0..10
    page.Doc.AddCharAnchor(u"mark", 8);
    page.Layout(40);
    const TIDObject* anchor = page.Doc.IdTable.Find(u"mark");
    ASSERT_NE(anchor, nullptr);
    EXPECT_EQ(anchor->AnchorY(), 2 * LineH);
}

TEST(Document, ACaretPastTheEndSitsRightOfTheLastCharacter)
{
    TestPage page;
    page.Add(u"ab cd");
    page.Layout(800);
    int x = 0, y = 0;
    ASSERT_TRUE(page.Doc.CaretToPoint(&page.Canvas, 2, x, y));
    EXPECT_EQ(x, 16);
    ASSERT_TRUE(page.Doc.CaretToPoint(&page.Canvas, 99, x, y));
    EXPECT_EQ(x, 5 * Advance + 15); // before the final space, then 15 further
    EXPECT_FALSE(page.Doc[0].CaretToPoint(&page.Canvas, 6, x, y));
}

TEST(Document, TheFirstBaselineIsReportedOnce)
{
    TestPage page;
    page.Props->SetPropByName(u"line-height", u"24px");
    page.Add(u"aaa");
    page.Add(u"bbb");
    int baseline = 0;
    page.Doc.FirstLineBaseline = &baseline;
    page.Layout(800);
    EXPECT_EQ(baseline, 4 + 16 - 4);
}

TEST(Document, ProgressIsReportedEveryFiftySections)
{
    TestPage page;
    for (int i = 0; i < 120; ++i)
        page.Add(u"x");
    std::vector<int> reports;
    page.Doc.ProgressBase = 75;
    page.Doc.OnProgress = [&](int p) { reports.push_back(p); };
    page.Layout(800);
    EXPECT_EQ(reports, (std::vector<int>{75 + 50 * 25 / 120, 75 + 100 * 25 / 120}));
    page.Layout(800);
    EXPECT_EQ(reports.size(), 4u);
}

TEST(Document, ClearingEmptiesEverything)
{
    TestPage page;
    TUrlTarget link;
    link.SetLink(u"a.htm", u"", 0, nullptr);
    auto s = std::make_unique<TSection>(page.Doc, true, &link, *page.Props, nullptr);
    page.Feed(*s, u"link");
    page.Doc.AddSection(std::move(s), 4);
    page.Doc.AddCharAnchor(u"a", 0);
    page.Layout(800);
    page.Doc.ClearDocument();
    EXPECT_EQ(page.Doc.Count(), 0);
    EXPECT_TRUE(page.Doc.LinkList.empty());
    EXPECT_TRUE(page.Doc.PositionList.empty());
    EXPECT_EQ(page.Doc.IdTable.Count(), 0);
    EXPECT_EQ(page.Layout(800), 0);
}

} // namespace
} // namespace lantern::testlayout

namespace lantern::testlayout {
namespace {

TEST(Document, ACloneLaysOutLikeItsSource)
{
    TestPage page;
    auto& source = page.Add(u"\u0004aaa bbb ccc", Boxes({{30, 40, AlignmentCode::Left}}));
    page.Layout(70);
    ThtDocument copy;
    copy.IsPrintCopy = true;
    copy.Sections.push_back(source.Clone(copy));
    platform::Canvas canvas;
    int scroll = 0, counter = 0;
    EXPECT_EQ(copy.LayoutDocument(canvas, 0, 70, 0, 0, scroll, counter), page.Height);
    const auto& clone = static_cast<const TSection&>(copy[0]);
    EXPECT_EQ(TestPage::LineTexts(clone), TestPage::LineTexts(source));
    EXPECT_EQ(clone.Objects[0].LayoutX, 0);
    EXPECT_NE(&clone.Fonts[0], &source.Fonts[0]);
}

} // namespace
} // namespace lantern::testlayout
