// Documents built in code for layout tests. The uniform font makes every character Advance pixels wide with a
// 16-pixel line (ascent 12, descent 4), so where a line breaks is arithmetic a reader can check; the real-font
// helpers use the installed Liberation faces.
#pragma once

#include "layout/Block.h"
#include "layout/Document.h"
#include "layout/LayoutDump.h"
#include "layout/TextSection.h"
#include "platform/Canvas.h"
#include "platform/Font.h"
#include "style/Fonts.h"
#include "style/Properties.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace lantern::testlayout {

inline constexpr int Advance = 8;
inline constexpr int LineH = 16;

inline TMyFont UniformFont(int advance = Advance, int ascent = 12, int descent = 4)
{
    platform::LogFont desc;
    desc.Face = u"DejaVu Sans Mono";
    desc.Height = -(ascent + descent);
    platform::TextMetrics tm;
    tm.Height = ascent + descent;
    tm.Ascent = ascent;
    tm.Descent = descent;
    tm.AveCharWidth = advance;
    tm.MaxCharWidth = advance;
    TMyFont f;
    f.Name = desc.Face;
    f.Height = desc.Height;
    f.TextHeight = tm.Height;
    f.Descent = descent;
    f.MaxCharWidth = advance;
    f.AveCharWidth = advance;
    f.EmSize = tm.Height;
    f.Handle = platform::FontService::Instance().MakeUniformFont(desc, advance, tm);
    return f;
}

inline TMyFont RealFont(u16v face, int pixels)
{
    return TMyFontCache::Instance().GetFont(face, -pixels, 0, 1);
}

// A picture-sized box standing in the text at an ObjectMark: its size is given, not measured.
class TBoxObject final : public TFloatingObj {
public:
    TBoxObject(int width, int height, AlignmentCode side = AlignmentCode::None)
    {
        Width = width;
        Height = height;
        FloatSide = side;
    }
    void MeasureObject(platform::Canvas&, const TFontObj&, int, int) override {}
    std::unique_ptr<TFloatingObj> CloneObject() const override
    {
        return std::make_unique<TBoxObject>(Width, Height, FloatSide);
    }
};

// Computed properties with a fixed font; other values set by name.
inline std::unique_ptr<TProperties> PropsWith(const TMyFont& font,
                                              std::initializer_list<std::pair<u16v, u16v>> values = {})
{
    auto props = std::make_unique<TProperties>(false);
    for (const auto& [name, value] : values)
        props->SetPropByName(name, value);
    props->CachedFont = std::make_unique<TMyFont>(font);
    return props;
}

using StyleValues = std::vector<std::pair<u16v, u16v>>;

class TestPage {
public:
    TestPage() : Props(PropsWith(UniformFont())) {}
    explicit TestPage(const TMyFont& font) : Props(PropsWith(font)) {}

    // A new text section with the page's properties; text is fed with source positions counting from the
    // section's first character, objects are placed where `text` holds ObjectMark.
    template <class Section = TSection>
    Section& Add(u16v text, std::vector<std::unique_ptr<TFloatingObj>> objects = {}, TProperties* props = nullptr)
    {
        auto section = std::make_unique<Section>(Doc, true, nullptr, props ? *props : *Props, nullptr);
        Section& s = *section;
        Feed(s, text, std::move(objects));
        Doc.AddSection(std::move(section), Source);
        return s;
    }

    void Feed(TSection& s, u16v text, std::vector<std::unique_ptr<TFloatingObj>> objects = {})
    {
        std::size_t nextObject = 0;
        TokenObj token;
        auto flush = [&] {
            s.AppendToken(token);
            token.Clear();
        };
        for (char16_t c : text) {
            if (c == ObjectMark && nextObject < objects.size()) {
                flush();
                s.PlaceObject(std::move(objects[nextObject++]), Source++);
                continue;
            }
            token.AddChar(c, Source++);
        }
        flush();
    }

