// Border painting and the boxes of inline elements.
//
// PaintBorderRing paints every CSS border of the engine: around blocks, table cells and tables, and around inline
// elements. An inline element with a border or a background is one record of the document's TInlineList (an
// InlineRec spanning source positions); every text line it touches gets a BorderRec, made when the line is laid
// out, whose content rectangle the line's painting fills and frames before it draws its text.
//
// Ownership: the document owns its inline list; a BorderRec borrows its record, which lives until the document is
// cleared (the lines that point at it are laid out again before they paint).
#pragma once

#include "common/Types.h"
#include "style/Properties.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace lantern {

namespace platform {
class PaintCanvas;
}

class ThtDocument;

// The four sides of a border in the order the ring paints them: left, top, right, bottom.
struct TBorderSides {
    std::array<std::uint8_t, 4> Styles{}; // BorderStyle codes
    std::array<Color, 4> Colors{};
};

// The sides of a box as its box values give them.
TBorderSides BorderSidesOf(const TBoxValueArray& box);

// Paints the ring between the border box and the padding box (screen coordinates). Each side is a quadrilateral
// from its outer to its inner corners, so adjacent sides meet on the corner diagonals. A background colour other
// than clNone shows through the gaps of dashed, dotted and double sides.
void PaintBorderRing(platform::PaintCanvas& canvas, Rect borderBox, Rect paddingBox, Color background,
                     const TBorderSides& sides);

// One inline element with a border or a background.
struct InlineRec {
    int StartDoc = 0;
    int EndDoc = 999999;
    int ElementSerial = 0;
    int StartSrc = 0;
    int EndSrc = 0x7FFFFFFF; // an element never closed runs to the end of the document
    TBoxValueArray Box{};
};

class TInlineList {
public:
    explicit TInlineList(ThtDocument& document) : Document(&document) {}

    void Open(const InlineRec& record);
    // The last record of the element ends at the source position.
    void Close(int elementSerial, int sourcePos);
    void Clear();
    bool Empty() const { return Records.empty(); }
    int Count() const { return static_cast<int>(Records.size()); }

    // The document positions of record i (converted from the source positions once per layout), or 99999999.
    int StartOf(int i);
    int EndOf(int i);

    // Calls visit(record) for every record that may reach into the source range [first, last], in the order the
    // elements start. Only the records near the range are looked at, so every text section of a page can ask.
    template <class Visit>
    void ForEachReaching(int first, int last, Visit&& visit)
    {
        Index();
        // From the first record that, with those before it, reaches first, to the last that starts by last.
        const auto end = std::upper_bound(Records.begin(), Records.end(), last,
                                          [](int pos, const InlineRec& r) { return pos < r.StartSrc; });
        const auto from = Records.begin() + (std::lower_bound(reach_.begin(), reach_.end(), first) - reach_.begin());
        for (auto it = from; it < end; ++it)
            if (it->EndSrc >= first)
                visit(*it);
    }

    ThtDocument* Document;
    std::vector<InlineRec> Records; // by start
    bool NeedsConvert = true;

private:
    void Convert();
    void Index();

    bool indexed_ = false;
    std::vector<int> reach_; // per record: the largest end of it and every record before it
};

// The part of one inline element on one line. Its rectangle is relative to the line: X from the line's start,
// Y from the top of the line (above its gap).
struct BorderRec {
    int PieceStart = 0, PieceEnd = 0; // offsets in the section
    bool OpenAtStart = false;         // the element began on an earlier line
    bool OpenAtEnd = false;           // it goes on to a later line
    Rect ContentRect;
    const InlineRec* Record = nullptr;
};

// The builder opens a record where an element with a visible border starts; the property stack closes it where
// the element ends.
void OpenInlineBorder(ThtDocument& document, int sourcePos, TProperties& properties);
void CloseInlineBorder(ThtDocument& document, int sourcePos, const TProperties& properties);

// Fills the content rectangle and paints the border around it; (x, y) is where the line starts on the screen.
// A side where the element goes on to another line is left open.
void PaintInlineBorder(const BorderRec& piece, platform::PaintCanvas& canvas, int x, int y);

} // namespace lantern
