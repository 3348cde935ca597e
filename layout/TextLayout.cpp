// Text sections: measuring, fitting, line breaking and widths.
#include "layout/TextSection.h"

#include "layout/Document.h"
#include "layout/IndentManager.h"
#include "platform/Canvas.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace lantern {

namespace {

constexpr int MeasureChunk = 256;

constexpr bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

// A character that takes no part in drawn text width at a line end.
bool IsTrailingBlank(char16_t c)
{
    return c == u' ' || c == LineBreakMark;
}

} // namespace

// Selecting the font a canvas already has would only copy a shared handle; measuring selects per piece.
void TSection::UseFont(platform::Canvas& canvas, const TMyFont& font)
{
    if (canvas.CurrentFont() != font.Handle)
        canvas.SelectFont(font.Handle);
    canvas.SetTextCharacterExtra(font.LetterSpacing);
}

// ---------------------------------------------------------------------------------------------------------------
// Measuring

TFormControlObj* TSection::ControlAt(int pos) const
{
    auto it = std::lower_bound(Controls.begin(), Controls.end(), pos,
                               [](const TFormControlObj* c, int p) { return c->Pos < p; });
    return it != Controls.end() && (*it)->Pos == pos ? *it : nullptr;
}

int TSection::NextMarkDistance(int pos) const
{
    int distance = Objects.DistanceToNextObject(pos);
    auto it = std::lower_bound(Controls.begin(), Controls.end(), pos,
                               [](const TFormControlObj* c, int p) { return c->Pos < p; });
    if (it != Controls.end())
        distance = std::min(distance, (*it)->Pos - pos);
    return distance;
}

int TSection::DashWidth(platform::Canvas& canvas, const TFontObj& run) const
{
    UseFont(canvas, *run.Font);
    return canvas.TextWidth(u"-");
}

int TSection::TextWidth(platform::Canvas& canvas, int start, int count, bool dropTrailing) const
{
    if (dropTrailing)
        while (count > 0 && IsTrailingBlank(Text[static_cast<std::size_t>(start + count - 1)]))
            --count;
    int width = 0;
    const int end = start + count;
    for (int pos = start; pos < end;) {
        if (const TFormControlObj* control = Text[pos] == ControlMark ? ControlAt(pos) : nullptr) {
            width += control->HorizontalExtent();
            ++pos;
            continue;
        }
        if (const TFloatingObj* object = Text[pos] == ObjectMark ? Objects.FindObject(pos) : nullptr) {
            if (!object->Floats())
                width += object->HorizontalExtent();
            ++pos;
            continue;
        }
        const int piece = std::min({end - pos, Fonts.CharsToNextRun(pos, CharCount), NextMarkDistance(pos)});
        const TFontObj& run = Fonts.RunAt(pos);
        UseFont(canvas, *run.Font);
        width += canvas.TextWidth(u16v(Text).substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(piece))) +
                 run.Overhang;
        pos += piece;
    }
    return width;
}

// ---------------------------------------------------------------------------------------------------------------
// Fitting

