#include "layout/LayoutDump.h"

#include "layout/Block.h"
#include "layout/Sections.h"
#include "layout/Table.h"
#include "layout/TableBlock.h"
#include "layout/TextSection.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

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
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

const char* BlockKind(const TBlock& b)
{
    if (dynamic_cast<const TBodyBlock*>(&b))
        return "body";
    if (dynamic_cast<const TBlockLI*>(&b))
        return "li";
    if (dynamic_cast<const THRBlock*>(&b))
        return "hr";
    if (dynamic_cast<const TFieldsetBlock*>(&b))
        return "fieldset";
    if (dynamic_cast<const TTableBlock*>(&b))
        return "tableblock";
    if (dynamic_cast<const TTableAndCaptionBlock*>(&b))
        return "captioned";
    return "block";
}

// A block: its kind and element, its border box, its margins (top, right, bottom, left) and what moves it, then
// its content one level deeper.
std::string DumpBlock(const TBlock& b, const std::string& pad, int depth)
{
    const Rect r = b.BorderBoxAt(b.LayoutX());
    std::string out = pad + Format("%s %s x=%d y=%d w=%d h=%d margins=%d,%d,%d,%d chars=%d+%d", BlockKind(b),
                                   ToUtf8(b.TagPath).c_str(), r.left, r.top, r.Width(), r.Height(),
                                   b.Margin(piMarginTop), b.Margin(piMarginRight), b.Margin(piMarginBottom),
                                   b.Margin(piMarginLeft), b.FirstChar, b.CharCount);
    if (b.Floats())
        out += b.FloatKind == AlignmentCode::Left ? " float=left" : " float=right";
    if (b.PositionKind != Positioning::Static)
        out += Format(" %s=%d,%d", b.IsRelative() ? "relative" : "absolute", b.PosLeft, b.PosTop);
    if (b.Clearance > 0)
        out += Format(" clearance=%d", b.Clearance);
    if (b.DisplayKind == DisplayNoneKind)
        out += " none";
    out += "\n";
    if (const auto* fieldset = dynamic_cast<const TFieldsetBlock*>(&b))
        for (int i = 0; i < fieldset->Legend.Count(); ++i)
            out += pad + "  legend:\n" + DumpSection(fieldset->Legend[i], depth + 2);
    for (int i = 0; i < b.Content.Count(); ++i)
        out += DumpSection(b.Content[i], depth + 1);
    return out;
}

std::string Joined(const std::vector<int>& values)
{
    std::string out;
    for (int v : values)
        out += (out.empty() ? "" : ",") + std::to_string(v);
    return out;
}

// A table: its grid's columns and rows, then each row with its cells (grid column, spans, size) and their content.
std::string DumpTable(const THtmlTable& t, const std::string& pad, int depth)
{
    std::string out = pad + Format("table y=%d h=%d w=%d chars=%d+%d spacing=%d", t.BoxTop, t.BoxHeight,
                                   t.GridWidth, t.FirstChar, t.CharCount, t.CellSpacing) +
                      " columns=" + Joined(t.ColWidths) + " rows=" + Joined(t.RowHeights) + "\n";
    for (std::size_t r = 0; r < t.Rows.size(); ++r) {
        const TCellList& row = *t.Rows[r];
        out += pad + Format("  row %d h=%d\n", static_cast<int>(r), row.RowHeight);
        for (int c = 0; c < row.Count(); ++c) {
            const TCellObj& cell = *row.Cells[static_cast<std::size_t>(c)];
            if (cell.IsFiller())
                continue;
            out += pad + Format("    cell col=%d span=%dx%d w=%d h=%d valign=%d+%d\n", c, cell.ColSpan, cell.RowSpan,
                                cell.CellWidth, cell.SpanHeight, cell.VAlign, cell.VAlignOffset);
            if (cell.Content)
                for (int i = 0; i < cell.Content->Count(); ++i)
                    out += DumpSection((*cell.Content)[i], depth + 3);
        }
    }
    return out;
}

} // namespace

std::string DumpSection(const TSectionBase& section, int depth)
{
    const std::string pad(static_cast<std::size_t>(depth) * 2, ' ');
    if (const auto* block = dynamic_cast<const TBlock*>(&section))
        return DumpBlock(*block, pad, depth);
    if (const auto* rule = dynamic_cast<const THorzLine*>(&section))
        return pad + Format("rule y=%d h=%d x=%d w=%d\n", rule->BoxTop, rule->RuleHeight, rule->RuleIndent,
                            rule->RuleWidth);
    if (const auto* table = dynamic_cast<const THtmlTable*>(&section))
        return DumpTable(*table, pad, depth);
    if (dynamic_cast<const TPage*>(&section))
        return pad + Format("page y=%d\n", section.BoxTop);
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
