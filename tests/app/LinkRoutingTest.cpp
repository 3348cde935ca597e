#include "app/LinkRouting.h"
#include "app/ViewForm.h"
#include "layout/Document.h"
#include "viewer/PaintPanel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lantern;

namespace {

// ---- The decision alone, in a help file unpacked to /t/ whose page on show lies in /t/sub/

struct TRouteCase {
    const char* Src;
    const char* SubFolder;
    TLinkAction Action;
    const char* Target;       // page, shell link or refused path; empty when none
    const char* NewSubFolder;
};

// The viewer's expansion: relative to the page on show, file: URLs as their paths.
QString ExpandFromSub(const QString& Name)
{
    if (Name.startsWith(QLatin1StringView("file://")))
        return QDir::cleanPath(Name.mid(7));
    if (Name.startsWith(u'/'))
        return QDir::cleanPath(Name);
    return QDir::cleanPath(QStringLiteral("/t/sub/") + Name);
}

const QString LongLink = QStringLiteral("http://example.org/") + QString(400, u'x');

TEST(LinkRouting, RoutesEveryKindOfLink)
{
    using enum TLinkAction;
    const TRouteCase cases[] = {
        // pages relative to the page last opened, and SubFolder following them
        {"sub/a.htm", "", OpenPage, "/t/sub/a.htm", "sub/"},
        {"b.htm", "sub/", OpenPage, "/t/sub/b.htm", "sub/"},
        {"./c.HTML", "sub/", OpenPage, "/t/sub/c.HTML", "sub/"},
        {"sub\\d.htm", "", OpenPage, "/t/sub/d.htm", "sub/"},
        {"deeper/e.htm", "sub/", OpenPage, "/t/sub/deeper/e.htm", "sub/deeper/"},
        // one level up is the root of the help file
        {"../index.htm", "sub/", OpenPage, "/t/index.htm", ""},
        // a leading slash stays below the current sub-folder
        {"/top.htm", "sub/", OpenPage, "/t/sub/top.htm", "sub/"},
        // the generated index page links absolute paths inside the folder
        {"/t/p.htm", "", OpenPage, "/t/p.htm", ""},
        {"/t/a/p.htm", "", OpenPage, "/t/a/p.htm", "a/"},
        // the query is not part of the extension but stays in the file looked up
        {"page.htm?x=1", "", OpenPage, "/t/page.htm?x=1", ""},
        // out of the unpacked tree: refused, SubFolder kept
        {"../../x.htm", "sub/", Refuse, "/x.htm", "sub/"},
        {"../../etc/passwd.txt", "sub/", Refuse, "/etc/passwd.txt", "sub/"},
        {"file:///etc/passwd", "sub/", Refuse, "/etc/passwd", "sub/"},
        // outline entries, any letter case
        {"IDEXPAND_sec1", "sub/", ToggleOutline, "", "sub/"},
        {"idExpand_sec2", "", ToggleOutline, "", ""},
        // sounds, programs and videos do nothing
        {"song.mid", "sub/", Swallow, "", "sub/"},
        {"setup.EXE", "", Swallow, "", ""},
        // left to the viewer: pictures, anchors, other schemes
        {"pic.gif", "sub/", Unclaimed, "", "sub/"},
        {"page.htm#part", "sub/", Unclaimed, "", "sub/"},
        {"#part", "sub/", Unclaimed, "", "sub/"},
        {"ms-its:other.chm::/a.htm", "", Unclaimed, "", ""},
        {"javascript:open('http://example.org/')", "", Unclaimed, "", ""},
        // mail and web links, https as http
        {"mailto:someone@example.org", "sub/", Shell, "mailto:someone@example.org", "sub/"},
        {"http://example.org/a.htm", "", Shell, "http://example.org/a.htm", ""},
        {"HTTPS://example.org/", "", Shell, "HTTPS://example.org/", ""},
    };
    for (const TRouteCase& c : cases) {
        const TLinkRoute r = RouteLink(QString::fromUtf8(c.Src), QStringLiteral("/t/"), QString::fromUtf8(c.SubFolder),
                                       ExpandFromSub);
        EXPECT_EQ(int(r.Action), int(c.Action)) << c.Src;
        EXPECT_EQ(r.Target.toStdString(), c.Target) << c.Src;
        EXPECT_EQ(r.SubFolder.toStdString(), c.NewSubFolder) << c.Src;
    }
    EXPECT_EQ(RouteLink(QStringLiteral("IDEXPAND_sec1"), QStringLiteral("/t/"), {}, ExpandFromSub).Key,
              QStringLiteral("sec1"));
    // a long link is handed over whole
    EXPECT_EQ(RouteLink(LongLink, QStringLiteral("/t/"), {}, ExpandFromSub).Target, LongLink);
}

TEST(LinkRouting, InsideFolderSeesThroughDotsAndLookalikePrefixes)
{
    EXPECT_TRUE(IsInsideFolder(QStringLiteral("/t/a/../b.htm"), QStringLiteral("/t/")));
    EXPECT_FALSE(IsInsideFolder(QStringLiteral("/t/a/../../b.htm"), QStringLiteral("/t/")));
    EXPECT_FALSE(IsInsideFolder(QStringLiteral("/tother/b.htm"), QStringLiteral("/t/")));
}

// ---- The window carrying the decisions out on a real folder tree

class LinkRoutingWindowTest : public ::testing::Test {
protected:
    QTemporaryDir ExeDir;
    QTemporaryDir Unpacked;
    QStringList Log;
    QStringList Opened; // links handed to the system's handler
    std::unique_ptr<TViewForm> Form;

