// The kinds of block: the body, list items, horizontal rules, fieldsets and page breaks; their construction and
// layout. Their painting is in BlockDraw.cpp.
#include "layout/Block.h"

#include "layout/Document.h"
#include "markup/Attributes.h"
#include "style/BoxValues.h"
#include "style/ColorParser.h"
#include "style/Lengths.h"

#include <algorithm>
#include <array>

namespace lantern {

namespace {

int& At(TBoxValueArray& box, int propIndex)
{
    return box[std::size_t(BoxSlot(propIndex))];
}

PropValue& CellOf(TBoxCellArray& cells, int propIndex)
{
    return cells[std::size_t(BoxSlot(propIndex))];
}

bool NotGiven(const PropValue& cell)
{
    return cell.IsEmpty() || TProperties::IsUnsetLength(cell);
}

// The first line's baseline goes to `target` while a block lays itself out; the request of whoever asked before
// is restored afterwards.
class TBaselineRequest {
public:
    TBaselineRequest(ThtDocument& document, int& target) : document_(document), previous_(document.FirstLineBaseline)
    {
        target = 0;
        document.FirstLineBaseline = &target;
    }
    ~TBaselineRequest() { document_.FirstLineBaseline = previous_; }
    TBaselineRequest(const TBaselineRequest&) = delete;
    TBaselineRequest& operator=(const TBaselineRequest&) = delete;

private:
    ThtDocument& document_;
    int* previous_;
};

constexpr std::array<u16v, 20> LowerRoman = {u"i",   u"ii",   u"iii", u"iv",  u"v",   u"vi",  u"vii",
                                             u"viii", u"ix",  u"x",   u"xi",  u"xii", u"xiii", u"xiv",
                                             u"xv",  u"xvi",  u"xvii", u"xviii", u"xix", u"xx"};

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Body

TBodyBlock::TBodyBlock(ThtDocument& document, const TAttributeList* attributes, TCellBasic& parentCell,
                       TProperties& properties)
    : TBlock(document, attributes, parentCell, properties, BlockRole::Body)
{
    PositionKind = Positioning::Static;
    ZOrder = Floats() ? 1 : 0;
    u16 url;
    if (properties.BackgroundImageOf(url)) {
        TBackgroundPlacement placement;
        properties.BackgroundPlacementOf(EmSize, ExSize, placement);
        document.SetBackgroundImage(url, placement);
    }
    if (const Color color = properties.BackgroundColorOf(); color != clNone)
        document.SetPageColor(color | PaletteRelativeFlag());
}

std::unique_ptr<TSectionBase> TBodyBlock::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new TBodyBlock(document, *this));
}

