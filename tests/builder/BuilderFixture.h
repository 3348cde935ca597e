// Pages built by the document builder for tests: a document with the default sheet a viewer with default
// settings gives it, a tree picture of the sections made, and layout and painting at a width.
#pragma once

#include "builder/Parser.h"
#include "layout/Block.h"
#include "layout/Document.h"
#include "layout/Table.h"
#include "layout/TextSection.h"
#include "markup/Buffer.h"
#include "platform/Canvas.h"
#include "style/Lengths.h"
#include "style/StyleList.h"

#include <QImage>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace lantern::testbuilder {

inline std::string Tree(const TSectionBaseList& cell, int depth = 0);

// A table's rows ("tr") and cells (by element) with their content, at the depth of the table's block content.
inline std::string TableTree(const THtmlTable& table, int depth)
{
    std::string out;
    const std::string pad(std::size_t(depth) * 2, ' ');
    for (const auto& row : table.Rows) {
        out += pad + "tr\n";
        for (const auto& cell : row->Cells)
            if (!cell->IsFiller()) {
                out += pad + "  " + ToUtf8(cell->Content->OpeningTag) + "\n";
                out += Tree(*cell->Content, depth + 2);
            }
    }
    return out;
}

// One line per section, indented by depth: a block by its element (body, hr, page), a text section ("text",
// "pre") with its characters quoted, a line break shown as "|", a no-break space as "~", a picture or panel as
// "@"; a table's rows and cells by their elements.
inline std::string Tree(const TSectionBaseList& cell, int depth)
{
    std::string out;
    for (int i = 0; i < cell.Count(); ++i) {
        const TSectionBase& s = cell[i];
        if (const auto* table = dynamic_cast<const THtmlTable*>(&s)) {
            out += TableTree(*table, depth);
            continue;
        }
        out += std::string(std::size_t(depth) * 2, ' ');
        if (const auto* text = dynamic_cast<const TSection*>(&s)) {
            u16 shown;
            for (char16_t c : text->Text)
                shown += c == LineBreakMark ? u'|' : c == 0xA0 ? u'~' : c == ObjectMark ? u'@' : c;
            out += (text->IsPreformatted() ? "pre \"" : "text \"") + ToUtf8(shown) + "\"";
            if (text->ClearKind)
                out += " clear=" + std::to_string(text->ClearKind);
            out += "\n";
        } else if (dynamic_cast<const THRBlock*>(&s)) {
            out += "hr\n";
        } else if (const auto* block = dynamic_cast<const TBlock*>(&s)) {
            out += (dynamic_cast<const TBodyBlock*>(&s) ? std::string("body") : ToUtf8(block->Content.OpeningTag)) + "\n";
            out += Tree(block->Content, depth + 1);
        } else if (dynamic_cast<const TPage*>(&s)) {
            out += "page\n";
        } else {
            out += "section\n";
        }
    }
    return out;
}

// The first text section in document order whose text contains `text`, or null.
inline const TSection* FindText(const TSectionBaseList& cell, u16v text)
{
    for (int i = 0; i < cell.Count(); ++i) {
        const TSectionBase& s = cell[i];
        if (const auto* t = dynamic_cast<const TSection*>(&s); t && t->Text.find(text) != u16::npos)
            return t;
        if (const auto* block = dynamic_cast<const TBlock*>(&s))
            if (const TSection* found = FindText(block->Content, text))
                return found;
        if (const auto* table = dynamic_cast<const THtmlTable*>(&s))
            for (const auto& row : table->Rows)
                for (const auto& cellObj : row->Cells)
                    if (cellObj->Content)
                        if (const TSection* found = FindText(*cellObj->Content, text))
                            return found;
    }
    return nullptr;
}

// The X at which a laid-out section's lines are measured from: the content edges of the blocks around it.
inline bool SectionX(const TSectionBaseList& cell, const TSectionBase& target, int x, int& found)
{
    for (int i = 0; i < cell.Count(); ++i) {
        const TSectionBase& s = cell[i];
        if (&s == &target) {
            found = x;
            return true;
        }
        if (const auto* block = dynamic_cast<const TBlock*>(&s))
            if (SectionX(block->Content, target, x + block->ContentOffset, found))
                return true;
    }
    return false;
}

class TBuiltPage {
public:
    explicit TBuiltPage(std::string_view html, TParserHost host = {}, bool plainText = false)
        : Buffer(TBuffer::CreateFromBytes(std::vector<std::uint8_t>(html.begin(), html.end()), u"page.htm"))
    {
        Doc.Styles->BuildDefaultSheet(u"Times New Roman", u"Courier New", 10, 5, DEFAULT_CHARSET, true, 0x00FF0000,
                                      0x00800080, 0x00FF0000, 0, 12.0);
        SetFontSizeSteps(12.0);
        THtmlParser parser(*Buffer, Doc, std::move(host));
        if (plainText)
            parser.ParseText();
        else
            parser.ParseHtml();
        Title = parser.Title();
        BaseUrl = parser.BaseUrl();
    }

    // The sections inside the body, as Tree shows them.
    std::string BodyTree() const
    {
        for (int i = 0; i < Doc.Count(); ++i)
            if (const auto* body = dynamic_cast<const TBodyBlock*>(&Doc[i]))
                return Tree(body->Content);
        return "(no body)\n" + Tree(Doc);
    }

    const TSection& Text(u16v text) const
    {
        const TSection* found = FindText(Doc, text);
        if (!found)
            throw std::runtime_error("no section holds " + ToUtf8(text));
        return *found;
    }

    // Where the first line of a laid-out section starts.
    int FirstLineX(const TSection& s) const
    {
        int x = 0;
        if (s.Lines.empty() || !SectionX(Doc, s, 0, x))
            throw std::runtime_error("section not laid out");
        return x + s.Lines.front().LineIndent;
    }

    // Lays the page out and paints it once.
    int LayOutAndPaint(int width)
    {
        platform::Canvas measure;
        int scrollWidth = 0, counter = 0;
        const int height = Doc.LayoutDocument(measure, 0, width, 0, 0, scrollWidth, counter);
        QImage image(width, std::max(height, 1), QImage::Format_RGB32);
        image.fill(Qt::white);
        platform::PaintCanvas canvas(image);
        Doc.PaintDocument(canvas, Rect{0, 0, width, std::max(height, 1)}, 6000, 0, 0, 0, 0);
        return height;
    }

    std::unique_ptr<TBuffer> Buffer;
    ThtDocument Doc;
    u16 Title;
    u16 BaseUrl;
};

// A page and the tree its body's content builds (see Tree), as the parameter of a table of cases.
struct TTreeCase {
    const char* Name;
    const char* Html;
    const char* Tree;
};

inline std::string TreeCaseName(const ::testing::TestParamInfo<TTreeCase>& info) { return info.param.Name; }

} // namespace lantern::testbuilder