    struct TRecordedMessages final : TMessages {
        QStringList* Log;
        explicit TRecordedMessages(QStringList* Log) : Log(Log) {}
        void Error(const QString& Text) override { *Log += Text; }
        void Information(const QString& Text) override { *Log += Text; }
        bool Confirm(const QString& Text) override { return !Text.isEmpty(); }
        void Failure(const QString& Text) override { *Log += Text; }
    };

    void SetUp() override
    {
        Write("index.htm", "<p><a href=\"sub/a.htm\">a</a></p>");
        Write("sub/a.htm", "<p><a href=\"b.htm\">b</a></p>");
        Write("sub/b.htm", "<p><a href=\"../index.htm\">up</a></p>");
        Write("sub/outline.htm", "<div id=\"sec1Minus\" style=\"display:none\"><p>minus</p></div>"
                                 "<div id=\"sec1Plus\"><p>plus</p></div>");
        TViewFormEnvironment environment;
        environment.ExeFolder = ExeDir.path() + u'/';
        environment.Messages = std::make_unique<TRecordedMessages>(&Log);
        environment.OpenExternal = [this](const QString& Link) { Opened += Link; };
        Form = std::make_unique<TViewForm>(std::move(environment), QStringList());
        Form->TempFolder = Unpacked.path() + u'/';
        Form->Viewer->ShowFile(Path("index.htm"), DocType::dtHtml);
    }

    void Write(const char* Name, const QByteArray& Bytes)
    {
        const QString path = Unpacked.filePath(QString::fromLatin1(Name));
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Bytes);
    }
    u16 Path(const char* Name) const { return Unpacked.filePath(QString::fromLatin1(Name)).toStdU16String(); }

    // What the viewer raises before it follows a link itself.
    bool Click(const char16_t* Src)
    {
        bool handled = false;
        Form->Viewer->OnHotSpotClick(*Form->Viewer, Src, handled);
        return handled;
    }
    u16 Showing() const { return Form->Viewer->CurrentPath(); }
};

TEST_F(LinkRoutingWindowTest, PagesOpenIntoTheSubFolderAndBackUp)
{
    EXPECT_TRUE(Click(u"sub/a.htm"));
    EXPECT_EQ(Showing(), Path("sub/a.htm"));
    EXPECT_EQ(Form->SubFolder, QStringLiteral("sub/"));
    EXPECT_TRUE(Click(u"b.htm"));
    EXPECT_EQ(Showing(), Path("sub/b.htm"));
    EXPECT_TRUE(Click(u"../index.htm"));
    EXPECT_EQ(Showing(), Path("index.htm"));
    EXPECT_TRUE(Form->SubFolder.isEmpty());
    EXPECT_TRUE(Log.isEmpty()) << Log.join(u'\n').toStdString();
}

