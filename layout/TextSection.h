// Inline text sections: a paragraph-like run of characters with its font runs and the objects standing in it
// (TSection), broken into lines by its own layout; and the preformatted variant that keeps white space and
// breaks only where the source breaks (TPreFormated).
//
// The builder creates a section, feeds it characters with their source positions (AppendToken, AppendChar),
// switches font runs as inline elements open and close (SwitchFont, SwitchFontForLink) and hands it to its
// cell, which finishes the text (FinishText). Layout then fills Lines; painting and the point queries read
// Lines and never change them.
//
// Ownership: a section owns its font runs and floating objects; it borrows its form controls (they belong to
// their form) and its document. Its link runs sit in the document's link run list until Unlink or destruction.
#pragma once

#include "common/Str.h"
#include "layout/Borders.h"
#include "layout/FontRuns.h"
#include "layout/InlineObjects.h"
#include "layout/Sections.h"
#include "markup/Token.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lantern {

class TAttributeList;
class TProperties;

// Characters that stand for something other than text.
inline constexpr char16_t ControlMark = 0x0002;   // a form control
inline constexpr char16_t ObjectMark = 0x0004;    // an image or panel, inline or floating
inline constexpr char16_t LineBreakMark = 0x0008; // a forced line break
inline constexpr char16_t SoftHyphen = 0x00AD;

// Ideographic scripts break between any two characters.
constexpr bool IsIdeograph(char16_t c)
{
    return c > 0x2FFF;
}
constexpr bool IsBreakChar(char16_t c)
{
    return c == ControlMark || c == ObjectMark || c == LineBreakMark || c == u' ' || c == u'-' || c == u'/' ||
           c == u'?' || IsIdeograph(c);
}
// These stay on the line before a break.
constexpr bool IsHyphenLike(char16_t c)
{
    return c == u'-' || c == u'/' || c == u'?';
}

// Break classes, one per character.
inline constexpr char BreakNormal = 'y';
inline constexpr char BreakNever = 'n';       // collected where text must not wrap
inline constexpr char BreakSoftHyphen = 's';  // a soft hyphen followed: may break after, drawing "-"
inline constexpr char BreakOpportunity = 'a'; // an explicit break opportunity follows

// One run of consecutive source positions.
struct IndexObj {
    int DocOffset; // of the run's first character within the section
    int SourcePos;
};

// One laid-out line. Its baseline lies at top + GapAbove + LineHeight - Descent.
struct LineRec {
    int Top = 0; // document Y of the line's top (above GapAbove)
    int LineStart = 0;
    int GapAbove = 0;
    int GapBelow = 0;
    int LineHeight = 0;   // tallest font of the line, or the height of a spacer line
    int ExtentHeight = 0; // the larger of the line's full height and its tallest inline object
    int LineChars = 0;
    int Descent = 0;
    int LineIndent = 0;     // X of the line start relative to the section's X
    int PaintedX = 0;       // X of the line start at the last paint
    int AvailableWidth = 0; // between the edges at the line's Y
    int Width = 0;          // of the drawn text: trailing spaces left out, a drawn hyphen counted
    int PaintedY = 0;       // document Y of the text top (below GapAbove) at the last paint
    int JustifySpaces = 0;
    int JustifyExtra = 0;
    // The boxes of the inline elements on the line: InlineBorderCount entries of the section's Borders from
    // FirstInlineBorder.
    int FirstInlineBorder = 0;
    int InlineBorderCount = 0;
    bool EndsWithHyphen = false;

    int FullHeight() const { return LineHeight + GapAbove + GapBelow; }
    int Baseline() const { return GapAbove + LineHeight - Descent; } // from the top
};

class TSection : public TSectionBase {
public:
    // The first run takes the properties' font and title (and becomes a link run when the link has a URL);
    // firstInBlock takes the text indent; the attributes give clear and id.
    TSection(ThtDocument& document, bool firstInBlock, const TUrlTarget* link, TProperties& properties,
             const TAttributeList* attributes);
    ~TSection() override;