int TSection::CountThatFits(platform::Canvas& canvas, TLineWork& work, int start, int maxCount,
                            TIndentManager& indents) const
{
    // 1. A forced break inside the range ends the line after it. The next one is searched for only once the
    // lines have passed the last one found.
    if (work.NextBreak < start) {
        const std::size_t at = Text.find(LineBreakMark, static_cast<std::size_t>(start));
        work.NextBreak = at == u16::npos ? CharCount : static_cast<int>(at);
    }
    work.MeasuredStart = -1;
    bool forced = false;
    if (work.NextBreak < start + maxCount) {
        if (work.NextBreak == start)
            return 1;
        maxCount = work.NextBreak - start;
        forced = true;
    }
    const int tail = forced ? 1 : 0;

    // 2.
    const int indent = start == 0 ? TextIndent : 0;
    auto edges = [&] {
        work.Left = indents.LeftEdgeAt(work.Y) + indent;
        work.Right = indents.RightEdgeAt(work.Y);
    };
    edges();

    // 3. Every advance of a font is at most its MaxCharWidth (the font service guarantees that), plus the
    // letter spacing the canvas adds after each unit; so when maxCount of the widest possible characters fit,
    // the character-by-character walk below would also take every character.
    const TFontObj& startRun = Fonts.RunAt(start);
    // The walk could still give back the last character for a "-" that does not fit, so that case walks.
    if (NextMarkDistance(start) >= maxCount && Fonts.CharsToNextRun(start, CharCount) >= maxCount &&
        BreakClasses[static_cast<std::size_t>(start + maxCount - 1)] != BreakSoftHyphen) {
        const std::int64_t widest =
            std::int64_t(std::max(0, startRun.MaxCharWidth + startRun.Font->LetterSpacing)) * maxCount;
        if (work.Right - work.Left >= widest)
            return maxCount + tail;
    }

    // 4. Walk pieces with a running width.
    work.MeasuredStart = start;
    int count = 0;
    int used = 0;
    while (count < maxCount) {
        const int width = work.Right - work.Left;
        const int pos = start + count;
        if (TFormControlObj* control = Text[pos] == ControlMark ? ControlAt(pos) : nullptr) {
            if (used + control->HorizontalExtent() > width)
                break;
            used += control->HorizontalExtent();
            work.KeepEnd(count++, used);
            continue;
        }
        if (TFloatingObj* object = Text[pos] == ObjectMark ? Objects.FindObject(pos) : nullptr) {
            if (!object->Floats()) {
                if (used + object->HorizontalExtent() > width)
                    break;
                used += object->HorizontalExtent();
                work.KeepEnd(count++, used);
                continue;
            }
            const int index = Objects.IndexFrom(pos);
            if (index < work.FloatsDone) {
                work.KeepEnd(count++, used); // placed before: it takes no room in the line
                continue;
            }
            // Place the float now; the line is measured again from its start against the new edges.
            int lineHeight = 0;
            for (int r = Fonts.RunIndexAt(start), last = Fonts.RunIndexAt(pos); r <= last; ++r)
                lineHeight = std::max(lineHeight, Fonts[r].FontHeight);
            work.FloatY = std::max(work.FloatY, work.Y);
            int y = work.FloatY;
            const int extent = object->HorizontalExtent();
            if (object->FloatSide == AlignmentCode::Left) {
                indents.PlaceLeftFloat(y, extent, lineHeight, used);
                const IndentRec rec = indents.AddLeftFloat(y, y + object->VerticalExtent(), extent);
                object->LayoutX = rec.X + indents.LeftOffset - extent + object->LeftGap;
            } else {
                indents.PlaceRightFloat(y, extent, lineHeight, used);
                const IndentRec rec = indents.AddRightFloat(y, y + object->VerticalExtent(), extent);
                object->LayoutX = rec.X + indents.LeftOffset + object->LeftGap;
            }
            object->LayoutY = y + object->TopGap;
            work.FloatY = y;
            work.FloatsDone = index + 1;
            edges();
            count = 0;
            used = 0;
            continue;
        }
        // A text piece, fitted a chunk at a time so that the end of every character fitted is kept for
        // FinishLine. Units advance one by one with no state carried between them (justification is off while
        // laying out), so fitting in chunks counts exactly what fitting the piece at once would; a chunk never
        // ends between the halves of a surrogate pair.
        const int piece =
            std::min({maxCount - count, Fonts.CharsToNextRun(pos, CharCount), std::max(1, NextMarkDistance(pos))});
        const TFontObj& run = Fonts.RunAt(pos);
        UseFont(canvas, *run.Font);
        bool stopped = false;
        for (int done = 0; done < piece;) {
            int chunk = std::min(piece - done, MeasureChunk);
            if (chunk < piece - done && IsHighSurrogate(Text[static_cast<std::size_t>(pos + done + chunk - 1)]))
                --chunk;
            const std::size_t at = static_cast<std::size_t>(count + done);
            work.Ends.resize(at + static_cast<std::size_t>(chunk));
            const std::span<int> ends(work.Ends.data() + at, static_cast<std::size_t>(chunk));
            int n = canvas.FitCount(u16v(Text).substr(static_cast<std::size_t>(pos + done), ends.size()), width - used,
                                    ends);
            const int fitted = n > 0 ? ends[static_cast<std::size_t>(n - 1)] : 0;
            // A line may end after a soft-hyphen position only when the drawn "-" fits as well.
            if ((n < chunk || done + chunk == piece) && n > 0 &&
                BreakClasses[static_cast<std::size_t>(pos + done + n - 1)] == BreakSoftHyphen &&
                fitted + canvas.TextWidth(u"-") > width - used)
                --n;
            for (int k = 0; k < n; ++k)
                ends[static_cast<std::size_t>(k)] += used;
            done += n;
            if (n < chunk) {
                count += done;
                stopped = true;
                break;
            }
            used += fitted;
        }
        if (stopped)
            break;
        count += piece;
        used += run.Overhang;
    }
    work.Measured = count;
    // 5.
    return count == maxCount ? count + tail : count;
}

