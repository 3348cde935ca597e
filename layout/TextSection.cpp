// Text sections: construction, collecting characters, finishing the text, font runs, and the queries that read
// only the text (source mapping, search, character access, caret position). Line breaking and measuring are in
// TextLayout.cpp.
#include "layout/TextSection.h"

#include "layout/Document.h"
#include "markup/Attributes.h"
#include "style/Lengths.h"
#include "style/Properties.h"

#include <algorithm>
#include <cstdlib>

namespace lantern {

namespace {

std::uint8_t TextAlignOf(const TProperties& properties)
{
    const u16& align = properties.Props[piTextAlign].Text();
    if (align == u"right")
        return 3;
    if (align == u"center")
        return 2;
    if (align == u"justify")
        return 4;
    return 1;
}

std::uint8_t ClearKindOf(u16v value)
{
    if (SameTextAscii(value, u"left"))
        return 1;
    if (SameTextAscii(value, u"right"))
        return 2;
    return 3;
}

std::uint8_t ShiftKindOf(const TProperties& properties)
{
    AlignmentCode code = AlignmentCode::None;
    if (properties.VerticalAlignOf(code) && (code == AlignmentCode::Sub || code == AlignmentCode::Super))
        return static_cast<std::uint8_t>(code);
    return 0;
}

void Leave(std::vector<TFontObj*>& links, const TFontObj& run)
{
    if (auto it = std::find(links.rbegin(), links.rend(), &run); it != links.rend())
        links.erase(std::next(it).base());
}

} // namespace

TSection::TSection(ThtDocument& document, bool firstInBlock, const TUrlTarget* link, TProperties& properties,
                   const TAttributeList* attributes)
    : TSectionBase(document)
{
    // 1.
    DisplayKind = static_cast<std::uint8_t>(properties.DisplayOf());
    // 2.
    auto run = std::make_unique<TFontObj>(this, 0, properties.FontOf());
    run->Title = properties.PropTitle;
    run->ShiftKind = ShiftKindOf(properties);
    TFontObj& first = *run;
    Fonts.Runs.push_back(std::move(run));
    if (link && !link->Url.empty())
        ApplyRunLinkState(first, properties, *link, true);
    else if (link)
        first.LinkTarget = *link;
    // 3. Unitless line heights multiply the font's em height.
    const int fontHeight = first.Font->Height != 0 ? std::abs(first.Font->Height) : first.Font->EmSize;
    LineHeight = properties.LineHeightOf(fontHeight);
    // 4.
    if (firstInBlock) {
        bool percent = false;
        const int indent = properties.TextIndentOf(percent);
        if (percent)
            TextIndentPercent = std::min(indent, 90);
        else
            TextIndent = indent;
    }
    // 5.
    if (attributes)
        if (const TAttribute* clear = attributes->Find(symClear))
            ClearKind = ClearKindOf(clear->Value);
    if (ClearSide side = ClearSide::None; properties.ClearSideOf(side))
        ClearKind = static_cast<std::uint8_t>(side);
    // 6.
    if (attributes && !attributes->GetId().empty())
        Document->IdTable.Add(attributes->GetId(), *this);
    // 7.
    TextAlign = TextAlignOf(properties);
    BreakWord = properties.Props[piWordWrap].Text() == u"break-word";
}

TSection::TSection(ThtDocument& document, const TSection& source)
    : TSectionBase(document), Ordinal(source.Ordinal), Text(source.Text), BreakClasses(source.BreakClasses),
      SourceIndex(source.SourceIndex), Controls(source.Controls), SourceRuns(source.SourceRuns),
      TextAlign(source.TextAlign), ClearKind(source.ClearKind), LineHeight(source.LineHeight),
      HoldsAnchor(source.HoldsAnchor), FirstLineBreak(source.FirstLineBreak), MinWidthCache(source.MinWidthCache), MaxWidthCache(source.MaxWidthCache),
      TextIndent(source.TextIndent), TextIndentPercent(source.TextIndentPercent), BreakWord(source.BreakWord)
{
    CopyBaseFrom(source);
    CharCount = source.CharCount;
    for (const auto& run : source.Fonts.Runs) {
        Fonts.Runs.push_back(run->Clone(this));
        if (Fonts.Last().IsLink())
            document.LinkList.push_back(&Fonts.Last());
    }
    for (const auto& object : source.Objects.Objects)
        Objects.Objects.push_back(object->CloneObject());
}

TSection::~TSection()
{
    // The document empties these lists before it frees its sections, so this costs nothing then; it keeps a
    // section freed any other way from leaving dangling entries.
    if (Document->IdTable.Count() > 0)
        Document->IdTable.RemoveObject(*this);
    for (const auto& run : Fonts.Runs) {
        if (run->IsLink() && !Document->LinkList.empty())
            Leave(Document->LinkList, *run);
        if (Document->HoveredRun == run.get())
            Document->HoveredRun = nullptr;
    }
}

std::unique_ptr<TSectionBase> TSection::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new TSection(document, *this));
}

