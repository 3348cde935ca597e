// Links in help files often differ in letter case from the unpacked names; the lookup finds the file segment by
// segment and prefers an exact spelling.
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lantern {
namespace {

TEST(FileLookup, FindsFilesSegmentBySegmentIgnoringCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* rel : {"Docs/Sub/page.htm", "Docs/Sub/Page.HTM", "Docs/other.htm", "Docs/folder.htm/inner.htm"}) {
        QString path = dir.filePath(rel);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const u16 root = FromUtf8(dir.path().toStdString());

    struct Case {
        const char* Asked;
        const char* Found; // nullptr: no file
    } cases[] = {
        {"/docs/SUB/page.htm", "/Docs/Sub/page.htm"},
        {"/Docs/Sub/Page.HTM", "/Docs/Sub/Page.HTM"}, // the exact spelling wins over another match
        {"/DOCS/OTHER.HTM", "/Docs/other.htm"},
        {"/docs/sub/./../Other.htm", "/Docs/other.htm"},
        {"/docs/nothere/other.htm", nullptr},
        {"/docs/folder.htm", nullptr}, // a folder is not a file
        {"/docs/other.htm/x", nullptr},
    };
    for (const Case& c : cases) {
        std::optional<u16> found = platform::LocateFile(root + FromUtf8(c.Asked));
        if (!c.Found)
            EXPECT_FALSE(found.has_value()) << c.Asked;
        else
            EXPECT_EQ(ToUtf8(found.value_or(u"(none)")), ToUtf8(root + FromUtf8(c.Found))) << c.Asked;
    }
    EXPECT_FALSE(platform::LocateFile(u"docs/other.htm").has_value()) << "relative names are not looked up";
    EXPECT_FALSE(platform::FileExists(root + u"/Docs"));
    EXPECT_TRUE(platform::FileExists(root + u"/Docs/other.htm"));
}

} // namespace
} // namespace lantern
