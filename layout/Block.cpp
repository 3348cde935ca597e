// Blocks: construction with margin collapsing, the box model and layout, and the queries a block passes to its
// content. Painting is in BlockDraw.cpp; the kinds of block in BlockKinds.cpp.
#include "layout/Block.h"

#include "layout/Document.h"
#include "layout/TextSection.h"
#include "markup/Attributes.h"
#include "style/BoxValues.h"

#include <algorithm>

namespace lantern {

namespace {

int& At(TBoxValueArray& box, int propIndex)
{
    return box[std::size_t(BoxSlot(propIndex))];
}

std::uint8_t BlockAlignOf(const TProperties& properties)
{
    const u16& align = properties.Props[piTextAlign].Text();
    if (align == u"right")
        return 3;
    if (align == u"center")
        return 2;
    return 1;
}

// Collapses two adjoining vertical margins into one.
int Collapse(int a, int b)
{
    if (a >= 0 && b >= 0)
        return std::max(a, b);
    if (a < 0 && b < 0)
        return std::min(a, b);
    return a + b;
}

bool IsNone(const TSectionBase& s)
{
    return s.DisplayKind == DisplayNoneKind;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// The content cell

TBlockCell::TBlockCell(ThtDocument& document, u16v openingTag) : TCellBasic(document, openingTag) {}

int TBlockCell::LayoutContent(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int width,
                              int availableHeight, int blockHeight, int& maxWidth, int& counter)
{
    CellTop = y;
    FirstChar = counter;
    maxWidth = 0;
    CellHeight = 0;
    ExtentTop = 990000;
    ExtentContentBottom = 0;
    ExtentBottom = 0;
    WidestText = 0;
    for (const auto& s : Sections) {
        int sectionWidth = 0;
        CellHeight += s->Layout(canvas, x, y + CellHeight, xRef, yRef, width, availableHeight, blockHeight,
                                *Indents, sectionWidth, counter);
        maxWidth = std::max(maxWidth, sectionWidth);
        ExtentTop = std::min(ExtentTop, s->VisibleTop);
        ExtentBottom = std::max(ExtentBottom, s->VisibleBottom);
        const auto* block = dynamic_cast<const TBlock*>(s.get());
        if (!block || !block->IsAbsolute())
            ExtentContentBottom = std::max(ExtentContentBottom, s->BoxBottom);
        if (const auto* text = dynamic_cast<const TSection*>(s.get()))
            WidestText = std::max(WidestText, text->WidestLine);
    }
    CharCount = counter - FirstChar;
    return CellHeight;
}

int TBlockCell::LayoutCell(platform::Canvas& canvas, int y, int width, int availableHeight, int blockHeight,
                           int& maxWidth, int& counter)
{
    const int height = LayoutContent(canvas, 0, y, 0, 0, width, availableHeight, blockHeight, maxWidth, counter);
    OrderForPaint();
    return height;
}

// ---------------------------------------------------------------------------------------------------------------
// Construction

TBlock::TBlock(ThtDocument& document, const TAttributeList* attributes, TCellBasic& parentCell,
               TProperties& properties)
    : TBlock(document, attributes, parentCell, properties, BlockRole::Plain)
{
}

TBlock::TBlock(ThtDocument& document, const TAttributeList* attributes, TCellBasic& parentCell,
               TProperties& properties, BlockRole role)
    : TSectionBase(document), Content(document, properties.PropTag), ParentCell(&parentCell), Role(role)
{
    Content.EnclosingBlock = this;
    ReadProperties(attributes, properties);
}

void TBlock::ReadProperties(const TAttributeList* attributes, TProperties& properties)
{
    // 1.
    DisplayKind = static_cast<std::uint8_t>(properties.DisplayOf());
    const bool table = Role == BlockRole::Table || Role == BlockRole::TableAndCaption;
    properties.GatherBorderValues(BoxCells, !table);
    if (ClearSide side = ClearSide::None; properties.ClearSideOf(side))
        ClearKind = side;
    if (AlignmentCode side = AlignmentCode::None; properties.FloatSideOf(side))
        FloatKind = side;
    HasBorder = properties.HasVisibleBorder();
    ForeColor = properties.Props[piColor].AsColor();
    if (!properties.CachedFont)
        properties.FontOf();
    EmSize = properties.CachedFont->EmSize;
    ExSize = properties.CachedFont->ExSize;
    Title = properties.PropTitle;
    // 2. The body's picture belongs to the page; a table wrapper's to the table.
    if (Role == BlockRole::Plain || Role == BlockRole::Table) {
        u16 url;
        if (properties.BackgroundImageOf(url)) {
            BackgroundUrl = url;
            properties.BackgroundPlacementOf(EmSize, ExSize, BackgroundPlacement);
            if (Document->MakeBackgroundSource)
                BackgroundImage = Document->MakeBackgroundSource(url);
        }
    }
    // 3.
    PositionKind = properties.PositioningOf();
    Visibility = properties.VisibilityOf();
    if (IsAbsolute())
        FloatKind = AlignmentCode::None;
    properties.PageBreaksOf(PageBreakBefore, PageBreakAfter, AvoidBreakInside);
    // 4. Positioned and floating blocks paint above the flow.
    if (PositionKind != Positioning::Static) {
        ZOrder = 10 * properties.ZIndexOf();
        if (ZOrder == 0 && IsAbsolute())
            ZOrder = 1;
    }
    if (Floats() && ZOrder == 0)
        ZOrder = 1;
    // 5.
    if (Floats() || IsAbsolute())
        OwnIndents = std::make_unique<TIndentManager>();
    // 6.
    TagPath = properties.PropTag + u"." + properties.PropClass + u"#" + properties.PropID;
    bool topIsGap = false;
    ResolveVerticalMargins(BoxCells, 400, Box, topIsGap, BottomIsGap, ExSize, EmSize);
    if (!table)
        MergeAdjacentMargins(topIsGap);
    if (attributes && !attributes->GetId().empty())
        Document->IdTable.Add(attributes->GetId(), *this);
    HidesOverflow = properties.HidesOverflow();
    BlockAlign = BlockAlignOf(properties);
}

// The block is created just before it is added to its parent cell, so the cell's last section is the one before it.
void TBlock::MergeAdjacentMargins(bool topIsGap)
{
    int& top = At(Box, piMarginTop);
    if (IsAbsolute()) {
        if (topIsGap)
            top = 0;
        return;
    }
    if (Floats() || DisplayKind == DisplayNoneKind)
        return;
    TSectionBase* previous = nullptr;
    for (int i = ParentCell->Count() - 1; i >= 0 && !previous; --i) {
        TSectionBase& s = (*ParentCell)[i];
        const auto* block = dynamic_cast<const TBlock*>(&s);
        if (!IsNone(s) && !(block && block->IsAbsolute()))
            previous = &s;
    }
    if (!previous) {
        // First in its parent: the gap would only separate it from its parent's top edge.
        if (topIsGap)
            top = 0;
        else if (ParentCell->OpeningTag == u"default" || ParentCell->OpeningTag == u"body")
            if (const TBlock* parent = ParentCell->EnclosingBlock)
                top = std::max(0, top - parent->Margin(piMarginTop));
        return;
    }
    auto* block = dynamic_cast<TBlock*>(previous);
    if (block && (block->Role == BlockRole::Table || block->Role == BlockRole::TableAndCaption) && block->Floats()) {
        if (topIsGap)
            top = 0;
        return;
    }
    if (block) {
        int& bottom = At(block->Box, piMarginBottom);
        top = Collapse(bottom, top);
        bottom = 0;
        block->BottomIsGap = false;
        return;
    }
    const u16v tag = TagPath;
    if (ParentCell->OpeningTag == u"li" && topIsGap && (tag.starts_with(u"ul.") || tag.starts_with(u"ol.")))
        top = 0;
}

void TBlock::SetBoxCell(int propIndex, int value)
{
    BoxCells[std::size_t(BoxSlot(propIndex))] = PropValue(value);
}

void TBlock::TakeParagraphGap()
{
    At(Box, piMarginBottom) = 14;
    BottomIsGap = true;
}

bool DropTrailingGap(TCellBasic& cell)
{
    for (int i = cell.Count() - 1; i >= 0; --i) {
        TSectionBase& s = cell[i];
        auto* block = dynamic_cast<TBlock*>(&s);
        if (block && block->IsAbsolute())
            continue;
        if (!block)
            return false;
        bool dropped = false;
        if (block->BottomIsGap) {
            block->Box[std::size_t(BoxSlot(piMarginBottom))] = 0;
            block->BottomIsGap = false;
            dropped = true;
        }
        if (dynamic_cast<TBlockLI*>(block))
            dropped = DropTrailingGap(block->Content) || dropped;
        return dropped;
    }
    return false;
}

TBlock::TBlock(ThtDocument& document, const TBlock& source)
    : TSectionBase(document), Content(document, source.Content.OpeningTag), BoxCells(source.BoxCells),
      ParentCell(nullptr), BackgroundUrl(source.BackgroundUrl), Title(source.Title), TagPath(source.TagPath),
      Box(source.Box), EmSize(source.EmSize), ExSize(source.ExSize), ForeColor(source.ForeColor),
      HasBorder(source.HasBorder), FloatKind(source.FloatKind), ClearKind(source.ClearKind),
      BackgroundPlacement(source.BackgroundPlacement), PositionKind(source.PositionKind),
      Visibility(source.Visibility), BottomIsGap(source.BottomIsGap), PageBreakBefore(source.PageBreakBefore),
      PageBreakAfter(source.PageBreakAfter), AvoidBreakInside(source.AvoidBreakInside),
      BlockAlign(source.BlockAlign), Role(source.Role), HidesOverflow(source.HidesOverflow)
{
    CopyBaseFrom(source);
    Content.EnclosingBlock = this;
    for (const auto& s : source.Content.Sections)
        Content.Sections.push_back(s->Clone(document));
    if (source.OwnIndents)
        OwnIndents = std::make_unique<TIndentManager>();
    if (!BackgroundUrl.empty() && document.MakeBackgroundSource)
        BackgroundImage = document.MakeBackgroundSource(BackgroundUrl);
}

TBlock::~TBlock()
{
    if (Document->IdTable.Count() > 0)
        Document->IdTable.RemoveObject(*this);
}

std::unique_ptr<TSectionBase> TBlock::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new TBlock(document, *this));
}

// ---------------------------------------------------------------------------------------------------------------
// The box

int TBlock::LeftSide() const
{
    return Margin(piMarginLeft) + Margin(piPaddingLeft) + Margin(piBorderLeftWidth);
}

int TBlock::RightSide() const
{
    return Margin(piMarginRight) + Margin(piPaddingRight) + Margin(piBorderRightWidth);
}

int TBlock::HorizontalPaddingAndBorder() const
{
    return Margin(piPaddingLeft) + Margin(piPaddingRight) + Margin(piBorderLeftWidth) + Margin(piBorderRightWidth);
}

void TBlock::MeasureContent(platform::Canvas& canvas, int& minWidth, int& maxWidth)
{
    Content.MeasureWidths(canvas, minWidth, maxWidth);
}

void TBlock::ConvertBox(int widthBase, int heightBase, int& autoCount)
{
    ResolveBoxValues(BoxCells, widthBase, heightBase, Box, autoCount, DefaultBorderWidth(), ExSize, EmSize);
}

int TBlock::ResolveWidth(platform::Canvas& canvas, int availableWidth, int autoCount)
{
    int minWidth = 0, maxWidth = 0;
    MeasureContent(canvas, minWidth, maxWidth);
    int width = Margin(piWidth);
    const bool widthGiven = width != AutoLength;
    ClipsOverflow = HidesOverflow && widthGiven && width > 20;
    const int bp = HorizontalPaddingAndBorder();
    int& left = At(Box, piMarginLeft);
    int& right = At(Box, piMarginRight);
    const bool inFlow = !Floats() && PositionKind == Positioning::Static;
    switch (autoCount) {
    case 0:
        // A centred or right-aligned parent places a block that leaves its margins to it.
        if (BlockAlign != 1 && inFlow && left == 0 && right == 0) {
            int seen = 0;
            ApplyMinMaxWidth(Box, width, seen, false);
            const int rest = std::max(0, availableWidth - width - bp);
            if (BlockAlign == 2)
                left = right = rest / 2;
            else
                left = rest;
        }
        return width;
    case 1:
        if (widthGiven) {
            if (right != AutoLength)
                left = std::max(0, availableWidth - bp - right - width);
            else
                right = Floats() ? 0 : std::max(0, availableWidth - bp - left - width);
            return width;
        }
        return AutomaticWidth(availableWidth, minWidth, maxWidth);
    case 2:
        if (widthGiven) {
            left = right = std::max(0, availableWidth - width - bp) / 2;
            return width;
        }
        (left == AutoLength ? left : right) = 0;
        return AutomaticWidth(availableWidth, minWidth, maxWidth);
    default:
        left = right = 0;
        return AutomaticWidth(availableWidth, minWidth, maxWidth);
    }
}

// The width of a block whose width is auto, once its margins are settled: the room left in the flow, or the
// content's own width for a float (shrink to fit). Min and max widths apply, except in quirks mode. A block in
// the flow keeps to the room even when a line or a table inside is wider: that content overflows, as the body's
// does, rather than every paragraph around it wrapping at the width of one long line of code.
int TBlock::AutomaticWidth(int availableWidth, int minWidth, int maxWidth) const
{
    const int room = availableWidth - HorizontalPaddingAndBorder() - Margin(piMarginLeft) - Margin(piMarginRight);
    int width;
    if (IsAbsolute())
        width = std::max(minWidth, room - PosLeft);
    else if (Floats())
        width = std::max(minWidth, std::min(maxWidth, room));
    else
        width = std::max(0, room);
    if (!Document->Quirks) {
        if (Margin(piMaxWidth) > 0)
            width = std::min(width, Margin(piMaxWidth));
        if (Margin(piMinWidth) > 0)
            width = std::max(width, Margin(piMinWidth));
    }
    return width;
}

// The offsets of a positioned block. An absolutely positioned block with a right offset and no left one is
// placed from the right.
void TBlock::ResolveOffsets(int availableWidth, int autoCount)
{
    const int top = Margin(piTop), left = Margin(piLeft), right = Margin(piRight);
    PosTop = top == AutoLength ? 0 : top;
    if (left != AutoLength)
        PosLeft = left;
    else if (IsAbsolute() && right != AutoLength && autoCount == 0)
        PosLeft = availableWidth - right - ContentWidth - LeftSide() - RightSide();
    else
        PosLeft = 0;
}

// ---------------------------------------------------------------------------------------------------------------
// Layout

int TBlock::Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth,
                   int availableHeight, int blockHeight, TIndentManager& indents, int& maxWidth, int& counter)
{
    // 1.
    if (DisplayKind == DisplayNoneKind) {
        FirstChar = counter;
        CharCount = 0;
        PaintTop = VisibleTop = BoxTop = BoxBottom = VisibleBottom = y;
        BoxHeight = VisibleHeight = 0;
        maxWidth = 0;
        return 0;
    }
    // 2.
    PaintTop = y;
    Clearance = indents.ClearSpace(static_cast<int>(ClearKind), y);
    FirstChar = counter;
    maxWidth = availableWidth;
    // 3.
    int autoCount = 0;
    ConvertBox(availableWidth, availableHeight, autoCount);
    ApplyBoxSizing(Box, Document->Quirks);
    PosLeft = IsAbsolute() && Margin(piLeft) != AutoLength ? Margin(piLeft) : 0;
    ContentWidth = ResolveWidth(canvas, availableWidth, autoCount);
    const int leftSide = LeftSide(), rightSide = RightSide();
    const int fullWidth = ContentWidth + leftSide + rightSide;
    ContentOffset = leftSide;
    // 4.
    if (PositionKind != Positioning::Static)
        ResolveOffsets(availableWidth, autoCount);
    if (IsAbsolute()) {
        x = xRef + PosLeft;
        y = yRef + PosTop;
    }
    layoutX_ = x;
    // 5.
    int top = Clearance + y;
    if (Floats())
        top = PlaceFloat(x, top, indents);
    // 6.
    const int marginTop = Margin(piMarginTop);
    const int shift = IsRelative() ? PosTop : 0;
    boxY_ = top;
    borderTop_ = top + marginTop + shift;
    VisibleTop = marginTop > 0 ? top + marginTop : top;
    BoxTop = top + marginTop + Margin(piPaddingTop) + Margin(piBorderTopWidth);
    // 7. Floating and absolutely positioned blocks lay their content out against edges of their own.
    TIndentManager* contentIndents = &indents;
    if (Floats() || IsAbsolute()) {
        OuterIndents = &indents;
        if (!OwnIndents)
            OwnIndents = std::make_unique<TIndentManager>();
        OwnIndents->Reset(0, ContentWidth);
        contentIndents = OwnIndents.get();
    }
    Content.Indents = contentIndents;
    const void* previousOwner = contentIndents->CurrentOwner;
    contentIndents->CurrentOwner = this;
    const int contentLeft = x + ContentOffset;
    const int leftEdge = contentIndents->AddLeftEdge(contentLeft, top);
    const int rightEdge = contentIndents->AddRightEdge(contentLeft + ContentWidth, top);
    // 8.
    const int height = Margin(piHeight);
    const int heightBase = height >= 1 ? height : availableHeight != 0 ? availableHeight : blockHeight;
    // 9.
    int contentXRef = xRef, contentYRef = yRef;
    ContentOrigin(x, contentXRef, contentYRef);
    int contentMax = 0;
    Content.LayoutContent(canvas, contentLeft, BoxTop + shift, contentXRef, contentYRef, ContentWidth, height,
                          heightBase, contentMax, counter);
    if (ClipsOverflow)
        contentMax = ContentWidth;
    maxWidth = ContentOffset + contentMax + rightSide + (PositionKind != Positioning::Static ? PosLeft : 0);
    // 10.
    if (ClipsOverflow && height > 3)
        ContentBottom = BoxTop + height;
    else
        ContentBottom = std::max({Content.ExtentContentBottom - shift, BoxTop, BoxTop + height});
    if (IsAbsolute())
        ContentBottom = std::max(ContentBottom, OwnIndents->FloatBottom());
    // 11.
    CharCount = counter - FirstChar;
    const int bottomSides = Margin(piPaddingBottom) + Margin(piBorderBottomWidth);
    BoxBottom = ContentBottom + bottomSides + Margin(piMarginBottom);
    VisibleBottom = std::max(Content.ExtentBottom, ContentBottom) + bottomSides;
    borderBottom_ = BoxBottom - Margin(piMarginBottom) + shift;
    int result = BoxBottom - y;
    // 12.
    LayOutBackground();
    // 13.
    contentIndents->RemoveRight(rightEdge);
    contentIndents->RemoveLeft(leftEdge);
    contentIndents->CurrentOwner = previousOwner;
    if (Floats() || IsAbsolute()) {
        VisibleHeight = BoxHeight = 0;
        result = 0;
        if (FloatKind == AlignmentCode::Left)
            indents.AddLeftFloat(top, BoxBottom, fullWidth);
        else if (FloatKind == AlignmentCode::Right)
            indents.AddRightFloat(top, BoxBottom, fullWidth);
    } else {
        BoxHeight = result;
        VisibleHeight = std::max(result, indents.FloatBottom() - y);
    }
    // 14.
    BuildPaintOrder();
    PaintList.Measure();
    return result;
}

