#include "app/ViewForm.h"
#include "tests/app/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

// A window with a help file open whose start page is a few paragraphs of text.
class ViewerCommandsTest : public ViewFormTest {
protected:
    std::unique_ptr<TViewForm> OpenForm()
    {
        WriteFile(Payload + QStringLiteral("/index.html"),
                  "<p>Index of the guide</p><p>Second paragraph of text</p><p>Third paragraph</p>");
        auto form = Form({DocumentNamed("a.chm")});
        EXPECT_FALSE(form->Viewer->CurrentPath().empty());
        return form;
    }
};

TEST_F(ViewerCommandsTest, DisplayOptionsApplyToThePageAndLastUntilTheNextOpen)
{
    const auto form = OpenForm();
    const int startHeight = form->Viewer->DocHeight();
    Answers.Font = TFontChoice{u"Arial", 16, 0x00102030};
    form->DefaultFontMenuItem->trigger();
    Answers.ChosenColor = 0x00405060;
    form->BackgroundColorMenuItem->trigger();
    Answers.ChosenColor = 0x00708090;
    form->HotSpotColorMenuItem->trigger();
    // Each dialog starts from the setting it changes.
    EXPECT_EQ(Answers.Asked, (QStringList{QStringLiteral("Font: Times New Roman 12 ff000008"),
                                          QStringLiteral("Color: ff000005"), QStringLiteral("Color: ff0000")}));
    EXPECT_EQ(form->Viewer->DefFontName(), u"Arial");
    EXPECT_EQ(form->Viewer->DefFontSize(), 16);
    EXPECT_EQ(form->Viewer->DefFontColor(), 0x00102030u);
    EXPECT_EQ(form->Viewer->DefHotSpotColor(), 0x00708090u);
    // The page on show was read again with the new defaults.
    EXPECT_EQ(form->Viewer->PaintColor(), 0x00405060u);
    EXPECT_GT(form->Viewer->DocHeight(), startHeight);

    for (int step = 0; step < 3; ++step)
        form->FontZoomInMenuItem->trigger();
    EXPECT_EQ(form->Viewer->DefFontSize(), 19);
    form->OpenDocument(DocumentNamed("b.chm"));
    EXPECT_EQ(form->Viewer->DefFontSize(), 12);
    EXPECT_EQ(form->Viewer->DefFontName(), u"Times New Roman");
    EXPECT_EQ(form->Viewer->DefBackground(), clWindow);
    EXPECT_EQ(form->Viewer->DocHeight(), startHeight) << "the new file shows at the start-up size";
    EXPECT_TRUE(Log.isEmpty()) << Log.join(u'\n').toStdString();
}

TEST_F(ViewerCommandsTest, CancelledDialogsChangeNothing)
{
    const auto form = OpenForm();
    form->DefaultFontMenuItem->trigger();
    form->BackgroundColorMenuItem->trigger();
    form->HotSpotColorMenuItem->trigger();
    EXPECT_EQ(Answers.Asked.size(), 3);
    EXPECT_EQ(form->Viewer->DefFontName(), u"Times New Roman");
    EXPECT_EQ(form->Viewer->DefFontSize(), 12);
    EXPECT_EQ(form->Viewer->DefFontColor(), clWindowText);
    EXPECT_EQ(form->Viewer->DefBackground(), clWindow);
    EXPECT_EQ(form->Viewer->DefHotSpotColor(), MakeColor(0, 0, 255));
}

// Keys go through the window system's path, shortcuts included, as a user's presses do.
TEST_F(ViewerCommandsTest, ZoomKeysAreCtrlWithTheKeypadsPlusAndMinusOnly)
{
    const auto form = OpenForm();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Viewer->setFocus();
    struct Case {
        const char* Name;
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        int Step;
    };
    const Case cases[] = {
        {"Ctrl + keypad plus", Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, +1},
        {"Ctrl + keypad minus", Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier, -1},
        {"Ctrl + main plus", Qt::Key_Plus, Qt::ControlModifier, 0},
        {"Ctrl + main minus", Qt::Key_Minus, Qt::ControlModifier, 0},
        {"Ctrl + Shift + keypad plus", Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier, 0},
        {"keypad plus alone", Qt::Key_Plus, Qt::KeypadModifier, 0},
    };
    for (const Case& c : cases) {
        const int before = form->Viewer->DefFontSize();
        QTest::keyClick(form->Viewer, c.Key, c.Modifiers);
        EXPECT_EQ(form->Viewer->DefFontSize(), before + c.Step) << c.Name;
    }
    // The window's own key handling zooms too, one step per press, when a zoom key reaches it.
    const int before = form->Viewer->DefFontSize();
    EXPECT_TRUE(form->FormKeyDown(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier));
    EXPECT_FALSE(form->FormKeyDown(Qt::Key_Plus, Qt::ControlModifier));
    EXPECT_EQ(form->Viewer->DefFontSize(), before + 1);
}

// Zooming has no lower bound, but a size of 0 or below draws as 1: the text keeps its lines.
TEST_F(ViewerCommandsTest, ZoomingOutPastOneDrawsTextAtSizeOne)
{
    const auto form = OpenForm();
    form->Viewer->SetDefFontSize(2);
    form->FontZoomOutMenuItem->trigger();
    const int heightAtOne = form->Viewer->DocHeight();
    for (int size = 1; size > -2; --size) {
        EXPECT_EQ(form->Viewer->DefFontSize(), size);
        EXPECT_EQ(form->Viewer->DocHeight(), heightAtOne) << "size " << size;
        form->FontZoomOutMenuItem->trigger();
    }
    form->Viewer->SetDefFontSize(12);
    form->Viewer->RefreshDocument();
    EXPECT_GT(form->Viewer->DocHeight(), heightAtOne);
}

TEST_F(ViewerCommandsTest, AboutBoxAndWebAddress)
{
    const auto form = Form();
    form->AboutMenuItem->trigger();
    EXPECT_EQ(Log, QStringList{QStringLiteral("Information: Lantern\nlantern.example.org")});
    form->show();
    QTest::mouseClick(form->WebPanel, Qt::LeftButton);
    QTest::mouseClick(form->WebPanel, Qt::RightButton);
    EXPECT_EQ(Answers.OpenedAddresses, QStringList{QStringLiteral("http://lantern.example.org")});
}

} // namespace

namespace {

// Confirms whichever modal dialog opens next, as a user pressing OK at once.
void AcceptNextDialog()
{
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
}

TEST(StandardDialogs, ConfirmedUnchangedTheyReturnWhatTheyWereGiven)
{
    QWidget parent;
    TStandardDialogs dialogs(&parent);
    // Times New Roman is installed under another name; the choice keeps the name the page settings use.
    AcceptNextDialog();
    EXPECT_EQ(dialogs.ChooseFont({u"Times New Roman", 14, 0x00336699}), (TFontChoice{u"Times New Roman", 14, 0x00336699}));
    AcceptNextDialog();
    EXPECT_EQ(dialogs.ChooseFont({u"DejaVu Sans", 9, clWindowText}), (TFontChoice{u"DejaVu Sans", 9, clBlack}))
        << "a system colour comes back as its colour value";
    AcceptNextDialog();
    EXPECT_EQ(dialogs.ChooseColor(0x00C0FFEE), std::optional<Color>(0x00C0FFEE));
}

} // namespace