std::unique_ptr<TSectionBase> TPreFormated::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new TPreFormated(document, *this));
}

// ---------------------------------------------------------------------------------------------------------------
// Font runs

void TSection::ApplyRunLinkState(TFontObj& run, TProperties& properties, const TUrlTarget& target, bool makeLink)
{
    // Only a run with a URL is in the link run list, so the list is searched only for one that had a URL: a
    // search for every other run made building a page with many links quadratic.
    const bool listed = run.IsLink();
    run.LinkTarget = target;
    auto& links = Document->LinkList;
    if (makeLink && !target.Url.empty()) {
        if (properties.LinkFonts) {
            run.LinkFonts = std::make_unique<TFontInfoArray>(*properties.LinkFonts);
            run.ApplyFontInfo((*run.LinkFonts)[0]);
        }
        if (!listed || std::find(links.rbegin(), links.rend(), &run) == links.rend())
            links.push_back(&run);
    } else {
        run.LinkFonts.reset();
        if (listed)
            Leave(links, run);
    }
}

void TSection::SwitchRun(TProperties& properties, const TUrlTarget& target, bool makeLink)
{
    const int end = static_cast<int>(Text.size());
    TFontObj* run = &Fonts.Last();
    if (run->StartPos == end) {
        run->ReplaceFont(properties.FontOf());
    } else {
        auto fresh = std::make_unique<TFontObj>(this, end, properties.FontOf());
        run = fresh.get();
        Fonts.Runs.push_back(std::move(fresh));
    }
    run->Title = properties.PropTitle;
    run->ShiftKind = ShiftKindOf(properties);
    ApplyRunLinkState(*run, properties, target, makeLink);
}

void TSection::SwitchFont(TProperties& properties)
{
    const TUrlTarget target = Fonts.Last().LinkTarget;
    SwitchRun(properties, target, !target.Url.empty());
}

void TSection::SwitchFontForLink(bool linkStarts, TProperties& properties, const TUrlTarget& target)
{
    SwitchRun(properties, target, linkStarts);
}

void TSection::Unlink()
{
    for (const auto& run : Fonts.Runs)
        if (run->IsLink())
            Leave(Document->LinkList, *run);
    Document->IdTable.RemoveObject(*this);
}

// ---------------------------------------------------------------------------------------------------------------
// Collecting

void TSection::AppendChar(char16_t ch, int sourcePos)
{
    TokenObj token;
    token.AddChar(ch, sourcePos);
    AppendToken(token);
}

