// The help file's #SYSTEM reader: records as they come, every malformed shape read as "not there", the
// language's code page, and topic names turned into paths that stay inside the unpacked folder.
#include "app/HelpSystemFile.h"

#include "markup/CodePages.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ios>
#include <optional>
#include <string>
#include <vector>

using namespace lantern;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::string_view Text)
{
    return Bytes(Text.begin(), Text.end());
}

void AppendWord(Bytes& Out, unsigned Value)
{
    Out.push_back(std::uint8_t(Value & 0xFF));
    Out.push_back(std::uint8_t(Value >> 8));
}

// A record of Code whose length field says Length (the true size unless given) over Data.
Bytes Record(unsigned Code, const Bytes& Data, int Length = -1)
{
    Bytes out;
    AppendWord(out, Code);
    AppendWord(out, Length < 0 ? unsigned(Data.size()) : unsigned(Length));
    out.insert(out.end(), Data.begin(), Data.end());
    return out;
}

Bytes Language(std::uint32_t Lcid)
{
    Bytes data = {std::uint8_t(Lcid), std::uint8_t(Lcid >> 8), std::uint8_t(Lcid >> 16), std::uint8_t(Lcid >> 24)};
    data.resize(36); // the fields after the id that real files carry
    return Record(4, data);
}

// The version word followed by the records.
Bytes System(std::initializer_list<Bytes> Records)
{
    Bytes out = {3, 0, 0, 0};
    for (const Bytes& r : Records)
        out.insert(out.end(), r.begin(), r.end());
    return out;
}

std::string Text(const Bytes& B)
{
    return std::string(B.begin(), B.end());
}

} // namespace

TEST(HelpSystemFile, ReadsTheRecordsThatAreWholeAndNothingPastTheData)
{
    const Bytes topic = Record(2, Of(std::string_view("sub/a.htm\0", 10)));
    const Bytes title = Record(3, Of(std::string_view("Guide\0", 6)));
    struct Case {
        const char* What;
        Bytes Data;
        const char* Topic; // "" for none
        const char* Title;
        std::optional<std::uint32_t> Lcid;
    };
    Bytes cutHeader = System({topic});
    cutHeader.insert(cutHeader.end(), {3, 0}); // half a record header at the end
    const Case cases[] = {
        {"whole file", System({Record(10, Bytes(4)), Language(0x804), topic, title}), "sub/a.htm", "Guide", 0x804},
        {"empty", {}, "", "", std::nullopt},
        {"shorter than the version word", {3, 0, 0}, "", "", std::nullopt},
        {"version word only", System({}), "", "", std::nullopt},
        {"half a record header", cutHeader, "sub/a.htm", "", std::nullopt},
        {"length past the end", System({Record(2, Of(std::string_view("a.htm\0", 6)), 200)}), "", "", std::nullopt},
        {"records before one cut at the end stand", System({topic, Record(3, Of(std::string_view("Guide\0", 6)), 50)}),
         "sub/a.htm", "", std::nullopt},
        {"a wrong length swallows what follows", System({Record(9, Bytes(2), 6), topic}), "", "", std::nullopt},
        {"no NUL", System({Record(2, Of("a.htm")), title}), "", "Guide", std::nullopt},
        {"empty string", System({Record(2, Bytes{0})}), "", "", std::nullopt},
        {"bytes after the NUL are not the name", System({Record(2, Of(std::string_view("a.htm\0junk", 10)))}),
         "a.htm", "", std::nullopt},
        {"the first record of a code decides", System({Record(2, Of("cut")), topic}), "", "", std::nullopt},
        {"language record shorter than its id", System({Record(4, Bytes{4, 8, 0}), topic}), "sub/a.htm", "",
         std::nullopt},
        {"empty records between others", System({Record(7, {}), topic, Record(0, {})}), "sub/a.htm", "", std::nullopt},
        {"last record ends exactly at the end", System({title}), "", "Guide", std::nullopt},
    };
    for (const Case& c : cases) {
        const THelpSystemFile file = THelpSystemFile::Read(c.Data);
        EXPECT_EQ(Text(file.DefaultTopic), c.Topic) << c.What;
        EXPECT_EQ(Text(file.Title), c.Title) << c.What;
        EXPECT_EQ(file.Language, c.Lcid) << c.What;
    }
}

