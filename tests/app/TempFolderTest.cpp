#include "app/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace lantern;

namespace {

void WriteFile(const QString& Path, const QByteArray& Bytes = "x")
{
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << Path.toStdString();
    file.write(Bytes);
}

// Hands out the given numbers in turn.
TTempNumberSource Numbers(std::vector<std::uint32_t> List)
{
    return [List, next = std::size_t(0)]() mutable { return List.at(next++); };
}

} // namespace

TEST(TempFolder, MakesAnOwnerOnlyFolderNamedTildesHexAndExtension)
{
    QTemporaryDir base;
    const QString name = MakeTempName(base.path(), QStringLiteral("temp"), Numbers({0x4F2A}));
    EXPECT_EQ(name, base.path() + QStringLiteral("/~~4F2Atemp/"));
    const QFileInfo info(name);
    ASSERT_TRUE(info.isDir());
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                    QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());
    EXPECT_EQ(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1)
        << "no stray file beside the folder";
}

TEST(TempFolder, NameTakenByFileFolderOrLinkIsSkippedAndLeftAlone)
{
    QTemporaryDir base;
    QTemporaryDir elsewhere;
    WriteFile(base.path() + QStringLiteral("/~~1temp"), "file");
    QDir(base.path()).mkdir(QStringLiteral("~~2temp"));
    WriteFile(base.path() + QStringLiteral("/~~2temp/kept.htm"));
    QFile::link(elsewhere.path(), base.path() + QStringLiteral("/~~3temp"));

    const QString name = MakeTempName(base.path(), QStringLiteral("temp"), Numbers({1, 2, 3, 4}));
    EXPECT_EQ(name, base.path() + QStringLiteral("/~~4temp/"));
    EXPECT_TRUE(QFileInfo(base.path() + QStringLiteral("/~~1temp")).isFile());
    EXPECT_TRUE(QFileInfo::exists(base.path() + QStringLiteral("/~~2temp/kept.htm")));
    EXPECT_TRUE(QFileInfo(base.path() + QStringLiteral("/~~3temp")).isSymLink());
}

TEST(TempFolder, UnwritableOrEmptyBaseGivesNoName)
{
    EXPECT_EQ(MakeTempName(QStringLiteral("/nonexistent-lantern-base"), QStringLiteral("temp")), QString());
    EXPECT_EQ(MakeTempName(QString(), QStringLiteral("temp")), QString()) << "never a folder at the top of the file system";
}

TEST(TempFolder, SessionFoldersGoUnderTmpdirOnlyWhenItServes)
{
    QTemporaryDir preferred;
    QTemporaryDir fallback;
    const QString file = preferred.filePath(QStringLiteral("a-file"));
    WriteFile(file);
    const QString missing = preferred.filePath(QStringLiteral("missing"));
    const bool wasSet = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray saved = qgetenv("TMPDIR");

    struct Case {
        const char* What;
        std::optional<QString> TmpDir; // none: unset
        QString Fallback;
        QString Expected;
    };
    const Case cases[] = {
        {"existing folder", preferred.path(), fallback.path(), preferred.path()},
        {"trailing slash", preferred.path() + u'/', fallback.path(), preferred.path()},
        {"unset", std::nullopt, fallback.path(), fallback.path()},
        {"empty", QString(), fallback.path(), fallback.path()},
        {"missing folder", missing, fallback.path(), fallback.path()},
        {"a file", file, fallback.path(), fallback.path()},
        {"relative", QStringLiteral("."), fallback.path(), fallback.path()},
        {"neither serves", missing, missing + QStringLiteral("-too"), QString()},
    };
    for (const Case& c : cases) {
        if (c.TmpDir)
            qputenv("TMPDIR", QFile::encodeName(*c.TmpDir));
        else
            qunsetenv("TMPDIR");
        EXPECT_EQ(TempFilesFolder(c.Fallback), c.Expected) << c.What;
    }
    if (wasSet)
        qputenv("TMPDIR", saved);
    else
        qunsetenv("TMPDIR");
}

TEST(TempFolder, DeleteRemovesTheTreeButNeverFollowsLinksOut)
{
    QTemporaryDir base;
    QTemporaryDir outside;
    WriteFile(outside.path() + QStringLiteral("/precious.txt"));
    const QString tree = base.path() + QStringLiteral("/tree/");
    QDir().mkpath(tree + QStringLiteral("sub/deeper"));
    WriteFile(tree + QStringLiteral("a.htm"));
    WriteFile(tree + QStringLiteral("sub/deeper/b.htm"));
    QFile::link(outside.path(), tree + QStringLiteral("sub/link-to-outside"));
    QFile::link(outside.path() + QStringLiteral("/precious.txt"), tree + QStringLiteral("file-link"));

    EXPECT_TRUE(DeleteFolderTree(tree));
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_TRUE(QFileInfo::exists(outside.path() + QStringLiteral("/precious.txt")));
    EXPECT_FALSE(DeleteFolderTree(QString()));
}

TEST(TempFolder, DeleteOfALinkNamedLikeTheFolderRemovesOnlyTheLink)
{
    QTemporaryDir base;
    QTemporaryDir outside;
    WriteFile(outside.path() + QStringLiteral("/precious.txt"));
    const QString link = base.path() + QStringLiteral("/~~5temp");
    QFile::link(outside.path(), link);
    EXPECT_TRUE(DeleteFolderTree(link + u'/'));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(outside.path() + QStringLiteral("/precious.txt")));
}

TEST(TempFolder, CopyAndEmptiness)
{
    QTemporaryDir from;
    QTemporaryDir to;
    QTemporaryDir outside;
    WriteFile(outside.path() + QStringLiteral("/secret.txt"));
    QDir(from.path()).mkdir(QStringLiteral("sub"));
    WriteFile(from.path() + QStringLiteral("/a.htm"), "new");
    WriteFile(from.path() + QStringLiteral("/sub/b.htm"));
    QFile::link(outside.path(), from.path() + QStringLiteral("/sub/out"));
    WriteFile(to.path() + QStringLiteral("/a.htm"), "old");

    EXPECT_TRUE(IsFolderEmpty(QStringLiteral("%1/sub2").arg(to.path())) == false) << "a missing folder is not empty";
    ASSERT_TRUE(CopyFolderContents(from.path(), to.path()));
    QFile copied(to.path() + QStringLiteral("/a.htm"));
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), QByteArray("new"));
    EXPECT_TRUE(QFileInfo::exists(to.path() + QStringLiteral("/sub/b.htm")));
    EXPECT_FALSE(QFileInfo::exists(to.path() + QStringLiteral("/sub/out")));
    EXPECT_FALSE(IsFolderEmpty(to.path()));

    QDir(to.path()).mkdir(QStringLiteral("empty"));
    EXPECT_TRUE(IsFolderEmpty(to.path() + QStringLiteral("/empty")));
    EXPECT_TRUE(IsFolderEmpty(to.path() + QStringLiteral("/empty/")));
    EXPECT_FALSE(IsFolderEmpty(to.path() + QStringLiteral("/a.htm")));
}