TEST_F(LinkRoutingWindowTest, MissingPagesFallToTheViewerWithTheSubFolderMoved)
{
    EXPECT_FALSE(Click(u"other/none.htm"));
    EXPECT_EQ(Form->SubFolder, QStringLiteral("other/"));
    EXPECT_EQ(Showing(), Path("index.htm"));
    EXPECT_FALSE(Click(u"page.htm?x=1"));
}

TEST_F(LinkRoutingWindowTest, LinksOutOfTheFolderAreReportedAsMissing)
{
    Write("sub/a.htm", "<p>a</p>");
    ASSERT_TRUE(Click(u"sub/a.htm"));
    try {
        Click(u"../../x.htm");
        ADD_FAILURE() << "not refused";
    } catch (const EhtLoadError& error) {
        EXPECT_TRUE(std::string(error.what()).starts_with("Can't locate '")) << error.what();
    }
    EXPECT_EQ(Showing(), Path("sub/a.htm"));
    EXPECT_THROW(Click(u"file:///etc/hostname"), EhtLoadError);
    // a missing page the viewer would look for at the root of the file system
    EXPECT_THROW(Click(u"/nothere.htm"), EhtLoadError);
    EXPECT_TRUE(Opened.isEmpty());
}

TEST_F(LinkRoutingWindowTest, OutlineEntriesToggleBothBlocks)
{
    ASSERT_TRUE(Click(u"sub/outline.htm"));
    THtmlViewer& viewer = *Form->Viewer;
    ASSERT_EQ(viewer.ElementDisplay(u"sec1Minus"), 6);
    ASSERT_LT(viewer.Document().SearchForward(0, u"minus", true), 0); // hidden text is not there to find
    EXPECT_TRUE(Click(u"IDEXPAND_sec1"));
    EXPECT_EQ(viewer.ElementDisplay(u"sec1Minus"), 0);
    EXPECT_EQ(viewer.ElementDisplay(u"sec1Plus"), 0);
    EXPECT_GE(viewer.Document().SearchForward(0, u"minus", true), 0);
    EXPECT_TRUE(Click(u"idexpand_sec1"));
    EXPECT_EQ(viewer.ElementDisplay(u"sec1Minus"), 1);
    EXPECT_EQ(viewer.ElementDisplay(u"sec1Plus"), 1);
}

TEST_F(LinkRoutingWindowTest, OnlyMailAndWebLinksReachTheSystemHandler)
{
    EXPECT_TRUE(Click(u"mailto:someone@example.org"));
    EXPECT_TRUE(Click(u"https://example.org/a"));
    EXPECT_TRUE(Click(LongLink.toStdU16String().c_str()));
    EXPECT_FALSE(Click(u"javascript:open('http://example.org/')"));
    EXPECT_FALSE(Click(u"ms-its:x.chm::/a.htm"));
    EXPECT_TRUE(Click(u"tune.mid"));
    EXPECT_EQ(Opened, (QStringList{QStringLiteral("mailto:someone@example.org"), QStringLiteral("https://example.org/a"),
                                   LongLink}));
    EXPECT_EQ(Showing(), Path("index.htm"));
}

TEST_F(LinkRoutingWindowTest, TheLinkUnderThePointerAndItsTitleShowInTheStatusBar)
{
    Form->Viewer->ShowString(u"<p>see <a href=\"sub/a.htm\" title=\"Page A\">page a</a></p>", u"", DocType::dtHtml);
    ThtDocument& document = Form->Viewer->Document();
    platform::Canvas canvas;
    int x = 0, y = 0;
    ASSERT_TRUE(document.CaretToPoint(&canvas, document.SearchForward(0, u"page", true) + 1, x, y));
    QWidget& surface = Form->Viewer->PaintPanel();
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y + 4), surface.mapToGlobal(QPointF(x, y + 4)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&surface, &move);
    EXPECT_EQ(Form->StatusText(), QStringLiteral("sub/a.htm     Title: Page A"));
}

TEST_F(LinkRoutingWindowTest, CoveredLinkAndTitleShowInTheStatusBar)
{
    Form->Viewer->OnHotSpotCovered(*Form->Viewer, u"sub/a.htm");
    EXPECT_EQ(Form->StatusText(), QStringLiteral("sub/a.htm     "));
    Form->Viewer->OnHotSpotCovered(*Form->Viewer, u"");
    EXPECT_EQ(Form->StatusText(), QString());
}

} // namespace
