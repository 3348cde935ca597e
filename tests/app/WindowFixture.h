// The window tests' fixture: a window whose extractor is a stand-in script and whose messages are recorded.
#pragma once

#include "app/ViewForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace lantern;

// Readable failure output for Qt strings and lists of them.
inline void PrintTo(const QString& Text, std::ostream* Out)
{
    *Out << '"' << Text.toStdString() << '"';
}

namespace {

const QString SampleChm = QStringLiteral(LANTERN_SOURCE_DIR "/samples/lantern-guide.chm");

// Records the messages instead of showing modal boxes.
struct TRecordedMessages final : TMessages {
    QStringList* Log;
    const bool* ConfirmAnswer; // none: every question is answered yes
    explicit TRecordedMessages(QStringList* Log, const bool* ConfirmAnswer = nullptr)
        : Log(Log), ConfirmAnswer(ConfirmAnswer)
    {
    }
    void Error(const QString& Text) override { *Log += QStringLiteral("Error: ") + Text; }
    void Information(const QString& Text) override { *Log += QStringLiteral("Information: ") + Text; }
    bool Confirm(const QString& Text) override
    {
        *Log += QStringLiteral("Confirm: ") + Text;
        return !ConfirmAnswer || *ConfirmAnswer;
    }
    void Failure(const QString& Text) override { *Log += QStringLiteral("Failure: ") + Text; }
};

// Answers the dialogs for the user and records what they were asked.
struct TDialogAnswers {
    std::optional<TFontChoice> Font;   // none: the font dialog is cancelled
    std::optional<Color> ChosenColor;  // none: the colour dialog is cancelled
    QString SaveFile;                  // empty: the save dialog is cancelled
    QString Folder;                    // empty: the folder chooser is cancelled
    QStringList Asked;                 // one line per dialog shown
    std::vector<TSaveFileRequest> SaveRequests;
    QStringList OpenedAddresses;
};

struct TRecordedDialogs final : TDialogs {
    TDialogAnswers* Answers;
    explicit TRecordedDialogs(TDialogAnswers* Answers) : Answers(Answers) {}
    std::optional<TFontChoice> ChooseFont(const TFontChoice& Initial) override
    {
        Answers->Asked += QStringLiteral("Font: %1 %2 %3")
                              .arg(QString::fromStdU16String(Initial.Name))
                              .arg(Initial.Size)
                              .arg(Initial.FontColor, 0, 16);
        return Answers->Font;
    }
    std::optional<Color> ChooseColor(Color Initial) override
    {
        Answers->Asked += QStringLiteral("Color: %1").arg(Initial, 0, 16);
        return Answers->ChosenColor;
    }
    QString ChooseSaveFile(const TSaveFileRequest& Request) override
    {
        Answers->Asked += QStringLiteral("Save: ") + Request.Filter + QStringLiteral(" .") + Request.DefaultExt;
        Answers->SaveRequests.push_back(Request);
        return Answers->SaveFile;
    }
    QString ChooseFolder(const QString& Caption, const QString& Start) override
    {
        Answers->Asked += QStringLiteral("Folder: ") + Caption + QStringLiteral(" at ") + Start;
        return Answers->Folder;
    }
};

inline void WriteFile(const QString& Path, const QByteArray& Bytes = "<p>page</p>", bool Executable = false)
{
    QDir().mkpath(QFileInfo(Path).path());
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << Path.toStdString();
    file.write(Bytes);
    file.close();
    const QFile::Permissions exe = QFile::ExeOwner | QFile::ExeUser;
    file.setPermissions(Executable ? file.permissions() | exe : file.permissions() & ~exe);
}

// A window whose extractor is a stand-in script in its own "exe folder": the script copies the files of
// Payload into the folder named by -o and exits with ExitCode. Help files are any existing files.
class ViewFormTest : public ::testing::Test {
protected:
    QTemporaryDir ExeDir;
    QTemporaryDir TempBase;
    QTemporaryDir Documents;
    QStringList Log;
    bool ConfirmAnswer = true;
    TDialogAnswers Answers;
    QString Payload = ExeDir.filePath(QStringLiteral("payload"));

