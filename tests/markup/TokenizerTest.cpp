#include "markup/Errors.h"
#include "markup/Tokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lantern;

namespace {

struct TAnsiPage {
    explicit TAnsiPage(int cp) { SetAnsiCodePageOverride(cp); }
    ~TAnsiPage() { SetAnsiCodePageOverride(0); }
};

std::string TagLabel(THtmlSymbol sy, int level)
{
    for (const TTagInfo& t : TagTable()) {
        const bool end = t.End == sy && sy != symUnknownTag;
        if (t.Start != sy && !end)
            continue;
        std::string label;
        if (end)
            label.push_back('/');
        label.append(t.Name);
        if (sy == symH || sy == symEndH)
            label.append(std::to_string(level));
        return label;
    }
    return "?";
}

// One line per symbol: tags by name ("/P" for end tags, "?" when unknown, H with its level) and their
// attributes in brackets; text quoted.
std::string Dump(THtmlTokenizer& t)
{
    std::string out;
    t.AdvanceChar();
    for (t.NextSymbol(); t.Sy() != symEndOfFile; t.NextSymbol()) {
        if (!out.empty())
            out += ' ';
        if (t.Sy() == symText) {
            out += '"';
            out += ToUtf8(t.Token().AsString());
            out += '"';
            continue;
        }
        out += TagLabel(t.Sy(), t.HeadingLevel());
        const TAttributeList& a = t.Attributes();
        if (a.Count() == 0)
            continue;
        out += '[';
        for (std::size_t i = 0; i < a.Count(); ++i) {
            if (i)
                out += ' ';
            out += ToUtf8(a[i].Name);
            out += '=';
            out += ToUtf8(a[i].Value);
        }
        out += ']';
    }
    return out;
}

std::string Dump(TBuffer& b)
{
    THtmlTokenizer t(b);
    return Dump(t);
}

// The same text through every way into the tokenizer: marked UTF-8, both UTF-16 orders, a string
// source, and single bytes of the ANSI page when the text fits it.
std::vector<std::pair<std::string, std::unique_ptr<TBuffer>>> Routes(u16v text)
{
    std::vector<std::pair<std::string, std::unique_ptr<TBuffer>>> routes;
    std::string utf8 = "\xEF\xBB\xBF" + ToUtf8(text);
    routes.emplace_back("utf-8", TBuffer::CreateFromBytes({utf8.begin(), utf8.end()}));
    std::vector<std::uint8_t> le{0xFF, 0xFE}, be{0xFE, 0xFF};
    for (char16_t c : text) {
        le.insert(le.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
        be.insert(be.end(), {std::uint8_t(c >> 8), std::uint8_t(c & 0xFF)});
    }
    routes.emplace_back("utf-16le", TBuffer::CreateFromBytes(le));
    routes.emplace_back("utf-16be", TBuffer::CreateFromBytes(be));
    routes.emplace_back("string", TBuffer::CreateFromString(text));
    std::vector<std::uint8_t> latin;
    for (char16_t c : text) {
        if (c >= 0x80)
            return routes;
        latin.push_back(std::uint8_t(c));
    }
    routes.emplace_back("ansi", TBuffer::CreateFromBytes(latin));
    return routes;
}

} // namespace

TEST(Tokenizer, SymbolsThroughEveryRoute)
{
    TAnsiPage ansi(1252);
    struct Case {
        const char16_t* html;
        const char* symbols;
    } cases[] = {
        // Comments vanish wherever they stand.
        {u"<p>a<!-- x -- y -->b", "P \"ab\""},
        {u"a<!-- x --!>b", "\"ab\""},
        {u"a<!-- x --->b<!-- y -- >c", "\"abc\""},
        {u"a<!-->b-->c", "\"ac\""},
        {u"<a href=\"x<!-- y -->z\">", "A[HREF=xz]"},
        {u"<!DOCTYPE html><p>x<% if a > b %>y", "P \"xy\""},
        // Tags and names.
        {u"<P>x</p>", "P \"x\" /P"},
        {u"<br/>", "BR"},
        {u"</br><foo bar=1></foo>", "? ?[BAR=1] ?"},
        {u"<h2>t</H2><H2 class=x><h7>", "H2 \"t\" /H2 H2[CLASS=x] H0[7=]"},
        {u"<TD><td nowrap>", "TD TD[NOWRAP=]"},
        {u"<?xml version=\"1.0\"?><p>", "? P"},
        {u"<p xml:lang=en class=x>", "P[XML=]"},
        // Attribute values.
        {u"<img src=a.gif/>", "IMG[SRC=a.gif/]"},
        {u"<P ALIGN = center >", "P[ALIGN=center]"},
        {u"<a href='x y' name=z\tid=\"q\">", "A[HREF=x y NAME=z ID=q]"},
        {u"<p title=\"a\nb\" class=\"a\r\nb\" alt='c\rd'>", "P[TITLE=a\r\nb CLASS=ab ALT=c\r\nd]"},
        {u"<a href=\"?a=1&amp;b=2\" title=&lt;x&gt;>", "A[HREF=?a=1&b=2 TITLE=<x>]"},
        // Text runs and stray characters.
        {u"a < b", "\"a \" \"<\" \" b\""},
        {u"a<", "\"a\" \"<\""},
        {u"x\r\ny\n\rz \t\n w", "\"x y z w\""},
        {u"\x01" "a", "\"\" \"?a\""},
        {u"a & b &c", "\"a & b &c\""},
        // Input that simply stops.
        {u"<a href=\"x", "A[HREF=x]"},
        {u"<p class=", "P[CLASS=]"},
        {u"<", "\"<\""},
        {u"", ""},
    };
    for (const auto& c : cases) {
        for (auto& [route, buffer] : Routes(c.html))
            EXPECT_EQ(Dump(*buffer), c.symbols) << route << ": " << ToUtf8(c.html);
    }
}

TEST(Tokenizer, AttributeNumbers)
{
    struct Case {
        const char16_t* tag;
        double num;
        int intValue;
        const char16_t* value;
    } cases[] = {
        {u"<table border>", 1, 1, u""},
        {u"<table border=yes>", 1, 1, u"yes"},
        {u"<table border=0>", 0, 0, u"0"},
        {u"<td width=50%>", 50, 50, u"50%"},
        {u"<td width=3*>", 3, 3, u"3*"},
        {u"<td width=*>", 1, 1, u"*"},
        {u"<td width=12px>", 0, 0, u"12px"},
        {u"<td width=\" 2.5 \">", 2, 2, u" 2.5 "},
        {u"<td width=3.5>", 4, 4, u"3.5"},
        {u"<td width=-7>", -7, -7, u"-7"},
        {u"<font size=+2>", 2, 2, u"+2"},
        {u"<td width=1e3>", 1000, 1000, u"1e3"},
        {u"<td width=99999999999>", 99999999999.0, 2147483647, u"99999999999"},
        {u"<td width=.>", 0, 0, u"."},
    };
    for (const auto& c : cases) {
        auto b = TBuffer::CreateFromString(c.tag);
        THtmlTokenizer t(*b);
        t.AdvanceChar();
        t.NextSymbol();
        ASSERT_EQ(t.Attributes().Count(), 1u) << ToUtf8(c.tag);
        const TAttribute& a = t.Attributes()[0];
        EXPECT_EQ(a.NumValue, c.num) << ToUtf8(c.tag);
        EXPECT_EQ(a.IntValue, c.intValue) << ToUtf8(c.tag);
        EXPECT_EQ(a.Value, c.value) << ToUtf8(c.tag);
    }
}

TEST(Tokenizer, CharacterReferences)
{
    struct Case {
        const char16_t* ref;
        int codePage; // the code page in force
        const char16_t* text;
    } cases[] = {
        {u"&#x41;", 1252, u"A"},
        {u"&#65;", 1252, u"A"},
        {u"&#65", 1252, u"A"},
        {u"&#X4a;", 1252, u"J"},
        {u"&#;", 1252, u"&#;"},
        {u"&#x;", 1252, u"&#x;"},
        {u"&#9;", 1252, u" "},
        {u"&#7;", 1252, u"?"},
        {u"&#0;", 1252, u"?"},
        {u"&#150;", 1252, u"\u2013"}, // a byte of the page in force
        {u"&#150;", 1251, u"\u2013"},
        {u"&#128;", 1251, u"\u0402"},
        {u"&#150;", CP_UTF8, u"\u0096"},
        {u"&#127;", 932, u"\u007F"},
        {u"&#x1F600;", 1252, u"\U0001F600"}, // beyond U+FFFF: a surrogate pair
        {u"&#1114112;", 1252, u"\uFFFD"},
        {u"&#4294967361;", 1252, u"A"}, // the value wraps in 32 bits
        {u"&#99999999999999999999;", 1252, u"\uFFFD"},
        {u"&copy;", 1252, u"\u00A9"},
        {u"&copy", 1252, u"\u00A9"},
        {u"&hellip;", 1252, u"\u2026"},
        {u"&hellip", 1252, u"&hellip"}, // above 255 only with its ";"
        {u"&apos;", 1252, u"\u2019"},
        {u"&amp;x", 1252, u"&x"},
        {u"&AMP;", 1252, u"&AMP;"},
        {u"&Agrave;&agrave;", 1252, u"\u00C0\u00E0"},
        {u"&euro;", 1252, u"\u20AC"},
        {u"&thetasym;&upsih;&piv;", 1252, u"\u03D1\u03D2\u03D6"},
        {u"&nbsp&lt", 1252, u"\u00A0<"},
        {u"&unknown;", 1252, u"&unknown;"},
        {u"&abcdefghijklmnop;", 1252, u"&abcdefghijklmnop;"},
        {u"&", 1252, u"&"},
    };
    for (const auto& c : cases) {
        auto b = TBuffer::CreateFromString(u16(c.ref) + u"|");
        THtmlTokenizer t(*b);
        t.CodePageInForce = [&] { return c.codePage; };
        t.AdvanceChar();
        t.NextSymbol();
        EXPECT_EQ(t.Sy(), symText);
        EXPECT_EQ(t.Token().AsString(), u16(c.text) + u"|") << ToUtf8(c.ref) << " in " << c.codePage;
    }
}

TEST(Tokenizer, SourcePositionsAreByteOffsets)
{
    std::string page = "\xEF\xBB\xBF<p>\xC3\xA9 x&amp;y</p>";
    auto b = TBuffer::CreateFromBytes({page.begin(), page.end()});
    THtmlTokenizer t(*b);
    t.AdvanceChar();
    t.NextSymbol();
    EXPECT_EQ(t.Sy(), symP);
    EXPECT_EQ(t.TagPosition(), 3);
    t.NextSymbol();
    ASSERT_EQ(t.Token().AsString(), u"\u00E9 x&y");
    EXPECT_EQ(std::vector<int>(t.Token().Positions().begin(), t.Token().Positions().end()),
        (std::vector<int>{6, 8, 9, 10, 15}));
    t.NextSymbol();
    EXPECT_EQ(t.Sy(), symEndP);
    EXPECT_EQ(t.TagPosition(), 16);
}

TEST(Tokenizer, UnterminatedCommentEndsTheText)
{
    for (const char16_t* html : {u"a<!-- never closed", u"a<!-- x -- y", u"a<!DOCTYPE html", u"<p class=\"<!-- x"}) {
        auto b = TBuffer::CreateFromString(html);
        THtmlTokenizer t(*b);
        t.AdvanceChar();
        try {
            for (t.NextSymbol(); t.Sy() != symEndOfFile; t.NextSymbol()) {
            }
            ADD_FAILURE() << ToUtf8(html);
        } catch (const EParseError& e) {
            EXPECT_STREQ(e.what(), "Open Comment at End of HTML File");
        }
    }
    // A server block has no such rule: the end simply ends it.
    auto b = TBuffer::CreateFromString(u"a<% never closed");
    EXPECT_EQ(Dump(*b), "\"a\"");
}

TEST(Tokenizer, ScriptContent)
{
    auto b = TBuffer::CreateFromString(u"<script>if (a<b) x();\r\n// <!-- c -->\n</SCRIPT  ><!-- d -->e");
    THtmlTokenizer t(*b);
    t.AdvanceChar();
    t.NextSymbol();
    ASSERT_EQ(t.Sy(), symScript);
    ASSERT_EQ(t.LCh(), u'>');
    t.RawMode = true;
    t.AdvanceChar();
    std::vector<std::string> symbols;
    do {
        t.ReadScriptSymbol();
        symbols.push_back(TagLabel(t.Sy(), 0) + ":" + ToUtf8(t.Token().AsString()));
    } while (t.Sy() != symEndScript && t.Sy() != symEndOfFile);
    // After "<" and a name, at most six more characters belong to the tag; "<" before anything else is text.
    EXPECT_EQ(symbols, (std::vector<std::string>{"?:if (a", "?:<b) x();", "?:", "?:// ", "?:<", "?:!-- c -->",
                           "?:", "/SCRIPT:</SCRIPT  >"}));
    EXPECT_FALSE(t.RawMode) << "the end tag ends raw mode";
    t.NextSymbol();
    EXPECT_EQ(t.Token().AsString(), u"e") << "a comment after the script is skipped again";
}

TEST(Tokenizer, TextareaContent)
{
    auto b = TBuffer::CreateFromString(u"a&lt;b <i>\r\n</textareax </TEXTAREA>");
    THtmlTokenizer t(*b);
    t.AdvanceChar();
    std::vector<std::string> symbols;
    do {
        t.ReadTextAreaSymbol();
        std::string label = t.Sy() == symText ? "text" : t.Sy() == symLineEnd ? "line" : TagLabel(t.Sy(), 0);
        symbols.push_back(label + ":" + ToUtf8(t.Token().AsString()));
    } while (t.Sy() != symEndTextarea && t.Sy() != symEndOfFile);
    EXPECT_EQ(symbols, (std::vector<std::string>{"text:a", "?:<", "text:b ", "?:<i", "text:>", "line:",
                           "?:</textareax", "text: ", "/TEXTAREA:</TEXTAREA"}));

    auto longText = TBuffer::CreateFromString(u16(250, u'x'));
    THtmlTokenizer u(*longText);
    u.AdvanceChar();
    u.ReadTextAreaSymbol();
    EXPECT_EQ(u.Token().Count(), 100) << "text comes in pieces of at most 100 characters";
}

TEST(Tokenizer, IncludeDirectives)
{
    auto b = TBuffer::CreateFromString(u"a<!--#include file=\"x.htm\" virtual=y&amp;z set -->b<!--#echo -->c");
    THtmlTokenizer t(*b);
    std::vector<std::pair<u16, std::vector<u16>>> calls;
    t.OnInclude = [&](const u16& command, const std::vector<u16>& params) -> std::unique_ptr<TBuffer> {
        calls.emplace_back(command, params);
        if (command == u"include")
            return TBuffer::CreateFromString(u"<b>in</b><!-- inner -->");
        return nullptr;
    };
    std::vector<int> positions;
    std::string dump;
    t.AdvanceChar();
    for (t.NextSymbol(); t.Sy() != symEndOfFile; t.NextSymbol()) {
        if (t.Sy() == symText) {
            dump += '"';
            dump += ToUtf8(t.Token().AsString());
            dump += '"';
        } else
            dump += TagLabel(t.Sy(), 0);
        dump += ' ';
        if (t.Sy() == symText)
            positions.insert(positions.end(), t.Token().Positions().begin(), t.Token().Positions().end());
    }
    EXPECT_EQ(dump, "\"a\" B \"in\" /B \"bc\" ");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].first, u"include");
    EXPECT_EQ(calls[0].second, (std::vector<u16>{u"file=x.htm", u"virtual=y&z", u"set="}));
    EXPECT_EQ(calls[1].first, u"echo");
    // Text of an included buffer keeps the main document's last position.
    EXPECT_EQ(positions[1], positions[2]);
    EXPECT_EQ(t.IncludeDepth(), 0u);

    // A page that includes itself stops at the depth limit instead of filling memory.
    auto loop = TBuffer::CreateFromString(u"x<!--#include file=self -->y");
    THtmlTokenizer self(*loop);
    int includes = 0;
    self.OnInclude = [&](const u16&, const std::vector<u16>&) {
        ++includes;
        return TBuffer::CreateFromString(u"x<!--#include file=self -->y");
    };
    std::string text = Dump(self);
    EXPECT_EQ(includes, int(THtmlTokenizer::MaxIncludeDepth));
    const std::size_t levels = THtmlTokenizer::MaxIncludeDepth + 1;
    EXPECT_EQ(text.size(), 2 * levels + 2);
    EXPECT_EQ(text.find_first_of('y'), levels + 1) << text;

    // Included pages that each include two more stop at the overall limit instead of doubling 32 times.
    auto fan = TBuffer::CreateFromString(u"<!--#include a -->");
    THtmlTokenizer bomb(*fan);
    bomb.OnInclude = [&](const u16&, const std::vector<u16>&) {
        return TBuffer::CreateFromString(u"x<!--#include a --><!--#include b -->");
    };
    const std::string bombText = Dump(bomb);
    EXPECT_EQ(std::count(bombText.begin(), bombText.end(), 'x'), THtmlTokenizer::MaxIncludes);
    EXPECT_EQ(bomb.IncludesRun, THtmlTokenizer::MaxIncludes);

    // A pre-pass that stops inside an include, then a restart, reads the same symbols again.
    auto twice = TBuffer::CreateFromString(u"a\r<!--#include f -->b");
    THtmlTokenizer again(*twice);
    again.OnInclude = [](const u16&, const std::vector<u16>&) { return TBuffer::CreateFromString(u"<i>x"); };
    const auto start = twice->SaveState();
    again.AdvanceChar();
    again.NextSymbol();
    again.NextSymbol();
    EXPECT_EQ(again.Sy(), symI);
    EXPECT_EQ(again.IncludeDepth(), 1u);
    again.Restart(start);
    EXPECT_EQ(again.IncludeDepth(), 0u);
    EXPECT_EQ(Dump(again), "\"a \" I \"xb\"");

    // Without a handler the directive is an ordinary comment.
    auto plain = TBuffer::CreateFromString(u"a<!--#include file=x -->b");
    EXPECT_EQ(Dump(*plain), "\"ab\"");
}

