// The viewer control: settings and their rules, the loading path and its failures, the Processing bracket,
// history and visited lists, link expansion, meta refresh.
#include "viewer/HtmlViewer.h"

#include "markup/Buffer.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace lantern {
namespace {

std::string U8(u16v s) { return ToUtf8(s); }

class ViewerTest : public ::testing::Test {
protected:
    // A small folder of pages; names differ in case from some links to them on purpose.
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Root = FromUtf8(Dir.path().toStdString());
        Write("index.htm", "<html><body>index</body></html>");
        Write("sub/Page.htm", "<!DOCTYPE html><p>page</p>");
        Write("sub/notes.txt", "plain");
        Write("pic.png", "\x89PNG\r\n\x1a\n");
    }

    void Write(const std::string& rel, const std::string& content)
    {
        QString path = Dir.filePath(QString::fromStdString(rel));
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content.data(), qint64(content.size()));
    }

    u16 PathOf(const char* rel) const { return Root + u'/' + FromUtf8(rel); }

    QTemporaryDir Dir;
    u16 Root;
    THtmlViewer Viewer;
};

TEST_F(ViewerTest, StartsWithItsDefaults)
{
    EXPECT_EQ(Viewer.width(), 150);
    EXPECT_EQ(Viewer.height(), 150);
    EXPECT_EQ(Viewer.BorderStyle(), THTMLBorderStyle::htFocused);
    EXPECT_EQ(Viewer.CharSet(), 1);
    EXPECT_EQ(Viewer.Cursor(), crIBeam);
    EXPECT_EQ(Viewer.DefBackground(), 0xFF00000Fu);
    EXPECT_EQ(Viewer.DefFontColor(), 0xFF000012u);
    EXPECT_EQ(U8(Viewer.DefFontName()), "Times New Roman");
    EXPECT_EQ(Viewer.DefFontSize(), 12);
    EXPECT_EQ(Viewer.DefHotSpotColor(), 0x00FF0000u);
    EXPECT_EQ(Viewer.DefOverLinkColor(), 0x00FF0000u);
    EXPECT_EQ(U8(Viewer.DefPreFontName()), "Courier New");
    EXPECT_EQ(Viewer.DefVisitedLinkColor(), 0x00800080u);
    EXPECT_EQ(Viewer.HistoryMaxCount(), 0);
    EXPECT_EQ(Viewer.HtOptions().ToBits(), (1u << 2) | (1u << 4)); // print table backgrounds, monochrome black
    EXPECT_EQ(Viewer.ImageCacheCount(), 5);
    EXPECT_EQ(Viewer.MarginHeight(), 5);
    EXPECT_EQ(Viewer.MarginWidth(), 10);
    EXPECT_FALSE(Viewer.NoSelect());
    EXPECT_EQ(Viewer.PrintMarginTop(), 2.0);
    EXPECT_EQ(Viewer.PrintMaxHPages(), 2);
    EXPECT_EQ(Viewer.PrintScale(), 1.0);
    EXPECT_EQ(Viewer.QuirksMode(), THtQuirksMode::qmDetect);
    EXPECT_EQ(Viewer.ScrollBars(), TScrollStyle::ssBoth);
    EXPECT_TRUE(Viewer.ServerRoot().empty());
    EXPECT_TRUE(Viewer.ViewImages());
    EXPECT_EQ(Viewer.VisitedMaxCount(), 50);
    EXPECT_TRUE(Viewer.CurrentPath().empty());
    EXPECT_EQ(Viewer.Buffer(), nullptr);
    EXPECT_FALSE(Viewer.IsProcessing());
    EXPECT_FALSE(Viewer.IsLoading());
    EXPECT_TRUE(Viewer.LinksTakeFocus());
}

TEST_F(ViewerTest, SettersKeepValuesInRange)
{
    Viewer.SetImageCacheCount(25);
    EXPECT_EQ(Viewer.ImageCacheCount(), 20);
    Viewer.SetImageCacheCount(-1);
    EXPECT_EQ(Viewer.ImageCacheCount(), 0);
    Viewer.SetVisitedMaxCount(-3);
    EXPECT_EQ(Viewer.VisitedMaxCount(), 0);
    Viewer.SetCursor(2);
    EXPECT_EQ(Viewer.Cursor(), crIBeam);
    Viewer.SetServerRoot(u"  /srv/web/ ");
    EXPECT_EQ(U8(Viewer.ServerRoot()), "/srv/web");
    Viewer.SetHistoryMaxCount(4);
    Viewer.SetHistoryMaxCount(-1); // ignored
    EXPECT_EQ(Viewer.HistoryMaxCount(), 4);
    Viewer.SetHtOptions(Viewer.HtOptions().With(THtmlViewerOption::htNoFocusRect));
    EXPECT_FALSE(Viewer.LinksTakeFocus());
}

