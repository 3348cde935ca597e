// The table block and the wrapper of a captioned table: construction from the table's attributes, their widths,
// and the table block's place beside floats and its three-dimensional border colours.
#include "layout/TableBlock.h"

#include "common/Colors.h"
#include "common/WinMath.h"
#include "layout/Borders.h"
#include "layout/Document.h"
#include "layout/Table.h"
#include "markup/Attributes.h"
#include "style/BoxValues.h"
#include "style/ColorParser.h"
#include "style/Lengths.h"

#include <algorithm>
#include <cstdlib>

namespace lantern {

namespace {

bool Given(const PropValue& cell)
{
    return !cell.IsEmpty() && !TProperties::IsUnsetLength(cell);
}

// An unset side's colour for the style it has: the light and dark colours make inset and outset sides.
Color SideColor(int side, BorderStyle style, const THtmlTable& table, Color plain)
{
    const bool upperLeft = side == piBorderTopColor || side == piBorderLeftColor;
    if (style == BorderStyle::Inset)
        return upperLeft ? table.BorderColorDark : table.BorderColorLight;
    if (style == BorderStyle::Outset)
        return upperLeft ? table.BorderColorLight : table.BorderColorDark;
    return plain;
}

// Where a box narrower than its room goes: auto margins share the rest (both centre it, the left one alone pushes
// it right); otherwise, with no margins given, it is centred (2) or right-aligned (3) when asked.
void PlaceInRoom(int& left, int& right, int rest, bool leftAuto, bool rightAuto, std::uint8_t placement)
{
    if (leftAuto || rightAuto)
        placement = leftAuto && rightAuto ? 2 : leftAuto ? 3 : 0;
    else if (left != 0 || right != 0)
        return;
    if (rest <= 0)
        return;
    if (placement == 2) {
        left = rest / 2;
        right = rest - left;
    } else if (placement == 3) {
        left = rest;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// The table block

TTableBlock::TTableBlock(ThtDocument& document, const TAttributeList* attributes, std::unique_ptr<THtmlTable> table,
                         TCellBasic& parentCell, TProperties& properties)
    // 1.
    : TBlock(document, attributes, parentCell, properties, BlockRole::Table), Table(table.get())
{
    Content.AddSection(std::move(table), 0);
    // 2.
    if (attributes)
        ReadAttributes(*attributes, Floats());
    // 3.
    const TAttribute* border = attributes ? attributes->Find(symBorder) : nullptr;
    ApplyTableBorders(border && border->IntValue == 0 && !properties.HasAnyBorderWidth());
    // 4.
    ReadWidthProperty();
    // 5.
    bool topIsGap = false, bottomIsGap = false;
    TBoxValueArray margins = Box;
    ResolveVerticalMargins(BoxCells, 400, margins, topIsGap, bottomIsGap, ExSize, EmSize);
    MergeAdjacentMargins(topIsGap);
    Table->IsFloating = Floats();
    if (Floats() && ZOrder == 0)
        ZOrder = 1;
}

void TTableBlock::ReadAttributes(const TAttributeList& attributes, bool floatFromProperties)
{
    for (std::size_t i = 0; i < attributes.Count(); ++i) {
        const TAttribute& a = attributes[i];
        switch (a.Symbol) {
        case symAlign:
            if (SameTextAscii(a.Value, u"center"))
                HorzPlacement = 2;
            else if (!floatFromProperties && SameTextAscii(a.Value, u"left"))
                FloatTo(AlignmentCode::Left);
            else if (!floatFromProperties && SameTextAscii(a.Value, u"right"))
                FloatTo(AlignmentCode::Right);
            break;
        case symBgcolor:
            if (Color c = 0; ParseColor(a.Value, false, c)) {
                TableBgColor = c;
                HasTableBgColor = true;
            }
            break;
        case symBackground:
            // The attribute's picture starts at the top left corner and repeats both ways.
            if (BackgroundUrl.empty() && !a.Value.empty()) {
                BackgroundUrl = a.Value;
                BackgroundPlacement = TBackgroundPlacement{};
                if (Document->MakeBackgroundSource)
                    BackgroundImage = Document->MakeBackgroundSource(BackgroundUrl);
            }
            break;
        case symWidth:
            if (a.Value.find(u'%') != u16::npos) {
                if (a.IntValue >= 1 && a.IntValue <= 100) {
                    SpecWidth = a.IntValue * 10;
                    WidthIsPercent = true;
                }
            } else if (a.IntValue > 0) {
                SpecWidth = a.IntValue;
            }
            break;
        case symHeight:
            if (!Given(BoxCells[std::size_t(BoxSlot(piHeight))]) && a.IntValue > 0) {
                if (a.Value.find(u'%') != u16::npos)
                    BoxCells[std::size_t(BoxSlot(piHeight))] = PropValue(a.Value);
                else
                    SetBoxCell(piHeight, a.IntValue);
            }
            break;
        case symHspace: HSpace = std::min(std::abs(a.IntValue), 40); break;
        case symVspace: VSpace = std::min(std::abs(a.IntValue), 200); break;
        default: break;
        }
    }
}

void TTableBlock::FloatTo(AlignmentCode side)
{
    if (IsAbsolute())
        return;
    FloatKind = side;
    if (!OwnIndents)
        OwnIndents = std::make_unique<TIndentManager>();
}

// The BORDER attribute draws a raised frame (or a flat one in a given colour) on every side the style sheets
// leave without a style; sides that have a style take the attribute's width.
void TTableBlock::ApplyTableBorders(bool attributeGaveZero)
{
    const THtmlTable& table = *Table;
    const Color plain = table.BorderColor != clNone ? table.BorderColor : clSilver;
    const int width = table.BorderAttrSet ? table.BorderWidth : 3;
    for (int i = 0; i < 4; ++i) {
        PropValue& styleCell = BoxCells[std::size_t(BoxSlot(piBorderTopStyle + i))];
        PropValue& widthCell = BoxCells[std::size_t(BoxSlot(piBorderTopWidth + i))];
        PropValue& colorCell = BoxCells[std::size_t(BoxSlot(piBorderTopColor + i))];
        if (styleCell.AsInt() != static_cast<int>(BorderStyle::None)) {
            if (!Given(widthCell))
                widthCell = PropValue(width);
            HasTableBorder = HasTableBorder || !attributeGaveZero;
        } else if (table.BorderWidth > 0) {
            const BorderStyle style = table.BorderColor == clNone ? BorderStyle::Outset : BorderStyle::Solid;
            styleCell = PropValue(static_cast<std::uint8_t>(style));
            if (!Given(widthCell))
                widthCell = PropValue(table.BorderWidth);
            HasBorder = true;
            HasTableBorder = true;
        }
        if (!Given(colorCell))
            colorCell = PropValue(SideColor(piBorderTopColor + i, static_cast<BorderStyle>(styleCell.AsInt()), table,
                                            plain));
    }
}

// A width from the style sheets wins over the attribute.
void TTableBlock::ReadWidthProperty()
{
    const PropValue& width = BoxCells[std::size_t(BoxSlot(piWidth))];
    if (const u16* text = width.TextPtr(); text && text->find(u'%') != u16::npos) {
        double percent = 0;
        u16 unit;
        if (SplitNumberUnit(*text, percent, unit) && percent > 0) {
            SpecWidth = percent * 10 > 998 ? 1000 : static_cast<int>(percent * 10);
            WidthIsPercent = true;
        }
        return;
    }
    if (const int pixels = TProperties::LengthCellToPixels(width, false, 0, -1, ExSize, EmSize); pixels > 0) {
        SpecWidth = pixels;
        WidthIsPercent = false;
    }
}

TTableBlock::TTableBlock(ThtDocument& document, const TTableBlock& source)
    : TBlock(document, source), Table(dynamic_cast<THtmlTable*>(&Content[0])), SpecWidth(source.SpecWidth),
      WidthIsPercent(source.WidthIsPercent), TableBgColor(source.TableBgColor),
      HasTableBgColor(source.HasTableBgColor), HSpace(source.HSpace), VSpace(source.VSpace),
      InCaptionBlock(source.InCaptionBlock), HasTableBorder(source.HasTableBorder),
      HorzPlacement(source.HorzPlacement)
{
}

std::unique_ptr<TSectionBase> TTableBlock::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new TTableBlock(document, *this));
}

int TTableBlock::DefaultBorderWidth() const
{
    return Table->BorderWidth;
}

void TTableBlock::MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth)
{
    minWidth = maxWidth = 0;
    if (DisplayKind == DisplayNoneKind)
        return;
    int autoCount = 0;
    ConvertBox(0, 0, autoCount);
    const int sides = HorizontalPaddingAndBorder();
    const int given = SpecWidth > 0 && !WidthIsPercent ? std::max(0, SpecWidth - sides) : 0;
    Table->SpecifiedWidth = given;
    Table->MeasureWidths(canvas, minWidth, maxWidth);
    if (given > 0)
        maxWidth = minWidth = std::max(minWidth, given);
    auto margin = [&](int side) { return Margin(side) == AutoLength ? 0 : std::max(0, Margin(side)); };
    const int outside = margin(piMarginLeft) + margin(piMarginRight) + sides;
    minWidth += outside;
    maxWidth += outside;
}

int TTableBlock::ResolveWidth(platform::Canvas& canvas, int availableWidth, int)
{
    int& left = BoxValue(Box, piMarginLeft);
    int& right = BoxValue(Box, piMarginRight);
    const bool inFlow = !InCaptionBlock && !Floats();
    const bool leftAuto = inFlow && left == AutoLength, rightAuto = inFlow && right == AutoLength;
    if (InCaptionBlock) {
        left = right = 0;
    } else {
        left = left == AutoLength ? 0 : left;
        right = right == AutoLength ? 0 : right;
        // A floating table keeps hspace and vspace around it when the style sheets give it no margins.
        if (Floats() && left == 0 && right == 0)
            left = right = HSpace;
        if (Floats() && BoxValue(Box, piMarginTop) == 0 && BoxValue(Box, piMarginBottom) == 0)
            BoxValue(Box, piMarginTop) = BoxValue(Box, piMarginBottom) = VSpace;
    }
    int& background = BoxValue(Box, piBackgroundColor);
    if (HasTableBgColor && background == static_cast<int>(clNone))
        background = static_cast<int>(TableBgColor);
    Table->HasBackground = background != static_cast<int>(clNone) && !BackgroundImage;
    Table->Background = static_cast<Color>(background);
    const int sides = LeftSide() + RightSide();
    if (!InCaptionBlock)
        Table->SpecifiedWidth = 0;
    int tableMin = 0, tableMax = 0;
    Table->MeasureWidths(canvas, tableMin, tableMax);
    int width;
    if (SpecWidth == 0) {
        const int room = availableWidth - sides;
        // Percent columns claim their part of the room.
        const int claimed = MulDiv(std::max(room, 0), Table->PercentSum(), 1000);
        tableMin = std::max(tableMin, claimed);
        tableMax = std::max(tableMax, claimed);
        width = tableMax < room ? tableMax : std::max(tableMin, room);
    } else {
        const int given = InCaptionBlock ? captionWidth_ - HorizontalPaddingAndBorder()
                          : WidthIsPercent ? MulDiv(availableWidth, SpecWidth, 1000) - sides
                                           : SpecWidth - HorizontalPaddingAndBorder();
        Table->SpecifiedWidth = std::max(given, tableMin);
        width = Table->SpecifiedWidth;
    }
    PlaceInRoom(left, right, availableWidth - width - sides, leftAuto, rightAuto, HorzPlacement);
    return width;
}

// Beside floats: the block starts right of the left ones and its room ends at the right ones.
int TTableBlock::Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth,
                        int availableHeight, int blockHeight, TIndentManager& indents, int& maxWidth, int& counter)
{
    TableIndent = 0;
    if (!Floats() && !IsAbsolute() && DisplayKind != DisplayNoneKind) {
        const int at = y + indents.ClearSpace(static_cast<int>(ClearKind), y);
        const int start = std::max(indents.LeftEdgeAt(at), x);
        TableIndent = start - x;
        availableWidth = std::max(0, std::min(x + availableWidth, indents.RightEdgeAt(at)) - start);
        x = start;
    }
    return TBlock::Layout(canvas, x, y, xRef, yRef, availableWidth, availableHeight, blockHeight, indents, maxWidth,
                          counter);
}