    // Slots of the base that text sections answer themselves.
    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    bool CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const override;
    // Paints the lines near the clip rectangle at the positions layout measured, recording where each was drawn.
    int Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
              int yRef) override;
    int Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth, int availableHeight,
               int blockHeight, TIndentManager& indents, int& maxWidth, int& counter) override;
    // The point is in document Y and in the X lines were painted at.
    int PointToCaret(platform::Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                     bool& insideText) override;
    THitKinds HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                      TFormControlObj*& control, u16& title) override;
    bool HitObject(int x, int y, TFloatingObj*& object, int& objectX, int& objectY) override;
    void CopySelection() override;
    int SourceToDocPos(int sourcePos, bool backward) const override;
    int DocToSourcePos(int pos) const override;
    int SearchForward(int from, u16v text, bool matchCase) const override;
    int SearchBackward(int from, u16v text, bool matchCase) const override;
    bool CharAt(int pos, char16_t& ch, const TSectionBase*& section) const override;
    void MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth) override;

    // 17, 18, 19
    virtual void AppendChar(char16_t ch, int sourcePos);
    virtual void AppendToken(const TokenObj& token);
    virtual void FinishText(int sourcePos);

    virtual bool IsPreformatted() const { return false; }

    // --- building
    void SwitchFont(TProperties& properties);
    // As SwitchFont; linkStarts makes the run a link run of the target, otherwise any link fonts are dropped.
    void SwitchFontForLink(bool linkStarts, TProperties& properties, const TUrlTarget& target);
    // Where a picture or panel stands in the text; the image and panel placing of the builder ends here.
    TFloatingObj& PlaceObject(std::unique_ptr<TFloatingObj> object, int sourcePos);
    // A form control's place in the text; the control stays its form's.
    void PlaceControl(TFormControlObj& control, int sourcePos);
    // Leaves the document's lists (when the section is discarded).
    void Unlink();

    // --- measuring
    // Width of count characters from start: text pieces in their run's font plus its overhang, inline objects
    // and controls with their spacing, floats as nothing. dropTrailing leaves out trailing spaces and line breaks.
    int TextWidth(platform::Canvas& canvas, int start, int count, bool dropTrailing) const;
    // How many of the maxCount characters from start fit in width, with the canvas's justification: text pieces
    // fitted in their run's font, an inline object or control whole or not at all, a float as nothing. fitted
    // receives the width they take. The last question is remembered.
    int CountInWidth(platform::Canvas& canvas, int start, int width, int maxCount, int* fitted = nullptr) const;

    int Ordinal = 0;
    int ReportedPass = 0;
    u16 Text;
    std::string BreakClasses;    // one class per character, and a final 'y' once finished
    std::vector<int> SourceIndex; // while collecting: the source position of every character
    TFontList Fonts;
    TFloatingObjList Objects;
    std::vector<TFormControlObj*> Controls; // by position
    std::vector<IndexObj> SourceRuns;       // once finished
    std::vector<LineRec> Lines;
    std::vector<BorderRec> Borders; // of the inline elements, line by line
    int TallestLine = 0;            // the largest ExtentHeight, so painting can find its first line quickly
    std::uint8_t TextAlign = 1; // 1 left, 2 center, 3 right, 4 justify
    std::uint8_t ClearKind = 0; // 0 none, 1 left, 2 right, 3 both
    int LineHeight = -1;        // negative: normal
    bool HoldsAnchor = false;
    int FirstLineBreak = 0; // index of the first LineBreakMark once finished, CharCount when there is none
    int RightEdge = 0;
    int MinWidthCache = 0;
    int MaxWidthCache = 0;
    int TextIndent = 0;
    int TextIndentPercent = 0;
    bool BreakWord = false;
    int WidestLine = 0;
    int LayoutX = 0; // the X the last layout was given; painting moves what it placed by the difference