void TSection::AppendToken(const TokenObj& token)
{
    THtmlPropStack& stack = Document->PropStack;
    TProperties* top = stack.Count() > 0 ? &stack.TopProperties() : nullptr;
    // 1.
    if (token.Count() == 0)
        return;
    if ((top ? static_cast<std::uint8_t>(top->DisplayOf()) : DisplayKind) == DisplayNoneKind)
        return;
    // 3.
    u16 chars = token.Chars;
    const std::uint8_t transform = top ? top->TextTransformOf() : 0;
    if (transform == 1)
        chars = UpperUnits(chars);
    else if (transform == 2)
        chars = LowerUnits(chars);
    // 2., 4.
    SourceIndex.insert(SourceIndex.end(), token.SourcePositions.begin(), token.SourcePositions.end());
    const bool noWrap = Document->NoBreak || IsPreformatted();
    BreakClasses.append(chars.size(), noWrap ? BreakNever : BreakNormal);
    // 5.
    if (top && top->FontVariantOf() == u"small-caps")
        AppendSmallCaps(chars, token, UpperUnits(chars));
    else
        Text += chars;
}

// Lower-case letters are drawn as capitals in a smaller font: each change between lower and upper case starts
// a run, the smaller one from a property set pushed for the purpose.
void TSection::AppendSmallCaps(u16v original, const TokenObj&, u16v upper)
{
    THtmlPropStack& stack = Document->PropStack;
    bool small = false;
    auto leaveSmall = [&] {
        stack.PopLast();
        SwitchFont(stack.TopProperties());
        small = false;
    };
    for (std::size_t i = 0; i < original.size(); ++i) {
        const char16_t c = original[i];
        if (c != u' ' && !(c >= u'0' && c <= u'9')) {
            const bool lower = UpperUnit(c) != c;
            if (lower && !small) {
                TProperties& parent = stack.TopProperties();
                auto set = std::make_unique<TProperties>(&stack, stack.Quirks);
                set->InheritFrom(parent.PropTag, parent);
                set->Props[piFontSize] = ConvertFontSize(u"small", stack.Quirks, parent.Props[piFontSize].AsFloat());
                SwitchFont(stack.Add(std::move(set)));
                small = true;
            } else if (!lower && small) {
                leaveSmall();
            }
        }
        Text += upper[i];
    }
    if (small)
        leaveSmall();
}

TFloatingObj& TSection::PlaceObject(std::unique_ptr<TFloatingObj> object, int sourcePos)
{
    object->Pos = static_cast<int>(Text.size());
    Objects.Objects.push_back(std::move(object));
    Text += ObjectMark;
    SourceIndex.push_back(sourcePos);
    BreakClasses += Document->NoBreak || IsPreformatted() ? BreakNever : BreakNormal;
    return *Objects.Objects.back();
}

void TSection::PlaceControl(TFormControlObj& control, int sourcePos)
{
    control.Pos = static_cast<int>(Text.size());
    Controls.push_back(&control);
    Text += ControlMark;
    SourceIndex.push_back(sourcePos);
    BreakClasses += Document->NoBreak || IsPreformatted() ? BreakNever : BreakNormal;
}

// ---------------------------------------------------------------------------------------------------------------
// Finishing

void TSection::DeleteMarked(const std::vector<bool>& drop)
{
    const std::size_t n = Text.size();
    // Positions move back by the number of deleted characters before them; runs, objects and controls are in
    // position order, so one walk with a running count serves each list.
    auto remapper = [&] {
        return [&, i = std::size_t(0), deleted = 0](int pos) mutable {
            for (; i < n && i < static_cast<std::size_t>(pos); ++i)
                deleted += drop[i] ? 1 : 0;
            return pos - deleted;
        };
    };
    auto runPos = remapper();
    for (auto& run : Fonts.Runs)
        run->StartPos = runPos(run->StartPos);
    auto objectPos = remapper();
    for (auto& object : Objects.Objects)
        object->Pos = objectPos(object->Pos);
    auto controlPos = remapper();
    for (TFormControlObj* control : Controls)
        control->Pos = controlPos(control->Pos);

    // Runs that now start together: the later one holds the characters, the earlier one goes.
    auto& runs = Fonts.Runs;
    std::size_t kept = 0;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (r + 1 < runs.size() && runs[r + 1]->StartPos == runs[r]->StartPos) {
            if (runs[r]->IsLink())
                Leave(Document->LinkList, *runs[r]);
            if (Document->HoveredRun == runs[r].get())
                Document->HoveredRun = nullptr;
            runs[r].reset();
            continue;
        }
        runs[kept++] = std::move(runs[r]);
    }
    runs.resize(kept);

    std::size_t out = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (drop[i])
            continue;
        Text[out] = Text[i];
        BreakClasses[out] = BreakClasses[i];
        SourceIndex[out] = SourceIndex[i];
        ++out;
    }
    Text.resize(out);
    BreakClasses.resize(out);
    SourceIndex.resize(out);
}