TEST(HelpSystemFile, CodePageOfTheLanguage)
{
    struct Case {
        std::uint32_t Lcid;
        int CodePage;
    };
    const Case cases[] = {
        {0x0804, 936},  {0x1004, 936},  {0x0404, 950},  {0x0C04, 950},  {0x1404, 950},  {0x0411, 932},
        {0x0412, 949},  {0x0405, 1250}, {0x0415, 1250}, {0x081A, 1250}, {0x0C1A, 1251}, {0x0419, 1251},
        {0x0422, 1251}, {0x0408, 1253}, {0x041F, 1254}, {0x042C, 1254}, {0x082C, 1251}, {0x040D, 1255},
        {0x0401, 1256}, {0x0C01, 1256}, {0x0429, 1256}, {0x0425, 1257}, {0x0427, 1257}, {0x042A, 1258},
        {0x041E, 874},  {0x0409, 1252}, {0x0809, 1252}, {0x0407, 1252}, {0x040C, 1252}, {0x0450, 1251},
        {0x0850, 1252}, {0x0000, 1252}, {0xFFFFFFFF, 1252},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CodePageOfLanguage(c.Lcid), c.CodePage) << std::hex << c.Lcid;
    // Every page named there has a font charset, so the viewer can be given it.
    for (const Case& c : cases)
        EXPECT_NO_THROW(CharSetOfCodePage(c.CodePage)) << c.CodePage;
}

TEST(HelpSystemFile, StringsDecodeInTheLanguagesCodePage)
{
    SetAnsiCodePageOverride(1252); // an English desktop
    const Bytes gbkTopic = Of("\xb9\xd8\xd3\xda\xce\xd2\xc3\xc7.htm"); // 关于我们.htm
    const Bytes utf8Topic = Of("关于我们.htm");
    const auto read = [](const Bytes& Topic, std::optional<std::uint32_t> Lcid) {
        Bytes topic = Topic;
        topic.push_back(0);
        return THelpSystemFile::Read(Lcid ? System({Language(*Lcid), Record(2, topic), Record(3, topic)})
                                          : System({Record(2, topic), Record(3, topic)}));
    };

    const THelpSystemFile chinese = read(gbkTopic, 0x804);
    EXPECT_EQ(chinese.CodePage(), 936);
    EXPECT_EQ(chinese.DefaultTopicNames(), std::vector<u16>{u"关于我们.htm"});
    EXPECT_EQ(chinese.TitleText(), u"关于我们.htm");

    // Without a language the strings are the user's, as any undeclared text is.
    const THelpSystemFile unnamed = read(gbkTopic, std::nullopt);
    EXPECT_EQ(unnamed.CodePage(), CP_ACP);
    EXPECT_EQ(unnamed.DefaultTopicNames(), std::vector<u16>{DecodeBytes(1252, gbkTopic)});

    // A compiler that wrote the name in UTF-8: the language's reading first, then the UTF-8 one.
    const std::vector<u16> names = read(utf8Topic, 0x804).DefaultTopicNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], DecodeBytes(936, utf8Topic));
    EXPECT_EQ(names[1], u"关于我们.htm");

    EXPECT_EQ(read(Of("plain.htm"), 0x804).DefaultTopicNames(), std::vector<u16>{u"plain.htm"});
    EXPECT_TRUE(THelpSystemFile().DefaultTopicNames().empty());
    SetAnsiCodePageOverride(0);
}

TEST(HelpSystemFile, TopicPathsStayInsideTheFolder)
{
    struct Case {
        const char16_t* Topic;
        const char16_t* Path; // nullptr: no path
        const char16_t* Anchor;
    };
    const Case cases[] = {
        {u"sub/Page.htm", u"sub/Page.htm", u""},
        {u"/sub/page.htm", u"sub/page.htm", u""},
        {u"\\sub\\page.htm", u"sub/page.htm", u""},
        {u"ms-its:help.chm::/html/a.htm", u"html/a.htm", u""},
        {u"help.chm::\\a.htm", u"a.htm", u""},
        {u"a.htm#part", u"a.htm", u"#part"},
        {u"  a.htm ", u"a.htm", u""},
        {u"./x/../b.htm", u"b.htm", u""},
        {u"a//b.htm", u"a/b.htm", u""},
        {u"../a.htm", nullptr, nullptr},
        {u"sub/../../a.htm", nullptr, nullptr},
        {u"help.chm::/../a.htm", nullptr, nullptr},
        {u"http://example.org/a.htm", nullptr, nullptr},
        {u"C:\\help\\a.htm", nullptr, nullptr},
        {u"", nullptr, nullptr},
        {u"/", nullptr, nullptr},
        {u"sub/..", nullptr, nullptr},
        {u"#part", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<TTopicPath> path = TopicPathInFolder(c.Topic);
        if (!c.Path) {
            EXPECT_FALSE(path.has_value()) << ToUtf8(c.Topic) << " -> " << ToUtf8(path ? path->Path : u"");
            continue;
        }
        ASSERT_TRUE(path.has_value()) << ToUtf8(c.Topic);
        EXPECT_EQ(ToUtf8(path->Path), ToUtf8(c.Path)) << ToUtf8(c.Topic);
        EXPECT_EQ(ToUtf8(path->Anchor), ToUtf8(c.Anchor)) << ToUtf8(c.Topic);
    }
}