// The body takes the whole width of the page: auto margins are none, and its content runs between its sides.
int TBodyBlock::Layout(platform::Canvas& canvas, int x, int y, int, int, int, int availableHeight, int,
                       TIndentManager& indents, int& maxWidth, int& counter)
{
    if (DisplayKind == DisplayNoneKind)
        return TBlock::Layout(canvas, x, y, 0, 0, 0, 0, 0, indents, maxWidth, counter);
    PaintTop = y;
    FirstChar = counter;
    Clearance = 0;
    int autoCount = 0;
    ConvertBox(indents.Width, availableHeight, autoCount);
    for (int side : {piMarginLeft, piMarginRight})
        if (Margin(side) == AutoLength)
            At(Box, side) = 0;
    ApplyBoxSizing(Box, Document->Quirks);
    const int leftSide = LeftSide();
    ContentWidth = indents.Width - leftSide - RightSide();
    ContentOffset = leftSide;
    const int marginTop = Margin(piMarginTop), marginBottom = Margin(piMarginBottom);
    VisibleTop = y + marginTop;
    Content.Indents = &indents;
    const void* previousOwner = indents.CurrentOwner;
    indents.CurrentOwner = this;
    const int leftEdge = indents.AddLeftEdge(x + leftSide, y);
    const int rightEdge = indents.AddRightEdge(x + leftSide + ContentWidth, y);
    BoxTop = y + marginTop + Margin(piPaddingTop) + Margin(piBorderTopWidth);
    int contentMax = 0;
    Content.LayoutContent(canvas, x + leftSide, BoxTop, 0, 0, ContentWidth, availableHeight - marginTop - marginBottom,
                          availableHeight, contentMax, counter);
    indents.RemoveRight(rightEdge);
    indents.RemoveLeft(leftEdge);
    indents.CurrentOwner = previousOwner;
    CharCount = counter - FirstChar;
    const int bottomSides = Margin(piPaddingBottom) + Margin(piBorderBottomWidth);
    ContentBottom = std::max(Content.ExtentContentBottom, BoxTop);
    BoxBottom = ContentBottom + bottomSides + marginBottom;
    VisibleBottom = std::max(Content.ExtentBottom, ContentBottom) + bottomSides;
    // The body spans the page: every point of it is inside.
    Content.ExtentTop = 0;
    Content.ExtentContentBottom = 999000;
    boxY_ = y;
    layoutX_ = x;
    borderTop_ = y + marginTop;
    borderBottom_ = BoxBottom - marginBottom;
    const int result = VisibleBottom + marginBottom - y;
    BoxHeight = result;
    VisibleHeight = std::max(result, indents.FloatBottom() - y);
    maxWidth = std::max(indents.Width, std::max(ContentWidth, contentMax) + Margin(piMarginLeft) +
                                           Margin(piMarginRight));
    BuildPaintOrder();
    PaintList.Measure();
    return result;
}

THitKinds TBodyBlock::HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                              TFormControlObj*& control, u16& title)
{
    THitKinds found = Content.HitLink(canvas, x, y, target, control, title);
    if (!Title.empty()) {
        title = Title;
        found |= hkTitle;
    }
    return found;
}

// ---------------------------------------------------------------------------------------------------------------
// List items

TBlockLI::TBlockLI(ThtDocument& document, const TAttributeList* attributes, int level, int number,
                   char16_t typeChar, bool plain, THtmlSymbol listSymbol, TCellBasic& parentCell,
                   TProperties& properties)
    : TBlock(document, attributes, parentCell, properties), ListNumber(number)
{
    const ListStyleType styled = properties.ListStyleTypeOf();
    const bool given = styled != ListStyleType::Blank;
    bool noPadding = false;
    switch (listSymbol) {
    case symOl:
        ListKind = 1;
        if (given)
            MarkerStyle = styled;
        else
            switch (typeChar) {
            case u'A': MarkerStyle = ListStyleType::UpperAlpha; break;
            case u'I': MarkerStyle = ListStyleType::UpperRoman; break;
            case u'a': MarkerStyle = ListStyleType::LowerAlpha; break;
            case u'i': MarkerStyle = ListStyleType::LowerRoman; break;
            default: MarkerStyle = ListStyleType::Decimal; break;
            }
        break;
    case symUl:
    case symDir:
    case symMenu: {
        ListKind = 2;
        constexpr std::array<ListStyleType, 3> ByLevel = {ListStyleType::Square, ListStyleType::Disc,
                                                          ListStyleType::Circle};
        if (plain || properties.DisplayOf() == DisplayCode::Inline)
            MarkerStyle = ListStyleType::None;
        else
            MarkerStyle = given ? styled : ByLevel[std::size_t(((level % 3) + 3) % 3)];
        noPadding = plain;
        break;
    }
    case symDl:
        ListKind = 3;
        MarkerStyle = given ? styled : ListStyleType::None;
        noPadding = true;
        break;
    default: {
        ListKind = 4;
        MarkerStyle = given ? styled : ListStyleType::Disc;
        const PropValue& left = CellOf(BoxCells, piMarginLeft);
        if (NotGiven(left) || (left.IsNumeric() && left.AsInt() == 0))
            SetBoxCell(piMarginLeft, 16);
        break;
    }
    }
    if (NotGiven(CellOf(BoxCells, piPaddingLeft)))
        SetBoxCell(piPaddingLeft, noPadding ? 0 : 40);
    if (!properties.CachedFont)
        properties.FontOf();
    MarkerFont = *properties.CachedFont;
    if (properties.ListStyleImageOf(MarkerImageUrl) && document.MakeBackgroundSource)
        MarkerImage = document.MakeBackgroundSource(MarkerImageUrl);
}

