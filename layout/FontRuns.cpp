#include "layout/FontRuns.h"

#include "markup/Attributes.h"

#include <algorithm>

namespace lantern {

namespace {

int NextLinkId()
{
    static int counter = 0;
    return counter++;
}

} // namespace

void TUrlTarget::SetLink(u16v url, u16v target, int start, const TAttributeList* attributes)
{
    Url = u16(url);
    Target = u16(target);
    FirstPos = start;
    LinkId = NextLinkId();
    Attributes.clear();
    if (attributes)
        for (const u16& line : attributes->ListAsNameValues()) {
            if (!Attributes.empty())
                Attributes += u"\r\n";
            Attributes += line;
        }
}

void TUrlTarget::Clear()
{
    *this = TUrlTarget();
}

void TUrlTarget::MarkEnd(const std::vector<TFontObj*>& linkRuns, int pos)
{
    LastPos = pos;
    for (auto it = linkRuns.rbegin(); it != linkRuns.rend() && (*it)->LinkTarget.LinkId == LinkId; ++it)
        (*it)->LinkTarget.LastPos = pos;
}

TFontObj::TFontObj(TSection* section, int startPos, std::unique_ptr<TMyFont> font)
    : Section(section), StartPos(startPos), Font(std::move(font))
{
    UpdateMetrics();
}

TFontObj::~TFontObj() = default;

void TFontObj::UpdateMetrics()
{
    TextHeight = Font->TextHeight;
    FontHeight = Font->TextHeight + Font->ExternalLeading;
    MaxCharWidth = Font->MaxCharWidth;
    Descent = Font->Descent;
    Overhang = (Font->Style & FontItalic) ? Font->TextHeight / 10 : 0;
}

void TFontObj::ReplaceFont(std::unique_ptr<TMyFont> font)
{
    Font = std::move(font);
    UpdateMetrics();
}

void TFontObj::ApplyFontInfo(const ThtFontInfo& info)
{
    auto font = std::make_unique<TMyFont>(
        TMyFontCache::Instance().GetFont(info.Face, FontHeightOfPoints(info.Size), info.Style, info.Charset));
    font->FontColor = info.FontColor;
    font->BackColor = info.BackColor;
    font->LetterSpacing = Font->LetterSpacing;
    ReplaceFont(std::move(font));
}

void TFontObj::ApplyLinkState()
{
    if (LinkFonts)
        ApplyFontInfo((*LinkFonts)[std::size_t((Visited ? 1 : 0) | (Hover ? 2 : 0))]);
}

void TFontObj::SetVisited(bool visited)
{
    if (visited == Visited)
        return;
    Visited = visited;
    ApplyLinkState();
}

void TFontObj::SetHover(bool hover)
{
    if (hover == Hover)
        return;
    Hover = hover;
    ApplyLinkState();
}

void TFontObj::SetLinkHover(const std::vector<TFontObj*>& linkRuns, bool hover)
{
    SetHover(hover);
    auto self = std::find(linkRuns.begin(), linkRuns.end(), this);
    if (self == linkRuns.end())
        return;
    const int id = LinkTarget.LinkId;
    for (auto it = self + 1; it != linkRuns.end() && (*it)->LinkTarget.LinkId == id; ++it)
        (*it)->SetHover(hover);
    for (auto it = std::make_reverse_iterator(self); it != linkRuns.rend() && (*it)->LinkTarget.LinkId == id; ++it)
        (*it)->SetHover(hover);
}

std::unique_ptr<TFontObj> TFontObj::Clone(TSection* section) const
{
    auto copy = std::make_unique<TFontObj>(section, StartPos, std::make_unique<TMyFont>(*Font));
    copy->ShiftKind = ShiftKind;
    copy->LinkTarget = LinkTarget;
    copy->Title = Title;
    if (LinkFonts) {
        copy->LinkFonts = std::make_unique<TFontInfoArray>(*LinkFonts);
        copy->ApplyFontInfo((*LinkFonts)[0]);
    }
    return copy;
}

int TFontList::RunIndexAt(int pos) const
{
    if (Runs.size() == 1)
        return 0;
    auto it = std::upper_bound(Runs.begin(), Runs.end(), pos,
                               [](int p, const std::unique_ptr<TFontObj>& r) { return p < r->StartPos; });
    return std::max(0, static_cast<int>(it - Runs.begin()) - 1);
}

const TMyFont& TFontList::FontAt(int pos, int& overhang) const
{
    const TFontObj& run = RunAt(pos);
    overhang = run.Overhang;
    return *run.Font;
}

int TFontList::CharsToNextRun(int pos, int textLength) const
{
    const int next = RunIndexAt(pos) + 1;
    const int end = next < Count() ? (*this)[next].StartPos : textLength;
    return std::max(0, end - pos);
}

} // namespace lantern
