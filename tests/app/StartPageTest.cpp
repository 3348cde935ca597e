#include "app/StartPage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lantern;

namespace {

// A folder holding the given entries; names ending in '/' are folders.
class Unpacked {
public:
    explicit Unpacked(const QStringList& Entries)
    {
        for (const QString& entry : Entries) {
            if (entry.endsWith(u'/')) {
                QDir(Root.path()).mkpath(entry);
                continue;
            }
            QDir(Root.path()).mkpath(QFileInfo(Root.filePath(entry)).path());
            QFile file(Root.filePath(entry));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    QString Folder() const { return Root.path() + u'/'; }

private:
    QTemporaryDir Root;
};

} // namespace

TEST(StartPage, ExistingNamesInListOrder)
{
    struct Case {
        QStringList Entries;
        QStringList Expected; // names, in the order they are shown; the last one stays on screen
    };
    const Case cases[] = {
        {{"index.htm", "default.html"}, {"index.htm", "default.html"}},
        {{"home.htm", "index.html", "welcome.htm"}, {"index.html", "welcome.htm", "home.htm"}},
        {{"a.htm", "INDEX.HTM"}, {"INDEX.HTM"}},                  // written for a case-insensitive file system
        {{"index.htm/", "default.htm"}, {"default.htm"}},          // a folder of that name is no page
        {{"sub/index.htm", "b.htm"}, {}},                          // only the top of the folder counts
        {{}, {}},
    };
    for (const Case& c : cases) {
        const Unpacked unpacked(c.Entries);
        QStringList expected;
        for (const QString& name : c.Expected)
            expected += unpacked.Folder() + name;
        EXPECT_EQ(ExistingStartPages(unpacked.Folder()), expected) << c.Entries.join(u',').toStdString();
    }
}

TEST(StartPage, IndexPageLinksTopLevelPagesOnly)
{
    const Unpacked unpacked({"b.htm", "a.html", "c.txt", "d.HTM", "e.htmx", "pages.htm/", "sub/f.htm", "#SYSTEM"});
    const QString f = unpacked.Folder();
    const QString expected = QStringLiteral("<html>\r\n<body>\r\n") +
                             QStringLiteral("<a href=\"%1a.html\">a.html</a><br />\r\n").arg(f) +
                             QStringLiteral("<a href=\"%1b.htm\">b.htm</a><br />\r\n").arg(f) +
                             QStringLiteral("<a href=\"%1d.HTM\">d.HTM</a><br />\r\n").arg(f) +
                             QStringLiteral("</body>\r\n</html>\r\n");
    EXPECT_EQ(BuildIndexPage(f), expected);
}

TEST(StartPage, IndexPageOfAnEmptyFolderAndOfMarkupInNames)
{
    EXPECT_EQ(BuildIndexPage(Unpacked({}).Folder()), QStringLiteral("<html>\r\n<body>\r\n</body>\r\n</html>\r\n"));

    const Unpacked unpacked({"x\"><b>&.htm"});
    const QString page = BuildIndexPage(unpacked.Folder());
    EXPECT_TRUE(page.contains(QStringLiteral("x&quot;&gt;&lt;b&gt;&amp;.htm\">x&quot;&gt;&lt;b&gt;&amp;.htm</a>")))
        << page.toStdString();
}