// ---------------------------------------------------------------------------------------------------------------
// Line breaking

int TSection::Layout(platform::Canvas& canvas, int x, int y, int, int, int availableWidth, int availableHeight,
                     int blockHeight, TIndentManager& indents, int& maxWidth, int& counter)
{
    // 1.
    PaintTop = BoxTop = VisibleTop = y;
    LayoutX = x;
    FirstChar = counter;
    BoxHeight = 0;
    Lines.clear();
    Borders.clear();
    TallestLine = 0;
    countCache_.Start = -1;
    WidestLine = 0;
    if (CharCount == 0) {
        BoxHeight = indents.ClearSpace(ClearKind, y);
        maxWidth = 0;
        RightEdge = 0;
        EndLayout(y, counter);
        return BoxHeight;
    }
    // 2.
    if (TextIndentPercent != 0)
        TextIndent = TextIndentPercent * availableWidth / 100;
    // 3.
    RightEdge = indents.RightEdgeAt(y) - x;
    const int objectWidth = std::min(indents.RightEdgeAt(y) - indents.LeftEdgeAt(y), availableWidth);
    maxWidth = objectWidth;
    const int objectHeight = availableHeight != 0 ? availableHeight : blockHeight;
    // 4.
    LayOutObjects(canvas, objectWidth, objectHeight, maxWidth);
    // 5.
    TLineWork work;
    work.X = x;
    work.Y = work.FloatY = y;
    work.NextBreak = FirstLineBreak;
    work.MaxWidth = maxWidth;
    if (!Document->InlineList.Empty())
        work.Spans = InlineSpans();
    BreakLines(canvas, work, indents);
    maxWidth = work.MaxWidth;
    // 6.-8.
    EndLayout(y, counter);
    return BoxHeight;
}

void TSection::LayOutObjects(platform::Canvas& canvas, int width, int height, int& maxWidth)
{
    for (const auto& object : Objects.Objects) {
        object->MeasureObject(canvas, Fonts.RunAt(object->Pos), height, width);
        maxWidth = std::max(maxWidth, object->Width);
    }
    for (TFormControlObj* control : Controls) {
        if (control->PercentWidth)
            control->SetWidth(std::max(
                10, std::min(control->StyleWidth * width / 100, width - control->HSpaceL - control->HSpaceR)));
        maxWidth = std::max(maxWidth, control->Width());
    }
}

void TSection::AddSpacerLine(TLineWork& work, int start, int height)
{
    LineRec line;
    line.Top = work.Y;
    line.LineStart = start;
    line.LineHeight = height;
    line.ExtentHeight = height;
    Lines.push_back(line);
    TallestLine = std::max(TallestLine, height);
    BoxHeight += height;
    work.Y += height;
}

void TSection::BreakLines(platform::Canvas& canvas, TLineWork& work, TIndentManager& indents)
{
    if (const int clear = indents.ClearSpace(ClearKind, work.Y); clear > 0)
        AddSpacerLine(work, 0, clear);
    const bool oneLine = IsPreformatted() && !BreakWord;
    for (int start = 0; start < CharCount;) {
        const int remaining = CharCount - start;
        // a.
        int fit = oneLine ? remaining : CountThatFits(canvas, work, start, remaining, indents);
        // b. Nothing fits beside a float: go below it.
        if (fit == 0 && indents.NextFloatEnd(work.Y) > work.Y) {
            AddSpacerLine(work, start, indents.NextFloatEnd(work.Y) - work.Y);
            continue;
        }
        fit = std::max(fit, 1);
        // c., d.
        int count = remaining;
        bool overlong = false;
        if (fit < remaining) {
            LineEnd kind = LineEnd::Break;
            count = ChooseLineEnd(work, start, fit, indents, kind);
            if (kind == LineEnd::BelowFloat) {
                AddSpacerLine(work, start, indents.NextFloatEnd(work.Y) - work.Y);
                continue;
            }
            overlong = kind == LineEnd::Overlong;
        }
        // e.
        const int width = FinishLine(canvas, work, start, count, indents);
        // An overlong word widens the scroll extent to where its line ends.
        if (overlong)
            work.MaxWidth = std::max(work.MaxWidth, Lines.back().LineIndent + width);
        start += count;
    }
}

