// Text sections: painting their lines, the boxes of inline elements on them, and the questions about points,
// links, objects, widths and the selection. Painting reads what layout stored and records only where each line
// was drawn, which the point questions start from.
#include "layout/TextSection.h"

#include "common/Colors.h"
#include "layout/Block.h"
#include "layout/Document.h"
#include "layout/FormControls.h"
#include "layout/ImageObj.h"
#include "layout/IndentManager.h"
#include "layout/Maps.h"
#include "platform/Canvas.h"

#include <algorithm>
#include <climits>

namespace lantern {

namespace {

// How far beyond the clip rectangle a line may still reach into it (its inline borders).
constexpr int LineReach = 40;

bool IsBlank(char16_t c)
{
    return c == u' ' || c == LineBreakMark;
}

Color Inverted(Color c)
{
    return ColorToRGB(c) ^ 0xFFFFFF;
}

} // namespace

// The end of what a line draws: its final space or forced break is left out.
int TSection::DrawnEnd(const LineRec& line) const
{
    const int end = line.LineStart + line.LineChars;
    return end > line.LineStart && IsBlank(Text[static_cast<std::size_t>(end - 1)]) ? end - 1 : end;
}

// ---------------------------------------------------------------------------------------------------------------
// The boxes of inline elements, measured when the lines are made

std::vector<TSection::TInlineSpan> TSection::InlineSpans() const
{
    std::vector<TInlineSpan> spans;
    if (SourceRuns.empty())
        return spans;
    const IndexObj& lastRun = SourceRuns.back();
    const int lastSource = lastRun.SourcePos + (CharCount - lastRun.DocOffset) - 1;
    Document->InlineList.ForEachReaching(SourceRuns.front().SourcePos, lastSource, [&](const InlineRec& r) {
        int start = SourceToDocPos(r.StartSrc, false);
        if (start < 0)
            return; // begins after this section
        int end = SourceToDocPos(r.EndSrc, false);
        if (end < 0)
            end = FirstChar + CharCount; // goes on past it
        if (start == end)
            --start;
        start -= FirstChar;
        end -= FirstChar;
        if (end > 0)
            spans.push_back({start, end, &r});
    });
    return spans;
}

// Each element on the line gets its content rectangle relative to the line: from where its first character is
// drawn to where its last one ends (the line's end where it goes on), and from the top of its tallest font to the
// bottom of its deepest.
void TSection::MeasureLineBorders(platform::Canvas& canvas, LineRec& line, std::span<const TInlineSpan> spans)
{
    const int start = line.LineStart, end = start + line.LineChars;
    line.FirstInlineBorder = static_cast<int>(Borders.size());
    canvas.SetTextJustification(line.JustifyExtra, line.JustifySpaces);
    const int drawnEnd = DrawnEnd(line);
    int lineEnd = TextWidth(canvas, start, drawnEnd - start, false);
    if (line.EndsWithHyphen)
        lineEnd += DashWidth(canvas, Fonts.RunAt(drawnEnd - 1));
    const int baseline = line.Baseline();
    for (const TInlineSpan& span : spans) {
        if (span.Start >= end || span.End <= start)
            continue;
        BorderRec b;
        b.Record = span.Record;
        b.OpenAtStart = span.Start < start;
        b.OpenAtEnd = span.End > end;
        b.PieceStart = std::max(span.Start, start);
        b.PieceEnd = std::min(span.End, end);
        b.ContentRect.left = b.OpenAtStart ? 0 : TextWidth(canvas, start, b.PieceStart - start, false);
        b.ContentRect.right = b.OpenAtEnd || b.PieceEnd >= drawnEnd
                                  ? lineEnd
                                  : TextWidth(canvas, start, b.PieceEnd - start, false);
        int top = INT_MAX, bottom = INT_MIN;
        for (int r = Fonts.RunIndexAt(b.PieceStart), last = Fonts.RunIndexAt(std::max(b.PieceStart, b.PieceEnd - 1));
             r <= last; ++r) {
            top = std::min(top, baseline + Fonts[r].Descent - Fonts[r].FontHeight + 1);
            bottom = std::max(bottom, baseline + Fonts[r].Descent);
        }
        b.ContentRect.top = top;
        b.ContentRect.bottom = bottom;
        Borders.push_back(b);
    }
    canvas.SetTextJustification(0, 0);
    line.InlineBorderCount = static_cast<int>(Borders.size()) - line.FirstInlineBorder;
}

// ---------------------------------------------------------------------------------------------------------------
// Painting

int TSection::Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int, int)
{
    const int result = PaintTop + BoxHeight;
    ThtDocument& doc = *Document;
    const int viewTop = doc.ViewTop;
    // 1.
    if (CharCount == 0 || Lines.empty() || PaintTop + VisibleHeight + LineReach - viewTop < clip.top ||
        PaintTop - LineReach - viewTop > clip.bottom)
        return result;
    // 2.
    const unsigned align = canvas.GetTextAlign();
    canvas.SetTextAlign(platform::TaLeft | platform::TaBaseline);
    const bool caret = doc.ShowDummyCaret && doc.SelStart >= doc.SelEnd;
    const TLinePaint how{x - LayoutX, doc.SelStart - FirstChar, doc.SelEnd - FirstChar,
                         caret ? doc.CaretPos - FirstChar : -1,
                         Rect{indents.LeftOffset, 0, x + indents.PaintClipWidth, 0}};
    // 3. Line tops only grow: the first line that can reach the clip is found by its top.
    const int from = clip.top + viewTop - LineReach - TallestLine;
    auto line = std::partition_point(Lines.begin(), Lines.end(), [&](const LineRec& l) { return l.Top < from; });
    for (; line != Lines.end() && line->Top - LineReach - viewTop <= clip.bottom; ++line) {
        const int top = line->Top - viewTop;
        if (top + line->ExtentHeight + LineReach < clip.top || line->LineChars == 0)
            continue;
        // A line the page cut would split starts the next page, unless it could never fit on one.
        if (doc.Printing && line->Top + line->FullHeight() > doc.PageCutY && line->FullHeight() < clip.Height()) {
            doc.PageCutY = std::min(doc.PageCutY, line->Top);
            break;
        }
        // 4.
        const int lineX = x + line->LineIndent;
        for (int i = 0; i < line->InlineBorderCount; ++i)
            PaintInlineBorder(Borders[std::size_t(line->FirstInlineBorder + i)], canvas, lineX, top);
        PaintLine(canvas, *line, lineX, top, how);
    }
    canvas.SetTextAlign(align);
    // 5. Floats are drawn after all sections, wherever their line is.
    for (const auto& object : Objects.Objects) {
        const int top = object->LayoutY - viewTop;
        if (object->Floats() && top <= clip.bottom && top + object->Height >= clip.top)
            doc.DeferredDraws.push_back({object.get(), &Fonts.RunAt(object->Pos), object->LayoutX + how.Shift, top});
    }
    return result;
}