void TSection::FinishText(int sourcePos)
{
    const std::size_t n0 = Text.size();
    std::vector<bool> drop(n0, false);
    auto apply = [&] {
        DeleteMarked(drop);
        drop.assign(Text.size(), false);
    };
    // 1. Leading spaces.
    for (std::size_t i = 0; i < Text.size() && Text[i] == u' '; ++i)
        drop[i] = true;
    apply();
    // 2. Soft hyphens leave only the permission to break after the character before them.
    for (std::size_t i = 0, prev = std::size_t(-1); i < Text.size(); ++i) {
        if (Text[i] != SoftHyphen) {
            prev = i;
            continue;
        }
        drop[i] = true;
        if (prev != std::size_t(-1) && BreakClasses[prev] != BreakNever)
            BreakClasses[prev] = BreakSoftHyphen;
    }
    apply();
    // 3. A run of spaces keeps one: the first that may wrap, else the last.
    for (std::size_t i = 0; i < Text.size();) {
        if (Text[i] != u' ') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < Text.size() && Text[end] == u' ')
            ++end;
        std::size_t keep = end - 1;
        for (std::size_t k = i; k < end; ++k)
            if (BreakClasses[k] != BreakNever) {
                keep = k;
                break;
            }
        for (std::size_t k = i; k < end; ++k)
            drop[k] = k != keep;
        i = end;
    }
    apply();
    // 4. A float takes no room in the line, so the space after it would be a second space.
    for (const auto& object : Objects.Objects) {
        const auto after = static_cast<std::size_t>(object->Pos) + 1;
        if (object->Floats() && after < Text.size() && Text[after] == u' ')
            drop[after] = true;
    }
    apply();
    // 5. Spaces around forced breaks.
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < Text.size(); ++i)
            if (Text[i] == u' ' && ((i > 0 && Text[i - 1] == LineBreakMark) ||
                                    (i + 1 < Text.size() && Text[i + 1] == LineBreakMark)))
                drop[i] = changed = true;
        if (changed)
            apply();
    }
    // 6. A final forced break ends the text anyway.
    if (Text.size() > 1 && Text.back() == LineBreakMark) {
        drop.back() = true;
        apply();
    }
    if (Text.size() > 1 && Text.back() == u' ') {
        drop.back() = true;
        apply();
    }
    // 7. Every text ends with one space, which the last line keeps and never draws.
    const bool loneBreak = Text.size() == 1 && Text[0] == LineBreakMark;
    if (!Text.empty() && !loneBreak && Text.back() != u' ') {
        const int end = static_cast<int>(Text.size());
        Text += u' ';
        SourceIndex.push_back(sourcePos);
        BreakClasses += BreakNormal;
        for (auto& run : Fonts.Runs)
            if (run->StartPos == end)
                run->StartPos = end + 1;
    }
    // 8.
    SealText();
}

void TPreFormated::FinishText(int sourcePos)
{
    const int end = static_cast<int>(Text.size());
    Text += u' ';
    SourceIndex.push_back(SourceIndex.empty() ? sourcePos : SourceIndex.back() + 1);
    BreakClasses += BreakNormal;
    for (auto& run : Fonts.Runs)
        if (run->StartPos == end)
            run->StartPos = end + 1;
    SealText();
}

