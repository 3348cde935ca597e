// Tables: construction of the table, its rows and cells from attributes and properties, copies, and the position
// queries that pass through to the cells. The grid is normalised in TableGrid.cpp, widths are found in
// TableWidths.cpp, heights and the final layout in TableLayout.cpp, painting and point queries in TableDraw.cpp.
#include "layout/Table.h"

#include "layout/Document.h"
#include "layout/FontRuns.h"
#include "markup/Attributes.h"
#include "style/BoxValues.h"
#include "style/ColorParser.h"
#include "style/Lengths.h"

#include <algorithm>

namespace lantern {

namespace {

// Spans past these only cost memory: no page lays out more columns, and row spans are cut to the table anyway.
constexpr int MaxColSpan = 1000;
constexpr int MaxRowSpan = 65534;
constexpr int MaxColSpecs = 10000;

// A width or height property given as text ("40%", "120px"), or a number of pixels.
TWidthSpec SpecOfProperty(const PropValue& cell, int emSize, int exSize)
{
    if (const u16* text = cell.TextPtr()) {
        if (text->find(u'%') != u16::npos) {
            double number = 0;
            u16 unit;
            return SplitNumberUnit(*text, number, unit) ? ParseWidthSpec(static_cast<int>(number), *text)
                                                        : TWidthSpec{};
        }
        const int pixels = ConvertLength(*text, false, 0, -1, exSize, emSize);
        return pixels >= 0 ? TWidthSpec{pixels, TWidthType::wtAbsolute} : TWidthSpec{};
    }
    if (cell.IsNumeric() && !TProperties::IsUnsetLength(cell) && !TProperties::IsAutoLength(cell) && cell.AsInt() >= 0)
        return TWidthSpec{cell.AsInt(), TWidthType::wtAbsolute};
    return {};
}

bool AttributeColor(const TAttribute& a, Color& color)
{
    return ParseColor(a.Value, false, color);
}

void EnsureFont(TProperties& properties)
{
    if (!properties.CachedFont)
        properties.FontOf();
}

} // namespace

TWidthSpec ParseWidthSpec(int number, u16v text)
{
    if (text.find(u'%') != u16v::npos)
        return {std::clamp(number, 0, 100) * 10, TWidthType::wtPercent};
    if (text.find(u'*') != u16v::npos)
        return {std::max(number, 0), TWidthType::wtRelative};
    return {std::max(number, 0), TWidthType::wtAbsolute};
}

// ---------------------------------------------------------------------------------------------------------------
// Cells

TCellObjCell::TCellObjCell(ThtDocument& document, u16v openingTag) : TCell(document, openingTag) {}

THitKinds TCellObjCell::HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                                TFormControlObj*& control, u16& title)
{
    THitKinds found = TCellBasic::HitLink(canvas, x, y, target, control, title);
    if (!HitRect.Contains(Point{x, y - Document->ViewTop}))
        return found;
    if (!(found & hkTitle) && !CellTitle.empty()) {
        title = CellTitle;
        found |= hkTitle;
    }
    if (!(found & hkLink) && !CellUrl.empty()) {
        target = std::make_unique<TUrlTarget>();
        target->SetLink(CellUrl, CellTarget, -1, nullptr);
        found |= hkLink;
    }
    return found;
}