// The line in pieces: cut where the run, an object or control, the selection or the caret changes.
void TSection::PaintLine(platform::PaintCanvas& canvas, LineRec& line, int x, int top, const TLinePaint& how)
{
    line.PaintedX = x;
    line.PaintedY = line.Top + line.GapAbove;
    const int baseline = top + line.Baseline();
    const Rect preClip{how.PreClip.left, top, how.PreClip.right, top + line.FullHeight()};
    const int end = DrawnEnd(line);
    auto drawCaret = [&](const TFontObj& run, int at) {
        canvas.FillRect(Rect{at, top + line.GapAbove, at + 1, top + line.GapAbove + run.FontHeight},
                        run.Font->FontColor);
    };
    canvas.SetTextJustification(line.JustifyExtra, line.JustifySpaces);
    for (int pos = line.LineStart; pos < end;) {
        const char16_t c = Text[static_cast<std::size_t>(pos)];
        const TFontObj& run = Fonts.RunAt(pos);
        if (pos == how.Caret)
            drawCaret(run, x);
        if (TFloatingObj* object = c == ObjectMark ? Objects.FindObject(pos) : nullptr) {
            if (!object->Floats()) {
                object->Draw(canvas, x + object->LeftGap, run, baseline, top);
                canvas.SetTextJustification(line.JustifyExtra, line.JustifySpaces);
                x += object->HorizontalExtent();
            }
            ++pos;
            continue;
        }
        if (TFormControlObj* control = c == ControlMark ? ControlAt(pos) : nullptr) {
            // Where the line made room for it, by its alignment.
            const int height = control->Height() + control->VSpaceT + control->VSpaceB;
            int y = 0;
            switch (control->VertAlign) {
            case 1: y = top + control->VSpaceT; break;
            case 2: y = top + line.GapAbove + line.LineHeight / 2 - control->Height() / 2; break;
            case 3: y = baseline - height + control->VSpaceT; break;
            default: y = top + line.GapAbove + line.LineHeight - height + control->VSpaceT; break;
            }
            control->PlaceForPaint(canvas, x + control->HSpaceL, y);
            x += control->HorizontalExtent();
            ++pos;
            continue;
        }
        int piece = std::min({end - pos, Fonts.CharsToNextRun(pos, CharCount), std::max(1, NextMarkDistance(pos))});
        for (int cut : {how.SelStart, how.SelEnd, how.Caret})
            if (cut > pos && cut < pos + piece)
                piece = cut - pos;
        const bool selected = pos >= how.SelStart && pos < how.SelEnd;
        x += PaintText(canvas, run, x, baseline, pos, piece, selected, preClip);
        pos += piece;
    }
    if (line.EndsWithHyphen && end > line.LineStart) {
        const TFontObj& run = Fonts.RunAt(end - 1);
        canvas.SetTextJustification(0, 0);
        x += PaintText(canvas, run, x, baseline, -1, 0, false, preClip);
    }
    // A caret after the last character of the document.
    if (how.Caret >= end && how.Caret <= line.LineStart + line.LineChars && &line == &Lines.back())
        drawCaret(Fonts.Last(), x);
    canvas.SetTextJustification(0, 0);
}