// A float goes where the manager finds room for its full width; its content moves with it.
int TBlock::PlaceFloat(int x, int top, TIndentManager& indents)
{
    const int fullWidth = ContentWidth + LeftSide() + RightSide();
    const int placedX = FloatKind == AlignmentCode::Left ? indents.PlaceLeftFloat(top, fullWidth, 0, 0)
                                                          : indents.PlaceRightFloat(top, fullWidth, 0, 0);
    ContentOffset = LeftSide() + (placedX - x);
    return top;
}

// Absolutely positioned content inside is placed from the padding box of a positioned block.
void TBlock::ContentOrigin(int x, int& xRef, int& yRef) const
{
    if (PositionKind == Positioning::Static)
        return;
    xRef = x + (IsRelative() ? PosLeft : 0) + Margin(piMarginLeft) + Margin(piBorderLeftWidth);
    yRef = borderTop_ + Margin(piBorderTopWidth);
}

// On the first layout: the content in paint order, the flow (z-order 0) in document order between what paints
// below it (negative z-order) and above it (positive), each of those ascending and in document order among equals.
void TBlock::BuildPaintOrder()
{
    if (paintOrderBuilt_)
        return;
    paintOrderBuilt_ = true;
    std::vector<TSectionBase*> below, flow, above;
    for (const auto& s : Content.Sections) {
        s->EnclosingBlock = this;
        (s->ZOrder < 0 ? below : s->ZOrder == 0 ? flow : above).push_back(s.get());
    }
    auto byZ = [](const TSectionBase* a, const TSectionBase* b) { return a->ZOrder < b->ZOrder; };
    std::stable_sort(below.begin(), below.end(), byZ);
    std::stable_sort(above.begin(), above.end(), byZ);
    PaintList.Assign(std::move(below), std::move(flow), std::move(above));
}

