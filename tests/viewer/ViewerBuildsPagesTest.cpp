// A page loaded into the viewer is built, laid out at the control's width and named by its own title and base;
// the settings the viewer holds reach the page's default style.
#include "viewer/HtmlViewer.h"

#include "layout/Block.h"
#include "layout/Document.h"
#include "layout/TextSection.h"

#include <gtest/gtest.h>

namespace lantern {
namespace {

const TSection* FirstText(const TSectionBaseList& cell)
{
    for (int i = 0; i < cell.Count(); ++i) {
        if (const auto* text = dynamic_cast<const TSection*>(&cell[i]))
            return text;
        if (const auto* block = dynamic_cast<const TBlock*>(&cell[i]))
            if (const TSection* found = FirstText(block->Content))
                return found;
    }
    return nullptr;
}

TEST(ViewerBuildsPages, APageIsParsedLaidOutAndNamed)
{
    THtmlViewer viewer;
    viewer.SetBorderStyle(THTMLBorderStyle::htNone);
    viewer.SetScrollBars(TScrollStyle::ssNone);
    viewer.SetDefFontName(u"Arial");
    viewer.SetDefFontColor(0x00FF0000);
    viewer.resize(300, 200);
    viewer.ShowString(u"<title>The &amp; title</title><base href=\"http://example.org/\" target=main>"
                      u"<body bgcolor=#ffff00><p>" + u16(200, u'x') + u" words to wrap at the width of the control",
                      u"page.htm", DocType::dtHtml);
    EXPECT_EQ(ToUtf8(viewer.PageTitle()), "The & title");
    EXPECT_EQ(ToUtf8(viewer.Base()), "http://example.org/");
    EXPECT_EQ(ToUtf8(viewer.BaseTarget()), "main");
    const TSection* text = FirstText(viewer.Document());
    ASSERT_NE(text, nullptr);
    EXPECT_GE(text->Lines.size(), 2u) << "laid out at the control's width";
    EXPECT_GT(viewer.DocHeight(), 2 * 16);
    EXPECT_EQ(text->Fonts[0].Font->FontColor, 0x00FF0000u) << "the viewer's default colour";
    EXPECT_EQ(ToUtf8(text->Fonts[0].Font->Name), "Arial") << "and default face";
    EXPECT_EQ(viewer.PaintColor(), 0x0000FFFFu) << "the body's background is the page's";
}

TEST(ViewerBuildsPages, PlainTextIsShownLineByLine)
{
    THtmlViewer viewer;
    viewer.resize(300, 200);
    viewer.ShowString(u"first <b>line\nsecond", u"notes.txt", DocType::dtText);
    const TSection* text = FirstText(viewer.Document());
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->IsPreformatted());
    EXPECT_EQ(ToUtf8(text->Text), "first <b>line ");
}

} // namespace
} // namespace lantern