// One piece of text in its run's font and colours; a start of -1 draws the hyphen of a broken word. Returns the
// width the piece takes on the line.
int TSection::PaintText(platform::PaintCanvas& canvas, const TFontObj& run, int x, int baseline, int start,
                        int count, bool selected, const Rect& clip)
{
    const TMyFont& font = *run.Font;
    UseFont(canvas, font);
    Color text = font.FontColor;
    const Color back = font.BackColor;
    // Selected text is drawn in reverse: on its own colour, in its background's (or the inverse of its colour).
    if (selected) {
        canvas.SetBkMode(platform::BkMode::Opaque);
        canvas.SetBkColor(text);
        text = back != clNone ? back : Inverted(text);
    } else if (back != clNone) {
        canvas.SetBkMode(platform::BkMode::Opaque);
        canvas.SetBkColor(back);
    } else {
        canvas.SetBkMode(platform::BkMode::Transparent);
    }
    canvas.SetTextColor(text);
    int y = baseline;
    if (run.ShiftKind == std::uint8_t(AlignmentCode::Sub))
        y += run.Descent / 2 + 1;
    else if (run.ShiftKind == std::uint8_t(AlignmentCode::Super))
        y -= run.FontHeight / 3;
    const u16v piece = start < 0 ? u16v(u"-") : u16v(Text).substr(std::size_t(start), std::size_t(count));
    const bool cut = IsPreformatted() && !(EnclosingBlock && EnclosingBlock->ClipsOverflow);
    const int width = cut ? canvas.TextOutClipped(x, y, clip, piece) : canvas.TextOut(x, y, piece);
    if (run.Focused && !Document->NoTabLink)
        canvas.DrawFocusRect(Rect{x, baseline - font.Ascent(), x + width, baseline + font.Descent});
    return width + (start < 0 ? 0 : run.Overhang);
}

// ---------------------------------------------------------------------------------------------------------------
// Questions about points

int TSection::LineIndexAt(int y) const
{
    const auto line = std::partition_point(Lines.begin(), Lines.end(),
                                           [&](const LineRec& l) { return l.Top + l.FullHeight() <= y; });
    return line == Lines.end() ? -1 : static_cast<int>(line - Lines.begin());
}

int TSection::CountInWidth(platform::Canvas& canvas, int start, int width, int maxCount, int* fitted) const
{
    TCountCache& cache = countCache_;
    if (cache.Start != start || cache.Width != width || cache.MaxCount != maxCount) {
        int count = 0, used = 0;
        while (count < maxCount) {
            const int pos = start + count;
            const char16_t c = Text[static_cast<std::size_t>(pos)];
            const TFormControlObj* control = c == ControlMark ? ControlAt(pos) : nullptr;
            const TFloatingObj* object = c == ObjectMark ? Objects.FindObject(pos) : nullptr;
            if (control || object) {
                const int extent = control ? control->HorizontalExtent() : object->Floats() ? 0 : object->HorizontalExtent();
                if (used + extent > width)
                    break;
                used += extent;
                ++count;
                continue;
            }
            const int piece = std::min({maxCount - count, Fonts.CharsToNextRun(pos, CharCount),
                                        std::max(1, NextMarkDistance(pos))});
            const TFontObj& run = Fonts.RunAt(pos);
            UseFont(canvas, *run.Font);
            int fit = 0;
            const int n = canvas.FitCount(u16v(Text).substr(std::size_t(pos), std::size_t(piece)), width - used, fit);
            used += fit;
            count += n;
            if (n < piece)
                break;
            used += run.Overhang;
        }
        cache = TCountCache{start, width, maxCount, count, used};
    }
    if (fitted)
        *fitted = cache.Fitted;
    return cache.Count;
}