int TSection::SpacesFrom(int pos) const
{
    int n = 0;
    while (pos + n < CharCount && Text[static_cast<std::size_t>(pos + n)] == u' ')
        ++n;
    return n;
}

// How many characters from start the line holds when `fit` of them fit (step d).
int TSection::ChooseLineEnd(TLineWork& work, int start, int fit, TIndentManager& indents, LineEnd& kind) const
{
    kind = LineEnd::Break;
    const int last = start + fit - 1;
    const int next = start + fit;
    const char16_t lastChar = Text[static_cast<std::size_t>(last)];
    const char lastClass = BreakClasses[static_cast<std::size_t>(last)];
    const char16_t nextChar = Text[static_cast<std::size_t>(next)];
    const char nextClass = BreakClasses[static_cast<std::size_t>(next)];
    auto classAt = [&](int i) { return BreakClasses[static_cast<std::size_t>(i)]; };

    if (lastChar == LineBreakMark)
        return fit;
    // The line ends after a space, a mark or an ideograph, taking the spaces that follow.
    if (lastClass != BreakNever && (lastChar == u' ' || lastChar == ControlMark || lastChar == ObjectMark ||
                                    IsIdeograph(lastChar)))
        return fit + SpacesFrom(next);
    if (nextChar == u' ' && nextClass != BreakNever)
        return fit + SpacesFrom(next);
    if ((nextChar == ObjectMark || nextChar == ControlMark) && nextClass != BreakNever)
        return fit;
    // Back to the last break opportunity on the line. Breaking after the line's first character would leave it
    // alone on the line; that is kept for an object or control standing there.
    const char16_t first = Text[static_cast<std::size_t>(start)];
    const bool markFirst = (first == ObjectMark || first == ControlMark) && classAt(start) != BreakNever;
    for (int i = last; i >= start; --i) {
        const char cls = classAt(i);
        if (cls == BreakNever)
            continue;
        const char16_t c = Text[static_cast<std::size_t>(i)];
        const bool after = (cls == BreakOpportunity || cls == BreakSoftHyphen || IsBreakChar(c)) &&
                           (i > start || markFirst);
        const bool beforeIdeograph = i + 1 < CharCount && IsIdeograph(Text[static_cast<std::size_t>(i + 1)]) &&
                                     classAt(i + 1) != BreakNever;
        if (after || beforeIdeograph)
            return i + 1 - start + SpacesFrom(i + 1);
    }
    if (BreakWord)
        return fit;
    // The word is longer than the line: below a float it may find room, else it stands whole on its own line.
    if (indents.NextFloatEnd(work.Y) > work.Y) {
        kind = LineEnd::BelowFloat;
        return 0;
    }
    kind = LineEnd::Overlong;
    int end = ExtendOverlongWord(next);
    end += SpacesFrom(end);
    if (end < CharCount && Text[static_cast<std::size_t>(end)] == LineBreakMark)
        ++end;
    return end - start;
}

// The end of the word that starts before `from`: after a hyphen-like character or a break class, or before a
// break character that may wrap.
int TSection::ExtendOverlongWord(int from) const
{
    for (int j = from; j < CharCount; ++j) {
        const char cls = BreakClasses[static_cast<std::size_t>(j)];
        const char16_t c = Text[static_cast<std::size_t>(j)];
        if ((IsHyphenLike(c) && cls != BreakNever) || cls == BreakOpportunity || cls == BreakSoftHyphen)
            return j + 1;
        if (j + 1 < CharCount && BreakClasses[static_cast<std::size_t>(j + 1)] != BreakNever &&
            IsBreakChar(Text[static_cast<std::size_t>(j + 1)]))
            return j + 1;
    }
    return CharCount;
}