int TTableBlock::Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
                       int yRef)
{
    return TBlock::Paint(canvas, clip, indents, x + TableIndent, xRef, yRef);
}

// The system's light and dark button colours of a raised frame become colours that show on the page.
void TTableBlock::PaintBorders(platform::PaintCanvas& canvas, const Rect& borderBox, const Rect& paddingBox)
{
    if (!HasBorder || borderBox == paddingBox)
        return;
    const ThtDocument& doc = *Document;
    const Color light = doc.Printing || ColorToRGB(doc.PageColor) == clWhite ? clSilver : clBtnHighlight;
    TBorderSides sides = BorderSidesOf(Box);
    for (Color& c : sides.Colors)
        if (c == clBtnHighlight)
            c = light;
    PaintBorderRing(canvas, borderBox, paddingBox, Margin(piBackgroundColor), sides);
}

// ---------------------------------------------------------------------------------------------------------------
// The wrapper of a captioned table

TTableAndCaptionBlock::TTableAndCaptionBlock(ThtDocument& document, TTableBlock& tableBlock,
                                             const TAttributeList* attributes, TCellBasic& parentCell,
                                             TProperties& properties)
    // The id stays the table block's: the wrapper registers none.
    : TBlock(document, nullptr, parentCell, properties, BlockRole::TableAndCaption), WrappedTable(&tableBlock),
      HorzPlacement(tableBlock.HorzPlacement)
{
    if (attributes) {
        TableId = attributes->GetId();
        if (const TAttribute* align = attributes->Find(symAlign)) {
            const bool floatFromProperties = Floats();
            if (SameTextAscii(align->Value, u"center"))
                HorzPlacement = 2;
            else if (!floatFromProperties && !IsAbsolute() &&
                     (SameTextAscii(align->Value, u"left") || SameTextAscii(align->Value, u"right"))) {
                FloatKind = SameTextAscii(align->Value, u"left") ? AlignmentCode::Left : AlignmentCode::Right;
                if (!OwnIndents)
                    OwnIndents = std::make_unique<TIndentManager>();
                if (ZOrder == 0)
                    ZOrder = 1;
            }
        }
    }
    // The wrapper is only a place: the table block carries the box.
    for (int i = piPaddingTop; i <= piPaddingLeft; ++i)
        SetBoxCell(i, 0);
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i)
        BoxCells[std::size_t(BoxSlot(i))] = PropValue(static_cast<std::uint8_t>(BorderStyle::None));
    BoxCells[std::size_t(BoxSlot(piBackgroundColor))] = PropValue(clNone);
    SetBoxCell(piWidth, UnsetLength);
    SetBoxCell(piHeight, UnsetLength);
    HasBorder = false;
    BoxValue(Box, piMarginTop) = tableBlock.Margin(piMarginTop);
    BoxValue(Box, piMarginBottom) = tableBlock.Margin(piMarginBottom);
    TagPath = u"TableAndCaption.";
}