TEST(Tokenizer, ProgressEvery4096Characters)
{
    std::string page(10000, 'a');
    auto b = TBuffer::CreateFromBytes({page.begin(), page.end()});
    THtmlTokenizer t(*b);
    std::vector<int> reports;
    t.OnProgress = [&](int percent) { reports.push_back(percent); };
    Dump(t);
    EXPECT_EQ(reports, (std::vector<int>{4095 * 75 / 10000, 8191 * 75 / 10000, 75}));

    b->SetPosition(0);
    THtmlTokenizer quiet(*b);
    quiet.ParseOnly = true;
    quiet.OnProgress = [&](int) { ADD_FAILURE() << "no progress in the pre-pass"; };
    Dump(quiet);
}

TEST(Tokenizer, IdsAreRegisteredWithTheirPosition)
{
    auto b = TBuffer::CreateFromString(u"<a id=Top><p id=\"\"><h1 ID=x>");
    THtmlTokenizer t(*b);
    std::vector<std::pair<u16, int>> ids;
    t.OnRegisterId = [&](const u16& id, int pos) { ids.emplace_back(id, pos); };
    Dump(t);
    EXPECT_EQ(ids, (std::vector<std::pair<u16, int>>{{u"Top", 18}, {u"x", 54}}));
}

TEST(Tokenizer, QuirksFromTheDoctype)
{
    struct Case {
        const char16_t* head;
        bool quirks;
    } cases[] = {
        {u"<!DOCTYPE html>", false},
        {u"<!doctype HTML >", false},
        {u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" \"http://www.w3.org/TR/html4/loose.dtd\">", false},
        // "/" belongs to a word, so a version directly followed by "//EN" is not recognised.
        {u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">", true},
        {u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">", true},
        {u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\">", false},
        {u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1 //EN\">", false},
        {u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML Basic 1.1 //EN\">", false},
        {u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML Basic 1.0//EN\">", true},
        {u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 2.0//EN\">", true},
        {u"<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">", true},
        {u"<!DOCTYPE html SYSTEM \"about:legacy-compat\">", true},
        {u"<!-- c --><meta x><!DOCTYPE html>", false},
        {u"<html><!DOCTYPE html>", true},
        {u"<BODY><!DOCTYPE html>", true},
        {u"<html", true},
        {u"no markup", true},
        {u"", true},
    };
    for (const auto& c : cases) {
        auto b = TBuffer::CreateFromString(c.head);
        THtmlTokenizer t(*b);
        EXPECT_EQ(t.DetectQuirks(), c.quirks) << ToUtf8(c.head);
        EXPECT_EQ(b->Position(), 0);
    }
    // The buffer is left where it was, shift state included.
    std::string jis = "<!DOCTYPE html><p>\x1B$B\x46\x7C\x1B(B";
    auto b = TBuffer::CreateFromBytes({jis.begin(), jis.end()});
    EXPECT_FALSE(DetectQuirks(*b));
    EXPECT_EQ(b->JisState(), 0);
}

TEST(Tokenizer, AttributeListQueries)
{
    auto b = TBuffer::CreateFromString(u"<p class=\" Beta alpha \" id=Top title=\"T i\" ID=second onclick=go()><br>");
    THtmlTokenizer t(*b);
    t.AdvanceChar();
    t.NextSymbol();
    const TAttributeList& a = t.Attributes();
    EXPECT_EQ(a.GetClass(), u"alpha.beta");
    EXPECT_EQ(a.GetId(), u"top");
    EXPECT_EQ(a.GetTitle(), u"T i");
    ASSERT_NE(a.Find(symOnclick), nullptr);
    EXPECT_EQ(a.Find(symOnclick)->Value, u"go()");
    EXPECT_EQ(a.Find(symHref), nullptr);
    EXPECT_EQ(a.ListAsNameValues(),
        (std::vector<u16>{u"CLASS= Beta alpha ", u"ID=Top", u"TITLE=T i", u"ID=second", u"ONCLICK=go()"}));
    const TAttributeList kept = a;
    t.NextSymbol();
    EXPECT_EQ(t.Attributes().Count(), 0u) << "the list is cleared before the next tag";
    EXPECT_EQ(t.Attributes().GetId(), u"");
    EXPECT_EQ(kept.Count(), 5u) << "a copy outlives the next tag";
    EXPECT_EQ(kept.GetClass(), u"alpha.beta");
    EXPECT_EQ(kept.GetId(), u"top");

    // Class and id are names: lower-cased in ASCII only, as the style sheet keys they are matched
    // against are, so a rule for .Überblick or #Заголовок still meets its element.
    auto names = TBuffer::CreateFromString(u"<p class=\"\u00DCberblick Note\" id=\u0417\u0430Top>");
    THtmlTokenizer n(*names);
    n.AdvanceChar();
    n.NextSymbol();
    EXPECT_EQ(n.Attributes().GetClass(), u"note.\u00DCberblick");
    EXPECT_EQ(n.Attributes().GetId(), u"\u0417\u0430top");
}

TEST(Symbols, TablesAndDerivedNames)
{
    for (const TTagInfo& tag : TagTable()) {
        ASSERT_EQ(FindTag(FromAscii(tag.Name)), &tag);
        EXPECT_EQ(EndSymbolOf(tag.Start), tag.End) << tag.Name;
        EXPECT_EQ(ToUtf8(UpperAscii(SymbolName(tag.Start))), tag.Name);
    }
    for (const TAttributeInfo& attr : AttributeTable())
        EXPECT_EQ(FindAttribute(FromAscii(attr.Name))->Symbol, attr.Symbol) << attr.Name;
    EXPECT_EQ(SymbolName(symEndThead), u"thead");
    EXPECT_EQ(symEndThead, 218);
    EXPECT_EQ(SymbolName(symHttpEquiv), u"http-equiv");
    EXPECT_EQ(EndSymbolOf(symEndTd), symEndTd);
    EXPECT_EQ(EndSymbolOf(symBr), symUnknownTag);
    EXPECT_EQ(EndSymbolOf(symHref), symUnknownTag);
    EXPECT_EQ(FindTag(u"thead"), nullptr) << "keys are upper case";
    EXPECT_EQ(FindAttribute(u"TEXT")->Symbol, symText);
    EXPECT_EQ(FindTag(u"STYLE")->Start, FindAttribute(u"STYLE")->Symbol);
    EXPECT_EQ(SymbolName(symText), u"text");
    EXPECT_EQ(SymbolName(symEndOfFile), u"");
}

// OBJECT inside PRE reads its parameters symbol by symbol, saving the reading state before each, and goes
// back to the state before the first symbol that is no PARAM, so that what follows is read again as
// preformatted text. Here that symbol runs from an included page on into the main one, which ends the
// include; going back resumes inside it.
TEST(Tokenizer, ReadingStateRestoredAfterObjectParameters)
{
    auto b = TBuffer::CreateFromString(u"<pre><object><!--#include p -->tail\r\nnext</pre>");
    THtmlTokenizer t(*b);
    t.OnInclude = [](const u16&, const std::vector<u16>&) {
        return TBuffer::CreateFromString(u"<param name=a value=1> <PARAM name=b>\r\n x y");
    };
    t.AdvanceChar();
    t.NextSymbol();
    t.NextSymbol();
    ASSERT_EQ(t.Sy(), symObject);
    std::vector<u16> params;
    THtmlTokenizer::TReadingState before;
    for (;;) {
        before = t.SaveState();
        t.SkipBlanks();
        t.NextSymbol();
        if (t.Sy() != symParam)
            break;
        params.push_back(t.Attributes().Find(symName)->Value);
    }
    EXPECT_EQ(params, (std::vector<u16>{u"a", u"b"}));
    EXPECT_EQ(t.Token().AsString(), u"x ytail next");
    EXPECT_EQ(t.IncludeDepth(), 0u) << "the text ran out of the include";

    const int sourcePos = before.SourcePos;
    t.RestoreState(before);
    EXPECT_EQ(t.IncludeDepth(), 1u);
    EXPECT_EQ(t.SourcePos(), sourcePos);
    u16 text;
    for (; t.LCh() != u'<' && t.LCh() != 0; t.AdvanceChar())
        text.push_back(t.LCh());
    EXPECT_EQ(text, u"\r x ytail\rnext") << "line ends reach the reader as one CR each";
    t.NextSymbol();
    EXPECT_EQ(t.Sy(), symEndPre);
}
