#include "app/Extractor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lantern;

namespace {

const QString SampleChm = QStringLiteral(LANTERN_SOURCE_DIR "/samples/lantern-guide.chm");
const QString SystemExtractor = QLatin1String(SystemExtractorFolder) + QLatin1String(ExtractorProgramName);

void WriteFile(const QString& Path, const QByteArray& Bytes, bool Executable = false)
{
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Bytes);
    file.close();
    if (Executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
}

// A stand-in extractor: a shell script that records its arguments and then runs Body.
QString StandIn(const QTemporaryDir& Folder, const QByteArray& Body)
{
    const QString program = Folder.filePath(QStringLiteral("7z"));
    WriteFile(program,
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/args\"\n" + Body + "\n",
              true);
    return program;
}

QStringList RecordedArguments(const QTemporaryDir& Folder)
{
    QFile file(Folder.filePath(QStringLiteral("args")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(Extractor, InstallationCheckSearchesOwnFolderThenSystemFolder)
{
    enum Has { None = 0, Program = 1, Library = 2, Both = 3 };
    struct Case {
        int Own, System;
        bool IdentityPasses;
        const char* Expected; // "own", "system" or ""
    };
    const Case cases[] = {
        {Both, Both, true, "own"},     {None, Both, true, "system"}, {Program, Both, true, "system"},
        {Library, Both, true, "system"}, {Both, None, false, ""},    {Program, Library, true, ""},
        {None, None, true, ""},
    };
    for (const Case& c : cases) {
        QTemporaryDir own, system;
        const auto fill = [](const QTemporaryDir& folder, int has) {
            if (has & Program)
                WriteFile(folder.filePath(QStringLiteral("7z")), "x", true);
            if (has & Library)
                WriteFile(folder.filePath(QStringLiteral("7z.so")), "");
        };
        fill(own, c.Own);
        fill(system, c.System);
        const TExtractor extractor({own.path() + u'/', system.path() + u'/'}, [&](const QString&) { return c.IdentityPasses; });
        const QString expected = QString::fromLatin1(c.Expected) == QLatin1String("own")      ? own.filePath(QStringLiteral("7z"))
                                 : QString::fromLatin1(c.Expected) == QLatin1String("system") ? system.filePath(QStringLiteral("7z"))
                                                                                              : QString();
        EXPECT_EQ(extractor.CheckInstallation(), expected) << c.Own << ' ' << c.System << ' ' << c.IdentityPasses;
    }
}

TEST(Extractor, IdentityCheckWantsAnExecutableElfFile)
{
    QTemporaryDir folder;
    WriteFile(folder.filePath(QStringLiteral("script")), "#!/bin/sh\nexit 0\n", true);
    WriteFile(folder.filePath(QStringLiteral("elf-not-executable")), "\x7f" "ELF\x01\x01", false);
    WriteFile(folder.filePath(QStringLiteral("elf")), "\x7f" "ELF\x01\x01", true);
    WriteFile(folder.filePath(QStringLiteral("short")), "\x7f" "E", true);
    EXPECT_FALSE(IsNativeExecutable(folder.filePath(QStringLiteral("script"))));
    EXPECT_FALSE(IsNativeExecutable(folder.filePath(QStringLiteral("elf-not-executable"))));
    EXPECT_TRUE(IsNativeExecutable(folder.filePath(QStringLiteral("elf"))));
    EXPECT_FALSE(IsNativeExecutable(folder.filePath(QStringLiteral("short"))));
    EXPECT_FALSE(IsNativeExecutable(folder.path()));
    EXPECT_FALSE(IsNativeExecutable(folder.filePath(QStringLiteral("missing"))));
}

TEST(Extractor, RunPassesTheArgumentsAndReadsTheExitCode)
{
    struct Case {
        QByteArray Body;
        TExtractResult Expected;
    };
    const Case cases[] = {
        {"exit 0", TExtractResult::Extracted},
        {"exit 2", TExtractResult::Failed},
        {"kill -9 $$", TExtractResult::Failed},
        // Much output on both streams and a read of the input must neither block nor hang the run.
        {"head -c 3000000 /dev/zero; head -c 3000000 /dev/zero >&2; cat; exit 0", TExtractResult::Extracted},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        const QString program = StandIn(folder, c.Body);
        EXPECT_EQ(TExtractor::Run(program, QStringLiteral("/tmp/~~1temp/"), QStringLiteral("-my guide*.chm")), c.Expected)
            << c.Body.toStdString();
        EXPECT_EQ(RecordedArguments(folder), QStringList({"x", "-y", "-tChm", "-spd", "-o/tmp/~~1temp/", "--", "-my guide*.chm"}));
    }
}

TEST(Extractor, RunOfAProgramThatCannotStart)
{
    QTemporaryDir folder;
    WriteFile(folder.filePath(QStringLiteral("7z")), "#!/bin/sh\nexit 0\n", false); // not executable
    EXPECT_EQ(TExtractor::Run(folder.filePath(QStringLiteral("7z")), folder.path() + u'/', SampleChm),
              TExtractResult::NotStarted);
    EXPECT_EQ(TExtractor::Run(folder.filePath(QStringLiteral("missing")), folder.path() + u'/', SampleChm),
              TExtractResult::NotStarted);
}

TEST(Extractor, RealExtractorUnpacksHelpFilesAndRefusesOtherArchives)
{
    if (!IsNativeExecutable(SystemExtractor))
        GTEST_SKIP() << "no system extractor";
    QTemporaryDir out;
    // A name the extractor would otherwise read as a switch and as a wildcard.
    const QString odd = out.filePath(QStringLiteral("-guide[1]*.chm"));
    ASSERT_TRUE(QFile::copy(SampleChm, odd));
    EXPECT_EQ(TExtractor::Run(SystemExtractor, out.filePath(QStringLiteral("x/")), odd), TExtractResult::Extracted);
    EXPECT_TRUE(QFileInfo(out.filePath(QStringLiteral("x/index.htm"))).isFile());
    EXPECT_TRUE(QFileInfo(out.filePath(QStringLiteral("x/topics/keys.htm"))).isFile());

    // The same extractor unpacks a zip archive of any name unless the archive type is fixed.
    const QString zip = QStringLiteral(LANTERN_TEST_DATA "/app/not-a-help-file.chm");
    ASSERT_TRUE(QFileInfo::exists(zip));
    EXPECT_EQ(TExtractor::Run(SystemExtractor, out.filePath(QStringLiteral("y/")), zip), TExtractResult::Failed);
    EXPECT_FALSE(QFileInfo::exists(out.filePath(QStringLiteral("y/inside.htm"))));
}