    void SetUp() override
    {
        QDir().mkpath(Payload);
        WriteStandIn(0);
        WriteFile(ExeDir.filePath(QStringLiteral("7z.so")), "");
        WriteFile(DocumentNamed("a.chm"), "chm");
        WriteFile(DocumentNamed("b.chm"), "chm");
    }

    void WriteStandIn(int ExitCode, bool Executable = true)
    {
        WriteFile(ExeDir.filePath(QStringLiteral("7z")),
                  "#!/bin/sh\n"
                  "touch \"$(dirname \"$0\")/ran\"\n"
                  "for a in \"$@\"; do case \"$a\" in -o*) out=\"${a#-o}\";; esac; done\n"
                  "mkdir -p \"$out\" && cp -R \"$(dirname \"$0\")/payload/.\" \"$out\"\n"
                  "exit " + QByteArray::number(ExitCode) + "\n",
                  Executable);
    }

    QString DocumentNamed(const char* Name) const { return Documents.filePath(QString::fromLatin1(Name)); }

    // Unpacks with the system's extractor; false when the machine has none.
    static bool HasSystemExtractor()
    {
        return IsNativeExecutable(QString::fromLatin1(SystemExtractorFolder) + QLatin1String(ExtractorProgramName));
    }
    TViewFormEnvironment SystemExtractorEnvironment()
    {
        TViewFormEnvironment environment = Environment();
        environment.ExtractorFolders = {QString::fromLatin1(SystemExtractorFolder)};
        environment.IdentityCheck = IsNativeExecutable;
        return environment;
    }

    // Where a help file opened: the page on show (relative to the session folder), SubFolder and the viewer's CharSet.
    struct TOpened {
        const char* Page;
        const char* SubFolder;
        int CharSet;
    };
    void ExpectOpened(const TViewForm& Form, const char* File, const TOpened& Expected)
    {
        EXPECT_EQ(QString::fromStdU16String(Form.Viewer->CurrentPath()), Form.TempFolder + QString::fromUtf8(Expected.Page))
            << File;
        EXPECT_EQ(Form.SubFolder, QString::fromUtf8(Expected.SubFolder)) << File;
        EXPECT_EQ(Form.Viewer->CharSet(), Expected.CharSet) << File;
        EXPECT_TRUE(Log.isEmpty()) << File << ": " << Log.join(u'\n').toStdString();
        Log.clear();
    }

    // A #SYSTEM file that names Topic as the default topic, placed where the stand-in unpacks it from.
    void WriteDefaultTopic(const QByteArray& Topic)
    {
        QByteArray record = Topic + '\0';
        QByteArray bytes("\x03\0\0\0\x02\0", 6);
        bytes += char(record.size() & 0xFF);
        bytes += char(record.size() >> 8);
        WriteFile(Payload + QStringLiteral("/#SYSTEM"), bytes + record);
    }

    TViewFormEnvironment Environment(TTempNumberSource Numbers = RandomTempNumber)
    {
        TViewFormEnvironment environment;
        environment.ExeFolder = ExeDir.path() + u'/';
        environment.ExtractorFolders = {environment.ExeFolder};
        environment.IdentityCheck = [](const QString&) { return true; }; // the stand-in is a script
        environment.TempBase = TempBase.path();
        environment.TempNumbers = std::move(Numbers);
        environment.Messages = std::make_unique<TRecordedMessages>(&Log, &ConfirmAnswer);
        environment.Dialogs = std::make_unique<TRecordedDialogs>(&Answers);
        environment.OpenExternal = [this](const QString& Link) { Answers.OpenedAddresses += Link; };
        return environment;
    }

    std::unique_ptr<TViewForm> Form(const QStringList& Arguments = {})
    {
        return std::make_unique<TViewForm>(Environment(), Arguments);
    }

    // The session folders of this test's windows.
    QStringList TempFolders() const
    {
        return QDir(TempBase.path()).entryList({QStringLiteral("~~*temp")}, QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};

} // namespace
