// Head elements and what the builder hands to its host: the title, the base, charset declarations, linked and
// embedded style sheets, scripts and sounds.
#include "tests/builder/BuilderFixture.h"

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace lantern::testbuilder {
namespace {

Color TextColor(const TBuiltPage& page, u16v text) { return page.Text(text).Fonts[0].Font->FontColor; }

constexpr Color Green = 0x0000FF00;

TEST(Head, TitleAndBase)
{
    const TBuiltPage page("<head><title>\n  Tips &amp; tricks &#8212; </title>"
                          "<base href=\"http://example.org/docs/\" target=main></head><body>text");
    EXPECT_EQ(ToUtf8(page.Title), "Tips & tricks \u2014") << "references decoded, white space as in text";
    EXPECT_EQ(ToUtf8(page.BaseUrl), "http://example.org/docs/");
    EXPECT_EQ(page.BodyTree(), "text \"text \"\n");
}

struct TCharsetCase {
    const char* Name;
    std::string Bytes;
    const char* Expected; // UTF-8
};

class MetaCharset : public ::testing::TestWithParam<TCharsetCase> {};

TEST_P(MetaCharset, DecodesTheRestOfThePage)
{
    const TBuiltPage page(GetParam().Bytes);
    EXPECT_EQ(ToUtf8(page.Text(u"").Text), GetParam().Expected);
}

const TCharsetCase CharsetCases[] = {
    {"ContentType1251", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\xcf\xf0\xe8",
     "\u041f\u0440\u0438 "},
    {"CharsetGbk", "<meta charset=\"gb2312\">\xc4\xe3\xba\xc3", "\u4f60\u597d "},
    {"ByteOrderMarkWins",
     "\xef\xbb\xbf<meta http-equiv=content-type content=\"text/html; charset=windows-1251\">\xd0\x9f\xd1\x80",
     "\u041f\u0440 "},
    {"UnknownNameChangesNothing", "<meta charset=\"no-such-set\">abc", "abc "},
};

INSTANTIATE_TEST_SUITE_P(Head, MetaCharset, ::testing::ValuesIn(CharsetCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Head, MetaGoesToTheHost)
{
    std::vector<std::tuple<std::string, std::string, std::string>> metas;
    TParserHost host;
    host.HandleMeta = [&](const u16& equiv, const u16& name, const u16& content) {
        metas.emplace_back(ToUtf8(equiv), ToUtf8(name), ToUtf8(content));
    };
    const TBuiltPage page("<meta name=keywords content=\"a,b\"><meta charset=utf-8>x", host);
    ASSERT_EQ(metas.size(), 2u);
    EXPECT_EQ(metas[0], std::make_tuple(std::string(), std::string("keywords"), std::string("a,b")));
    EXPECT_EQ(metas[1], std::make_tuple(std::string("content-type"), std::string(), std::string("utf-8")))
        << "a charset attribute counts as a content type";
}

struct TLinkCase {
    const char* Name;
    const char* Link;
    bool Applies;
};

class LinkedSheet : public ::testing::TestWithParam<TLinkCase> {};

TEST_P(LinkedSheet, LoadsForTheScreenOnly)
{
    std::vector<std::string> links;
    TParserHost host;
    host.ExpandLinkName = [](u16v name) { return platform::FullPath(FromUtf8(LANTERN_TEST_DATA "/builder/") + u16(name)); };
    host.OnLink = [&](const u16& rel, const u16& rev, const u16& href) {
        links.push_back(ToUtf8(rel) + "|" + ToUtf8(rev) + "|" + ToUtf8(href));
    };
    const TBuiltPage page(std::string(GetParam().Link) + "<p>x", host);
    EXPECT_EQ(TextColor(page, u"x") == Green, GetParam().Applies);
    ASSERT_EQ(links.size(), 1u) << "the host hears of every link";
}

const TLinkCase LinkCases[] = {
    {"NoMedia", "<link rel=stylesheet href=green.css>", true},
    {"ScreenAndPrint", "<link rel=StyleSheet href=green.css media=\"screen, print\">", true},
    {"All", "<link rel=stylesheet href=green.css media=all>", true},
    {"PrintOnly", "<link rel=stylesheet href=green.css media=print>", false},
    {"NotASheet", "<link rel=alternate href=green.css>", false},
    {"MissingFile", "<link rel=stylesheet href=absent.css>", false},
    {"FileNamedInOtherCase", "<link rel=stylesheet href=GREEN.CSS>", true},
};

INSTANTIATE_TEST_SUITE_P(Head, LinkedSheet, ::testing::ValuesIn(LinkCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Head, SheetFromTheHostStream)
{
    TParserHost host;
    host.OnStreamRequest = [](const u16& href) -> std::unique_ptr<TBuffer> {
        if (href != u"virtual.css")
            return nullptr;
        return TBuffer::CreateFromString(u"p { color: #00ff00 }", href);
    };
    const TBuiltPage page("<link rel=stylesheet href=virtual.css><p>x", host);
    EXPECT_EQ(TextColor(page, u"x"), Green);
}

TEST(Head, StyleElementAndTheTextAfterIt)
{
    const TBuiltPage page("<style>p { color: #00ff00 } </style>before<p>x");
    EXPECT_EQ(TextColor(page, u"x"), Green);
    EXPECT_EQ(page.BodyTree(), "text \"before \"\np\n  text \"x \"\n");
}

TEST(Head, ScriptAndSoundGoToTheHost)
{
    std::string script, sound;
    TParserHost host;
    host.OnScript = [&](const u16& name, const u16& type, const u16& src, const u16& text) {
        script = ToUtf8(name) + "|" + ToUtf8(type) + "|" + ToUtf8(src) + "|" + ToUtf8(text);
    };
    host.OnSoundRequest = [&](const u16& src, int loop, bool terminate) {
        sound = ToUtf8(src) + "|" + std::to_string(loop) + (terminate ? "|stop" : "");
    };
    const TBuiltPage page("<script language=JavaScript>a <b>\nc</script>x<bgsound src=s.wav>", host);
    EXPECT_EQ(script, "|JavaScript||a <b>\r\nc");
    EXPECT_EQ(sound, "s.wav|1");
    EXPECT_EQ(page.BodyTree(), "text \"x \"\n");
}

} // namespace
} // namespace lantern::testbuilder
