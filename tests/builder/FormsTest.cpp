// Forms built from markup, with the plain widgets a document has without a viewer: what each control submits,
// how it is sized for line layout, and how clicks and keys act on the form.
#include "tests/builder/BuilderFixture.h"

#include "layout/FormControls.h"
#include "layout/Forms.h"
#include "layout/ImageObj.h"

#include <gtest/gtest.h>

namespace lantern::testbuilder {
namespace {

std::vector<std::string> Utf8(const std::vector<u16>& lines)
{
    std::vector<std::string> out;
    for (const u16& line : lines)
        out.push_back(ToUtf8(line));
    return out;
}

// A page whose forms report their submissions.
class TFormPage : public TBuiltPage {
public:
    explicit TFormPage(std::string_view html) : TBuiltPage(html)
    {
        Doc.FormHost.OnFormSubmit = [this](const u16& action, const u16&, const u16&, const u16& method,
                                           const std::vector<u16>& results) {
            ++Submissions;
            Action = ToUtf8(action);
            Method = ToUtf8(method);
            Submitted = Utf8(results);
        };
        LayOutAndPaint(600);
    }

    TFormControlObj& Control(std::size_t i) const { return *Doc.FormControls[i]; }
    TFormWidget& Widget(std::size_t i) const { return *Control(i).PlatformControl(); }
    std::vector<std::string> Values(std::size_t form = 0) const { return Utf8(Doc.Forms[form]->CollectValues()); }