TCellObj::TCellObj(ThtDocument& document, TProperties& properties, const TAttributeList* attributes,
                   std::uint8_t vAlign)
    : VAlign(vAlign), Content(std::make_unique<TCellObjCell>(document, properties.PropTag))
{
    EnsureFont(properties);
    EmSize = properties.CachedFont->EmSize;
    ExSize = properties.CachedFont->ExSize;
    u16 backgroundAttribute;
    if (attributes)
        for (std::size_t i = 0; i < attributes->Count(); ++i) {
            const TAttribute& a = (*attributes)[i];
            switch (a.Symbol) {
            case symHref: Content->CellUrl = a.Value; break;
            case symTarget: Content->CellTarget = a.Value; break;
            case symBgcolor:
                if (Color c = 0; AttributeColor(a, c)) {
                    Content->HasBgColor = true;
                    Content->BgColor = c;
                }
                break;
            case symBackground: backgroundAttribute = a.Value; break;
            case symColspan:
                if (a.IntValue > 1)
                    ColSpan = std::min(a.IntValue, MaxColSpan);
                break;
            case symRowspan:
                if (a.IntValue > 1)
                    RowSpan = std::min(a.IntValue, MaxRowSpan);
                break;
            case symWidth: WidthSpec = ParseWidthSpec(a.IntValue, a.Value); break;
            case symHeight: HeightSpec = ParseWidthSpec(a.IntValue, a.Value); break;
            default: break;
            }
        }
    if (WidthSpec.Kind == TWidthType::wtNone)
        WidthSpec = SpecOfProperty(properties.Props[piWidth], EmSize, ExSize);
    if (HeightSpec.Kind == TWidthType::wtNone)
        HeightSpec = SpecOfProperty(properties.Props[piHeight], EmSize, ExSize);
    if (AlignmentCode code; properties.VerticalAlignOf(code) && (code == AlignmentCode::Top ||
                                                                 code == AlignmentCode::Middle ||
                                                                 code == AlignmentCode::Bottom))
        VAlign = static_cast<std::uint8_t>(code);
    // The box: colours a border is given no colour for are silver; widths count only on sides with a style.
    TBoxCellArray cells;
    properties.GatherBorderValues(cells, false);
    int autoCount = 0;
    ResolveBoxValues(cells, 100, 0, Box, autoCount, 0, ExSize, EmSize);
    for (int side = piBorderTopColor; side <= piBorderLeftColor; ++side)
        if (BoxValue(Box, side) == static_cast<int>(clNone))
            BoxValue(Box, side) = static_cast<int>(clSilver);
    BrdTop = BoxValue(Box, piBorderTopWidth);
    BrdRight = BoxValue(Box, piBorderRightWidth);
    BrdBottom = BoxValue(Box, piBorderBottomWidth);
    BrdLeft = BoxValue(Box, piBorderLeftWidth);
    HasAnyBorderStyle = properties.HasAnyBorderStyle();
    TBoxValueArray paddings{};
    ResolveDeferredPaddings(cells, paddings, ExSize, EmSize);
    GivenPad = {BoxValue(paddings, piPaddingTop), BoxValue(paddings, piPaddingRight),
                BoxValue(paddings, piPaddingBottom), BoxValue(paddings, piPaddingLeft)};
    // A colour or picture from the style sheets wins over the attribute.
    if (const Color c = properties.BackgroundColorOf(); c != clNone) {
        Content->HasBgColor = true;
        Content->BgColor = c;
    }
    if (u16 url; properties.BackgroundImageOf(url))
        BackgroundUrl = url;
    else
        BackgroundUrl = backgroundAttribute;
    properties.BackgroundPlacementOf(EmSize, ExSize, BackgroundPlacement);
    if (!BackgroundUrl.empty() && document.MakeBackgroundSource)
        BackgroundImage = document.MakeBackgroundSource(BackgroundUrl);
    properties.PageBreaksOf(PageBreakBefore, PageBreakAfter, AvoidBreakInside);
    ShowEmpty = properties.ShowsEmptyCells();
    Content->CellTitle = properties.PropTitle;
}