void TBlock::LayOutBackground()
{
    if (!BackgroundImage || !Document->ShowImages)
        return;
    if (BackgroundImage->Load() == TBackgroundSource::State::Failed)
        BackgroundImage.reset();
    else
        BackgroundPending = true;
}

Rect TBlock::BorderBoxAt(int x) const
{
    if (IsRelative())
        x += PosLeft;
    const int left = Floats() ? x + ContentOffset - Margin(piPaddingLeft) - Margin(piBorderLeftWidth)
                              : x + Margin(piMarginLeft);
    return Rect{left, borderTop_,
                x + ContentOffset + ContentWidth + Margin(piPaddingRight) + Margin(piBorderRightWidth),
                borderBottom_};
}

void TBlock::PaintExtent(int& top, int& bottom) const
{
    // The border box, moved by a relative offset, and whatever the content paints beyond it.
    top = std::min({VisibleTop, borderTop_, Content.ExtentTop});
    bottom = std::max(VisibleBottom, borderBottom_);
}

void TBlock::MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth)
{
    minWidth = maxWidth = 0;
    if (DisplayKind == DisplayNoneKind)
        return;
    int autoCount = 0;
    ConvertBox(0, 0, autoCount);
    MeasureContent(canvas, minWidth, maxWidth);
    if (const int width = Margin(piWidth); width != AutoLength && width > 0)
        minWidth = maxWidth = width;
    auto given = [&](int propIndex) { return std::max(0, Margin(propIndex) == AutoLength ? 0 : Margin(propIndex)); };
    const int sides = given(piMarginLeft) + given(piMarginRight) + HorizontalPaddingAndBorder();
    minWidth += sides;
    maxWidth += sides;
}

