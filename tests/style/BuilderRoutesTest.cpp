// The routes by which the document builder drives the tokenizer and the property stack together: a style
// element read by the style sheet reader in the middle of the markup, style attributes owned by their
// elements, the source position seen by the property stack, and charset declarations followed by every later
// element.
#include "markup/Buffer.h"
#include "markup/CodePages.h"
#include "markup/Tokenizer.h"
#include "style/CssParser.h"
#include "style/StyleList.h"

#include "tests/style/CssTestSupport.h"
#include "tests/support/Corpus.h"

#include <gtest/gtest.h>

namespace lantern::test {
namespace {

struct TAnsiPage {
    explicit TAnsiPage(int cp) { SetAnsiCodePageOverride(cp); }
    ~TAnsiPage() { SetAnsiCodePageOverride(0); }
};

// What the builder does with the symbols these tests need, on a tokenizer and a property stack over one style
// list: start tags push their element (a link when it has an HREF) with its class, style attribute, title and
// id, and end tags pop it, except HTML and HEAD, which the builder passes over; META and FONT CHARSET switch the
// charset; a style element goes to the style sheet reader. Every symbol is written to Symbols, text quoted.
class TMiniBuilder {
public:
    explicit TMiniBuilder(TBuffer& buffer) : Tokenizer(buffer), Doc(List)
    {
        Tokenizer.ShareSourcePos(Doc.Stack.SourcePos);
        Tokenizer.CodePageInForce = [this] { return Doc.Stack.TopProperties().CodePage; };
    }

    void Run()
    {
        Tokenizer.AdvanceChar();
        for (Tokenizer.NextSymbol(); Tokenizer.Sy() != symEndOfFile; Tokenizer.NextSymbol())
            Handle(Tokenizer.Sy());
    }

    struct TDefaultList : THtmlStyleList {
        TDefaultList() : THtmlStyleList(false) { BuildDefaults(*this); }
    };

    THtmlTokenizer Tokenizer;
    TDefaultList List;
    TElementPath Doc;
    std::string Symbols;
    u16 Text;

private:
    void Handle(THtmlSymbol sy)
    {
        const THtmlSymbol end = EndSymbolOf(sy);
        const bool endTag = sy != symUnknownTag && end == sy;
        Symbols += Symbols.empty() ? "" : " ";
        if (sy == symText) {
            Symbols += "\"" + ToUtf8(Tokenizer.Token().AsString()) + "\"";
            Text += Tokenizer.Token().AsString();
            return;
        }
        Symbols += (endTag ? "/" : "") + ToUtf8(SymbolName(sy));
        if (sy == symStyle)
            return ReadStyleElement();
        if (sy == symMeta)
            return SwitchFromMeta();
        if (end == symEndHtml || end == symEndHead || end == symUnknownTag)
            return;
        if (endTag)
            Doc.Stack.PopElement(SymbolName(sy));
        else
            Push(sy);
    }

    void Push(THtmlSymbol sy)
    {
        const TAttributeList& a = Tokenizer.Attributes();
        // FONT CHARSET: the enclosing set and the buffer switch; the FONT's set keeps the code page in force.
        const TAttribute* charset = sy == symFont ? a.Find(symCharset) : nullptr;
        int noted = -1;
        if (charset && Doc.Stack.SwitchCharset(charset->Value, Tokenizer.Buffer()))
            noted = Doc.Stack.TopProperties().Charset;
        TProperties& set = Doc.Stack.PushElement(SymbolName(sy), a.GetClass(), GetStyle(a), a.GetTitle(),
                                                 sy == symA && a.Find(symHref) ? u"link" : u"", a.GetId());
        if (noted >= 0)
            set.SetCharsetAndCodePage(noted, KeepCodePage);
    }

    // The style sheet reader starts at the current character (the tag's ">") in the buffer being read and
    // hands back the "<" of the end tag it stopped at.
    void ReadStyleElement()
    {
        char16_t ch = Tokenizer.LCh();
        int at = -1;
        ParseStyleSheet(List, ch, Tokenizer.Buffer(), List.Quirks, false, {}, &at);
        Tokenizer.SetLCh(ch, at);
    }