TCellObj::TCellObj(ThtDocument& document, const TCellObj& source)
    : ColSpan(source.ColSpan), RowSpan(source.RowSpan), WidthSpec(source.WidthSpec), HeightSpec(source.HeightSpec),
      VAlign(source.VAlign), EmSize(source.EmSize), ExSize(source.ExSize),
      BackgroundPlacement(source.BackgroundPlacement), GivenPad(source.GivenPad), PadLeft(source.PadLeft),
      PadTop(source.PadTop), PadRight(source.PadRight), PadBottom(source.PadBottom), BrdLeft(source.BrdLeft),
      BrdTop(source.BrdTop), BrdRight(source.BrdRight), BrdBottom(source.BrdBottom),
      HorzSpacing(source.HorzSpacing), VertSpacing(source.VertSpacing), HasAnyBorderStyle(source.HasAnyBorderStyle),
      ShowEmpty(source.ShowEmpty), BackgroundUrl(source.BackgroundUrl), Box(source.Box),
      PageBreakBefore(source.PageBreakBefore), PageBreakAfter(source.PageBreakAfter),
      AvoidBreakInside(source.AvoidBreakInside)
{
    if (source.Content) {
        const TCellObjCell& from = *source.Content;
        Content = std::make_unique<TCellObjCell>(document, from.OpeningTag);
        Content->HasBgColor = from.HasBgColor;
        Content->BgColor = from.BgColor;
        Content->CellTitle = from.CellTitle;
        Content->CellUrl = from.CellUrl;
        Content->CellTarget = from.CellTarget;
        for (const auto& s : from.Sections)
            Content->Sections.push_back(s->Clone(document));
    }
    if (!BackgroundUrl.empty() && document.MakeBackgroundSource)
        BackgroundImage = document.MakeBackgroundSource(BackgroundUrl);
}

TCellObj::~TCellObj() = default;

std::unique_ptr<TCellObj> TCellObj::Filler(int rowSpan)
{
    std::unique_ptr<TCellObj> filler(new TCellObj);
    filler->ColSpan = 0;
    filler->RowSpan = rowSpan;
    return filler;
}

void TCellObj::ResolvePaddings(int cellPadding, int tableWidth)
{
    auto resolve = [&](int given) {
        if (given >= 0)
            return given;
        if (given == -1)
            return cellPadding;
        return static_cast<int>(static_cast<long long>(std::max(tableWidth, 0)) * -given / 100);
    };
    PadTop = resolve(GivenPad[0]);
    PadRight = resolve(GivenPad[1]);
    PadBottom = resolve(GivenPad[2]);
    PadLeft = resolve(GivenPad[3]);
    HorzSpacing = PadLeft + BrdLeft + BrdRight + PadRight;
    VertSpacing = PadTop + BrdTop + BrdBottom + PadBottom;
}

// ---------------------------------------------------------------------------------------------------------------
// Rows

TCellList::TCellList(const TAttributeList* attributes, TProperties& properties)
{
    u16 backgroundAttribute;
    if (attributes)
        for (std::size_t i = 0; i < attributes->Count(); ++i) {
            const TAttribute& a = (*attributes)[i];
            switch (a.Symbol) {
            case symHeight: RowHeightSpec = ParseWidthSpec(a.IntValue, a.Value); break;
            case symBgcolor:
                if (Color c = 0; AttributeColor(a, c)) {
                    HasBgColor = true;
                    BgColor = c;
                }
                break;
            case symBackground: backgroundAttribute = a.Value; break;
            default: break;
            }
        }
    if (const Color c = properties.BackgroundColorOf(); c != clNone) {
        HasBgColor = true;
        BgColor = c;
    }
    if (u16 url; properties.BackgroundImageOf(url))
        BgImageName = url;
    else
        BgImageName = backgroundAttribute;
    EnsureFont(properties);
    properties.BackgroundPlacementOf(properties.CachedFont->EmSize, properties.CachedFont->ExSize,
                                     BackgroundPlacement);
    properties.PageBreaksOf(PageBreakBefore, PageBreakAfter, AvoidBreakInside);
}