TBlockLI::TBlockLI(ThtDocument& document, const TBlockLI& source)
    : TBlock(document, source), ListKind(source.ListKind), ListNumber(source.ListNumber),
      MarkerStyle(source.MarkerStyle), MarkerFont(source.MarkerFont), MarkerImageUrl(source.MarkerImageUrl)
{
    if (!MarkerImageUrl.empty() && document.MakeBackgroundSource)
        MarkerImage = document.MakeBackgroundSource(MarkerImageUrl);
}

std::unique_ptr<TSectionBase> TBlockLI::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new TBlockLI(document, *this));
}

int TBlockLI::Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth,
                     int availableHeight, int blockHeight, TIndentManager& indents, int& maxWidth, int& counter)
{
    if (MarkerImage && (!Document->ShowImages || MarkerImage->Load() == TBackgroundSource::State::Failed))
        MarkerImage.reset();
    TBaselineRequest request(*Document, FirstBaseline);
    return TBlock::Layout(canvas, x, y, xRef, yRef, availableWidth, availableHeight, blockHeight, indents,
                          maxWidth, counter);
}

// Numbers below 1 have no letter or numeral, and are written in digits.
u16 TBlockLI::MarkerText() const
{
    const int n = ListNumber;
    u16 text;
    switch (MarkerStyle) {
    case ListStyleType::Decimal: text = IntToStr(n); break;
    case ListStyleType::LowerAlpha:
    case ListStyleType::UpperAlpha:
        if (n < 1) {
            text = IntToStr(n);
            break;
        }
        text = char16_t((MarkerStyle == ListStyleType::LowerAlpha ? u'a' : u'A') + std::min(n - 1, 25));
        break;
    case ListStyleType::LowerRoman:
    case ListStyleType::UpperRoman:
        if (n < 1) {
            text = IntToStr(n);
            break;
        }
        text = LowerRoman[std::size_t(std::min(n, 20) - 1)];
        if (MarkerStyle == ListStyleType::UpperRoman)
            text = UpperAscii(text);
        break;
    default: return {};
    }
    return text + u".";
}

// ---------------------------------------------------------------------------------------------------------------
// Horizontal rules

THorzLine::THorzLine(ThtDocument& document, TProperties& properties, const TAttributeList* attributes)
    : TSectionBase(document)
{
    DisplayKind = static_cast<std::uint8_t>(properties.DisplayOf());
    if (attributes)
        for (std::size_t i = 0; i < attributes->Count(); ++i) {
            const TAttribute& a = (*attributes)[i];
            switch (a.Symbol) {
            case symAlign:
                if (SameTextAscii(a.Value, u"left"))
                    RuleAlignAttr = 1;
                else if (SameTextAscii(a.Value, u"right"))
                    RuleAlignAttr = 3;
                break;
            case symWidth:
                if (a.IntValue > 0) {
                    const bool percent = a.Value.find(u'%') != u16::npos && a.IntValue <= 100;
                    properties.SetPropByIndex(piWidth, IntToStr(a.IntValue) + (percent ? u"%" : u"px"));
                }
                break;
            case symSize:
                if (a.IntValue >= 1 && a.IntValue <= 20)
                    RuleHeight = a.IntValue;
                break;
            case symColor:
                if (Color c = 0; ParseColor(a.Value, false, c)) {
                    RuleColor = c;
                    properties.SetFromAttribute(piColor, PropValue(c));
                }
                break;
            case symNoshade: NoShade = true; break;
            default: break;
            }
        }
    properties.SetPropByIndex(piHeight, IntToStr(RuleHeight) + u"px");
    if (const Color c = properties.GetExplicitForegroundColor(); c != clNone)
        RuleColor = c;
    if (properties.SetFlags[piTextAlign]) {
        const u16& align = properties.Props[piTextAlign].Text();
        if (align == u"left")
            RuleAlignAttr = 1;
        else if (align == u"right")
            RuleAlignAttr = 3;
        else if (align == u"center")
            RuleAlignAttr = 2;
    }
}