    int Submissions = 0;
    std::string Action, Method;
    std::vector<std::string> Submitted;
};

using Lines = std::vector<std::string>;

TEST(Forms, EachControlSubmitsItsInitialValue)
{
    struct TCase {
        const char* Html;
        Lines Expected;
    } cases[] = {
        {"<input type=checkbox name=a checked>", {"a=on"}},
        {"<input type=checkbox name=a value=yes>", {}},
        {"<input name=t value='x y'>", {"t=x y"}},
        {"<input type=password name=p value=secret>", {"p=secret"}},
        {"<input type=hidden name=h value=v>", {"h=v"}},
        {"<select name=s><option>One<option selected>Two</select>", {"s=Two"}},
        {"<select name=s><option value=1>One<option>Two</select>", {"s=1"}},
        {"<select name=s><option>  </select>", {"s= "}},
        {"<select name=m multiple><option selected>A<option>B<option selected value=c>C</select>", {"m=A", "m=c"}},
        {"<select name=l size=3><option>A<option selected>B</select>", {"l=B"}},
        {"<input type=radio name=r value=1 checked><input type=radio name=R value=2 checked>", {"R=2"}},
        {"<textarea name=t>\nab\ncd</textarea>", {"t=\r\nab\r\ncd"}},
        {"<textarea name=t>a &amp; <b>b</b></textarea>after", {"t=a & <b>b</b>"}},
        {"<input type=submit name=go value=Send><input type=reset><input type=button value=B>", {}},
    };
    for (const TCase& c : cases) {
        TFormPage page(std::string("<form>") + c.Html + "</form>");
        EXPECT_EQ(page.Values(), c.Expected) << c.Html;
    }
}

TEST(Forms, TextAfterAControlStaysInThePage)
{
    TFormPage page("<p>a<select><option>x</select>b<textarea>t</textarea>c<input>d</p>");
    EXPECT_EQ(ToUtf8(page.Text(u"a").Text), "a\x02" "b\x02" "c\x02" "d ");
    EXPECT_EQ(page.Doc.Forms.size(), 1u) << "controls outside a form share the implicit one";
}

TEST(Forms, DisabledUnlessNoOrZero)
{
    struct TCase {
        const char* Attribute;
        bool Disabled;
    } cases[] = {{"", false}, {"disabled", true}, {"disabled=no", false}, {"DISABLED=No", false},
                 {"disabled=0", false}, {"disabled=yes", true}};
    for (const TCase& c : cases) {
        TFormPage page(std::string("<form><input name=a value=1 ") + c.Attribute + "><input type=submit></form>");
        EXPECT_EQ(page.Control(0).Disabled, c.Disabled) << c.Attribute;
        page.Widget(1).Events->WidgetClick();
        EXPECT_EQ(page.Submitted, c.Disabled ? Lines{} : Lines{"a=1"}) << "disabled controls do not submit";
    }
}

TEST(Forms, SubmitButtonPairComesLast)
{
    TFormPage page("<form action=find method=post><input name=a value=1><input type=submit name=go value=Send>"
                   "<input name=b value=2></form>");
    page.Widget(1).Events->WidgetClick();
    EXPECT_EQ(page.Submissions, 1);
    EXPECT_EQ(page.Submitted, (Lines{"a=1", "b=2", "go=Send"}));
    EXPECT_EQ(page.Action, "find");
    EXPECT_EQ(page.Method, "post");
}

TEST(Forms, ImageInputSubmitsItsClickOnce)
{
    TFormPage page("<form><input name=q value=x><input type=image name=go src=none.gif></form>");
    auto& image = dynamic_cast<TImageFormControlObj&>(page.Control(1));
    ASSERT_NE(image.Image, nullptr);
    EXPECT_EQ(image.Image->FormControl, &image) << "picture and control know each other";
    // The pointer over the picture finds the control, which keeps the point for the click.
    const TImageObj& picture = *image.Image;
    platform::Canvas measure;
    std::unique_ptr<TUrlTarget> target;
    TFormControlObj* found = nullptr;
    u16 title;
    const THitKinds kinds =
        page.Doc.HitLink(measure, picture.DrawX + 5, picture.DrawY + 7 + page.Doc.ViewTop, target, found, title);
    EXPECT_TRUE(kinds & hkControl);
    EXPECT_EQ(found, &image);
    EXPECT_EQ(image.PointerX, 5);
    EXPECT_EQ(image.PointerY, 7);
    image.ImageClicked(image.PointerX, image.PointerY);
    EXPECT_EQ(page.Submitted, (Lines{"q=x", "go.x=5", "go.y=7"}));
    EXPECT_EQ(page.Values(), Lines{"q=x"}) << "the click is used up";
}

TEST(Forms, EnterInAnEditSubmitsButNotInAMemo)
{
    TFormPage page("<form><input name=a value=1><textarea name=t>x</textarea></form>");
    EXPECT_FALSE(page.Widget(1).Events->WidgetKey(VkReturn));
    EXPECT_EQ(page.Submissions, 0);
    EXPECT_FALSE(page.Widget(0).Events->WidgetKey(u'A'));
    EXPECT_TRUE(page.Widget(0).Events->WidgetKey(VkReturn)) << "the key is swallowed";
    EXPECT_EQ(page.Submissions, 1);
    EXPECT_EQ(page.Submitted, (Lines{"a=1", "t=x"}));
}

TEST(Forms, ResetRestoresInitialValues)
{
    TFormPage page("<form><input name=a value=1><input type=checkbox name=c checked>"
                   "<select name=s><option>A<option selected>B</select><textarea name=t>x</textarea>"
                   "<input type=reset></form>");
    page.Widget(0).SetText(u"changed");
    page.Widget(1).SetChecked(false);
    page.Widget(2).SetItemIndex(0);
    page.Widget(3).SetText(u"y");
    EXPECT_EQ(page.Values(), (Lines{"a=changed", "s=A", "t=y"}));
    page.Widget(4).Events->WidgetClick();
    EXPECT_EQ(page.Values(), (Lines{"a=1", "c=on", "s=B", "t=x"}));
}

TEST(Forms, RadioGroupClicksAndArrowKeys)
{
    TFormPage page("<form><input type=radio name=r value=1><input type=radio name=r value=2>"
                   "<input type=radio name=other value=x><input type=radio name=r value=3></form>");
    EXPECT_TRUE(page.Widget(0).TabStop()) << "the first of a group without a check";
    EXPECT_FALSE(page.Widget(1).TabStop());
    page.Widget(3).Events->WidgetClick();
    page.Widget(0).Events->WidgetClick();
    EXPECT_EQ(page.Values(), Lines{"r=1"});
    EXPECT_TRUE(page.Widget(0).TabStop());
    EXPECT_FALSE(page.Widget(3).TabStop()) << "an unchecked radio leaves the tab order";
    EXPECT_EQ(page.Values(), Lines{"r=1"});

    page.Widget(0).SetFocus();
    EXPECT_TRUE(page.Widget(0).Events->WidgetKey(VkRight));
    EXPECT_TRUE(page.Widget(1).Focused());
    page.Widget(1).Events->WidgetKey(VkDown);
    EXPECT_TRUE(page.Widget(3).Focused()) << "the group skips the other name";
    page.Widget(3).Events->WidgetKey(VkRight);
    EXPECT_TRUE(page.Widget(3).Focused()) << "no wrap-around";
    page.Widget(3).Events->WidgetKey(VkUp);
    EXPECT_TRUE(page.Widget(1).Focused());
}

TEST(Forms, EditWidthsCountCharacters)
{
    TFormPage page("<input><input type=date><input size=30><input style='width:100px'>");
    const int plain = page.Control(0).Width();
    EXPECT_GT(plain, 23 + 15 * 4);
    EXPECT_EQ(page.Control(1).Width(), plain) << "an unknown type is an edit field";
    EXPECT_EQ(page.Control(2).Width() - 23, 2 * (plain - 23)) << "SIZE characters of the average width";
    EXPECT_EQ(page.Control(3).Width(), 100);
}

TEST(Forms, ListAndMemoSizes)
{
    std::string twelve = "<select name=m multiple>";
    for (int i = 0; i < 12; ++i)
        twelve += "<option>o" + std::to_string(i);
    twelve += "</select>";
    TFormPage page("<select size=3><option>a</select><select size=6><option>a</select>" + twelve +
                   "<select><option>a</select><textarea></textarea><textarea rows=10 cols=60></textarea>"
                   "<textarea wrap=off></textarea>");
    const int three = page.Control(0).Height() - 4, six = page.Control(1).Height() - 4;
    EXPECT_EQ(six, 2 * three) << "rows of the text height";
    EXPECT_EQ(page.Control(2).Height() - 4, 8 * three / 3) << "twelve options show eight rows";
    EXPECT_EQ(dynamic_cast<TComboFormControlObj*>(&page.Control(3)) != nullptr, true);

    const TFormControlObj& memo = page.Control(4);
    const TFormControlObj& big = page.Control(5);
    EXPECT_EQ(big.Height() - memo.Height(), 5 * three / 3) << "five more rows";
    const int s = (big.Width() - memo.Width()) / 30;
    EXPECT_GT(s, 3);
    EXPECT_EQ(memo.Width(), 30 * s + 5 + 4 + 17) << "30 columns of \"s\" beside the bar";
    EXPECT_EQ(page.Control(6).Height() - memo.Height(), 17) << "without wrapping a horizontal bar shows";
}

TEST(Forms, HardWrapSubmitsTheLinesAsShown)
{
    TFormPage page("<form><textarea name=t cols=10 wrap=hard>aaaa bbbb cccc</textarea>"
                   "<textarea name=s cols=10>aaaa bbbb cccc</textarea></form>");
    EXPECT_EQ(page.Values(), (Lines{"t=aaaa bbbb \r\ncccc", "s=aaaa bbbb cccc"}));
}

TEST(Forms, ControlsStandInTheLineAndLeaveWhenScrolledAway)
{
    TFormPage page("<p>Name: <input name=a></p><div style='height:2000px'></div><p>End <input name=b></p>");
    TFormControlObj& top = page.Control(0);
    TFormControlObj& bottom = page.Control(1);
    const TSection& text = page.Text(u"Name:");
    EXPECT_TRUE(top.PlatformControl()->Visible());
    EXPECT_GT(top.Left(), page.FirstLineX(text) + 30) << "after the label";
    EXPECT_GE(text.Lines.front().FullHeight(), top.Height() + 2) << "the line makes room for it";

    // Full repaints of a 600 pixel view that shows one control at a time.
    QImage image(600, 600, QImage::Format_RGB32);
    platform::PaintCanvas canvas(image);
    page.Doc.ViewHeight = 600;
    auto paintAt = [&](int viewTop) {
        page.Doc.SetViewTop(viewTop);
        page.Doc.PaintDocument(canvas, Rect{0, 0, 600, 600}, 6000, 0, 0, 0, 0);
    };
    paintAt(1800);
    EXPECT_FALSE(top.PlatformControl()->Visible()) << "no control floats over the page";
    EXPECT_TRUE(bottom.PlatformControl()->Visible());
    EXPECT_EQ(bottom.Top(), bottom.PlacedDocY - 1800);
    paintAt(0);
    EXPECT_TRUE(top.PlatformControl()->Visible());
    EXPECT_FALSE(bottom.PlatformControl()->Visible());

    // A scroll that moves the surface's pixels, and the controls with them, paints only the strip uncovered:
    // a control still in view keeps its place.
    page.Doc.SetViewTop(10);
    page.Doc.PaintDocument(canvas, Rect{0, 590, 600, 600}, 6000, 0, 0, 0, 0);
    EXPECT_TRUE(top.PlatformControl()->Visible());
    EXPECT_EQ(top.Top(), top.PlacedDocY - 10);
}

} // namespace
} // namespace lantern::testbuilder
