// Finding text from the caret, select all, the selected text, and what a copy puts on the clipboard: the plain
// text and the HTML fragment cut from the page's own source with the header that says where it lies.
#include "viewer/HtmlViewer.h"

#include "layout/Document.h"
#include "markup/Buffer.h"
#include "viewer/PaintPanel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

#include <string>

namespace lantern {
namespace {

class FindTest : public ::testing::Test {
protected:
    THtmlViewer Viewer;

    void SetUp() override
    {
        Viewer.SetBorderStyle(THTMLBorderStyle::htNone);
        Viewer.resize(400, 300);
    }
    void Show(u16v Html, u16v Name = u"page.htm") { Viewer.ShowString(Html, Name, DocType::dtHtml); }
    void ShowBytes(const std::string& Bytes)
    {
        std::vector<std::uint8_t> data(Bytes.begin(), Bytes.end());
        Viewer.LoadDocument(TBuffer::CreateFromBytes(std::move(data), u"/help/page.htm"), u"/help/page.htm",
                            DocType::dtHtml);
    }
    std::pair<int, int> Selection() const { return {Viewer.SelStart(), Viewer.SelEnd()}; }
};

TEST_F(FindTest, ForwardMovesOnBackwardComesBackNoMatchChangesNothing)
{
    Show(u"<p>apple one Apple two apple</p>");
    ASSERT_TRUE(Viewer.SearchText(u"apple", false, false));
    EXPECT_EQ(Selection(), std::make_pair(0, 5));
    ASSERT_TRUE(Viewer.SearchText(u"apple", false, false));
    EXPECT_EQ(Selection(), std::make_pair(10, 15));
    EXPECT_EQ(Viewer.CaretPos(), 15);
    // with the case matched the capitalised one is skipped
    ASSERT_TRUE(Viewer.SearchText(u"apple", true, false));
    EXPECT_EQ(Selection(), std::make_pair(20, 25));
    EXPECT_FALSE(Viewer.SearchText(u"apple", false, false));
    EXPECT_EQ(Selection(), std::make_pair(20, 25));
    // backwards: the caret rests on each match's start, so the next search finds the one before
    ASSERT_TRUE(Viewer.SearchText(u"apple", false, true));
    EXPECT_EQ(Selection(), std::make_pair(20, 25));
    EXPECT_EQ(Viewer.CaretPos(), 20);
    ASSERT_TRUE(Viewer.SearchText(u"apple", false, true));
    EXPECT_EQ(Selection(), std::make_pair(10, 15));
    EXPECT_FALSE(Viewer.SearchText(u"pear", false, false));
    EXPECT_FALSE(Viewer.SearchText(u"", false, false));
    EXPECT_EQ(Selection(), std::make_pair(10, 15));
}

TEST_F(FindTest, AMatchOutOfSightComesToTheMiddleOneInSightStays)
{
    u16 page;
    for (int i = 0; i < 80; ++i)
        page += u"<p>line " + FromAscii(std::to_string(i)) + u"</p>";
    Show(page + u"<p>needle</p>");
    ASSERT_EQ(Viewer.VScrollPos(), 0);
    ASSERT_TRUE(Viewer.SearchText(u"line 2", false, false));
    EXPECT_EQ(Viewer.VScrollPos(), 0);
    ASSERT_TRUE(Viewer.SearchText(u"needle", false, false));
    int x = 0, y = 0;
    platform::Canvas canvas;
    ASSERT_TRUE(Viewer.Document().CaretToPoint(&canvas, Viewer.SelStart(), x, y));
    EXPECT_EQ(Viewer.VScrollPos(), std::min(y - Viewer.height() / 2, Viewer.DocHeight() - Viewer.PaintPanel().height()));
    EXPECT_GT(Viewer.VScrollPos(), 0);
}

TEST_F(FindTest, SelectAllTakesTheWholeTextUnlessSelectingIsOff)
{
    Show(u"<p>first</p><p>last</p>");
    Viewer.SelectAllText();
    EXPECT_EQ(ToUtf8(Viewer.SelectionText()), "first\r\n\r\nlast");
    Viewer.SetNoSelect(true);
    EXPECT_EQ(Viewer.SelStart(), Viewer.SelEnd());
    Viewer.SelectAllText();
    EXPECT_EQ(Viewer.SelStart(), Viewer.SelEnd());
}

// The header's four numbers, by label.
std::size_t HeaderNumber(const std::string& Text, const std::string& Label)
{
    const std::size_t at = Text.find(Label);
    EXPECT_NE(at, std::string::npos) << Label;
    return at == std::string::npos ? 0 : std::stoul(Text.substr(at + Label.size(), 8));
}

// Checks that the header's numbers point where they say, and returns the HTML after the header.
std::string CheckedBody(const std::string& Text)
{
    const std::size_t startHtml = HeaderNumber(Text, "StartHTML:");
    EXPECT_EQ(HeaderNumber(Text, "EndHTML:"), Text.size());
    EXPECT_EQ(Text.substr(HeaderNumber(Text, "StartFragment:") - 20, 20), "<!--StartFragment-->");
    EXPECT_EQ(Text.substr(HeaderNumber(Text, "EndFragment:"), 18), "<!--EndFragment-->");
    EXPECT_TRUE(Text.starts_with("Version:1.0\r\nStartHTML:")) << Text;
    return Text.substr(startHtml);
}

constexpr char Doctype[] = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n";

TEST_F(FindTest, TheHtmlFragmentIsCutAtTheSelection)
{
    Show(u"<p>a <b>b</b> c</p>");
    ASSERT_TRUE(Viewer.SearchText(u"b", true, false));
    const std::string text = Viewer.SelectionAsHtmlFragment();
    EXPECT_NE(text.find("\r\nSourceURL:file://"), std::string::npos);
    EXPECT_EQ(CheckedBody(text), std::string(Doctype) +
                                     "<head><style> body {font-size: 12pt; font-family: \"Times New Roman\"; }"
                                     "</style></head><p>a <b><!--StartFragment-->b<!--EndFragment-->");
}

// A page in a multi-byte code page: "<first word> <i><selected word></i> <last word>".
struct TCodePageCase {
    const char* Charset;
    std::string Bytes;      // the paragraph's text in that code page
    const char16_t* Select; // the selected word, decoded
    std::string First;      // the first word and the selected one in UTF-8
    std::string Selected;
};

TEST_F(FindTest, TheFragmentOfAMultiBytePageIsExactlyTheSelectedSource)
{
    const TCodePageCase cases[] = {
        {"utf-8", "\xE4\xB8\xAD\xE6\x96\x87 <i>\xE9\x80\x89\xE6\x8B\xA9</i> \xE6\x96\x87\xE6\x9C\xAC", u"\u9009\u62E9",
         "\xE4\xB8\xAD\xE6\x96\x87", "\xE9\x80\x89\xE6\x8B\xA9"},
        // GBK pages declare themselves gb2312 (code page 936)
        {"gb2312", "\xD6\xD0\xCE\xC4 <i>\xD1\xA1\xD4\xF1</i> \xCE\xC4\xB1\xBE", u"\u9009\u62E9", "\xE4\xB8\xAD\xE6\x96\x87",
         "\xE9\x80\x89\xE6\x8B\xA9"},
        {"big5", "\xA4\xA4\xA4\xE5 <i>\xBF\xEF\xBE\xDC</i> \xA4\xE5\xA5\xBB", u"\u9078\u64C7", "\xE4\xB8\xAD\xE6\x96\x87",
         "\xE9\x81\xB8\xE6\x93\x87"},
        // the second byte of 選 is an ASCII letter's code
        {"shift_jis", "\x93\xFA\x96\x7B <i>\x91\x49\x91\xF0</i> \x95\xB6\x8E\x9A", u"\u9078\u629E",
         "\xE6\x97\xA5\xE6\x9C\xAC", "\xE9\x81\xB8\xE6\x8A\x9E"},
    };
    for (const TCodePageCase& c : cases) {
        ShowBytes(std::string("<html><head><meta charset=\"") + c.Charset + "\"><title>t</title></head><body><p>" +
                  c.Bytes + "</p></body></html>");
        ASSERT_TRUE(Viewer.SearchText(c.Select, true, false)) << c.Charset;
        const std::string text = Viewer.SelectionAsHtmlFragment();
        EXPECT_EQ(CheckedBody(text), std::string(Doctype) +
                                         "<html><style> body {font-size: 12pt; font-family: \"Times New Roman\"; }"
                                         "</style><head><title>t</title></head><body><p>" +
                                         c.First + " <i><!--StartFragment-->" + c.Selected + "<!--EndFragment-->")
            << c.Charset;
        const std::size_t from = HeaderNumber(text, "StartFragment:");
        EXPECT_EQ(text.substr(from, HeaderNumber(text, "EndFragment:") - from), c.Selected) << c.Charset;
        EXPECT_NE(text.find("SourceURL:file:///help/page.htm\r\n"), std::string::npos);
    }
}

TEST_F(FindTest, CopyPutsPlainTextAndTheFragmentOnTheClipboard)
{
    Show(u"<p>copy <b>these words</b> only</p>");
    QGuiApplication::clipboard()->clear();
    Viewer.CopyToClipboard(); // nothing selected: nothing copied
    const QMimeData* empty = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!empty || !empty->hasText());
    ASSERT_TRUE(Viewer.SearchText(u"these words", true, false));
    Viewer.CopyToClipboard();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("these words"));
    const QByteArray html = data->data(QStringLiteral("text/html"));
    EXPECT_NE(html.indexOf("<b><!--StartFragment-->these words<!--EndFragment-->"), -1) << html.toStdString();
}

} // namespace
} // namespace lantern