std::unique_ptr<TSectionBase> THorzLine::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new THorzLine(document, *this));
}

THorzLine::THorzLine(ThtDocument& document, const THorzLine& source)
    : TSectionBase(document), RuleHeight(source.RuleHeight), RuleColor(source.RuleColor),
      RuleAlignAttr(source.RuleAlignAttr), NoShade(source.NoShade)
{
    CopyBaseFrom(source);
}

int THorzLine::Layout(platform::Canvas&, int x, int y, int, int, int availableWidth, int, int,
                      TIndentManager& indents, int& maxWidth, int& counter)
{
    FirstChar = counter;
    PaintTop = BoxTop = VisibleTop = y;
    RuleIndent = std::max(indents.LeftEdgeAt(y), x);
    RuleWidth = std::min(indents.RightEdgeAt(y) - RuleIndent, x + availableWidth - RuleIndent);
    LayoutX = x;
    maxWidth = RuleWidth;
    BoxHeight = VisibleHeight = RuleHeight;
    BoxBottom = VisibleBottom = y + RuleHeight;
    return RuleHeight;
}

THRBlock::THRBlock(ThtDocument& document, const TAttributeList* attributes, TCellBasic& parentCell,
                   TProperties& properties)
    : TBlock(document, attributes, parentCell, properties)
{
}

THRBlock::THRBlock(ThtDocument& document, const THRBlock& source) : TBlock(document, source), RuleAlign(source.RuleAlign)
{
    if (!Content.Empty())
        Rule = dynamic_cast<THorzLine*>(&Content[0]);
}

std::unique_ptr<TSectionBase> THRBlock::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new THRBlock(document, *this));
}

void THRBlock::TakeRule(std::unique_ptr<THorzLine> rule, int sourcePos)
{
    Rule = rule.get();
    RuleAlign = rule->RuleAlignAttr;
    Content.AddSection(std::move(rule), sourcePos);
}

// A rule is as wide as it is told, within the room it has, and aligned in that room by its margins.
int THRBlock::ResolveWidth(platform::Canvas&, int availableWidth, int)
{
    ClipsOverflow = false;
    const std::uint8_t align = IsAbsolute() ? 1 : RuleAlign;
    for (int side : {piMarginLeft, piMarginRight})
        if (Margin(side) == AutoLength)
            At(Box, side) = 0;
    const int room = std::max(15, availableWidth - Margin(piMarginLeft) - Margin(piMarginRight) -
                                      HorizontalPaddingAndBorder());
    const int given = Margin(piWidth);
    const int width = given == AutoLength || given <= 0 ? room : std::min(given, room);
    const int rest = room - width;
    if (align == 2)
        At(Box, piMarginLeft) += rest / 2;
    else if (align == 3)
        At(Box, piMarginLeft) += rest;
    if (Rule && !Document->IsPrintCopy && Margin(piHeight) > 0)
        Rule->RuleHeight = Margin(piHeight);
    return width;
}

void THRBlock::CopySelection()
{
    if (Document->CurrentSink)
        Document->CurrentSink->AppendText(u"\r\n");
}

// ---------------------------------------------------------------------------------------------------------------
// Fieldsets

TFieldsetBlock::TFieldsetBlock(ThtDocument& document, const TAttributeList* attributes, TCellBasic& parentCell,
                               TProperties& properties)
    : TBlock(document, attributes, parentCell, properties), Legend(document, u"legend")
{
    Legend.EnclosingBlock = this;
    HasBorder = true;
    // A fieldset is framed unless its style says otherwise.
    for (int side = 0; side < 4; ++side) {
        auto fill = [&](int propIndex, int value) {
            if (NotGiven(properties.Props[std::size_t(propIndex)]))
                SetBoxCell(propIndex, value);
        };
        fill(piBorderTopStyle + side, int(BorderStyle::Solid));
        fill(piBorderTopColor + side, 0xB2ACA5);
        fill(piBorderTopWidth + side, 1);
        fill(piPaddingTop + side, 10);
    }
}

