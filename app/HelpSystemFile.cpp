#include "app/HelpSystemFile.h"

#include "markup/CodePages.h"

#include <algorithm>
#include <utility>

namespace lantern {

namespace {

enum class TSystemCode : std::uint16_t {
    DefaultTopic = 2,
    Title = 3,
    Language = 4, // starts with the LCID; more fields follow that nothing here needs
};

struct TLanguageCodePage {
    std::uint32_t Id;
    int CodePage;
};

// Locales whose script differs from the rest of their language, by whole LCID.
constexpr TLanguageCodePage LocaleCodePages[] = {
    {0x0404, 950},  {0x0C04, 950},  {0x1404, 950},  {0x7C04, 950},  // Chinese of Taiwan, Hong Kong, Macao; traditional
    {0x0C1A, 1251}, {0x1C1A, 1251}, {0x201A, 1251}, {0x281A, 1251}, {0x301A, 1251}, // Serbian, Bosnian in Cyrillic
    {0x082C, 1251}, {0x0843, 1251}, // Azeri and Uzbek in Cyrillic
    {0x0850, 1252}, // Mongolian in its own script, which has no ANSI code page
};

// Every other locale by its primary language (the low ten bits of the LCID).
constexpr TLanguageCodePage LanguageCodePages[] = {
    {0x01, 1256}, {0x02, 1251}, {0x04, 936},  {0x05, 1250}, {0x08, 1253}, {0x0D, 1255}, {0x0E, 1250},
    {0x11, 932},  {0x12, 949},  {0x15, 1250}, {0x18, 1250}, {0x19, 1251}, {0x1A, 1250}, {0x1B, 1250},
    {0x1C, 1250}, {0x1E, 874},  {0x1F, 1254}, {0x20, 1256}, {0x22, 1251}, {0x23, 1251}, {0x24, 1250},
    {0x25, 1257}, {0x26, 1257}, {0x27, 1257}, {0x28, 1251}, {0x29, 1256}, {0x2A, 1258}, {0x2C, 1254},
    {0x2F, 1251}, {0x3F, 1251}, {0x40, 1251}, {0x42, 1250}, {0x43, 1254}, {0x44, 1251}, {0x50, 1251},
    {0x6D, 1251}, {0x80, 1256}, {0x85, 1251}, {0x8C, 1256}, {0x92, 1256},
};

std::uint32_t LittleEndian(std::span<const std::uint8_t> Bytes, std::size_t Count)
{
    std::uint32_t value = 0;
    for (std::size_t i = Count; i-- > 0;)
        value = value << 8 | Bytes[i];
    return value;
}

// The bytes before the first NUL; none when the record has no NUL, so a cut string is never taken for whole.
std::optional<std::vector<std::uint8_t>> NulTerminated(std::span<const std::uint8_t> Data)
{
    const auto nul = std::find(Data.begin(), Data.end(), std::uint8_t(0));
    if (nul == Data.end())
        return std::nullopt;
    return std::vector<std::uint8_t>(Data.begin(), nul);
}

std::vector<u16v> Segments(u16v Path)
{
    std::vector<u16v> segments;
    while (!Path.empty()) {
        const std::size_t slash = Path.find(u'/');
        segments.push_back(Path.substr(0, slash));
        Path = slash == u16v::npos ? u16v() : Path.substr(slash + 1);
    }
    return segments;
}

} // namespace

int CodePageOfLanguage(std::uint32_t Lcid)
{
    for (const TLanguageCodePage& row : LocaleCodePages)
        if (row.Id == (Lcid & 0xFFFF))
            return row.CodePage;
    for (const TLanguageCodePage& row : LanguageCodePages)
        if (row.Id == (Lcid & 0x3FF))
            return row.CodePage;
    return 1252;
}

THelpSystemFile THelpSystemFile::Read(std::span<const std::uint8_t> Bytes)
{
    THelpSystemFile file;
    bool seenTopic = false, seenTitle = false, seenLanguage = false;
    std::size_t pos = 4; // past the version word
    while (pos <= Bytes.size() && Bytes.size() - pos >= 4) {
        const auto code = TSystemCode(LittleEndian(Bytes.subspan(pos), 2));
        const std::size_t length = LittleEndian(Bytes.subspan(pos + 2), 2);
        pos += 4;
        if (length > Bytes.size() - pos)
            break;
        const std::span<const std::uint8_t> data = Bytes.subspan(pos, length);
        pos += length;
        switch (code) {
        case TSystemCode::DefaultTopic:
            if (!std::exchange(seenTopic, true))
                file.DefaultTopic = NulTerminated(data).value_or(std::vector<std::uint8_t>());
            break;
        case TSystemCode::Title:
            if (!std::exchange(seenTitle, true))
                file.Title = NulTerminated(data).value_or(std::vector<std::uint8_t>());
            break;
        case TSystemCode::Language:
            if (!std::exchange(seenLanguage, true) && data.size() >= 4)
                file.Language = LittleEndian(data, 4);
            break;
        }
    }
    return file;
}

int THelpSystemFile::CodePage() const
{
    return Language ? CodePageOfLanguage(*Language) : CP_ACP;
}

u16 THelpSystemFile::TitleText() const
{
    return DecodeBytes(CodePage(), Title);
}

std::vector<u16> THelpSystemFile::DefaultTopicNames() const
{
    std::vector<u16> names;
    if (DefaultTopic.empty())
        return names;
    names.push_back(DecodeBytes(CodePage(), DefaultTopic));
    if (HoldsWellFormedUtf8(DefaultTopic)) {
        u16 utf8 = DecodeUtf8(DefaultTopic);
        if (utf8 != names.front())
            names.push_back(std::move(utf8));
    }
    return names;
}

std::optional<TTopicPath> TopicPathInFolder(u16v Topic)
{
    u16 name(TrimView(Topic));
    std::replace(name.begin(), name.end(), u'\\', u'/');
    if (const std::size_t prefix = name.rfind(u"::"); prefix != u16::npos)
        name.erase(0, prefix + 2);

    TTopicPath topic;
    if (const std::size_t hash = name.find(u'#'); hash != u16::npos) {
        topic.Anchor = name.substr(hash);
        name.erase(hash);
    }
    std::vector<u16v> kept;
    for (u16v segment : Segments(name)) {
        if (segment.empty() || segment == u".")
            continue;
        if (segment == u"..") {
            if (kept.empty())
                return std::nullopt; // above the top of the folder
            kept.pop_back();
            continue;
        }
        if (segment.find(u':') != u16v::npos)
            return std::nullopt;
        kept.push_back(segment);
    }
    if (kept.empty())
        return std::nullopt;
    for (u16v segment : kept) {
        if (!topic.Path.empty())
            topic.Path += u'/';
        topic.Path += segment;
    }
    return topic;
}

} // namespace lantern
