#include "app/ExportFiles.h"
#include "app/ViewForm.h"
#include "tests/app/WindowFixture.h"

#include <QAction>
#include <QDirIterator>
#include <QFrame>

namespace {

QByteArray ReadAll(const QString& Path)
{
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every entry below Folder, relative, sorted; links marked with "->".
QStringList TreeOf(const QString& Folder)
{
    QStringList entries;
    QDirIterator it(Folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries += QDir(Folder).relativeFilePath(info.filePath()) + (info.isSymLink() ? QStringLiteral(" ->") : QString());
    }
    entries.sort();
    return entries;
}

TEST(ExportFolderTree, CopiesTheTreeWithoutFollowingOrWritingThroughLinks)
{
    QTemporaryDir from;
    QTemporaryDir to;
    QTemporaryDir outside;
    WriteFile(from.filePath(QStringLiteral("index.htm")), "new index");
    WriteFile(from.filePath(QStringLiteral("sub/deeper/page.htm")), "deep");
    WriteFile(from.filePath(QStringLiteral("sub/linked.htm")), "linked, new");
    WriteFile(from.filePath(QStringLiteral("clash")), "a file");
    WriteFile(from.filePath(QStringLiteral("folder/a.htm")));
    WriteFile(outside.filePath(QStringLiteral("secret.txt")), "secret");
    QFile::link(outside.path(), from.filePath(QStringLiteral("escape")));
    QFile::link(outside.filePath(QStringLiteral("secret.txt")), from.filePath(QStringLiteral("sub/secret.htm")));

    WriteFile(to.filePath(QStringLiteral("index.htm")), "old index");
    WriteFile(to.filePath(QStringLiteral("mine.txt")), "kept");
    QDir(to.path()).mkpath(QStringLiteral("clash"));
    WriteFile(to.filePath(QStringLiteral("folder")), "a file where a folder comes");
    QDir(to.path()).mkpath(QStringLiteral("sub"));
    // Links planted in the destination lead outside it.
    QFile::link(outside.filePath(QStringLiteral("secret.txt")), to.filePath(QStringLiteral("sub/linked.htm")));
    QFile::link(outside.path(), to.filePath(QStringLiteral("sub/deeper")));

    const TExportReport report = ExportFolderTree(from.path(), to.path());
    EXPECT_EQ(report.FilesCopied, 2); // index.htm and sub/linked.htm
    QStringList problems = report.Problems;
    problems.sort(); // in the order the folders list them
    EXPECT_EQ(problems, (QStringList{QStringLiteral("clash: a folder of that name is in the way"),
                                            QStringLiteral("folder: a file of that name is in the way"),
                                            QStringLiteral("sub/deeper: a link of that name is in the way")}));
    EXPECT_EQ(ReadAll(to.filePath(QStringLiteral("index.htm"))), "new index");
    EXPECT_EQ(ReadAll(to.filePath(QStringLiteral("sub/linked.htm"))), "linked, new");
    EXPECT_EQ(TreeOf(to.path()), (QStringList{QStringLiteral("clash"), QStringLiteral("folder"),
                                              QStringLiteral("index.htm"), QStringLiteral("mine.txt"),
                                              QStringLiteral("sub"), QStringLiteral("sub/deeper ->"),
                                              QStringLiteral("sub/linked.htm")}))
        << "no temporary file is left behind, and no link is copied";
    EXPECT_EQ(TreeOf(outside.path()), QStringList{QStringLiteral("secret.txt")});
    EXPECT_EQ(ReadAll(outside.filePath(QStringLiteral("secret.txt"))), "secret");
}

TEST(ExportFolderTree, MakesAMissingDestinationAndKeepsTheFileMode)
{
    QTemporaryDir from;
    QTemporaryDir base;
    WriteFile(from.filePath(QStringLiteral("a/b.htm")), "b");
    const QString to = base.filePath(QStringLiteral("new/folder"));
    const TExportReport report = ExportFolderTree(from.path(), to);
    EXPECT_TRUE(report.Complete()) << report.Problems.join(u'\n').toStdString();
    EXPECT_EQ(ReadAll(to + QStringLiteral("/a/b.htm")), "b");
    EXPECT_TRUE(QFileInfo(to + QStringLiteral("/a/b.htm")).permissions() & QFile::ReadOther)
        << "exported pages are readable as any new file is, not private as a temporary one";
}

// The window's command: a help file unpacked into a tree with a sub-folder, exported into folders of each kind.
class ExportCommandTest : public ViewFormTest {
protected:
    QTemporaryDir Target;

    void SetUp() override
    {
        ViewFormTest::SetUp();
        WriteFile(Payload + QStringLiteral("/index.html"), "<p>start</p>");
        WriteFile(Payload + QStringLiteral("/images/pic.htm"), "<p>inner</p>");
    }
};

TEST_F(ExportCommandTest, TheChosenFolderDecidesWhatIsAskedAndCopied)
{
    struct Case {
        const char* Name;
        const char* Folder; // inside Target
        const char* Present; // a file already there, or none
        bool Answer;
        QStringList Messages; // %1: the chosen folder
        bool Exported;
    };
    const Case cases[] = {
        {"empty folder", "empty", nullptr, true, {}, true},
        {"folder with one file, yes", "one-yes", "old.txt", true,
         {QStringLiteral("Confirm: The directory \"%1\" is not empty. Do you want to overwrite it?")}, true},
        {"folder with one file, no", "one-no", "old.txt", false,
         {QStringLiteral("Confirm: The directory \"%1\" is not empty. Do you want to overwrite it?")}, false},
        {"missing folder", "missing", nullptr, true, {QStringLiteral("Error: The directory \"%1\" do not exists.")},
         false},
    };
    const auto form = Form({DocumentNamed("a.chm")});
    for (const Case& c : cases) {
        const QString folder = Target.filePath(QString::fromLatin1(c.Folder));
        if (std::string_view(c.Name) != "missing folder")
            QDir().mkpath(folder);
        if (c.Present)
            WriteFile(folder + u'/' + QString::fromLatin1(c.Present), "old");
        Answers.Folder = folder;
        ConfirmAnswer = c.Answer;
        Log.clear();
        Answers.Asked.clear();
        form->ExportAsHTMLFilesMenuItem->trigger();

        EXPECT_EQ(Answers.Asked, QStringList{QStringLiteral("Folder: Select a folder to save the exported file. at ") +
                                             Documents.path() + u'/'})
            << c.Name;
        QStringList expected;
        for (const QString& message : c.Messages)
            expected += message.arg(folder);
        EXPECT_EQ(Log, expected) << c.Name;
        EXPECT_EQ(QFileInfo::exists(folder + QStringLiteral("/images/pic.htm")), c.Exported) << c.Name;
        EXPECT_EQ(QFileInfo::exists(folder + QStringLiteral("/index.html")), c.Exported) << c.Name;
        if (c.Present) {
            EXPECT_TRUE(QFileInfo::exists(folder + u'/' + QString::fromLatin1(c.Present))) << c.Name;
        }
        EXPECT_FALSE(form->MsgTabControl->isVisible()) << c.Name;
    }
}

TEST_F(ExportCommandTest, NothingWithoutADocumentOrAChoiceAndNeverIntoItsOwnFolder)
{
    const auto form = Form();
    Answers.Folder = Target.path();
    form->ExportAsHTMLFilesMenuItem->trigger();
    EXPECT_TRUE(Answers.Asked.isEmpty()) << "no document: no dialog";

    form->OpenDocument(DocumentNamed("a.chm"));
    Answers.Folder.clear();
    form->ExportAsHTMLFilesMenuItem->trigger();
    EXPECT_EQ(Answers.Asked.size(), 1);
    EXPECT_TRUE(Log.isEmpty());

    Answers.Folder = form->TempFolder + QStringLiteral("images");
    form->ExportAsHTMLFilesMenuItem->trigger();
    ASSERT_EQ(Log.size(), 1);
    EXPECT_TRUE(Log.front().startsWith(QStringLiteral("Error: The directory \""))) << Log.front().toStdString();
    EXPECT_EQ(TreeOf(form->TempFolder + QStringLiteral("images")), QStringList{QStringLiteral("pic.htm")});
}

TEST_F(ExportCommandTest, FilesThatCannotBeCopiedAreNamed)
{
    const auto form = Form({DocumentNamed("a.chm")});
    QDir(Target.path()).mkpath(QStringLiteral("index.html"));
    Answers.Folder = Target.path();
    form->ExportAsHTMLFilesMenuItem->trigger();
    EXPECT_EQ(Log, (QStringList{QStringLiteral("Confirm: The directory \"%1\" is not empty. Do you want to overwrite it?")
                                    .arg(Target.path()),
                                QStringLiteral("Error: Some files were not exported to \"%1\":\n"
                                               "index.html: a folder of that name is in the way")
                                    .arg(Target.path())}));
    EXPECT_TRUE(QFileInfo::exists(Target.filePath(QStringLiteral("images/pic.htm"))));
}

} // namespace