TEST(DocTypeOfName, ByExtension)
{
    struct Case {
        const char16_t* Name;
        DocType Expected;
    } cases[] = {
        {u"x.HTM", DocType::dtHtml},      {u"a/b.xhtml", DocType::dtHtml}, {u"s.css", DocType::dtHtml},
        {u"p.php", DocType::dtHtml},      {u"pic.PNG", DocType::dtImage},  {u"c:x.jpeg", DocType::dtImage},
        {u"dir\\notes.txt", DocType::dtText}, {u"x", DocType::dtOther},    {u"x.", DocType::dtOther},
        {u"a.htm/b", DocType::dtOther},   {u"a.htm\\b", DocType::dtOther}, {u"a.tar.gz", DocType::dtOther},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DocTypeOfName(c.Name), c.Expected) << U8(c.Name);
}

TEST_F(ViewerTest, ShowFileLoadsTheFileAndFindsItIgnoringCase)
{
    Viewer.ShowFile(PathOf("SUB/page.HTM"), DocType::dtHtml);
    EXPECT_EQ(U8(Viewer.CurrentPath()), U8(PathOf("sub/Page.htm")));
    EXPECT_EQ(Viewer.CurrentDocType(), DocType::dtHtml);
    EXPECT_EQ(U8(Viewer.DocumentSource()), "<!DOCTYPE html><p>page</p>");
    EXPECT_FALSE(Viewer.UseQuirks());

    // Backslashes, "." and ".." in the name are resolved before the lookup.
    Viewer.ShowFile(PathOf("sub\\.\\..\\index.htm"), DocType::dtHtml);
    EXPECT_EQ(U8(Viewer.CurrentPath()), U8(PathOf("index.htm")));
    EXPECT_TRUE(Viewer.UseQuirks()); // no DOCTYPE

    Viewer.ShowFile(PathOf("sub/notes.txt"), DocType::dtText);
    EXPECT_EQ(Viewer.CurrentDocType(), DocType::dtText);
    EXPECT_FALSE(Viewer.UseQuirks());
}

TEST_F(ViewerTest, ShowFileOfAMissingFileRaisesLoadErrorAndKeepsThePage)
{
    Viewer.SetHistoryMaxCount(5);
    Viewer.ShowFile(PathOf("index.htm"), DocType::dtHtml);
    const u16 missing = PathOf("sub/../nothere.htm");
    try {
        Viewer.ShowFile(missing, DocType::dtHtml);
        FAIL() << "no error for a missing file";
    } catch (const EhtLoadError& e) {
        EXPECT_EQ(std::string(e.what()), "Can't locate '" + U8(PathOf("nothere.htm")) + "'.");
    }
    // The page stays on show, but the name already points at the missing file.
    EXPECT_EQ(U8(Viewer.DocumentSource()), "<html><body>index</body></html>");
    EXPECT_EQ(U8(Viewer.CurrentPath()), U8(PathOf("nothere.htm")));
    EXPECT_EQ(Viewer.History().size(), 1u);
    EXPECT_FALSE(Viewer.IsProcessing());

    // A folder is not a file, and a relative name is reported with its full path.
    EXPECT_THROW(Viewer.ShowFile(PathOf("sub"), DocType::dtHtml), EhtLoadError);
    try {
        Viewer.ShowFile(u"no-such-page.htm#x", DocType::dtHtml);
        FAIL() << "no error for a missing relative name";
    } catch (const EhtLoadError& e) {
        const std::string full = QDir::current().absoluteFilePath("no-such-page.htm").toStdString();
        EXPECT_EQ(std::string(e.what()), "Can't locate '" + full + "'.");
    }
}

