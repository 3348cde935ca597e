#include "layout/Cell.h"

#include "layout/Document.h"
#include "layout/FontRuns.h"
#include "layout/TextSection.h"

#include <algorithm>

namespace lantern {

TCellBasic::TCellBasic(ThtDocument& document, u16v openingTag) : Document(&document), OpeningTag(openingTag) {}

TCellBasic::~TCellBasic() = default;

void TCellBasic::AddSection(std::unique_ptr<TSectionBase> section, int sourcePos)
{
    if (!section)
        return;
    if (auto* text = dynamic_cast<TSection*>(section.get())) {
        if (!text->Text.empty() && text->CharCount == 0) // collected, not finished yet
            text->FinishText(sourcePos);
        const bool keep = text->CharCount > 0 || text->IsPreformatted() || text->HoldsAnchor || text->ClearKind != 0;
        if (!keep) {
            text->Unlink();
            return;
        }
    }
    section->Document = Document;
    Sections.push_back(std::move(section));
}

int TCellBasic::LayoutCell(platform::Canvas& canvas, int y, int width, int availableHeight, int blockHeight,
                           int& maxWidth, int& counter)
{
    CellTop = y;
    FirstChar = counter;
    maxWidth = 0;
    int height = 0;
    for (const auto& s : Sections) {
        int sectionWidth = 0;
        height += s->Layout(canvas, 0, y + height, 0, 0, width, availableHeight, blockHeight, *Indents,
                            sectionWidth, counter);
        maxWidth = std::max(maxWidth, sectionWidth);
    }
    CharCount = counter - FirstChar;
    OrderForPaint();
    return height;
}

void TCellBasic::OrderForPaint()
{
    std::vector<TSectionBase*> flow;
    flow.reserve(Sections.size());
    for (const auto& s : Sections)
        flow.push_back(s.get());
    PaintOrder.Assign({}, std::move(flow), {});
}

int TCellBasic::PaintCell(platform::PaintCanvas& canvas, const Rect& clip, int, int x, int y, int xRef, int yRef)
{
    if (Sections.empty())
        return y;
    const int viewTop = Document->ViewTop;
    const TSectionBase* last = Sections.back().get();
    bool lastPainted = false;
    PaintOrder.ForEachNear(clip.top + viewTop - PaintReach, clip.bottom + viewTop + PaintReach,
                           [&](TSectionBase& s) {
                               y = s.Paint(canvas, clip, *Indents, x, xRef, yRef);
                               lastPainted = &s == last;
                           });
    // The result is where the last section ends, painted or not.
    return lastPainted ? y : Sections.back()->Paint(canvas, clip, *Indents, x, xRef, yRef);
}

namespace {

bool Spans(const TSectionBase& s, int y)
{
    return s.VisibleTop <= y && y < s.VisibleBottom;
}

} // namespace

THitKinds TCellBasic::HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                              TFormControlObj*& control, u16& title)
{
    target.reset();
    control = nullptr;
    title.clear();
    for (const auto& s : Sections)
        if (Spans(*s, y))
            if (THitKinds found = s->HitLink(canvas, x, y, target, control, title))
                return found;
    return 0;
}

bool TCellBasic::HitObject(int x, int y, TFloatingObj*& object, int& objectX, int& objectY)
{
    object = nullptr;
    for (const auto& s : Sections)
        if (Spans(*s, y) && s->HitObject(x, y, object, objectX, objectY))
            return true;
    return false;
}

int TCellBasic::PointToCaret(platform::Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                             bool& insideText)
{
    for (const auto& s : Sections)
        if (Spans(*s, y))
            if (int pos = s->PointToCaret(canvas, x, y, caretX, caretY, caretHeight, insideText); pos >= 0)
                return pos;
    return -1;
}

int TCellBasic::SearchForward(int from, u16v text, bool matchCase) const
{
    for (const auto& s : Sections)
        if (int pos = s->SearchForward(from, text, matchCase); pos >= 0)
            return pos;
    return -1;
}

int TCellBasic::SearchBackward(int from, u16v text, bool matchCase) const
{
    for (auto it = Sections.rbegin(); it != Sections.rend(); ++it)
        if (int pos = (*it)->SearchBackward(from, text, matchCase); pos >= 0)
            return pos;
    return -1;
}

int TCellBasic::DocToSourcePos(int pos) const
{
    for (const auto& s : Sections)
        if (int source = s->DocToSourcePos(pos); source >= 0)
            return source;
    return -1;
}

bool TCellBasic::CharAt(int pos, char16_t& ch, const TSectionBase*& section) const
{
    section = nullptr;
    if (pos < FirstChar || pos > FirstChar + CharCount)
        return false;
    return std::any_of(Sections.begin(), Sections.end(), [&](const auto& s) { return s->CharAt(pos, ch, section); });
}

void TCellBasic::CopySelection()
{
    const int selStart = Document->SelStart, selEnd = Document->SelEnd;
    if (selStart >= selEnd)
        return;
    for (const auto& s : Sections) {
        if (s->FirstChar >= selEnd)
            break;
        if (s->FirstChar + s->CharCount > selStart)
            s->CopySelection();
    }
}

void TCellBasic::RegisterPositions()
{
    for (const auto& s : Sections)
        s->RegisterPosition();
}

void TCellBasic::MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth)
{
    minWidth = maxWidth = 0;
    for (const auto& s : Sections) {
        int mn = 0, mx = 0;
        s->MeasureWidths(canvas, mn, mx);
        minWidth = std::max(minWidth, mn);
        maxWidth = std::max(maxWidth, mx);
    }
}

TCell::TCell(ThtDocument& document, u16v openingTag)
    : TCellBasic(document, openingTag), ownIndents_(std::make_unique<TIndentManager>())
{
    Indents = ownIndents_.get();
}

TCell::~TCell() = default;

int TCell::LayoutCell(platform::Canvas& canvas, int y, int width, int availableHeight, int blockHeight,
                      int& maxWidth, int& counter)
{
    const void* previousOwner = Indents->CurrentOwner;
    Indents->Reset(0, width);
    Indents->CurrentOwner = this;
    const int left = Indents->AddLeftEdge(0, y);
    const int right = Indents->AddRightEdge(width, y);
    const int height = TCellBasic::LayoutCell(canvas, y, width, availableHeight, blockHeight, maxWidth, counter);
    Indents->RemoveRight(right);
    Indents->RemoveLeft(left);
    Indents->CurrentOwner = previousOwner;
    return std::max(height, Indents->FloatBottom() - CellTop);
}

int TCell::PaintCell(platform::PaintCanvas& canvas, const Rect& clip, int clipWidth, int x, int y, int xRef, int yRef)
{
    Indents->ResetForPaint(x);
    Indents->PaintClipWidth = clipWidth;
    PaintedY = y;
    return TCellBasic::PaintCell(canvas, clip, clipWidth, x, y, xRef, yRef);
}

} // namespace lantern
