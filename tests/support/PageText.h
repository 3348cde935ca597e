// The running text of an HTML page, cut into paragraphs, for layout tests and benchmarks that need real prose
// before the document builder exists: tags are dropped, block tags end a paragraph, BR becomes the forced-break
// character, a few entities are decoded, script and style contents are skipped. Bytes are read as Latin-1.
#pragma once

#include "common/Str.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lantern::testsupport {

inline std::vector<u16> PageParagraphs(const std::vector<std::uint8_t>& bytes)
{
    static constexpr std::string_view blockTags[] = {"p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "li", "tr",
                                                     "td", "th", "table", "ul", "ol", "dl", "dt", "dd", "pre",
                                                     "blockquote", "hr", "body", "title", "center"};
    static constexpr std::pair<std::string_view, char16_t> entities[] = {
        {"amp", u'&'}, {"lt", u'<'}, {"gt", u'>'}, {"quot", u'"'}, {"nbsp", u'\u00A0'}, {"copy", u'\u00A9'}};
    std::vector<u16> out;
    u16 current;
    auto endParagraph = [&] {
        if (current.find_first_not_of(u" \u0008") != u16::npos)
            out.push_back(current);
        current.clear();
    };
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const char c = static_cast<char>(bytes[i]);
        if (c == '<') {
            std::size_t end = i + 1;
            while (end < n && bytes[end] != '>')
                ++end;
            std::string tag;
            for (std::size_t k = i + 1; k < end && !std::isspace(bytes[k]) && bytes[k] != '/'; ++k)
                tag += static_cast<char>(std::tolower(bytes[k]));
            if (tag.empty() && i + 2 < end && bytes[i + 1] == '/')
                for (std::size_t k = i + 2; k < end && std::isalnum(bytes[k]); ++k)
                    tag += static_cast<char>(std::tolower(bytes[k]));
            if (tag == "script" || tag == "style") {
                const std::string close = "</" + tag;
                std::size_t k = end;
                while (k + close.size() < n) {
                    std::string probe;
                    for (std::size_t m = 0; m < close.size(); ++m)
                        probe += static_cast<char>(std::tolower(bytes[k + m]));
                    if (probe == close)
                        break;
                    ++k;
                }
                end = k;
                while (end < n && bytes[end] != '>')
                    ++end;
            } else if (tag == "br") {
                current += u'\u0008';
            } else {
                for (std::string_view b : blockTags)
                    if (tag == b)
                        endParagraph();
            }
            i = end + 1;
            continue;
        }
        if (c == '&') {
            std::size_t end = i + 1;
            while (end < n && end - i < 10 && bytes[end] != ';')
                ++end;
            const std::string name(bytes.begin() + static_cast<long>(i) + 1, bytes.begin() + static_cast<long>(end));
            char16_t decoded = 0;
            if (!name.empty() && name[0] == '#')
                decoded = static_cast<char16_t>(std::strtol(name.c_str() + 1 + (name.size() > 1 && name[1] == 'x'),
                                                            nullptr, name.size() > 1 && name[1] == 'x' ? 16 : 10));
            for (const auto& [entity, ch] : entities)
                if (name == entity)
                    decoded = ch;
            if (decoded && end < n) {
                current += decoded;
                i = end + 1;
                continue;
            }
        }
        current += (c == '\r' || c == '\n' || c == '\t') ? u' ' : static_cast<char16_t>(bytes[i]);
        ++i;
    }
    endParagraph();
    return out;
}

} // namespace lantern::testsupport