protected:
    // An inline element of the document with a box that reaches into this section, as offsets in it.
    struct TInlineSpan {
        int Start, End;
        const InlineRec* Record;
    };

    // The line in progress while the text is broken into lines.
    struct TLineWork {
        int X = 0;          // the section's X
        int Y = 0;          // top of the line being made
        int FloatY = 0;     // no float is placed above this
        int FloatsDone = 0; // objects before this index are placed when they float
        int NextBreak = -1; // cached index of the next LineBreakMark at or after the line start
        int Left = 0, Right = 0;
        int MaxWidth = 0;
        // What fitting measured from MeasuredStart (-1: nothing): the right end of each of the first Measured
        // characters, relative to the line's left edge, without the overhang of the piece it ends.
        int MeasuredStart = -1;
        int Measured = 0;
        std::vector<int> Ends;
        std::vector<TInlineSpan> Spans; // the inline elements with boxes that reach into the section

        void KeepEnd(int index, int end)
        {
            Ends.resize(static_cast<std::size_t>(index) + 1);
            Ends[static_cast<std::size_t>(index)] = end;
        }
    };

    TSection(ThtDocument& document, const TSection& source); // for Clone

    static void UseFont(platform::Canvas& canvas, const TMyFont& font);

    // How many characters from start fit on the line at work.Y; places floats met on the way.
    int CountThatFits(platform::Canvas& canvas, TLineWork& work, int start, int maxCount,
                      TIndentManager& indents) const;
    int FinishLine(platform::Canvas& canvas, TLineWork& work, int start, int count, TIndentManager& indents);
    int DrawnWidth(platform::Canvas& canvas, const TLineWork& work, int start, int count) const;
    void BreakLines(platform::Canvas& canvas, TLineWork& work, TIndentManager& indents);
    void AddSpacerLine(TLineWork& work, int start, int height);
    // The bookkeeping after the lines are made: counter, first baseline, visible extent, progress.
    void EndLayout(int startY, int& counter);
    void ConvertSourceIndex();
    // Counts the section and closes its classes once its text is final.
    void SealText();
    // Removes the marked characters in one pass, moving runs, objects and controls along.
    void DeleteMarked(const std::vector<bool>& drop);

private:
    void LayOutObjects(platform::Canvas& canvas, int width, int height, int& maxWidth);
    // Break: at a break opportunity; BelowFloat: retry below the next float end; Overlong: a word wider than the
    // line stands whole on it.
    enum class LineEnd { Break, BelowFloat, Overlong };
    int ChooseLineEnd(TLineWork& work, int start, int fit, TIndentManager& indents, LineEnd& kind) const;
    int SpacesFrom(int pos) const;
    int ExtendOverlongWord(int from) const;
    int NextMarkDistance(int pos) const;
    TFormControlObj* ControlAt(int pos) const;
    void ApplyRunLinkState(TFontObj& run, TProperties& properties, const TUrlTarget& target, bool makeLink);
    void SwitchRun(TProperties& properties, const TUrlTarget& target, bool makeLink);
    void AppendSmallCaps(u16v original, const TokenObj& token, u16v upper);
    int MinWordWidth(platform::Canvas& canvas) const;
    int IndentedFirst(int width) const;
    int DashWidth(platform::Canvas& canvas, const TFontObj& run) const;
    std::vector<TInlineSpan> InlineSpans() const;
    void MeasureLineBorders(platform::Canvas& canvas, LineRec& line, std::span<const TInlineSpan> spans);
    int LineIndexAt(int y) const;
    THitKinds HitImage(int x, int y, std::unique_ptr<TUrlTarget>& target, u16& title);
    int DrawnEnd(const LineRec& line) const;
    // What painting one line needs besides the line.
    struct TLinePaint {
        int Shift;           // paint X less layout X
        int SelStart, SelEnd; // of the selection, relative to the section
        int Caret;           // where the dummy caret goes, or -1
        Rect PreClip;        // preformatted text is cut to this, horizontally
    };
    void PaintLine(platform::PaintCanvas& canvas, LineRec& line, int x, int top, const TLinePaint& how);
    int PaintText(platform::PaintCanvas& canvas, const TFontObj& run, int x, int baseline, int start, int count,
                  bool selected, const Rect& clip);

    // The last question CountInWidth answered.
    struct TCountCache {
        int Start = -1, Width = 0, MaxCount = 0, Count = 0, Fitted = 0;
    };
    mutable TCountCache countCache_;
};

class TPreFormated : public TSection {
public:
    using TSection::TSection;

    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    int Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth, int availableHeight,
               int blockHeight, TIndentManager& indents, int& maxWidth, int& counter) override;
    void MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth) override;
    void FinishText(int sourcePos) override;
    bool IsPreformatted() const override { return true; }

private:
    TPreFormated(ThtDocument& document, const TPreFormated& source) : TSection(document, source) {}
};

} // namespace lantern