// ---------------------------------------------------------------------------------------------------------------
// Queries, passed to the content

bool TBlock::CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const
{
    return DisplayKind != DisplayNoneKind && Content.CaretToPoint(canvas, pos, x, y);
}

int TBlock::SourceToDocPos(int sourcePos, bool backward) const
{
    return DisplayKind == DisplayNoneKind ? -1 : Content.SourceToDocPos(sourcePos, backward);
}

int TBlock::DocToSourcePos(int pos) const
{
    return DisplayKind == DisplayNoneKind ? -1 : Content.DocToSourcePos(pos);
}

int TBlock::SearchForward(int from, u16v text, bool matchCase) const
{
    return DisplayKind == DisplayNoneKind ? -1 : Content.SearchForward(from, text, matchCase);
}

int TBlock::SearchBackward(int from, u16v text, bool matchCase) const
{
    return DisplayKind == DisplayNoneKind ? -1 : Content.SearchBackward(from, text, matchCase);
}

bool TBlock::CharAt(int pos, char16_t& ch, const TSectionBase*& section) const
{
    section = nullptr;
    return DisplayKind != DisplayNoneKind && Content.CharAt(pos, ch, section);
}

void TBlock::RegisterPosition()
{
    if (DisplayKind != DisplayNoneKind)
        Content.RegisterPositions();
}