void TSection::SealText()
{
    CharCount = static_cast<int>(Text.size());
    const std::size_t lineBreak = Text.find(LineBreakMark);
    FirstLineBreak = lineBreak == u16::npos ? CharCount : static_cast<int>(lineBreak);
    BreakClasses += BreakNormal;
    ConvertSourceIndex();
    if (CharCount > 0)
        Ordinal = ++Document->TextSectionCount;
}

void TSection::ConvertSourceIndex()
{
    SourceRuns.clear();
    for (std::size_t i = 0; i < SourceIndex.size(); ++i)
        if (i == 0 || SourceIndex[i] != SourceIndex[i - 1] + 1)
            SourceRuns.push_back({static_cast<int>(i), SourceIndex[i]});
    std::vector<int>().swap(SourceIndex);
}

// ---------------------------------------------------------------------------------------------------------------
// Queries on the text

int TSection::DocToSourcePos(int pos) const
{
    const int offset = pos - FirstChar;
    if (CharCount == 0 || SourceRuns.empty() || offset < 0 || offset >= CharCount)
        return -1;
    auto it = std::upper_bound(SourceRuns.begin(), SourceRuns.end(), offset,
                               [](int o, const IndexObj& r) { return o < r.DocOffset; });
    const IndexObj& run = *std::prev(it);
    return run.SourcePos + (offset - run.DocOffset);
}

int TSection::SourceToDocPos(int sourcePos, bool backward) const
{
    if (CharCount == 0 || SourceRuns.empty())
        return -1;
    auto length = [&](std::size_t k) {
        const int next = k + 1 < SourceRuns.size() ? SourceRuns[k + 1].DocOffset : CharCount;
        return next - SourceRuns[k].DocOffset;
    };
    if (!backward) {
        const std::size_t last = SourceRuns.size() - 1;
        if (sourcePos > SourceRuns[last].SourcePos + length(last) - 1)
            return -1;
        for (std::size_t k = 0; k < SourceRuns.size(); ++k) {
            const IndexObj& r = SourceRuns[k];
            if (sourcePos <= r.SourcePos + length(k) - 1)
                return FirstChar + r.DocOffset + std::max(0, sourcePos - r.SourcePos);
        }
        return -1;
    }
    if (sourcePos < SourceRuns.front().SourcePos)
        return -1;
    for (std::size_t k = SourceRuns.size(); k-- > 0;) {
        const IndexObj& r = SourceRuns[k];
        if (sourcePos >= r.SourcePos)
            return FirstChar + r.DocOffset + std::min(sourcePos - r.SourcePos, length(k) - 1);
    }
    return -1;
}

int TSection::SearchForward(int from, u16v text, bool matchCase) const
{
    if (CharCount == 0 || text.empty() || from >= FirstChar + CharCount)
        return -1;
    const u16 hay = matchCase ? Text : LowerUnits(Text);
    const std::size_t at = hay.find(text, static_cast<std::size_t>(std::max(from - FirstChar, 0)));
    return at == u16::npos ? -1 : FirstChar + static_cast<int>(at);
}

int TSection::SearchBackward(int from, u16v text, bool matchCase) const
{
    if (CharCount == 0 || text.empty() || from <= FirstChar)
        return -1;
    const int limit = std::min(from - FirstChar, CharCount); // the match must end at or before this offset
    if (static_cast<int>(text.size()) > limit)
        return -1;
    const u16 hay = matchCase ? Text : LowerUnits(Text);
    const std::size_t at = hay.rfind(text, static_cast<std::size_t>(limit) - text.size());
    return at == u16::npos ? -1 : FirstChar + static_cast<int>(at);
}

bool TSection::CharAt(int pos, char16_t& ch, const TSectionBase*& section) const
{
    section = nullptr;
    if (pos < FirstChar || pos >= FirstChar + CharCount)
        return false;
    ch = Text[static_cast<std::size_t>(pos - FirstChar)];
    section = this;
    return true;
}

} // namespace lantern