TCellList::TCellList(ThtDocument& document, const TCellList& source)
    : RowHeight(source.RowHeight), RowHeightSpec(source.RowHeightSpec), TallestSpan(source.TallestSpan),
      HasBgColor(source.HasBgColor), BgColor(source.BgColor), BgImageName(source.BgImageName),
      BackgroundPlacement(source.BackgroundPlacement), PageBreakBefore(source.PageBreakBefore),
      PageBreakAfter(source.PageBreakAfter), AvoidBreakInside(source.AvoidBreakInside), Part(source.Part)
{
    Cells.reserve(source.Cells.size());
    for (const auto& cell : source.Cells)
        Cells.push_back(std::make_unique<TCellObj>(document, *cell));
}

TCellList::~TCellList() = default;

void TCellList::AddCell(std::unique_ptr<TCellObj> cell)
{
    if (!cell)
        return;
    // The row's height reaches cells of its kind as a minimum, and cells of weaker kinds as their height.
    TWidthSpec& h = cell->HeightSpec;
    auto raiseOrTake = [&](TWidthType strongerThan) {
        if (h.Kind == RowHeightSpec.Kind)
            h.Value = std::max(h.Value, RowHeightSpec.Value);
        else if (h.Kind == TWidthType::wtNone || h.Kind == strongerThan)
            h = RowHeightSpec;
    };
    switch (RowHeightSpec.Kind) {
    case TWidthType::wtAbsolute:
        if (h.Kind == TWidthType::wtAbsolute)
            h.Value = std::max(h.Value, RowHeightSpec.Value);
        else
            h = RowHeightSpec;
        break;
    case TWidthType::wtPercent: raiseOrTake(TWidthType::wtRelative); break;
    case TWidthType::wtRelative: raiseOrTake(TWidthType::wtNone); break;
    case TWidthType::wtNone: break;
    }
    PageBreakBefore = PageBreakBefore || cell->PageBreakBefore;
    PageBreakAfter = PageBreakAfter || cell->PageBreakAfter;
    AvoidBreakInside = AvoidBreakInside || cell->AvoidBreakInside;
    Cells.push_back(std::move(cell));
}

// ---------------------------------------------------------------------------------------------------------------
// The table

THtmlTable::THtmlTable(ThtDocument& document, TProperties& properties, const TAttributeList* attributes)
    : TSectionBase(document)
{
    const bool styleGivesWidth = properties.HasAnyBorderWidth();
    BorderAttrSet = styleGivesWidth;
    if (attributes)
        for (std::size_t i = 0; i < attributes->Count(); ++i) {
            const TAttribute& a = (*attributes)[i];
            switch (a.Symbol) {
            case symBorder:
                if (!styleGivesWidth) {
                    BorderWidth = std::clamp(a.IntValue, 0, 100);
                    BorderAttrSet = true;
                }
                break;
            case symCellpadding: CellPadding = std::clamp(a.IntValue, 0, 50); break;
            case symCellspacing: CellSpacing = std::clamp(a.IntValue, -1, 40); break;
            case symBordercolor:
                if (Color c = 0; AttributeColor(a, c))
                    BorderColor = c;
                break;
            case symBordercolorlight:
                if (Color c = 0; AttributeColor(a, c))
                    BorderColorLight = c;
                break;
            case symBordercolordark:
                if (Color c = 0; AttributeColor(a, c))
                    BorderColorDark = c;
                break;
            default: break;
            }
        }
    // Collapsed borders overlap by the width of the one line they share.
    if (properties.CollapsesBorders())
        CellSpacing = -1;
}

