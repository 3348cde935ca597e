// Font runs of a text section (TFontObj in a TFontList) and the link a run belongs to (TUrlTarget).
//
// Ownership: a run owns its font (a copy of the style system's shared font description; the platform font inside
// is shared and immutable) and its link fonts; a list owns its runs. The document's link run list only borrows
// runs; a run leaves that list before it is freed.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "layout/FreeList.h"
#include "style/FontInfo.h"
#include "style/Fonts.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lantern {

class TAttributeList;
class TFontObj;
class TSection;
class ThtDocument;

class TUrlTarget {
public:
    // Url, Target and FirstPos, the next link id, and the tag's attributes as NAME=value lines.
    void SetLink(u16v url, u16v target, int start, const TAttributeList* attributes);
    void CopyFrom(const TUrlTarget& other) { *this = other; }
    void Clear();
    // Ends the link at pos, here and in the runs of this link at the end of the document's link run list.
    void MarkEnd(const std::vector<TFontObj*>& linkRuns, int pos);

    u16 Url;
    u16 Target;
    int LinkId = 0;
    u16 Attributes;
    int FirstPos = -1;
    int LastPos = -1;
    int TabIndex = 0;
};

class TFontObj {
public:
    TFontObj(TSection* section, int startPos, std::unique_ptr<TMyFont> font);
    ~TFontObj();

    // Derives the line metrics from the font.
    void UpdateMetrics();
    void ReplaceFont(std::unique_ptr<TMyFont> font);
    void ApplyFontInfo(const ThtFontInfo& info);
    void SetVisited(bool visited);
    void SetHover(bool hover);
    // SetHover on this run and the neighbouring runs of the same link in the document's link run list.
    void SetLinkHover(const std::vector<TFontObj*>& linkRuns, bool hover);
    bool IsLink() const { return !LinkTarget.Url.empty(); }
    std::unique_ptr<TFontObj> Clone(TSection* section) const;

    TUrlTarget LinkTarget;
    TSection* Section;
    bool Visited = false;
    bool Hover = false;
    u16 Title;
    bool Focused = false;
    int StartPos;
    std::unique_ptr<TMyFont> Font;
    std::unique_ptr<TFontInfoArray> LinkFonts; // present for link runs
    int FontHeight = 0;   // height plus external leading
    int TextHeight = 0;
    int MaxCharWidth = 0;
    int Overhang = 0;     // italic fonts lean past their advance
    int Descent = 0;
    std::uint8_t ShiftKind = 0; // 8 subscript, 9 superscript

private:
    void ApplyLinkState();
};

// The runs of one section, ordered by start; the first starts at 0.
class TFontList {
public:
    int Count() const { return static_cast<int>(Runs.size()); }
    TFontObj& operator[](int i) const { return *Runs[static_cast<std::size_t>(i)]; }
    TFontObj& Last() const { return *Runs.back(); }

    // The run that holds pos (the last run for positions past the end).
    int RunIndexAt(int pos) const;
    TFontObj& RunAt(int pos) const { return (*this)[RunIndexAt(pos)]; }
    const TMyFont& FontAt(int pos, int& overhang) const;
    // Characters from pos to the start of the next run, or to textLength.
    int CharsToNextRun(int pos, int textLength) const;

    TFreeList<TFontObj> Runs;
};

} // namespace lantern
