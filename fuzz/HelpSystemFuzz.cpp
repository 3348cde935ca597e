// Fuzz target for the help file's #SYSTEM reader: the whole input is the file. Whatever it holds, reading stays
// inside it and the default topic comes out as a path inside the unpacked folder or not at all. The same bytes,
// read as a topic name of their own, reach the path rules without the record framing, and check the UTF-8 test
// that decides how an undeclared page is read: what it accepts comes back unchanged through UTF-8.
#include "app/HelpSystemFile.h"
#include "markup/CodePages.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

using namespace lantern;

namespace {

void Require(bool Holds)
{
    if (!Holds)
        __builtin_trap();
}

// A path that names a file inside the folder: relative, no empty, "." or ".." segment, no scheme or drive.
void CheckInside(const TTopicPath& Topic)
{
    Require(!Topic.Path.empty());
    Require(Topic.Anchor.empty() || Topic.Anchor.front() == u'#');
    Require(Topic.Path.find(u':') == u16::npos && Topic.Path.find(u'\\') == u16::npos);
    u16v rest = Topic.Path;
    while (true) {
        const std::size_t slash = rest.find(u'/');
        const u16v segment = rest.substr(0, slash);
        Require(!segment.empty() && segment != u"." && segment != u"..");
        if (slash == u16v::npos)
            break;
        rest.remove_prefix(slash + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const THelpSystemFile file = THelpSystemFile::Read(bytes);
    Require(file.DefaultTopic.size() + file.Title.size() <= size);
    (void)file.TitleText();
    for (const u16& name : file.DefaultTopicNames())
        if (const std::optional<TTopicPath> topic = TopicPathInFolder(name))
            CheckInside(*topic);
    if (file.Language)
        (void)CharSetOfCodePage(file.CodePage()); // every language's page has a charset to give the viewer

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const std::optional<TTopicPath> topic = TopicPathInFolder(FromUtf8(text)))
        CheckInside(*topic);
    if (HoldsWellFormedUtf8(bytes))
        Require(ToUtf8(DecodeUtf8(bytes)) == text);
    return 0;
}
