// Real help files: every page of a few corpus files is tokenized, following its META charset as the
// builder does, and its text must come out in the page's script with nothing undecodable. Skipped when
// the corpus or the extractor is absent.
#include "markup/Errors.h"
#include "markup/Tokenizer.h"

#include "tests/support/Corpus.h"
#include "tests/support/MetaCharset.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lantern;

namespace {

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
                testsupport::FollowMetaCharset(t.Attributes(), *b);
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
    if (testsupport::CorpusChmNames().empty())
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SetAnsiCodePageOverride(c.ansiPage);
        testsupport::TUnpackedChm chm(c.file);
        if (!chm.Ok())
            continue;
        int pages = 0, inScript = 0;
        for (const auto& page : chm.Files({".htm", ".html"})) {
            const std::vector<std::uint8_t> bytes = testsupport::ReadBytes(page);
            const u16 text = PageText(bytes);
            ++pages;
            EXPECT_EQ(text.find(u'\uFFFD'), u16::npos) << page.filename();
            inScript += std::any_of(text.begin(), text.end(), [&](char16_t ch) { return ch >= c.first && ch <= c.last; });
        }
        EXPECT_GT(pages, 0);
        EXPECT_GT(inScript * 2, pages) << inScript << " of " << pages;
    }
    SetAnsiCodePageOverride(0);
}