TEST_F(ViewerTest, ShowFileOfAPictureShowsAOnePicturePage)
{
    std::string seen;
    Viewer.OnParseEnd = [&](THtmlViewer& v) {
        std::istream* s = v.ImageStreamFor(u"anything");
        ASSERT_NE(s, nullptr);
        seen.assign(std::istreambuf_iterator<char>(*s), std::istreambuf_iterator<char>());
    };
    Viewer.ShowFile(PathOf("pic.png"), DocType::dtImage);
    EXPECT_EQ(U8(Viewer.DocumentSource()), "<img src=\"" + U8(PathOf("pic.png")) + "\">");
    EXPECT_EQ(Viewer.CurrentDocType(), DocType::dtImage);
    EXPECT_EQ(seen, "\x89PNG\r\n\x1a\n");

    // A refresh shows the picture again rather than its bytes as a page.
    seen.clear();
    Viewer.RefreshDocument();
    EXPECT_EQ(U8(Viewer.DocumentSource()), "<img src=\"" + U8(PathOf("pic.png")) + "\">");
    EXPECT_EQ(seen, "\x89PNG\r\n\x1a\n");
    Viewer.OnParseEnd = nullptr;

    // Once the page is on show, pictures come from OnImageRequest again.
    EXPECT_EQ(Viewer.ImageStreamFor(u"x.png"), nullptr);
    std::istringstream supplied("data");
    Viewer.OnImageRequest = [&](THtmlViewer&, const u16& src, std::istream*& stream) {
        EXPECT_EQ(U8(src), "x.png");
        stream = &supplied;
    };
    EXPECT_EQ(Viewer.ImageStreamFor(u"x.png"), &supplied);
}

TEST_F(ViewerTest, LoadDocumentRefusesPicturesAndMissingBuffers)
{
    try {
        Viewer.LoadDocument(TBuffer::CreateFromString(u"x"), u"a.png", DocType::dtImage);
        FAIL();
    } catch (const EhtException& e) {
        EXPECT_STREQ(e.what(), "LoadDocument with DocType = 'ImgType' not supported.");
    }
    try {
        Viewer.LoadDocument(nullptr, u"a.htm", DocType::dtHtml);
        FAIL();
    } catch (const EhtException& e) {
        EXPECT_STREQ(e.what(), "LoadDocument requires document to load. Parameter 'Document' must not be nil.");
    }
    EXPECT_FALSE(Viewer.IsProcessing());
    EXPECT_TRUE(Viewer.CurrentPath().empty());
}