// The width of the line's text without its trailing blanks: from the ends fitting kept when it measured this
// line that far, else measured again. Fitting counted each finished piece's overhang; the last piece's is added.
int TSection::DrawnWidth(platform::Canvas& canvas, const TLineWork& work, int start, int count) const
{
    int last = start + count - 1;
    while (last >= start && IsTrailingBlank(Text[static_cast<std::size_t>(last)]))
        --last;
    if (last < start)
        return 0;
    if (work.MeasuredStart != start || last - start >= work.Measured)
        return TextWidth(canvas, start, count, true);
    const char16_t c = Text[static_cast<std::size_t>(last)];
    const bool mark = (c == ObjectMark && Objects.FindObject(last)) || (c == ControlMark && ControlAt(last));
    return work.Ends[static_cast<std::size_t>(last - start)] + (mark ? 0 : Fonts.RunAt(last).Overhang);
}

// Makes the line of count characters from start at work.Y and returns its text width.
int TSection::FinishLine(platform::Canvas& canvas, TLineWork& work, int start, int count, TIndentManager& indents)
{
    const int end = start + count;
    LineRec line;
    // 1.
    bool objectsOnly = !(count == 1 && Text[static_cast<std::size_t>(start)] == LineBreakMark);
    for (int i = start; i < end && objectsOnly; ++i) {
        const char16_t c = Text[static_cast<std::size_t>(i)];
        objectsOnly = c == ControlMark || c == ObjectMark || c == LineBreakMark || i == CharCount - 1;
    }
    // 2.
    if (!objectsOnly)
        for (int r = Fonts.RunIndexAt(start), last = Fonts.RunIndexAt(end - 1); r <= last; ++r) {
            line.LineHeight = std::max(line.LineHeight, Fonts[r].FontHeight);
            line.Descent = std::max(line.Descent, Fonts[r].Descent);
        }
    // 3. The leading is shared out half above and half below, the odd pixel below.
    if (!objectsOnly && LineHeight >= 0 && LineHeight != line.LineHeight) {
        const int extra = LineHeight - line.LineHeight;
        line.GapAbove = extra / 2;
        line.GapBelow = extra - line.GapAbove;
    }
    // 4. Inline objects stand on the line and may make it taller.
    int tallestObject = 0;
    for (int i = Objects.IndexFrom(start); i < Objects.Count() && Objects[i].Pos < end; ++i) {
        TFloatingObj& object = Objects[i];
        if (object.Floats())
            continue;
        object.LayoutY = work.Y;
        const int h = object.VerticalExtent();
        tallestObject = std::max(tallestObject, h);
        switch (object.VertAlign) {
        case AlignmentCode::Top:
            line.GapBelow = std::max(line.GapBelow, h - line.LineHeight);
            break;
        case AlignmentCode::Middle: {
            if (line.LineHeight == 0) {
                const TFontObj& run = Fonts.RunAt(object.Pos);
                line.LineHeight = run.FontHeight;
                line.Descent = run.Descent;
            }
            const int excess = h - line.LineHeight;
            line.GapAbove = std::max(line.GapAbove, excess / 2);
            line.GapBelow = std::max(line.GapBelow, excess - excess / 2);
            break;
        }
        default:
            line.GapAbove = std::max(line.GapAbove, h + line.Descent - line.LineHeight);
            break;
        }
    }
    // 5. Controls likewise, by their own alignment codes.
    for (auto it = std::lower_bound(Controls.begin(), Controls.end(), start,
                                    [](const TFormControlObj* c, int p) { return c->Pos < p; });
         it != Controls.end() && (*it)->Pos < end; ++it) {
        TFormControlObj& control = **it;
        const int h = control.Height() + control.VSpaceT + control.VSpaceB;
        switch (control.VertAlign) {
        case 1: line.GapBelow = std::max(line.GapBelow, h - line.LineHeight); break;
        case 2: {
            const int excess = h - line.LineHeight;
            line.GapBelow = std::max(line.GapBelow, control.VSpaceB + excess / 2);
            line.GapAbove = std::max(line.GapAbove, excess - excess / 2 - control.VSpaceB);
            break;
        }
        case 3: line.GapAbove = std::max(line.GapAbove, h + line.Descent - line.LineHeight); break;
        default: line.GapAbove = std::max(line.GapAbove, h - line.LineHeight); break;
        }
        if (!Document->IsPrintCopy)
            control.YValue = work.Y;
    }
    // 7.
    line.LineStart = start;
    line.LineChars = count;
    const char16_t lastChar = Text[static_cast<std::size_t>(end - 1)];
    line.EndsWithHyphen = BreakClasses[static_cast<std::size_t>(end - 1)] == BreakSoftHyphen;
    // 8.
    const int left = indents.LeftEdgeAt(work.Y) + (start == 0 ? TextIndent : 0);
    const int right = indents.RightEdgeAt(work.Y);
    int textWidth = DrawnWidth(canvas, work, start, count);
    if (line.EndsWithHyphen)
        textWidth += DashWidth(canvas, Fonts.RunAt(end - 1));
    WidestLine = std::max(WidestLine, textWidth);
    // 9.
    switch (TextAlign) {
    case 2: line.LineIndent = (left + right - textWidth) / 2 - work.X; break;
    case 3: line.LineIndent = right - work.X - textWidth; break;
    default: line.LineIndent = left - work.X; break;
    }
    // Justification spreads over the spaces that are drawn; the last line and a line closed by a forced break
    // keep their natural spacing.
    if (TextAlign == 4 && end < CharCount && lastChar != LineBreakMark) {
        line.JustifyExtra = right - left - textWidth;
        line.JustifySpaces = static_cast<int>(std::count(Text.begin() + start, Text.begin() + end - 1, u' '));
    }
    // 10.
    line.Top = work.Y;
    line.AvailableWidth = right - left;
    line.Width = textWidth;
    const int height = line.FullHeight();
    line.ExtentHeight = std::max(height, tallestObject);
    TallestLine = std::max(TallestLine, line.ExtentHeight);
    if (!work.Spans.empty())
        MeasureLineBorders(canvas, line, work.Spans);
    Lines.push_back(line);
    BoxHeight += height;
    work.Y += height;
    return textWidth;
}