    // An element's properties: the page font, the tag, and values by name.
    std::unique_ptr<TProperties> Element(u16v tag, StyleValues values = {}) const
    {
        auto props = PropsWith(*Props->CachedFont);
        for (const auto& [name, value] : values) {
            props->SetPropByName(name, value);
            props->SetFlags[std::size_t(FindPropertyIndex(name))] = true; // as the cascade marks what it sets
        }
        props->PropTag = tag;
        return props;
    }

    // A block made as the builder makes it, just before it is added to `cell`.
    template <class Block = TBlock, class... Extra>
    Block& AddBlock(TCellBasic& cell, u16v tag, StyleValues values = {}, Extra... extra)
    {
        auto props = Element(tag, values);
        if constexpr (std::is_same_v<Block, TBlockLI>)
            return AddTo(cell, std::make_unique<Block>(Doc, nullptr, extra..., cell, *props));
        else
            return AddTo(cell, std::make_unique<Block>(Doc, nullptr, cell, *props));
    }
    TBlock& AddBlock(u16v tag, StyleValues values = {}) { return AddBlock(Doc, tag, values); }

    // A text section in a cell, in the page's font or an element's.
    TSection& AddText(TCellBasic& cell, u16v text, TProperties* props = nullptr)
    {
        auto section = std::make_unique<TSection>(Doc, true, nullptr, props ? *props : *Props, nullptr);
        Feed(*section, text);
        return AddTo(cell, std::move(section));
    }

    template <class Section>
    Section& AddTo(TCellBasic& cell, std::unique_ptr<Section> section)
    {
        Section& s = *section;
        cell.AddSection(std::move(section), Source);
        return s;
    }

    int Layout(int width)
    {
        int counter = 0;
        ScrollWidth = 0;
        return Height = Doc.LayoutDocument(Canvas, 0, width, 0, 0, ScrollWidth, counter);
    }

    // The page painted into a white picture of the given size, scrolled to viewTop.
    platform::Bitmap Paint(int width, int height, int viewTop = 0, int x = 0)
    {
        platform::Bitmap picture(width, height, 0xFFFFFF);
        {
            platform::PaintCanvas canvas(picture);
            Doc.SetViewTop(viewTop);
            Doc.PaintDocument(canvas, Rect{0, 0, width, height}, 6000, x, 0, 0, 0);
        }
        return picture;
    }

    // The text of each line without object marks and trailing spaces or breaks, with a drawn hyphen as "-".
    static std::vector<std::string> LineTexts(const TSection& s)
    {
        std::vector<std::string> out;
        for (const LineRec& line : s.Lines) {
            if (line.LineChars == 0)
                continue;
            u16 t = s.Text.substr(static_cast<std::size_t>(line.LineStart), static_cast<std::size_t>(line.LineChars));
            std::erase(t, ObjectMark);
            while (!t.empty() && (t.back() == u' ' || t.back() == LineBreakMark))
                t.pop_back();
            if (line.EndsWithHyphen)
                t += u'-';
            out.push_back(ToUtf8(t));
        }
        return out;
    }

    // Document Y of each line's top.
    static std::vector<int> LineTops(const TSection& s)
    {
        std::vector<int> out;
        int y = s.BoxTop;
        for (const LineRec& line : s.Lines) {
            out.push_back(y);
            y += line.FullHeight();
        }
        return out;
    }

    ThtDocument Doc;
    platform::Canvas Canvas;
    std::unique_ptr<TProperties> Props;
    int Source = 0;
    int ScrollWidth = 0;
    int Height = 0;
};

inline std::vector<std::unique_ptr<TFloatingObj>> Boxes(std::initializer_list<TBoxObject> boxes)
{
    std::vector<std::unique_ptr<TFloatingObj>> out;
    for (const TBoxObject& b : boxes)
        out.push_back(std::make_unique<TBoxObject>(b.Width, b.Height, b.FloatSide));
    return out;
}

} // namespace lantern::testlayout
