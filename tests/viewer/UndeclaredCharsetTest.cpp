// A CharSet other than the default one names the code page of the pages that declare none; a byte-order mark,
// UTF-16, ISO-2022-JP and text that only UTF-8 reads right keep their own decoding.
#include "viewer/HtmlViewer.h"

#include "markup/Buffer.h"
#include "markup/CodePages.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

namespace lantern {
namespace {

TEST(UndeclaredCharset, PagesThatDeclareNothingReadInTheCharSetsCodePage)
{
    SetAnsiCodePageOverride(1252); // an English desktop
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto show = [&](THtmlViewer& Viewer, const std::string& Bytes) {
        const QString path = dir.filePath(QStringLiteral("page.htm"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(Bytes.data(), qint64(Bytes.size()));
        file.close();
        Viewer.ShowFile(path.toStdU16String(), DocType::dtHtml);
        return Viewer.Buffer()->CodePage();
    };
    struct Case {
        const char* What;
        std::string Bytes;
        int CodePage;        // with CharSet GB2312_CHARSET
        const char16_t* Text; // what the page reads as then
    };
    const Case cases[] = {
        {"GBK", "<p>\xd6\xd0\xce\xc4</p>", 936, u"<p>中文</p>"},
        {"ASCII", "<p>plain</p>", 936, u"<p>plain</p>"},
        {"UTF-8", "<p>中文</p>", CP_UTF8, u"<p>中文</p>"},
        {"UTF-8 cut in its last character", "<p>\xe4\xb8\xad\xe6\x96</p>", 936, nullptr},
        {"overlong UTF-8", "<p>\xc0\xaf</p>", 936, nullptr},
        {"UTF-8 of a surrogate", "<p>\xed\xa0\x80</p>", 936, nullptr},
        {"UTF-8 past U+10FFFF", "<p>\xf4\x90\x80\x80</p>", 936, nullptr},
        {"UTF-8 with a mark", "\xef\xbb\xbf<p>\xd6\xd0</p>", CP_UTF8, nullptr},
        {"UTF-16 with a mark", std::string("\xff\xfe<\0p\0", 6), PseudoCpUtf16Le, u"\uFEFF<p"}, // the mark is read too
    };
    THtmlViewer chinese;
    chinese.SetCharSet(GB2312_CHARSET);
    THtmlViewer plain; // the default CharSet leaves every undeclared page to the user's code page
    for (const Case& c : cases) {
        EXPECT_EQ(show(chinese, c.Bytes), c.CodePage) << c.What;
        if (c.Text) {
            EXPECT_EQ(ToUtf8(chinese.DocumentSource()), ToUtf8(c.Text)) << c.What;
        }
        const int codePage = show(plain, c.Bytes);
        EXPECT_TRUE(codePage == CP_ACP || plain.Buffer()->CodePageLocked()) << c.What;
    }
    SetAnsiCodePageOverride(0);
}

} // namespace
} // namespace lantern
