// A form page in a shown viewer: the controls are real widgets on the paint surface, placed in their lines,
// hidden once scrolled out of view, and their keys and values reach the host.
#include "viewer/HtmlViewer.h"

#include "layout/Document.h"
#include "layout/FormControls.h"
#include "layout/ImageObj.h"
#include "viewer/FormWidgets.h"
#include "viewer/PaintPanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lantern {
namespace {

class FormWidgetsTest : public ::testing::Test {
protected:
    void Show(const std::string& html)
    {
        Viewer.SetBorderStyle(THTMLBorderStyle::htNone);
        Viewer.resize(500, 300);
        Viewer.show();
        Viewer.OnFormSubmit = [this](THtmlViewer&, const u16& action, const u16&, const u16&, const u16&,
                                     const std::vector<u16>& results) {
            Action = action;
            Results = results;
            ++Submissions;
        };
        Viewer.ShowString(FromUtf8(html), u"", DocType::dtHtml);
        Settle();
    }
    void Settle()
    {
        Viewer.PaintPanel().repaint();
        QApplication::processEvents();
    }
    QWidget* Native(std::size_t i) const
    {
        return static_cast<TQtFormWidget*>(Viewer.Document().FormControls[i]->PlatformControl())->Native();
    }

    THtmlViewer Viewer;
    u16 Action;
    std::vector<u16> Results;
    int Submissions = 0;
};

TEST_F(FormWidgetsTest, ControlsAreWidgetsOnTheSurfaceInTheirLines)
{
    Show("<form><p>Name: <input name=a value=x> <input type=checkbox name=c checked></p></form>");
    QWidget* edit = Native(0);
    QWidget* box = Native(1);
    ASSERT_TRUE(qobject_cast<QLineEdit*>(edit));
    EXPECT_EQ(edit->parentWidget(), &Viewer.PaintPanel());
    EXPECT_TRUE(edit->isVisible());
    EXPECT_GT(edit->x(), 40) << "after its label";
    EXPECT_GT(box->x(), edit->x() + edit->width()) << "the check box follows on the line";
    EXPECT_LT(std::abs((box->y() + box->height()) - (edit->y() + edit->height())), edit->height());
}

TEST_F(FormWidgetsTest, EnterInAFieldSubmitsAfterTheKey)
{
    Show("<form action=find><input name=a><textarea name=t></textarea></form>");
    auto* edit = qobject_cast<QLineEdit*>(Native(0));
    edit->setFocus();
    edit->setText(QStringLiteral("typed"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(edit, &enter);
    EXPECT_EQ(Submissions, 0) << "queued behind the key";
    QApplication::processEvents();
    ASSERT_EQ(Submissions, 1);
    EXPECT_EQ(ToUtf8(Action), "find");
    EXPECT_EQ(Results, (std::vector<u16>{u"a=typed", u"t="}));

    auto* memo = qobject_cast<QPlainTextEdit*>(Native(1));
    memo->setFocus();
    QKeyEvent enterMemo(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(memo, &enterMemo);
    QApplication::processEvents();
    EXPECT_EQ(Submissions, 1);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("\n")) << "a line break in the memo";
}

TEST_F(FormWidgetsTest, ClickingAnImageInputSubmitsThePointInsideItsPicture)
{
    Show("<form action=find><input name=q value=x><input type=image name=go src=none.gif width=40 height=30>"
         "</form>");
    const TFloatingObj& picture = *static_cast<TImageFormControlObj&>(*Viewer.Document().FormControls[1]).Image;
    const int x = picture.DrawX + 5, y = picture.DrawY + 7;
    Viewer.PanelMouseDown(Qt::LeftButton, Qt::NoModifier, x, y);
    Viewer.PanelMouseUp(Qt::LeftButton, Qt::NoModifier, x, y);
    QApplication::processEvents();
    ASSERT_EQ(Submissions, 1);
    EXPECT_EQ(Results, (std::vector<u16>{u"q=x", u"go.x=5", u"go.y=7"}));
}

TEST_F(FormWidgetsTest, HardWrapSubmitsTheWidgetsLines)
{
    Show("<form><textarea name=t cols=12 wrap=hard>one two three four five six seven</textarea></form>");
    const std::vector<u16> values = Viewer.Document().Forms[0]->CollectValues();
    ASSERT_EQ(values.size(), 1u);
    const u16 value = values[0];
    EXPECT_NE(value.find(u"\r\n"), u16::npos) << ToUtf8(value);
    u16 joined = value;
    for (std::size_t at; (at = joined.find(u"\r\n")) != u16::npos;)
        joined.erase(at, 2);
    EXPECT_EQ(ToUtf8(joined), "t=one two three four five six seven") << "only breaks are added";
}

TEST_F(FormWidgetsTest, ScrolledOutControlsHide)
{
    Show("<p><input name=top></p><div style='height:1500px'></div><p><input name=bottom></p>");
    QWidget* top = Native(0);
    QWidget* bottom = Native(1);
    EXPECT_TRUE(top->isVisible());
    EXPECT_FALSE(bottom->isVisible()) << "never painted yet";
    Viewer.VScrollTo(Viewer.DocHeight());
    Settle();
    EXPECT_FALSE(top->isVisible()) << "no control left floating over the page";
    EXPECT_TRUE(bottom->isVisible());
    EXPECT_GE(bottom->y(), 0);
    EXPECT_LE(bottom->y() + bottom->height(), Viewer.PaintPanel().height());
    Viewer.VScrollTo(0);
    Settle();
    EXPECT_TRUE(top->isVisible());
    EXPECT_FALSE(bottom->isVisible());
}

TEST_F(FormWidgetsTest, TabIndexOrdersTheControlsBeforeTheOthers)
{
    Show("<input name=a><input name=b tabindex=2><input name=c><input name=d tabindex=1><input name=e tabindex=2>");
    EXPECT_EQ(Native(3)->nextInFocusChain(), Native(1));
    EXPECT_EQ(Native(1)->nextInFocusChain(), Native(4)) << "equal indexes keep their document order";
    EXPECT_EQ(Native(4)->nextInFocusChain(), Native(0)) << "then the controls without one";
    EXPECT_EQ(Native(0)->nextInFocusChain(), Native(2));
}

} // namespace
} // namespace lantern