int TBlock::PointToCaret(platform::Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                         bool& insideText)
{
    if (DisplayKind == DisplayNoneKind)
        return -1;
    // Topmost first: the end of the paint order.
    for (auto it = PaintList.Sections.rbegin(); it != PaintList.Sections.rend(); ++it)
        if ((*it)->VisibleTop <= y && y < (*it)->VisibleBottom)
            if (int pos = (*it)->PointToCaret(canvas, x, y, caretX, caretY, caretHeight, insideText); pos >= 0)
                return pos;
    return -1;
}

bool TBlock::HitObject(int x, int y, TFloatingObj*& object, int& objectX, int& objectY)
{
    object = nullptr;
    if (DisplayKind == DisplayNoneKind)
        return false;
    for (auto it = PaintList.Sections.rbegin(); it != PaintList.Sections.rend(); ++it)
        if ((*it)->VisibleTop <= y && y < (*it)->VisibleBottom && (*it)->HitObject(x, y, object, objectX, objectY))
            return true;
    return false;
}

THitKinds TBlock::HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                          TFormControlObj*& control, u16& title)
{
    if (DisplayKind == DisplayNoneKind)
        return TSectionBase::HitLink(canvas, x, y, target, control, title);
    THitKinds found = Content.HitLink(canvas, x, y, target, control, title);
    if (!Title.empty() && BorderRect.Contains(Point{x, y - Document->ViewTop})) {
        title = Title;
        found |= hkTitle;
    }
    return found;
}

void TBlock::CopySelection()
{
    if (DisplayKind == DisplayNoneKind)
        return;
    Content.CopySelection();
    if (u16v(TagPath).starts_with(u"p.") && Document->CurrentSink &&
        Document->SelEnd > FirstChar + CharCount)
        Document->CurrentSink->AppendText(u"\r\n");
}

} // namespace lantern