int TSection::PointToCaret(platform::Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                           bool& insideText)
{
    const int index = LineIndexAt(y);
    if (index < 0)
        return -1;
    const LineRec& line = Lines[std::size_t(index)];
    if (x < line.PaintedX - 10 || x > line.PaintedX + line.AvailableWidth)
        return -1;
    caretY = line.Top + line.GapAbove;
    caretHeight = line.LineHeight;
    insideText = true;
    if (x < line.PaintedX) {
        insideText = false;
        caretX = line.PaintedX;
        return FirstChar + line.LineStart;
    }
    canvas.SetTextJustification(line.JustifyExtra, line.JustifySpaces);
    int fitted = 0;
    int n = CountInWidth(canvas, line.LineStart, x - line.PaintedX, line.LineChars, &fitted);
    caretX = line.PaintedX + fitted;
    if (n < line.LineChars) {
        // Past the middle of the next character, the caret goes after it.
        const int next = TextWidth(canvas, line.LineStart + n, 1, false);
        if (x > caretX + next / 2) {
            caretX += next;
            ++n;
        }
    } else {
        insideText = false;
    }
    canvas.SetTextJustification(0, 0);
    return FirstChar + line.LineStart + n;
}

THitKinds TSection::HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                            TFormControlObj*& control, u16& title)
{
    target.reset();
    control = nullptr;
    title.clear();
    if (!Objects.Empty())
        if (const THitKinds found = HitImage(x, y, target, title)) {
            if (found & hkControl)
                control = Document->HoveredImage->FormControl;
            return found;
        }
    const int index = LineIndexAt(y);
    if (index < 0)
        return 0;
    const LineRec& line = Lines[std::size_t(index)];
    if (y < line.PaintedY || y > line.PaintedY + line.LineHeight || x < line.PaintedX || line.LineChars == 0)
        return 0;
    canvas.SetTextJustification(line.JustifyExtra, line.JustifySpaces);
    const int n = CountInWidth(canvas, line.LineStart, x - line.PaintedX, line.LineChars);
    canvas.SetTextJustification(0, 0);
    const int pos = line.LineStart + n;
    if (n >= line.LineChars || pos >= DrawnEnd(line) || Text[std::size_t(pos)] == ObjectMark)
        return 0;
    TFontObj& run = Fonts.RunAt(pos);
    THitKinds found = 0;
    if (run.IsLink()) {
        target = std::make_unique<TUrlTarget>(run.LinkTarget);
        Document->HoveredRun = &run;
        found |= hkLink;
    }
    if (!run.Title.empty()) {
        title = run.Title;
        found |= hkTitle;
    }
    return found;
}

// A picture under the point answers with its title, and with the link of its map's area, or else with the link
// around it (a server-side map gets the point appended). It becomes the document's hovered picture.
THitKinds TSection::HitImage(int x, int y, std::unique_ptr<TUrlTarget>& target, u16& title)
{
    int insideX = 0, insideY = 0;
    TImageObj* image = Objects.HitTest(x, y, insideX, insideY);
    if (!image)
        return 0;
    ThtDocument& doc = *Document;
    doc.HoveredImage = image;
    THitKinds found = 0;
    if (!image->Title.empty()) {
        title = image->Title;
        found |= hkTitle;
    }
    // An image input answers as its control, which keeps where the pointer is for the click that follows.
    if (TImageFormControlObj* input = image->FormControl) {
        input->PointerX = insideX;
        input->PointerY = insideY;
        return found | hkControl;
    }
    if (const TMapItem* map = image->Map()) {
        TUrlTarget link;
        u16 areaTitle;
        if (map->FindLink(insideX, insideY, areaTitle, link)) {
            target = std::make_unique<TUrlTarget>(std::move(link));
            found |= hkLink;
            if (!areaTitle.empty()) {
                title = std::move(areaTitle);
                found |= hkTitle;
            }
        }
        return found;
    }
    TFontObj& run = Fonts.RunAt(image->Pos);
    if (run.IsLink()) {
        target = std::make_unique<TUrlTarget>(run.LinkTarget);
        if (image->IsMap)
            target->Url += u"?" + IntToStr(insideX) + u"," + IntToStr(insideY);
        doc.HoveredRun = &run;
        found |= hkLink;
    }
    return found;
}

bool TSection::HitObject(int x, int y, TFloatingObj*& object, int& objectX, int& objectY)
{
    object = Objects.HitTest(x, y, objectX, objectY);
    return object != nullptr;
}

// ---------------------------------------------------------------------------------------------------------------
// The selection as text

void TSection::CopySelection()
{
    const ThtDocument& doc = *Document;
    SelTextCount* sink = doc.CurrentSink;
    if (!sink || CharCount == 0)
        return;
    const int from = std::max(doc.SelStart - FirstChar, 0);
    int to = std::min(doc.SelEnd - FirstChar, CharCount);
    // The space every section ends with is the section's, not the text's.
    if (to == CharCount && to > from && Text.back() == u' ')
        --to;
    if (to > from)
        sink->AppendText(u16v(Text).substr(std::size_t(from), std::size_t(to - from)));
    if (doc.SelEnd > FirstChar + CharCount)
        sink->AppendText(u"\r\n");
}

} // namespace lantern