void TTableAndCaptionBlock::SetCaption(TBlock& caption, bool captionFirst)
{
    WrappedCaption = &caption;
    CaptionFirst = captionFirst;
    TTableBlock& table = *WrappedTable;
    table.InCaptionBlock = true;
    // The wrapper floats and keeps the vertical margins in the table's place.
    if (table.Floats()) {
        table.FloatKind = AlignmentCode::None;
        if (table.PositionKind == Positioning::Static)
            table.ZOrder = 0;
    }
    table.Table->IsFloating = false;
    BoxValue(table.Box, piMarginTop) = 0;
    BoxValue(table.Box, piMarginBottom) = 0;
}

TTableAndCaptionBlock::TTableAndCaptionBlock(ThtDocument& document, const TTableAndCaptionBlock& source)
    : TBlock(document, source), CaptionFirst(source.CaptionFirst), WrappedTable(nullptr),
      HorzPlacement(source.HorzPlacement), TableId(source.TableId)
{
    for (const auto& s : Content.Sections) {
        if (auto* table = dynamic_cast<TTableBlock*>(s.get()))
            WrappedTable = table;
        else if (auto* caption = dynamic_cast<TBlock*>(s.get()))
            WrappedCaption = caption;
    }
}

std::unique_ptr<TSectionBase> TTableAndCaptionBlock::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new TTableAndCaptionBlock(document, *this));
}

