#include "layout/LayoutDump.h"

#include "layout/Sections.h"
#include "layout/TextSection.h"

#include <cstdio>
#include <string_view>

namespace lantern {

namespace {

constexpr std::size_t WordsShown = 4;

// The first words of a line, marks shown by name.
std::string FirstWords(const TSection& s, const LineRec& line)
{
    u16 shown;
    std::size_t words = 0;
    for (int i = line.LineStart; i < line.LineStart + line.LineChars; ++i) {
        const char16_t c = s.Text[static_cast<std::size_t>(i)];
        if (c == u' ' && ++words == WordsShown)
            break;
        if (c == ObjectMark)
            shown += u"[object]";
        else if (c == ControlMark)
            shown += u"[control]";
        else if (c == LineBreakMark)
            shown += u"[br]";
        else
            shown += c;
    }
    while (!shown.empty() && shown.back() == u' ')
        shown.pop_back();
    if (line.EndsWithHyphen)
        shown += u'-';
    return ToUtf8(shown);
}

std::string Format(const char* format, auto... values)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

} // namespace

std::string DumpSection(const TSectionBase& section, int depth)
{
    const std::string pad(static_cast<std::size_t>(depth) * 2, ' ');
    const auto* text = dynamic_cast<const TSection*>(&section);
    const char* kind = !text ? "section" : text->IsPreformatted() ? "pre" : "text";
    std::string out = pad + Format("%s y=%d h=%d chars=%d+%d", kind, section.BoxTop, section.BoxHeight,
                                   section.FirstChar, section.CharCount);
    if (!text)
        return out + "\n";
    out += Format(" lines=%d\n", static_cast<int>(text->Lines.size()));
    int y = text->BoxTop;
    for (const LineRec& line : text->Lines) {
        if (line.LineChars == 0)
            out += pad + Format("  spacer y=%d h=%d\n", y, line.LineHeight);
        else
            out += pad + Format("  line y=%d h=%d x=%d w=%d chars=%d+%d \"", y, line.FullHeight(), line.LineIndent,
                                line.Width, line.LineStart, line.LineChars) +
                   FirstWords(*text, line) + "\"\n";
        y += line.FullHeight();
    }
    return out;
}

std::string DumpLayout(const TSectionBaseList& cell)
{
    std::string out;
    for (int i = 0; i < cell.Count(); ++i)
        out += DumpSection(cell[i]);
    return out;
}

} // namespace lantern