THtmlTable::THtmlTable(ThtDocument& document, const THtmlTable& source)
    : TSectionBase(document), ColumnSpecs(source.ColumnSpecs), BorderWidth(source.BorderWidth),
      BorderAttrSet(source.BorderAttrSet), IsFloating(source.IsFloating), SpecifiedWidth(source.SpecifiedWidth),
      CellPadding(source.CellPadding), CellSpacing(source.CellSpacing), BorderColor(source.BorderColor),
      BorderColorLight(source.BorderColorLight), BorderColorDark(source.BorderColorDark),
      HasBackground(source.HasBackground), Background(source.Background)
{
    CopyBaseFrom(source);
    Rows.reserve(source.Rows.size());
    for (const auto& row : source.Rows)
        Rows.push_back(std::make_unique<TCellList>(document, *row));
    GridReady = source.GridReady;
    ColumnCount = source.ColumnCount;
    SizeColumnArrays();
    // A copy printed with table backgrounds shows the table's colour in cells that have none.
    if (HasBackground && document.PrintTableBackground)
        for (const auto& row : Rows)
            for (const auto& cell : row->Cells)
                if (cell->Content && !cell->Content->HasBgColor) {
                    cell->Content->HasBgColor = true;
                    cell->Content->BgColor = Background;
                }
}

THtmlTable::~THtmlTable() = default;

std::unique_ptr<TSectionBase> THtmlTable::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new THtmlTable(document, *this));
}

void THtmlTable::AddColSpecs(int span, TWidthSpec width, u16v align, std::uint8_t vAlign)
{
    const int room = MaxColSpecs - static_cast<int>(ColumnSpecs.size());
    const int copies = std::min(std::max(span, 1), room);
    for (int i = 0; i < copies; ++i)
        ColumnSpecs.push_back(TColSpec{width, u16(align), vAlign});
}

int THtmlTable::PercentSum() const
{
    long long sum = 0;
    for (int p : ColPercents)
        sum += p;
    return static_cast<int>(std::min<long long>(sum, 1000));
}

// ---------------------------------------------------------------------------------------------------------------
// Position queries: the cells in document order, row by row.

template <class Visit>
void THtmlTable::ForEachContent(Visit&& visit) const
{
    for (const auto& row : Rows)
        for (const auto& cell : row->Cells)
            if (cell->HasContent() && visit(*cell->Content))
                return;
}

template <class Visit>
void THtmlTable::ForEachContentBackward(Visit&& visit) const
{
    for (auto row = Rows.rbegin(); row != Rows.rend(); ++row)
        for (auto cell = (*row)->Cells.rbegin(); cell != (*row)->Cells.rend(); ++cell)
            if ((*cell)->HasContent() && visit(*(*cell)->Content))
                return;
}

bool THtmlTable::CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const
{
    bool found = false;
    ForEachContent([&](const TCellObjCell& content) { return found = content.CaretToPoint(canvas, pos, x, y); });
    return found;
}

int THtmlTable::SourceToDocPos(int sourcePos, bool backward) const
{
    int found = -1;
    auto ask = [&](const TCellObjCell& content) { return (found = content.SourceToDocPos(sourcePos, backward)) >= 0; };
    if (backward)
        ForEachContentBackward(ask);
    else
        ForEachContent(ask);
    return found;
}

int THtmlTable::DocToSourcePos(int pos) const
{
    int found = -1;
    ForEachContent([&](const TCellObjCell& content) { return (found = content.DocToSourcePos(pos)) >= 0; });
    return found;
}

int THtmlTable::SearchForward(int from, u16v text, bool matchCase) const
{
    int found = -1;
    ForEachContent(
        [&](const TCellObjCell& content) { return (found = content.SearchForward(from, text, matchCase)) >= 0; });
    return found;
}

int THtmlTable::SearchBackward(int from, u16v text, bool matchCase) const
{
    int found = -1;
    ForEachContentBackward(
        [&](const TCellObjCell& content) { return (found = content.SearchBackward(from, text, matchCase)) >= 0; });
    return found;
}

bool THtmlTable::CharAt(int pos, char16_t& ch, const TSectionBase*& section) const
{
    section = nullptr;
    bool found = false;
    ForEachContent([&](const TCellObjCell& content) { return found = content.CharAt(pos, ch, section); });
    return found;
}

void THtmlTable::CopySelection()
{
    ForEachContent([](TCellObjCell& content) {
        content.CopySelection();
        return false;
    });
}

} // namespace lantern