// The wrapper is as wide as the table would be on its own, or as its caption's longest word when that is wider;
// the table is then centred inside it.
int TTableAndCaptionBlock::ResolveWidth(platform::Canvas& canvas, int availableWidth, int autoCount)
{
    if (!WrappedTable)
        return TBlock::ResolveWidth(canvas, availableWidth, autoCount);
    int& left = BoxValue(Box, piMarginLeft);
    int& right = BoxValue(Box, piMarginRight);
    const bool leftAuto = !Floats() && left == AutoLength, rightAuto = !Floats() && right == AutoLength;
    left = left == AutoLength ? 0 : left;
    right = right == AutoLength ? 0 : right;
    TTableBlock& table = *WrappedTable;
    int tableAutoCount = 0;
    table.ConvertBox(availableWidth, 0, tableAutoCount);
    const int sides = table.HorizontalPaddingAndBorder();
    const int room = availableWidth - left - right;
    int tableMin = 0, tableMax = 0;
    table.Table->MeasureWidths(canvas, tableMin, tableMax);
    int width;
    if (table.SpecWidth == 0)
        width = tableMax <= room - sides ? tableMax : std::max(tableMin, room - sides);
    else if (!table.WidthIsPercent)
        width = std::max(tableMin, table.SpecWidth - sides);
    else
        width = std::max(tableMin, std::min(MulDiv(availableWidth, table.SpecWidth, 1000), room) - sides);
    width += sides;
    table.captionWidth_ = width;
    if (WrappedCaption) {
        int captionMin = 0, captionMax = 0;
        WrappedCaption->MeasureWidths(canvas, captionMin, captionMax);
        width = std::max(width, captionMin);
    }
    PlaceInRoom(left, right, availableWidth - width - left - right, leftAuto, rightAuto, HorzPlacement);
    table.HorzPlacement = 2;
    return width;
}

int TTableAndCaptionBlock::SourceToDocPos(int sourcePos, bool backward) const
{
    if (DisplayKind == DisplayNoneKind)
        return -1;
    const TSectionBase* first = WrappedCaption;
    const TSectionBase* second = WrappedTable;
    if (backward)
        std::swap(first, second);
    for (const TSectionBase* s : {first, second})
        if (s)
            if (const int pos = s->SourceToDocPos(sourcePos, backward); pos >= 0)
                return pos;
    return -1;
}

} // namespace lantern