    // The whole content text goes to the switch, which finds the charset name inside it.
    void SwitchFromMeta()
    {
        const TAttributeList& a = Tokenizer.Attributes();
        const TAttribute* content = a.Find(symContent);
        if (!content)
            content = a.Find(symCharset);
        if (content)
            Doc.Stack.SwitchCharset(content->Value, Tokenizer.Buffer());
    }
};

} // namespace

TEST(BuilderRoutes, ReadingResumesAfterAStyleElement)
{
    struct Case {
        const char16_t* Page;
        const char16_t* Included; // what an include directive in the page reads, or none
        const char* Symbols;
        bool RuleStored;
    } cases[] = {
        {u"<style>p{color:red}</style><p>after", nullptr, "style /style p \"after\"", true},
        {u"<style></style>x", nullptr, "style /style \"x\"", false},
        // The sheet comes from the included page, where the style element is, not from the page around it.
        {u"a<!--#include s -->b", u"<style>p{color:red}</style>x", "\"a\" style /style \"xb\"", true},
        // A sheet cut off by the end of the include ends with it; reading goes on in the page.
        {u"a<!--#include s -->b", u"<style>p{color:red}", "\"a\" style \"b\"", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Page));
        auto buffer = TBuffer::CreateFromString(c.Page);
        TMiniBuilder b(*buffer);
        if (c.Included)
            b.Tokenizer.OnInclude = [&c](const u16&, const std::vector<u16>&) {
                return TBuffer::CreateFromString(c.Included);
            };
        b.Run();
        EXPECT_EQ(b.Symbols, c.Symbols);
        EXPECT_EQ(Stored(b.List, u"p", u"color"), c.RuleStored ? PropValue(ColorOf(u"red")) : PropValue());
    }

    // The end tag's position is that of its "<", read by the style sheet reader.
    const u16 page = u"<style>p{color:red}</style><p>";
    auto buffer = TBuffer::CreateFromString(page);
    TMiniBuilder b(*buffer);
    THtmlTokenizer& t = b.Tokenizer;
    t.AdvanceChar();
    t.NextSymbol();
    char16_t ch = t.LCh();
    int at = -1;
    ParseStyleSheet(b.List, ch, t.Buffer(), false, false, {}, &at);
    t.SetLCh(ch, at);
    t.NextSymbol();
    EXPECT_EQ(t.Sy(), symEndStyle);
    EXPECT_EQ(t.TagPosition(), 2 * int(page.find(u"</style>")));
}

// The property stack closes an inline border at its source position, which the tokenizer keeps up to date
// character by character.
TEST(BuilderRoutes, PropertyStackSeesTheSourcePosition)
{
    const u16 page = u"x<span style=\"border: 1px solid\">ab</span>c<span>d</span>";
    auto buffer = TBuffer::CreateFromString(page);
    TMiniBuilder b(*buffer);
    std::vector<int> closed;
    b.Doc.Stack.CloseInlineBorder = [&](TProperties&, int sourcePos) { closed.push_back(sourcePos); };
    b.Run();
    // The end tag has been read when the element is popped: the position is that of the character after it.
    EXPECT_EQ(closed, std::vector<int>{2 * int(page.find(u"c<span>"))});
}

// A link's state fonts are rebuilt when an element below it closes out of order, and the rebuild reads the
// link's style attribute. That set belongs to the link's entry, so it is there however much the tokenizer has
// read (and freed) meanwhile; under the sanitizers a set owned elsewhere would be a read of freed memory.
TEST(BuilderRoutes, StyleAttributeSetSurvivesAnOutOfOrderCloseWithALink)
{
    auto buffer = TBuffer::CreateFromString(u"<span><b><a href=x style=\"color: #00ff00\">t<i>u</b>v");
    TMiniBuilder b(*buffer);
    ParseSheet(b.List, u"b { font-size: 20pt }");
    b.Run();
    const THtmlPropStack& stack = b.Doc.Stack;
    ASSERT_EQ(stack.Count(), 4) << "root, span, a, i";
    const TProperties& a = stack.Get(2);
    ASSERT_EQ(a.PropTag, u"a");
    ASSERT_TRUE(a.PropStyle && a.LinkFonts);
    for (const ThtFontInfo& font : *a.LinkFonts) {
        EXPECT_EQ(font.FontColor, ColorOf(u"#00ff00")) << "the style attribute beats the link state colours";
        EXPECT_DOUBLE_EQ(font.Size, 12) << "rebuilt over the span once b was gone";
    }
}

