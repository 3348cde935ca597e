// The Edit menu of the window: the modeless find dialog searching the page from the caret, the not-found box,
// and Select All with Copy.
#include "app/FindDialog.h"
#include "app/ViewForm.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lantern;

namespace {

class EditMenuTest : public ::testing::Test {
protected:
    QTemporaryDir ExeDir;
    QStringList Log;
    std::unique_ptr<TViewForm> Form;

    struct TRecordedMessages final : TMessages {
        QStringList* Log;
        explicit TRecordedMessages(QStringList* Log) : Log(Log) {}
        void Error(const QString& Text) override { *Log += QStringLiteral("Error: ") + Text; }
        void Information(const QString& Text) override { *Log += QStringLiteral("Information: ") + Text; }
        bool Confirm(const QString&) override { return true; }
        void Failure(const QString& Text) override { *Log += QStringLiteral("Failure: ") + Text; }
    };

    void SetUp() override
    {
        TViewFormEnvironment environment;
        environment.ExeFolder = ExeDir.path() + u'/';
        environment.Messages = std::make_unique<TRecordedMessages>(&Log);
        Form = std::make_unique<TViewForm>(std::move(environment), QStringList());
        Form->Viewer->ShowString(u"<p>The Index lists the index entries.</p>", u"", DocType::dtHtml);
    }

    // Types Text into the dialog the menu opened and presses its find-next button.
    void FindNext(const QString& Text, bool Down = true, bool MatchCase = false)
    {
        TFindDialog& dialog = *Form->FindDialog;
        dialog.FindEdit->setText(Text);
        dialog.SetDown(Down);
        dialog.SetMatchCase(MatchCase);
        dialog.FindNextButton->click();
    }
    QString Selected() const { return QString::fromStdU16String(Form->Viewer->SelectionText()); }
};

TEST_F(EditMenuTest, TheFindDialogStaysOpenAndSearchesOnFromTheCaret)
{
    Form->FindMenuItem->trigger();
    ASSERT_NE(Form->FindDialog, nullptr);
    EXPECT_TRUE(Form->FindDialog->isVisible());
    EXPECT_FALSE(Form->FindDialog->isModal());
    EXPECT_TRUE(Form->FindDialog->Down());

    FindNext(QStringLiteral("index"));
    EXPECT_EQ(Form->Viewer->SelStart(), 4); // "Index": the case is not matched
    FindNext(QStringLiteral("index"));
    EXPECT_EQ(Form->Viewer->SelStart(), 20);
    EXPECT_TRUE(Form->FindDialog->isVisible());
    FindNext(QStringLiteral("Index"), false, true);
    EXPECT_EQ(Form->Viewer->SelStart(), 4);
    EXPECT_EQ(Selected(), QStringLiteral("Index"));
    EXPECT_TRUE(Log.isEmpty()) << Log.join(u'\n').toStdString();
}

TEST_F(EditMenuTest, ATextNotFoundIsReportedAndNothingMoves)
{
    Form->FindMenuItem->trigger();
    FindNext(QStringLiteral("Index"), false); // up from the top of the page
    EXPECT_EQ(Log, QStringList{QStringLiteral("Information: Search string \"Index\" not found.")});
    EXPECT_EQ(Form->Viewer->SelStart(), Form->Viewer->SelEnd());
}

TEST_F(EditMenuTest, SelectAllThenCopyPutsThePageOnTheClipboard)
{
    Form->SelectAllMenuItem->trigger();
    Form->CopyMenuItem->trigger();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("The Index lists the index entries."));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("text/html")));
}

} // namespace
