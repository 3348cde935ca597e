#include "markup/Buffer.h"
#include "markup/CodePages.h"
#include "markup/Errors.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace lantern;

namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

std::unique_ptr<TBuffer> Over(std::string_view s) { return TBuffer::CreateFromBytes(Bytes(s)); }

u16 TakeAll(TBuffer& b)
{
    u16 r;
    while (char16_t c = b.TakeChar())
        r.push_back(c);
    return r;
}

// Pins CP_ACP for one test.
struct TAnsiPage {
    explicit TAnsiPage(int cp) { SetAnsiCodePageOverride(cp); }
    ~TAnsiPage() { SetAnsiCodePageOverride(0); }
};

} // namespace

TEST(Buffer, DetectionFromTheFirstBytes)
{
    TAnsiPage ansi(1252);
    struct Case {
        const char* what;
        std::string bytes;
        int codePage;
        bool locked;
        int charSet;
        int position;
        u16 text;
    } cases[] = {
        {"UTF-8 mark", "\xEF\xBB\xBF" "A\xC3\xA9", CP_UTF8, true, 1, 3, u"A\u00E9"},
        {"EF BB without BF", "\xEF\xBB\x41", CP_ACP, false, 1, 0, u"\u00EF\u00BB" "A"},
        {"EF BB alone", "\xEF\xBB", CP_ACP, false, 1, 0, u"\u00EF\u00BB"},
        {"one byte", "A", CP_ACP, false, 1, 0, u"A"},
        {"UTF-16LE mark", std::string("\xFF\xFE" "A\0", 4), PseudoCpUtf16Le, true, -1, 2, u"A"},
        {"UTF-16BE mark", std::string("\xFE\xFF\0A\0B", 6), PseudoCpUtf16Be, true, -1, 2, u"AB"},
        {"UTF-16LE unmarked", std::string("<\0p\0>\0", 6), PseudoCpUtf16Le, true, -1, 0, u"<p>"},
        {"UTF-16BE unmarked", std::string("\0<\0p", 4), PseudoCpUtf16Be, true, -1, 0, u"<p"},
        {"odd byte at the end of UTF-16", std::string("\xFF\xFE" "A\0B", 5), PseudoCpUtf16Le, true, -1, 2, u"A"},
        {"ISO-2022-JP", "a\x1B$B\x46\x7C\x1B(Bz", PseudoCpIso2022Jp, true, 128, 0, u"a\u65E5z"},
        {"ISO-2022-JP with JIS-Roman", "\x1B$@\x30\x21\x1B(J\\", PseudoCpIso2022Jp, true, 128, 0, u"\u4E9C\\"},
        {"kanji escape never closed", "\x1B$B\x46\x7C", CP_ACP, false, 1, 0, u"\x1B$BF|"},
        {"escape after a zero byte", std::string("a\0\x1B$B\x46\x7C\x1B(B", 10), CP_ACP, false, 1, 0, u"a"},
        {"empty", "", CP_ACP, false, 1, 0, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto b = Over(c.bytes);
        EXPECT_EQ(b->CodePage(), c.codePage);
        EXPECT_EQ(b->InitialCodePage(), c.codePage);
        EXPECT_EQ(b->CodePageLocked(), c.locked);
        EXPECT_EQ(b->CharSet(), c.charSet);
        EXPECT_EQ(b->Position(), c.position);
        EXPECT_EQ(TakeAll(*b), c.text);
        if (b->AtEnd()) {
            EXPECT_EQ(b->TakeChar(), 0) << "the end keeps returning 0";
        }
    }
}

// A loop that reads until AtEnd must finish whatever the bytes: a read that returns the end of the text
// leaves the buffer at its end.
TEST(Buffer, EndOfTextIsTheEndOfTheBuffer)
{
    struct Case {
        const char* what;
        std::string bytes;
        int codePage;
    } cases[] = {
        {"odd byte after UTF-16LE", std::string("\xFF\xFE" "A\0B", 5), 0},
        {"odd byte after UTF-16BE", std::string("\xFE\xFF\0AB", 5), 0},
        {"odd byte after a marked string", std::string("\xFF\xFE" "B", 3), 0},
        {"truncated UTF-8", "\xEF\xBB\xBF" "a\xF0\x9F", 0},
        {"kanji pair cut short", "\x1B$B\x46\x7C\x46", 0},
        {"lead byte at the end", "a\x81", 936},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto b = Over(c.bytes);
        if (c.codePage)
            b->SetCodePage(c.codePage);
        int reads = 0;
        while (!b->AtEnd() && reads < 100) {
            b->TakeChar();
            ++reads;
        }
        EXPECT_TRUE(b->AtEnd());
        EXPECT_EQ(b->TakeChar(), 0);
    }
}

TEST(Buffer, Utf8Sequences)
{
    struct Case {
        std::string bytes;
        u16 text;
    } cases[] = {
        {"\xC3\xA9", u"\u00E9"},
        {"\xE2\x82\xAC", u"\u20AC"},
        // Supplementary characters arrive as a surrogate pair, one unit per call.
        {"\xF0\x9F\x98\x80!", u"\U0001F600!"},
        // Ill-formed sequences give U+FFFD and reading resumes at the first byte that does not fit.
        {"\xC3\x41", u"\uFFFD" "A"},
        {"\x80z", u"\uFFFD" "z"},
        {"\xE2\x82", u"\uFFFD"},
        {"\xE2\x82x", u"\uFFFDx"},
        {"\xF0\x9F\x98", u"\uFFFD"},
        {"\xC0\xAF/", u"\uFFFD\uFFFD/"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xFF\xFE\xFD", u"\uFFFD\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) {
        auto b = Over("\xEF\xBB\xBF" + c.bytes);
        EXPECT_EQ(TakeAll(*b), c.text) << c.bytes;
        EXPECT_TRUE(b->AtEnd()) << c.bytes;
    }
}

TEST(Buffer, SurrogatePairSharesOnePosition)
{
    auto b = Over("\xEF\xBB\xBF" "a\xF0\x9F\x98\x80" "b");
    EXPECT_EQ(b->TakeChar(), u'a');
    EXPECT_EQ(b->Position(), 4);
    EXPECT_EQ(b->LookAheadChar(), 0xD83D);
    EXPECT_EQ(b->TakeChar(), 0xD83D);
    EXPECT_EQ(b->Position(), 4);
    EXPECT_EQ(b->LookAheadChar(), 0xDE00);
    EXPECT_EQ(b->TakeChar(), 0xDE00);
    EXPECT_EQ(b->Position(), 8);
    EXPECT_EQ(b->DecodeRange(4, 9), u"\U0001F600b");
    EXPECT_EQ(b->TakeChar(), u'b');
}

TEST(Buffer, CodePageSwitchAndLock)
{
    TAnsiPage ansi(1252);
    // "\xD6\xD0" is one GBK character; read byte by byte in 1252 it is two Latin letters.
    auto b = Over("\xD6\xD0\xD6\xD0");
    EXPECT_EQ(b->TakeChar(), u'\u00D6');
    EXPECT_EQ(b->TakeChar(), u'\u00D0');
    b->SetCodePage(936);
    b->SetCharSet(GB2312_CHARSET);
    EXPECT_EQ(b->TakeChar(), u'\u4E2D');
    EXPECT_EQ(b->CodePage(), 936);
    EXPECT_EQ(b->InitialCodePage(), CP_ACP);
    EXPECT_EQ(b->CharSet(), GB2312_CHARSET);

    auto marked = Over("\xEF\xBB\xBF\xD6\xD0");
    marked->SetCodePage(936);
    EXPECT_EQ(marked->CodePage(), CP_UTF8) << "a byte-order mark locks the decoding";
    marked->SetCharSet(GB2312_CHARSET);
    EXPECT_EQ(marked->CharSet(), GB2312_CHARSET) << "the charset is always stored";

    auto str = TBuffer::CreateFromString(u"x\u4E2D", u"style");
    EXPECT_EQ(str->CodePage(), PseudoCpUtf16Le);
    EXPECT_TRUE(str->CodePageLocked());
    EXPECT_EQ(str->CharSet(), -1);
    EXPECT_EQ(str->Size(), 4);
    EXPECT_EQ(str->Name(), u"style");
    str->SetCodePage(1252);
    EXPECT_EQ(TakeAll(*str), u"x\u4E2D");
}

TEST(Buffer, AnsiPageUsesLeadBytesOfTheLocalePage)
{
    TAnsiPage ansi(936);
    auto b = Over("a\xD6\xD0\xCE\xC4z");
    EXPECT_EQ(TakeAll(*b), u"a\u4E2D\u6587z");
}

TEST(Buffer, UndecodableBytes)
{
    struct Case {
        int codePage;
        std::string bytes;
        u16 text;
    } cases[] = {
        {1252, "\x81\x80", u"\u0081\u20AC"}, // the platform maps 1252's holes to C1 controls
        {932, "\x81\x20x", u"\u30FBx"}, // a lead byte with a trail that cannot follow it: both consumed
        {932, "\xA0", u"\u30FB"},
        {936, "\x81\x20x", u"?x"},
        {936, "\x81", u"?"}, // a lead byte alone at the end
        {950, "\x81\x40", u"?@"}, // 81 is no lead byte of this page
        {949, "\xB0\xA1", u"\uAC00"},
        {1361, "\x88\x61", u"\uAC00"},
        {28592, "\xA1", u"\u0104"},
        {874, "\xA1", u"\u0E01"},
        // Every page reads its ASCII half as ASCII: the converters' own tables swap three control codes
        // on IBM-derived pages and read 5C as the won sign in JOHAB.
        {932, "\x1A\x1C\x7F\\", u"\x1A\x1C\x7F\\"},
        {850, "\x1A\x1C\x7F", u"\x1A\x1C\x7F"},
        {1361, "C:\\x", u"C:\\x"},
    };
    for (const auto& c : cases) {
        auto b = Over(c.bytes);
        b->SetCodePage(c.codePage);
        EXPECT_EQ(TakeAll(*b), c.text) << c.codePage << " " << c.bytes;
    }
}

TEST(Buffer, Iso2022JpStateSurvivesLookAheadAndSavedStates)
{
    auto b = Over("\x1B$B\x46\x7C\x4B\x5C\x1B(Bx");
    ASSERT_EQ(b->CodePage(), PseudoCpIso2022Jp);
    EXPECT_EQ(b->JisState(), 0);
    EXPECT_EQ(b->LookAheadChar(), u'\u65E5');
    EXPECT_EQ(b->JisState(), 0) << "look-ahead leaves the shift state";
    EXPECT_EQ(b->TakeChar(), u'\u65E5');
    EXPECT_EQ(b->JisState(), 3);
    auto saved = b->SaveState();
    EXPECT_EQ(b->TakeChar(), u'\u672C');
    EXPECT_EQ(b->TakeChar(), u'x');
    EXPECT_EQ(b->JisState(), 0);
    b->RestoreState(saved);
    EXPECT_EQ(b->TakeChar(), u'\u672C');
    // An ESC that starts no known sequence is an ordinary byte.
    auto odd = Over("\x1B$B\x46\x7C\x1B(B\x1B" "ab");
    EXPECT_EQ(TakeAll(*odd), u"\u65E5\x1B" "ab");
}

TEST(Buffer, ReadToEndTakesUndeclaredUtf8)
{
    TAnsiPage ansi(1252);
    auto page = [](int sequences) {
        std::string s;
        for (int i = 0; i < sequences; ++i)
            s += "\xC3\xA9";
        return s + std::string(100 - 2 * sequences, 'a');
    };
    auto five = Over(page(5));
    u16 text = five->ReadToEnd();
    EXPECT_EQ(text.size(), 95u);
    EXPECT_EQ(text[0], u'\u00E9');
    EXPECT_EQ(five->CodePage(), CP_UTF8);
    EXPECT_EQ(five->CharSet(), DEFAULT_CHARSET);
    EXPECT_TRUE(five->AtEnd());

    auto four = Over(page(4));
    text = four->ReadToEnd();
    EXPECT_EQ(text.size(), 100u);
    EXPECT_EQ(text.substr(0, 2), u"\u00C3\u00A9");
    EXPECT_EQ(four->CodePage(), CP_ACP);

    // A declared page is trusted; after a mid-document switch the text is read unit by unit.
    auto declared = Over(page(5));
    declared->SetCodePage(1251);
    EXPECT_EQ(declared->ReadToEnd().size(), 100u);
    EXPECT_EQ(declared->CodePage(), 1251);

    // Only the bytes from the read position count.
    auto fromMiddle = Over("ab\xC3\xA9");
    fromMiddle->SetPosition(2);
    EXPECT_EQ(fromMiddle->ReadToEnd(), u"\u00E9");
    EXPECT_EQ(fromMiddle->CodePage(), CP_UTF8);
    EXPECT_EQ(fromMiddle->ReadToEnd(), u"");
}

TEST(Buffer, DecodeRangeRestoresThePosition)
{
    auto b = Over("\xEF\xBB\xBF" "<title>Caf\xC3\xA9</title>");
    b->SetPosition(5);
    EXPECT_EQ(b->DecodeRange(10, 15), u"Caf\u00E9");
    EXPECT_EQ(b->DecodeRange(11, 13), u"af") << "a character counts when its first byte is in range";
    EXPECT_EQ(b->DecodeRange(15, 10), u"");
    EXPECT_EQ(b->Position(), 5);
    EXPECT_EQ(b->TakeChar(), u'i');
}

TEST(Buffer, RealEncodings)
{
    struct Case {
        const char* file;
        int codePage; // the code page the page declares (0: taken from its bytes)
        u16 text;
    } cases[] = {
        {"gbk.html", 936, u"中文测试：简体字"},
        {"big5.html", 950, u"中文測試：繁體字"},
        {"shift_jis.html", 932, u"日本語のテキスト"},
        {"euc-jp.html", 20932, u"日本語のテキスト"},
        {"euc_kr.html", 949, u"한국어 텍스트"},
        {"windows-1251.html", 1251, u"Русский текст"},
        {"iso-2022-jp.html", 0, u"日本語のテキスト"},
        {"utf-16le-bom.html", 0, u"UTF-16 текст 中文"},
        {"utf-16be-bom.html", 0, u"UTF-16 текст 中文"},
        {"utf-16le.html", 0, u"UTF-16 текст 中文"},
        {"utf-16be.html", 0, u"UTF-16 текст 中文"},
        {"utf-8-bom.html", 0, u"UTF-8 текст 中文 😀"},
        {"utf-8.html", CP_UTF8, u"UTF-8 текст 中文 😀"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::ifstream in(std::string(LANTERN_TEST_DATA) + "/markup/" + c.file, std::ios::binary);
        ASSERT_TRUE(in) << c.file;
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto b = TBuffer::CreateFromBytes(bytes, FromAscii(c.file));
        if (c.codePage)
            b->SetCodePage(c.codePage);
        u16 all = b->ReadToEnd();
        EXPECT_NE(all.find(u"<p>" + c.text + u"</p>"), u16::npos) << ToUtf8(all);
    }
}

TEST(CodePages, CharsetConversions)
{
    EXPECT_EQ(CodePageOfCharSet(ANSI_CHARSET), 1252);
    EXPECT_EQ(CodePageOfCharSet(DEFAULT_CHARSET), CP_ACP);
    EXPECT_EQ(CodePageOfCharSet(ISO8859_2_CHARSET), 28592);
    EXPECT_EQ(CodePageOfCharSet(OEM_CHARSET), CP_OEMCP);
    EXPECT_EQ(CharSetOfCodePage(CP_ACP), DEFAULT_CHARSET) << "the first of the two rows with code page 0";
    EXPECT_EQ(CharSetOfCodePage(950), CHINESEBIG5_CHARSET);
    EXPECT_EQ(CodePageOfCharSet(EUCJP_CHARSET), 20932);
    EXPECT_EQ(CharSetOfCodePage(20932), EUCJP_CHARSET);
    try {
        CodePageOfCharSet(99);
        FAIL();
    } catch (const EConversionError& e) {
        EXPECT_STREQ(e.what(), "Don't know equivalent code page for char set 99.");
    }
    try {
        CharSetOfCodePage(CP_UTF8);
        FAIL();
    } catch (const EConversionError& e) {
        EXPECT_STREQ(e.what(), "Don't know equivalent char set for code page 65001.");
    }
}

TEST(CodePages, CharsetNames)
{
    struct Case {
        const char16_t* name;
        const char* row; // nullptr: no row
        int charSet;
        int codePage;
    } cases[] = {
        {u"UTF-8", "utf-8", 1, CP_UTF8},
        {u"utf-16LE", "utf-16le", 1, PseudoCpUtf16Le},
        {u"iso-8859-1", "8859-1", 0, 1252},
        {u"windows-1252", "1252", 0, 1252},
        {u"iso-8859-15", "8859-15", 0, 1252},
        {u"iso-8859-13", "8859-1", 0, 1252},
        {u"ISO-8859-2", "8859-2", 31, 28592},
        {u"ks_c_5601-1987", "5601", 129, 949},
        {u"x-sjis", "x-sjis", 128, 932},
        {u"euc-jp", "euc-jp", 30, 20932},
        {u"koi8-r", "koi", 204, 1251},
        {u"cp866", "866", 204, 1251},
        {u"GB2312", "gb2312", 134, 936},
        {u"GBK", "gbk", 134, 936}, // the names Chinese pages use most, read in the Simplified Chinese code page
        {u"gb18030", "gb18030", 134, 936},
        {u"x-mac-cyrillic", nullptr, 0, 0},
        {u"x-user-defined", nullptr, 0, 0},
        {u"", nullptr, 0, 0},
    };
    for (const auto& c : cases) {
        const TBuffCharSetCodePageInfo* row = FindCharSetInfo(c.name);
        SCOPED_TRACE(ToUtf8(c.name));
        if (!c.row) {
            EXPECT_EQ(row, nullptr);
            continue;
        }
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->Name, c.row);
        EXPECT_EQ(row->CharSet, c.charSet);
        EXPECT_EQ(row->CodePage, c.codePage);
    }
}

TEST(CodePages, AnsiCodePageOfLocale)
{
    struct Case {
        const char* locale;
        int ansi;
    } cases[] = {
        {"zh_CN.UTF-8", 936}, {"zh_SG", 936}, {"zh_TW.UTF-8", 950}, {"zh_HK", 950}, {"ja_JP.UTF-8", 932},
        {"ko_KR", 949},       {"ru_RU.UTF-8", 1251}, {"uk_UA", 1251}, {"bg_BG", 1251}, {"el_GR", 1253},
        {"tr_TR", 1254},      {"he_IL", 1255}, {"ar_EG", 1256}, {"vi_VN", 1258}, {"th_TH", 874},
        {"pl_PL", 1250},      {"cs_CZ.UTF-8", 1250}, {"hu_HU", 1250}, {"lt_LT", 1257}, {"en_US.UTF-8", 1252},
        {"de_DE@euro", 1252}, {"C", 1252}, {"POSIX", 1252}, {"", 1252},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnsiCodePageOfLocale(c.locale), c.ansi) << c.locale;
    EXPECT_EQ(OemCodePageOfLocale("ru_RU"), 866);
    EXPECT_EQ(OemCodePageOfLocale("en_US"), 437);
}