// The builder's route for a META charset: the switch sets the top set and the buffer, and every element opened
// afterwards inherits the charset and code page; text is decoded with the code page in force.
TEST(BuilderRoutes, MetaCharsetReachesEveryLaterElement)
{
    TAnsiPage ansi(1252);
    struct Case {
        const char* File;
        const char16_t* Text;
        int CodePage, Charset; // of the sets opened after the META
    } cases[] = {
        {"gbk.html", u"中文测试：简体字", 936, GB2312_CHARSET},
        {"big5.html", u"中文測試：繁體字", 950, CHINESEBIG5_CHARSET},
        {"shift_jis.html", u"日本語のテキスト", 932, SHIFTJIS_CHARSET},
        {"euc-jp.html", u"日本語のテキスト", 20932, SHIFTJIS_CHARSET},
        {"euc_kr.html", u"한국어 텍스트", 949, HANGEUL_CHARSET},
        {"windows-1251.html", u"Русский текст", 1251, RUSSIAN_CHARSET},
        {"utf-8.html", u"UTF-8 текст 中文 \U0001F600", CP_UTF8, DEFAULT_CHARSET},
        {"utf-16le.html", u"UTF-16 текст 中文", PseudoCpUtf16Le, DEFAULT_CHARSET},
        // No declaration: the byte-order mark alone decides the decoding, and the sets keep the default.
        {"utf-8-bom.html", u"UTF-8 текст 中文 \U0001F600", CP_ACP, DEFAULT_CHARSET},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        auto buffer = TBuffer::CreateFromBytes(
            testsupport::ReadBytes(std::filesystem::path(LANTERN_TEST_DATA) / "markup" / c.File));
        ASSERT_GT(buffer->Size(), 0);
        TMiniBuilder b(*buffer);
        b.Run();
        EXPECT_EQ(b.Text, u16(c.Text) + u" ") << "the final line end reads as one space";
        // Deep nesting after the switch: every push inherits what the META set.
        THtmlPropStack& stack = b.Doc.Stack;
        for (int i = 0; i < 300; ++i)
            stack.PushElement(i % 2 ? u"span" : u"b", u"", nullptr, u"", u"", u"");
        EXPECT_EQ(stack.TopProperties().CodePage, c.CodePage);
        EXPECT_EQ(stack.TopProperties().Charset, c.Charset);
    }
}

// FONT CHARSET: the enclosing set and the buffer switch, and the FONT's own set keeps the code page the buffer
// was switched to, so the elements inside it inherit a real code page and their text decodes as declared.
TEST(BuilderRoutes, FontCharsetReachesTheElementsInsideIt)
{
    struct Case {
        const char* Page;
        const char16_t* Text;
        int CodePage, Charset;
    } cases[] = {
        {"<p><font charset=euc-jp><b><i>\xC6\xFC\xCB\xDC\xB8\xEC", u"日本語", 20932, SHIFTJIS_CHARSET},
        {"<p><font charset=windows-1251><b><i>\xD0\xF3\xF1", u"Рус", 1251, RUSSIAN_CHARSET},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Page);
        const std::string page = c.Page;
        auto buffer = TBuffer::CreateFromBytes({page.begin(), page.end()});
        TMiniBuilder b(*buffer);
        b.Run();
        EXPECT_EQ(b.Text, c.Text);
        EXPECT_EQ(buffer->CodePage(), c.CodePage);
        THtmlPropStack& stack = b.Doc.Stack;
        ASSERT_EQ(stack.Count(), 5) << "root, p, font, b, i";
        for (int i = 1; i < 5; ++i) {
            SCOPED_TRACE(ToUtf8(stack.Get(i).PropTag));
            EXPECT_EQ(stack.Get(i).CodePage, c.CodePage);
            EXPECT_EQ(stack.Get(i).Charset, c.Charset);
        }
        EXPECT_EQ(stack.PushElement(u"span", u"", nullptr, u"", u"", u"").CodePage, c.CodePage);
    }
}

// Every charset name a document can declare switches the sets and the buffer, and elements opened afterwards
// take the same charset and code page: no row of the name table ends a document.
TEST(BuilderRoutes, EveryDeclarableCharsetSurvivesLaterPushes)
{
    for (const TBuffCharSetCodePageInfo& row : CharSetInfoTable()) {
        SCOPED_TRACE(row.Name);
        THtmlStyleList list(false);
        BuildDefaults(list);
        TElementPath doc(list);
        auto buffer = TBuffer::CreateFromBytes({'<', 'p', '>'});
        ASSERT_TRUE(doc.Stack.SwitchCharset(FromAscii(row.Name), *buffer));
        const TProperties& switched = doc.Stack.TopProperties();
        EXPECT_EQ(switched.CodePage, row.CodePage);
        EXPECT_EQ(buffer->CodePage(), row.CodePage);
        TProperties* inner = nullptr;
        ASSERT_NO_THROW(for (int i = 0; i < 3; ++i) inner = &doc.Push(u"span"));
        EXPECT_EQ(inner->CodePage, switched.CodePage);
        EXPECT_EQ(inner->Charset, switched.Charset);
    }
    THtmlStyleList list(false);
    BuildDefaults(list);
    TElementPath doc(list);
    auto buffer = TBuffer::CreateFromBytes({'<', 'p', '>'});
    EXPECT_FALSE(doc.Stack.SwitchCharset(u"x-mac-cyrillic", *buffer));
    EXPECT_EQ(buffer->CodePage(), CP_ACP);
}

} // namespace lantern::test