void TSection::EndLayout(int startY, int& counter)
{
    // 6.
    counter = FirstChar + CharCount;
    // 7.
    if (int* baseline = Document->FirstLineBaseline; baseline && *baseline == 0 && !Lines.empty()) {
        const LineRec& first = Lines.front();
        *baseline = PaintTop + first.LineHeight + first.GapAbove - first.Descent;
    }
    // 8.
    // Floats count too: the section paints them and answers for them wherever they hang.
    int lowest = startY + BoxHeight;
    for (const auto& object : Objects.Objects)
        lowest = std::max(lowest, object->Floats() ? object->LayoutY + object->Height + object->BottomGap
                                                   : object->LayoutY + object->VerticalExtent());
    VisibleHeight = std::max(BoxHeight, lowest - startY);
    BoxBottom = startY + BoxHeight;
    VisibleBottom = startY + VisibleHeight;
    ThtDocument& doc = *Document;
    if (!doc.IsPrintCopy && Ordinal > 0 && Ordinal % 50 == 0 && ReportedPass != doc.LayoutPass &&
        doc.TextSectionCount > 0 && doc.OnProgress) {
        ReportedPass = doc.LayoutPass;
        doc.OnProgress(Ordinal * (100 - doc.ProgressBase) / doc.TextSectionCount + doc.ProgressBase);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Caret

bool TSection::CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const
{
    if (CharCount == 0 || Lines.empty() || pos < FirstChar || pos >= FirstChar + CharCount)
        return false;
    const int offset = pos - FirstChar;
    int top = BoxTop;
    for (const LineRec& line : Lines) {
        if (line.LineChars > 0 && offset < line.LineStart + line.LineChars) {
            y = top;
            x = line.PaintedX;
            if (canvas) {
                canvas->SetTextJustification(line.JustifyExtra, line.JustifySpaces);
                x += TextWidth(*canvas, line.LineStart, offset - line.LineStart, false);
                canvas->SetTextJustification(0, 0);
            }
            return true;
        }
        top += line.FullHeight();
    }
    return false;
}

// ---------------------------------------------------------------------------------------------------------------
// Widths

int TSection::IndentedFirst(int width) const
{
    if (TextIndentPercent != 0)
        return width * 100 / std::max(1, 100 - TextIndentPercent);
    return width + TextIndent;
}

void TSection::MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth)
{
    // 1.
    if (MinWidthCache >= 1 && Objects.Empty()) {
        minWidth = MinWidthCache;
        maxWidth = MaxWidthCache;
        return;
    }
    minWidth = maxWidth = 0;
    if (CharCount == 0)
        return;
    // 2.
    int floats = 0;
    for (const auto& object : Objects.Objects) {
        if (object->PercentWidth)
            continue;
        object->MeasureObject(canvas, Fonts.RunAt(object->Pos), 0, 0);
        if (object->Floats()) {
            floats += object->HorizontalExtent();
            minWidth = std::max(minWidth, object->HorizontalExtent());
            BreakClasses[static_cast<std::size_t>(object->Pos)] = BreakNormal;
        } else {
            minWidth = std::max(minWidth, object->Width);
        }
    }
    // 3.
    for (const TFormControlObj* control : Controls)
        if (!control->PercentWidth)
            minWidth = std::max(minWidth, control->HorizontalExtent());
    // 4. The widest piece between forced breaks.
    int widest = 0;
    for (int start = 0; start < CharCount;) {
        const std::size_t at = Text.find(LineBreakMark, static_cast<std::size_t>(start));
        const int end = at == u16::npos ? CharCount : static_cast<int>(at);
        int w = TextWidth(canvas, start, end - start, end == CharCount);
        if (start == 0)
            w = IndentedFirst(w);
        widest = std::max(widest, w);
        start = end + 1;
    }
    maxWidth = std::max(widest, floats);
    // 5.
    minWidth = std::max(minWidth, MinWordWidth(canvas));
    // 6.
    MinWidthCache = minWidth;
    MaxWidthCache = maxWidth;
}

// The widest piece no line break can split: a character with break-word, else a word.
int TSection::MinWordWidth(platform::Canvas& canvas) const
{
    int widest = 0;
    if (BreakWord) {
        for (int i = 0; i < CharCount; ++i)
            widest = std::max(widest, TextWidth(canvas, i, 1, false));
        return widest;
    }
    auto cls = [&](int i) { return BreakClasses[static_cast<std::size_t>(i)]; };
    auto at = [&](int i) { return Text[static_cast<std::size_t>(i)]; };
    for (int i = 0; i < CharCount;) {
        const char16_t c = at(i);
        if (c == u' ' || c == LineBreakMark || c == ObjectMark || c == ControlMark) {
            ++i;
            continue;
        }
        int end = i + 1;
        if (!(IsBreakChar(c) && cls(i) == BreakNormal))
            while (end - 1 < CharCount) {
                const int j = end - 1;
                if (cls(j) == BreakOpportunity || cls(j) == BreakSoftHyphen)
                    break;
                if (j + 1 >= CharCount || (IsBreakChar(at(j + 1)) && cls(j + 1) == BreakNormal))
                    break;
                ++end;
            }
        if (end < CharCount && IsHyphenLike(at(end)) && cls(end - 1) != BreakSoftHyphen)
            ++end;
        int w = TextWidth(canvas, i, end - i, false);
        if (cls(end - 1) == BreakSoftHyphen)
            w += DashWidth(canvas, Fonts.RunAt(end - 1));
        if (i == 0)
            w = IndentedFirst(w);
        widest = std::max(widest, w);
        i = end;
    }
    return widest;
}

// ---------------------------------------------------------------------------------------------------------------
// Preformatted text

int TPreFormated::Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth,
                         int availableHeight, int blockHeight, TIndentManager& indents, int& maxWidth, int& counter)
{
    if (CharCount == 0) {
        PaintTop = BoxTop = VisibleTop = y;
        FirstChar = counter;
        Lines.clear();
        BoxHeight = Fonts[0].FontHeight;
        maxWidth = 0;
        EndLayout(y, counter);
        return BoxHeight;
    }
    if (BreakWord)
        return TSection::Layout(canvas, x, y, xRef, yRef, availableWidth, availableHeight, blockHeight, indents,
                                maxWidth, counter);
    // Preformatted lines do not wrap: the manager's width only serves edges that no record covers.
    const int savedWidth = indents.Width;
    indents.Width = 32000;
    int ignored = 0;
    const int height = TSection::Layout(canvas, x, y, xRef, yRef, availableWidth, availableHeight, blockHeight,
                                        indents, ignored, counter);
    indents.Width = savedWidth;
    int minWidth = 0;
    MeasureWidths(canvas, minWidth, maxWidth);
    return height;
}

void TPreFormated::MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth)
{
    if (BreakWord) {
        TSection::MeasureWidths(canvas, minWidth, maxWidth);
        return;
    }
    if (MaxWidthCache == 0 && CharCount > 1)
        MaxWidthCache = TextWidth(canvas, 0, CharCount - 1, false);
    maxWidth = MaxWidthCache;
    minWidth = std::min(maxWidth, 6000);
}

} // namespace lantern