TEST_F(ViewerTest, ALoadIsBracketedAndRefusesNestedLoads)
{
    std::vector<std::string> events;
    Viewer.OnProcessing = [&](THtmlViewer&, bool on) { events.push_back(on ? "processing on" : "processing off"); };
    Viewer.OnProgress = [&](THtmlViewer& v, TProgressStage stage, int percent) {
        events.push_back("progress " + std::to_string(int(stage)) + " " + std::to_string(percent));
        v.ShowString(u"nested", u"nested.htm", DocType::dtHtml);
    };
    Viewer.OnSoundRequest = [&](THtmlViewer&, const u16& src, int loop, bool terminate) {
        EXPECT_TRUE(src.empty());
        EXPECT_EQ(loop, 0);
        EXPECT_TRUE(terminate);
        events.push_back("stop sound");
    };
    Viewer.OnParseBegin = [&](THtmlViewer& v, std::unique_ptr<TBuffer>& source) {
        EXPECT_TRUE(v.IsProcessing());
        EXPECT_TRUE(v.IsLoading());
        EXPECT_EQ(source.get(), v.Buffer());
        events.push_back("parse begin");
        v.ProgressStep(40);
    };
    Viewer.OnParseEnd = [&](THtmlViewer& v) {
        events.push_back("parse end");
        v.ShowFile(PathOf("index.htm"), DocType::dtHtml);
        v.ClearView();
    };

    Viewer.ShowString(u"<p>x</p>", u"page.htm#part", DocType::dtHtml);

    // The parser reports its progress up to 75 % at the end of the text.
    const std::vector<std::string> expected{"processing on", "progress 0 0",  "stop sound",    "parse begin",
                                            "progress 1 40", "progress 1 75", "parse end",     "progress 2 100",
                                            "processing off"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(U8(Viewer.CurrentPath()), "page.htm"); // the anchor is not part of the name
    EXPECT_EQ(U8(Viewer.DocumentSource()), "<p>x</p>");
    EXPECT_FALSE(Viewer.IsProcessing());
    EXPECT_FALSE(Viewer.IsLoading());
}

TEST_F(ViewerTest, AFailingLoadRestoresTheFlagsAndPassesTheErrorOn)
{
    std::vector<int> progress;
    Viewer.OnProgress = [&](THtmlViewer&, TProgressStage, int percent) { progress.push_back(percent); };
    Viewer.OnParseBegin = [](THtmlViewer&, std::unique_ptr<TBuffer>&) { throw EhtException("broken"); };
    EXPECT_THROW(Viewer.ShowString(u"x", u"a.htm", DocType::dtHtml), EhtException);
    EXPECT_EQ(progress, (std::vector<int>{0, 100}));
    EXPECT_FALSE(Viewer.IsProcessing());
    EXPECT_FALSE(Viewer.IsLoading());

    Viewer.OnParseBegin = nullptr;
    Viewer.ShowString(u"y", u"b.htm", DocType::dtHtml);
    EXPECT_EQ(U8(Viewer.CurrentPath()), "b.htm");
}

TEST_F(ViewerTest, AHandlerFailingInTheBracketStillLeavesTheControlReadyForTheNextLoad)
{
    struct Case {
        const char* What;
        std::function<void(THtmlViewer&)> Break;
    };
    const Case cases[] = {
        {"processing on",
         [](THtmlViewer& v) {
             v.OnProcessing = [](THtmlViewer&, bool on) {
                 if (on)
                     throw EhtException("on");
             };
         }},
        {"progress end",
         [](THtmlViewer& v) {
             v.OnProgress = [](THtmlViewer&, TProgressStage stage, int) {
                 if (stage == TProgressStage::psEnding)
                     throw EhtException("end");
             };
         }},
        {"parse and progress end",
         [](THtmlViewer& v) {
             v.OnParseBegin = [](THtmlViewer&, std::unique_ptr<TBuffer>&) { throw EhtException("parse"); };
             v.OnProgress = [](THtmlViewer&, TProgressStage stage, int) {
                 if (stage == TProgressStage::psEnding)
                     throw EhtException("end");
             };
         }},
    };
    struct Operation {
        const char* What;
        std::function<void(THtmlViewer&)> Run;
        bool ErrorPassesOn; // in every case; otherwise only when a handler the bracket calls fails
    };
    const Operation operations[] = {
        {"load", [](THtmlViewer& v) { v.ShowString(u"x", u"a.htm", DocType::dtHtml); }, true},
        {"relayout", [](THtmlViewer& v) { v.Relayout(); }, true},
        {"images", [](THtmlViewer& v) { v.SetViewImages(!v.ViewImages()); }, false},
    };
    for (const Operation& o : operations) {
        for (const Case& c : cases) {
            THtmlViewer viewer;
            c.Break(viewer);
            bool passedOn = false;
            try {
                o.Run(viewer);
            } catch (const EhtException&) {
                passedOn = true;
            }
            if (o.ErrorPassesOn) {
                EXPECT_TRUE(passedOn) << o.What << ", " << c.What;
            }
            EXPECT_FALSE(viewer.IsProcessing()) << o.What << ", " << c.What;
            EXPECT_FALSE(viewer.IsLoading()) << o.What << ", " << c.What;
            viewer.OnProcessing = nullptr;
            viewer.OnProgress = nullptr;
            viewer.OnParseBegin = nullptr;
            viewer.ShowString(u"y", u"b.htm", DocType::dtHtml);
            EXPECT_EQ(U8(viewer.CurrentPath()), "b.htm") << o.What << ", " << c.What;
        }
    }
}

TEST_F(ViewerTest, QuirksModeDecidesForHtmlOnly)
{
    struct Case {
        THtQuirksMode Mode;
        const char16_t* Text;
        DocType Kind;
        bool Expected;
    } cases[] = {
        {THtQuirksMode::qmDetect, u"<!DOCTYPE html><p>", DocType::dtHtml, false},
        {THtQuirksMode::qmDetect, u"<html><p>", DocType::dtHtml, true},
        {THtQuirksMode::qmDetect, u"<html><p>", DocType::dtText, false},
        {THtQuirksMode::qmQuirks, u"<!DOCTYPE html>", DocType::dtHtml, true},
        {THtQuirksMode::qmStandards, u"<html>", DocType::dtHtml, false},
        {THtQuirksMode::qmQuirks, u"<html>", DocType::dtOther, false},
    };
    for (const Case& c : cases) {
        Viewer.SetQuirksMode(c.Mode);
        Viewer.ShowString(c.Text, u"", c.Kind);
        EXPECT_EQ(Viewer.UseQuirks(), c.Expected) << U8(c.Text) << " mode " << int(c.Mode);
    }
}

TEST_F(ViewerTest, HistoryRecordsEachNewPageOnceMostRecentFirst)
{
    int changes = 0;
    Viewer.OnHistoryChange = [&](THtmlViewer&) { ++changes; };
    Viewer.ShowFile(PathOf("index.htm"), DocType::dtHtml);
    EXPECT_TRUE(Viewer.History().empty()) << "HistoryMaxCount 0 keeps no history";

    Viewer.SetHistoryMaxCount(3);
    const u16 a = PathOf("index.htm"), b = PathOf("sub/Page.htm"), c = PathOf("sub/notes.txt");
    Viewer.ShowFile(b, DocType::dtHtml);
    Viewer.ShowFile(b, DocType::dtHtml);        // the same page again: no new entry
    Viewer.ShowFile(PathOf("sub/PAGE.htm#top"), DocType::dtHtml); // nor with an anchor
    EXPECT_EQ(Viewer.History(), (std::vector<u16>{b}));
    Viewer.ShowFile(c, DocType::dtText);
    Viewer.ShowFile(a, DocType::dtHtml);
    EXPECT_EQ(Viewer.History(), (std::vector<u16>{a, c, b}));
    EXPECT_EQ(Viewer.HistoryTitles().size(), 3u);
    ASSERT_EQ(Viewer.HistoryPositions().size(), 3u);
    EXPECT_EQ(Viewer.HistoryPositions()[1]->DocType, DocType::dtText);
    Viewer.ShowFile(b, DocType::dtHtml);
    EXPECT_EQ(Viewer.History(), (std::vector<u16>{b, a, c})) << "cut to HistoryMaxCount";
    EXPECT_EQ(Viewer.HistoryCursor(), 0);
    EXPECT_EQ(changes, 4);

    // An empty page from a text leaves the history alone.
    Viewer.ShowString(u"", u"", DocType::dtHtml);
    EXPECT_TRUE(Viewer.CurrentPath().empty());
    EXPECT_EQ(Viewer.History().size(), 3u);

    // A smaller maximum empties the history; emptying an empty history is silent.
    Viewer.SetHistoryMaxCount(2);
    EXPECT_TRUE(Viewer.History().empty());
    EXPECT_TRUE(Viewer.HistoryPositions().empty());
    EXPECT_EQ(changes, 5);
    Viewer.EmptyHistory();
    EXPECT_EQ(changes, 5);
}

TEST_F(ViewerTest, EmptyHistoryForgetsTheCurrentPath)
{
    Viewer.SetHistoryMaxCount(5);
    Viewer.ShowFile(PathOf("index.htm"), DocType::dtHtml);
    Viewer.EmptyHistory();
    EXPECT_TRUE(Viewer.History().empty());
    EXPECT_TRUE(Viewer.CurrentPath().empty());
    // So the same page shown again is a new entry.
    Viewer.ShowFile(PathOf("index.htm"), DocType::dtHtml);
    EXPECT_EQ(Viewer.History().size(), 1u);
}

TEST_F(ViewerTest, VisitedListKeepsTheMostRecentFirstWithoutDuplicates)
{
    Viewer.SetVisitedMaxCount(3);
    for (const char16_t* url : {u"a", u"b", u"c", u"a", u"a"})
        Viewer.AddVisited(url);
    EXPECT_EQ(Viewer.Visited(), (std::vector<u16>{u"a", u"c", u"b"}));
    Viewer.AddVisited(u"d");
    EXPECT_EQ(Viewer.Visited(), (std::vector<u16>{u"d", u"a", u"c"}));
    // Visiting an entry of the list itself again moves it to the front.
    Viewer.AddVisited(Viewer.Visited()[1]);
    EXPECT_EQ(Viewer.Visited(), (std::vector<u16>{u"a", u"d", u"c"}));
    Viewer.AddVisited(Viewer.Visited()[2]);
    EXPECT_EQ(Viewer.Visited(), (std::vector<u16>{u"c", u"a", u"d"}));
    Viewer.SetVisitedMaxCount(2);
    EXPECT_EQ(Viewer.Visited(), (std::vector<u16>{u"c", u"a"}));
    Viewer.SetVisitedMaxCount(0);
    EXPECT_TRUE(Viewer.Visited().empty());
    Viewer.AddVisited(u"e");
    EXPECT_TRUE(Viewer.Visited().empty());
}

TEST_F(ViewerTest, ExpandLinkNameMakesLocalLinksFullPaths)
{
    Viewer.ShowFile(PathOf("sub/Page.htm"), DocType::dtHtml);
    struct Case {
        const char16_t* Link;
        std::u16string Expected;
    } cases[] = {
        {u"b.htm", PathOf("sub/b.htm")},
        {u"../c.htm", PathOf("c.htm")},
        {u"deeper\\d%20e.htm", PathOf("sub/deeper/d e.htm")},
        {u"./x/../y.htm", PathOf("sub/y.htm")},
        {u"/abs/../z.htm", u"/z.htm"},
        {u"file:///tmp/f.htm", u"/tmp/f.htm"},
        {u"C:/x.htm", u"C:/x.htm"},
        {u"C|/x.htm", u"C:/x.htm"},
        {u"http://example.org/x.htm", u"http://example.org/x.htm"},
        {u"ms-its://a.chm/x", u"ms-its://a.chm/x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(U8(Viewer.ExpandLinkName(c.Link)), U8(c.Expected)) << U8(c.Link);

    Viewer.SetServerRoot(u"/srv/web/");
    EXPECT_EQ(U8(Viewer.ExpandLinkName(u"/top.htm")), "/srv/web/top.htm");
    EXPECT_EQ(U8(Viewer.ExpandLinkName(u"file:///tmp/f.htm")), "/tmp/f.htm") << "a file URL stays where it points";

    Viewer.OnFilenameExpanded = [](THtmlViewer&, u16& name) { name += u"!"; };
    EXPECT_EQ(U8(Viewer.ExpandLinkName(u"http://h/")), "http://h/!");
}

TEST_F(ViewerTest, MetaRefreshFiresOnceTheLoadHasFinished)
{
    struct Case {
        const char16_t* HttpEq;
        const char16_t* Content;
        int Delay; // 0: no refresh
        const char* Url;
    } cases[] = {
        {u"Refresh", u"0; URL=next.htm", 1, "next.htm"},
        {u"refresh", u"5", 5, ""},
        {u"REFRESH", u" 3;url=a.htm?x=1", 3, "a.htm?x=1"},
        {u"refresh", u"soon; url=a.htm", 0, ""},
        {u"expires", u"0; url=a.htm", 0, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<int, std::string>> refreshes;
        int metas = 0;
        Viewer.OnMeta = [&](THtmlViewer&, const u16&, const u16&, const u16&) { ++metas; };
        Viewer.OnMetaRefresh = [&](THtmlViewer& v, int delay, const u16& url) {
            EXPECT_FALSE(v.IsProcessing());
            refreshes.emplace_back(delay, U8(url));
        };
        // The document builder reports every meta element while it parses.
        Viewer.OnParseBegin = [&](THtmlViewer& v, std::unique_ptr<TBuffer>&) {
            v.HandleMeta(c.HttpEq, u"", c.Content);
        };
        Viewer.ShowString(u"<p>", u"", DocType::dtHtml);
        EXPECT_EQ(metas, 1);
        if (c.Delay == 0)
            EXPECT_TRUE(refreshes.empty()) << U8(c.Content);
        else
            EXPECT_EQ(refreshes, (std::vector<std::pair<int, std::string>>{{c.Delay, c.Url}})) << U8(c.Content);

        // The next page without a refresh does not repeat it.
        Viewer.OnParseBegin = nullptr;
        refreshes.clear();
        Viewer.ShowString(u"<p>", u"", DocType::dtHtml);
        EXPECT_TRUE(refreshes.empty());
    }
}

TEST_F(ViewerTest, ClearViewAndRefresh)
{
    int stops = 0;
    Viewer.OnSoundRequest = [&](THtmlViewer&, const u16&, int, bool) { ++stops; };
    const u16 page = PathOf("index.htm");
    Viewer.ShowFile(page, DocType::dtHtml);
    Viewer.ClearView();
    EXPECT_EQ(stops, 2);
    EXPECT_EQ(U8(Viewer.CurrentPath()), U8(page)) << "ClearView keeps the page name and buffer";
    EXPECT_NE(Viewer.Buffer(), nullptr);

    Write("index.htm", "<p>changed</p>");
    Viewer.RefreshDocument();
    EXPECT_EQ(U8(Viewer.DocumentSource()), "<p>changed</p>");

    // A page from a nameless text is not refreshed.
    Viewer.ShowString(u"text", u"", DocType::dtHtml);
    Viewer.RefreshDocument();
    EXPECT_EQ(U8(Viewer.DocumentSource()), "text");
}

} // namespace
} // namespace lantern