TFieldsetBlock::TFieldsetBlock(ThtDocument& document, const TFieldsetBlock& source)
    : TBlock(document, source), Legend(document, u"legend")
{
    Legend.EnclosingBlock = this;
    for (const auto& s : source.Legend.Sections)
        Legend.Sections.push_back(s->Clone(document));
}

std::unique_ptr<TSectionBase> TFieldsetBlock::Clone(ThtDocument& document) const
{
    return std::unique_ptr<TSectionBase>(new TFieldsetBlock(document, *this));
}

void TFieldsetBlock::MeasureContent(platform::Canvas& canvas, int& minWidth, int& maxWidth)
{
    int legendMin = 0, legendMax = 0;
    Legend.MeasureWidths(canvas, legendMin, legendMax);
    TBlock::MeasureContent(canvas, minWidth, maxWidth);
    minWidth = std::max(minWidth, legendMin);
    maxWidth = std::max(maxWidth, legendMax);
}

// The legend straddles the top border: a legend taller than the space above the content pushes the border
// down by half of what it lacks and the content by the other half.
void TFieldsetBlock::ConvertBox(int widthBase, int heightBase, int& autoCount)
{
    TBlock::ConvertBox(widthBase, heightBase, autoCount);
    const PropValue& cell = CellOf(BoxCells, piMarginTop);
    int& top = At(Box, piMarginTop);
    if (const u16* text = cell.TextPtr())
        top = ConvertLength(*text, false, widthBase, 10, ExSize, EmSize);
    else if (cell.IsNumeric() && !NotGiven(cell) && !cell.IsInt(ParagraphGapMarker))
        top = cell.AsInt();
    else
        top = 10;
    const int excess = legendHeight_ - top - Margin(piBorderTopWidth) - Margin(piPaddingTop);
    if (excess > 0) {
        top = legendHeight_ - Margin(piPaddingTop) - Margin(piBorderTopWidth) - excess / 2;
        At(Box, piPaddingTop) += excess / 2;
    }
}

int TFieldsetBlock::Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth,
                           int availableHeight, int blockHeight, TIndentManager& indents, int& maxWidth,
                           int& counter)
{
    // The legend first, between the fieldset's sides, at the top of the box.
    legendHeight_ = 0;
    const int start = counter;
    int autoCount = 0;
    TBlock::ConvertBox(availableWidth, availableHeight, autoCount);
    auto given = [&](int propIndex) { return Margin(propIndex) == AutoLength ? 0 : Margin(propIndex); };
    const int left = x + given(piMarginLeft) + Margin(piPaddingLeft) + Margin(piBorderLeftWidth);
    const int width = std::max(0, availableWidth - (left - x) - given(piMarginRight) - Margin(piPaddingRight) -
                                      Margin(piBorderRightWidth));
    Legend.Indents = &indents;
    const void* previousOwner = indents.CurrentOwner;
    indents.CurrentOwner = &Legend;
    const int leftEdge = indents.AddLeftEdge(left, y);
    const int rightEdge = indents.AddRightEdge(left + width, y);
    int legendMax = 0;
    legendHeight_ = Legend.LayoutContent(canvas, left, y, xRef, yRef, width, 0, blockHeight, legendMax, counter);
    Legend.OrderForPaint();
    indents.RemoveRight(rightEdge);
    indents.RemoveLeft(leftEdge);
    indents.CurrentOwner = previousOwner;
    const int height = TBlock::Layout(canvas, x, y, xRef, yRef, availableWidth, availableHeight, blockHeight,
                                      indents, maxWidth, counter);
    FirstChar = start;
    CharCount = counter - start;
    return height;
}

// ---------------------------------------------------------------------------------------------------------------
// Page breaks

std::unique_ptr<TSectionBase> TPage::Clone(ThtDocument& document) const
{
    auto copy = std::make_unique<TPage>(document);
    copy->CopyBaseFrom(*this);
    return copy;
}

} // namespace lantern
