// Pages with pictures built, laid out and painted end to end: where a picture stands on its line, where a float
// goes, the border a link gives, maps read from the markup, and pictures named relative to the page.
#include "layout/ImageObj.h"
#include "layout/Maps.h"
#include "tests/builder/BuilderFixture.h"
#include "tests/support/Pictures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lantern::testbuilder {
namespace {

using testsupport::PngUrl;

constexpr Color Red = 0x0000FF;
constexpr Color Green = 0x00FF00;

TImageObj& PictureIn(const TSection& section, int index = 0)
{
    TImageObj* image = section.Objects[index].AsImage();
    if (!image)
        throw std::runtime_error("no picture there");
    return *image;
}

TEST(PicturePage, APictureStandsOnTheBaselineAndAFloatAtTheRightMargin)
{
    const std::string html = "<p>Before <img src=\"" + PngUrl(40, 30, Red) + "\"> after</p>"
                             "<p><img align=right src=\"" + PngUrl(50, 60, Green) + "\">"
                             "Text beside the float, long enough to wrap onto a second and a third line beside it, "
                             "and then below it once the float has ended further down the page.</p>";
    TBuiltPage page(html);
    const int width = 300;
    page.LayOutAndPaint(width);
    const TSection& first = page.Text(u"Before");
    const TImageObj& inline_ = PictureIn(first);
    ASSERT_EQ(first.Lines.size(), 1u);
    const LineRec& line = first.Lines[0];
    EXPECT_EQ(inline_.DrawY + inline_.Height, line.Top + line.Baseline()) << "the picture's bottom on the baseline";
    EXPECT_GT(line.FullHeight(), 30) << "the line grew to hold it";
    EXPECT_GT(inline_.DrawX, page.FirstLineX(first) + 30) << "after the word before it";

    const TSection& second = page.Text(u"Text beside");
    const TImageObj& float_ = PictureIn(second);
    EXPECT_EQ(float_.DrawX + float_.Width, width - 10) << "at the body's right margin";
    EXPECT_EQ(float_.DrawY, second.BoxTop) << "at the top of its paragraph";
    ASSERT_GE(second.Lines.size(), 3u);
    EXPECT_LE(second.Lines[0].AvailableWidth, width - 20 - 50) << "lines beside it are narrower";
    EXPECT_EQ(second.Lines.back().AvailableWidth, width - 20) << "lines below it are not";
}

TEST(PicturePage, APictureInALinkGetsAOnePixelBorderUnlessBorderIsZero)
{
    TBuiltPage page("<a href=\"next.htm\"><img src=\"" + PngUrl(20, 20, Red) + "\"></a>"
                    "<a href=\"next.htm\"><img border=0 src=\"" + PngUrl(20, 20, Red) + "\"></a>");
    page.LayOutAndPaint(300);
    const TSection& s = *FindText(page.Doc, u"\x04");
    EXPECT_EQ(PictureIn(s, 0).BorderWidth, 1);
    EXPECT_EQ(PictureIn(s, 0).Width, 22);
    EXPECT_EQ(PictureIn(s, 1).BorderWidth, 0);
}

TEST(PicturePage, MapsAreKeptWhenTheyAreClosed)
{
    TBuiltPage page("<map name=\"nav\"><area shape=rect coords=\"0,0,9,9\" href=a.htm>"
                    "<area shape=circle coords=\"20,20,5\" href=b.htm></map>"
                    "<map name=lost><b><i><u><area coords=\"0,0,1,1\" href=c.htm></map>"
                    "<map name=open><area coords=\"0,0,1,1\" href=d.htm>");
    ASSERT_EQ(page.Doc.MapList.size(), 1u) << "three strays end a map, and an unclosed map is dropped";
    const TMapItem* map = page.Doc.FindMap(u"NAV");
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->Areas.size(), 2u);
}

TEST(PicturePage, PicturesNamedRelativeToThePageLoadThroughTheViewersExpansion)
{
    QTemporaryDir folder;
    QImage picture(30, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder.filePath("pic.png")));
    TBuiltPage page("<p>x <img src=\"pic.png\"> <img src=\"PIC.PNG \"></p>");
    const u16 base = FromUtf8(folder.path().toStdString()) + u"/";
    page.Doc.ImageHost.ExpandSourceName = [&](u16v source) { return base + u16(source); };
    page.LayOutAndPaint(300);
    const TSection& s = page.Text(u"x");
    EXPECT_EQ(PictureIn(s, 0).Width, 30);
    EXPECT_EQ(PictureIn(s, 1).Width, 30) << "a name differing in case and blanks finds the file and the cache item";
    EXPECT_EQ(page.Doc.ImageCache.Count(), 1);
}

} // namespace
} // namespace lantern::testbuilder
