// Real help files: every page of a few corpus files is tokenized, following its META charset as the
// builder does, and its text must come out in the page's script with nothing undecodable. Skipped when
// the corpus or the extractor is absent.
#include "markup/Errors.h"
#include "markup/Tokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace lantern;
namespace fs = std::filesystem;

namespace {

void FollowMetaCharset(const TAttributeList& attributes, TBuffer& b)
{
    u16 name;
    if (const TAttribute* cs = attributes.Find(symCharset))
        name = cs->Value;
    else if (const TAttribute* content = attributes.Find(symContent)) {
        auto at = LowerAscii(content->Value).find(u"charset=");
        if (at == u16::npos)
            return;
        name = content->Value.substr(at + 8);
    }
    if (const TBuffCharSetCodePageInfo* row = FindCharSetInfo(name)) {
        b.SetCharSet(row->CharSet);
        b.SetCodePage(row->CodePage);
    }
}

u16 PageText(const std::vector<std::uint8_t>& bytes)
{
    auto b = TBuffer::CreateFromBytes(bytes);
    THtmlTokenizer t(*b);
    u16 text;
    try {
        t.AdvanceChar();
        for (t.NextSymbol(); t.Sy() != symEndOfFile; t.NextSymbol()) {
            if (t.Sy() == symText)
                text += t.Token().AsString();
            else if (t.Sy() == symMeta)
                FollowMetaCharset(t.Attributes(), *b);
            else if (t.Sy() == symTextarea) {
                // Sample markup inside a textarea is content, not the page's own declaration.
                do {
                    t.ReadTextAreaSymbol();
                    if (t.Sy() != symEndTextarea)
                        text += t.Token().AsString();
                } while (t.Sy() != symEndTextarea && t.Sy() != symEndOfFile);
                t.SkipBlanks();
            }
        }
    } catch (const EParseError&) {
    }
    return text;
}

} // namespace

TEST(Corpus, PagesDecodeWithTheirDeclaredCharset)
{
    const fs::path chms = fs::path(LANTERN_SOURCE_DIR) / ".." / "shared" / "corpus" / "chm";
    const char* sevenZip = "/usr/lib/p7zip/7z";
    if (!fs::is_directory(chms) || !fs::exists(sevenZip))
        GTEST_SKIP() << "no corpus or extractor";
    struct Case {
        const char* file;
        int ansiPage; // the reader's locale: "gbk" is no name the charset table knows
        char16_t first, last; // the script's block; most pages must hold some of it
    } cases[] = {
        {"zh-gb2312-pbootcms-tags.chm", 936, 0x4E00, 0x9FFF},
        {"zh-gbk-css-handbook-2018.chm", 936, 0x4E00, 0x9FFF},
        {"zh-utf8-doxygen-dcrf32-api.chm", 1252, 0x4E00, 0x9FFF},
        {"ru-cp1251-xtreme3d-help.chm", 1252, 0x0400, 0x04FF},
    };
    const fs::path folder = fs::temp_directory_path() / ("lantern-test-markup-" + std::to_string(::getpid()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SetAnsiCodePageOverride(c.ansiPage);
        const fs::path out = folder / c.file;
        const std::string cmd = std::string(sevenZip) + " x -y -tChm -o\"" + out.string() + "\" \"" +
                                (chms / c.file).string() + "\" > /dev/null 2>&1";
        if (!fs::exists(chms / c.file) || std::system(cmd.c_str()) != 0)
            continue;
        int pages = 0, inScript = 0;
        for (const auto& f : fs::recursive_directory_iterator(out)) {
            const auto ext = LowerAscii(f.path().extension().u16string());
            if (!f.is_regular_file() || (ext != u".htm" && ext != u".html"))
                continue;
            std::ifstream in(f.path(), std::ios::binary);
            std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const u16 text = PageText(bytes);
            ++pages;
            EXPECT_EQ(text.find(u'\uFFFD'), u16::npos) << f.path().filename();
            inScript += std::any_of(text.begin(), text.end(), [&](char16_t ch) { return ch >= c.first && ch <= c.last; });
        }
        EXPECT_GT(pages, 0);
        EXPECT_GT(inScript * 2, pages) << inScript << " of " << pages;
    }
    SetAnsiCodePageOverride(0);
    std::error_code ec;
    fs::remove_all(folder, ec);
}
