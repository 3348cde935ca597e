// Blocks: the section of every element laid out as a box (TBlock) and its kinds: the body (TBodyBlock), list
// items (TBlockLI), the block around a horizontal rule (THRBlock, holding a THorzLine), fieldsets
// (TFieldsetBlock) and page breaks (TPage).
//
// A block holds a cell of child sections (its content) and the element's box values. Layout resolves the content
// width from the width it is offered, places the box (below floats it clears, beside floats when it floats) and
// lays the content out between its content edges, which it registers in the indent manager for the text inside.
// Painting draws the background, then the content in paint order, then the borders; it reads what layout stored.
//
// The builder creates blocks with the element's attributes and computed properties, adds them to the cell they
// belong to (which their margins collapse against, so they must be created just before they are added) and fills
// their content cell.
//
// Ownership: a block owns its content cell, its own indent manager (floating and absolutely positioned blocks),
// its background tiles and its background picture's source. It borrows the cell it was added to, the enclosing
// indent manager and its document. A THRBlock's rule is a section of the block's own content.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "layout/Cell.h"
#include "layout/PaintOrder.h"
#include "layout/Sections.h"
#include "markup/Symbols.h"
#include "platform/Bitmap.h"
#include "style/Fonts.h"
#include "style/Properties.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lantern {

class TAttributeList;
class TBlock;

// The content cell of a block. Besides laying its sections out it keeps the extents they occupied.
class TBlockCell : public TCellBasic {
public:
    TBlockCell(ThtDocument& document, u16v openingTag);

    // Lays the sections out from y, each at x and width wide; returns their summed height. xRef and yRef are the
    // origin absolutely positioned sections inside are placed from.
    int LayoutContent(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int width, int availableHeight,
                      int blockHeight, int& maxWidth, int& counter);
    // As the cell layout of the base, with the extents kept.
    int LayoutCell(platform::Canvas& canvas, int y, int width, int availableHeight, int blockHeight, int& maxWidth,
                   int& counter) override;

    int ExtentTop = 990000;      // smallest VisibleTop of the sections
    int ExtentContentBottom = 0; // largest BoxBottom, absolutely positioned blocks left out
    int ExtentBottom = 0;        // largest VisibleBottom
    int CellHeight = 0;          // sum of the heights
    int WidestText = 0;          // largest WidestLine of the text sections
};

// A block's background picture as the block draws it. The image objects provide it; a block keeps its
// background-image URL and placement whatever the state of the picture.
class TBackgroundSource {
public:
    enum class State : std::uint8_t { Pending, Failed, Ready };
    virtual ~TBackgroundSource() = default;
    // Asks for the picture (at layout, when images are shown); Pending until it is available.
    virtual State Load() = 0;
    // Where the picture stands now, without asking again (at paint).
    virtual State Current() const = 0;
    // Valid when Ready.
    virtual const platform::Bitmap& Picture() const = 0;
    virtual const platform::Mask* PictureMask() const = 0; // null for an opaque picture
};

// What a block stands for in its cell, for the rules that single out the body and the table wrappers.
enum class BlockRole : std::uint8_t { Plain, Body, Table, TableAndCaption };

class TBlock : public TSectionBase {
public:
    // Reads everything the box needs from the properties (a clear value is consumed, as it is honoured once),
    // registers an id from the attributes (which may be null) and collapses the top margin against the last
    // section of parentCell.
    TBlock(ThtDocument& document, const TAttributeList* attributes, TCellBasic& parentCell,
           TProperties& properties);
    ~TBlock() override;

    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    bool CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const override;
    int Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
              int yRef) override;
    int Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth, int availableHeight,
               int blockHeight, TIndentManager& indents, int& maxWidth, int& counter) override;
    int PointToCaret(platform::Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                     bool& insideText) override;
    int SourceToDocPos(int sourcePos, bool backward) const override;
    int DocToSourcePos(int pos) const override;
    int SearchForward(int from, u16v text, bool matchCase) const override;
    int SearchBackward(int from, u16v text, bool matchCase) const override;
    bool CharAt(int pos, char16_t& ch, const TSectionBase*& section) const override;
    THitKinds HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                      TFormControlObj*& control, u16& title) override;
    bool HitObject(int x, int y, TFloatingObj*& object, int& objectX, int& objectY) override;
    void RegisterPosition() override;
    void CopySelection() override;
    void MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth) override;
    void PaintExtent(int& top, int& bottom) const override;

    // 17. The width of a border that has a style but no width.
    virtual int DefaultBorderWidth() const { return 1; }
    // 18.
    virtual void MeasureContent(platform::Canvas& canvas, int& minWidth, int& maxWidth);
    // 19. The box values in pixels; autoCount counts "auto" among the width and the horizontal margins.
    virtual void ConvertBox(int widthBase, int heightBase, int& autoCount);
    // 20.
    virtual void PaintBorders(platform::PaintCanvas& canvas, const Rect& borderBox, const Rect& paddingBox);
    // 21. The content width for the available width; settles auto margins on the way.
    virtual int ResolveWidth(platform::Canvas& canvas, int availableWidth, int autoCount);

    // --- for the builder
    // The bottom margin becomes the paragraph gap (the last gap inside was dropped into it).
    void TakeParagraphGap();

    // The border box (document Y) for the block at x, its X after an absolute offset and before a relative one;
    // LayoutX is where the last layout put it.
    Rect BorderBoxAt(int x) const;
    int LayoutX() const { return layoutX_; }
    // Where the block paints for the x and xRef it is given: moved by a relative offset, or placed from the
    // origin of its container when absolutely positioned.
    int PlacedX(int x, int xRef) const { return IsAbsolute() ? xRef + PosLeft : IsRelative() ? x + PosLeft : x; }

    bool Floats() const { return FloatKind != AlignmentCode::None; }
    bool IsAbsolute() const { return PositionKind == Positioning::Absolute || PositionKind == Positioning::Fixed; }
    bool IsRelative() const { return PositionKind == Positioning::Relative; }
    int Margin(int propIndex) const { return Box[std::size_t(BoxSlot(propIndex))]; }

    TBlockCell Content;
    TBoxCellArray BoxCells;
    TCellBasic* ParentCell;
    std::unique_ptr<TBackgroundSource> BackgroundImage;
    u16 BackgroundUrl; // of the background picture, kept for the image objects that provide it
    u16 Title;
    u16 TagPath; // tag.class#id
    TBoxValueArray Box{};
    int EmSize = 0, ExSize = 0;
    Color ForeColor = 0;
    bool HasBorder = false;
    AlignmentCode FloatKind = AlignmentCode::None; // None, Left or Right
    ClearSide ClearKind = ClearSide::None;
    TBackgroundPlacement BackgroundPlacement;
    Positioning PositionKind = Positioning::Static;
    std::uint8_t Visibility = VisibilityVisible;
    bool BottomIsGap = false;
    bool PageBreakBefore = false, PageBreakAfter = false, AvoidBreakInside = false;
    bool ClipsOverflow = false; // for the last layout: overflow hidden and a width above 20
    std::uint8_t BlockAlign = 1; // 1 left, 2 center, 3 right
    int ContentWidth = 0;
    int Clearance = 0;
    int ContentOffset = 0; // X of the content's left edge relative to the block's X
    bool BackgroundPending = false;
    platform::Bitmap BackgroundTile; // the picture as it tiles: its mask folded into its alpha
    int PosTop = 0, PosLeft = 0;
    TPaintOrder PaintList; // the content's sections in paint order
    bool ImageOpaque = false;
    int ContentBottom = 0;
    Rect BorderRect; // on screen, from the last paint
    std::unique_ptr<TIndentManager> OwnIndents;
    TIndentManager* OuterIndents = nullptr;

protected:
    TBlock(ThtDocument& document, const TAttributeList* attributes, TCellBasic& parentCell, TProperties& properties,
           BlockRole role);
    TBlock(ThtDocument& document, const TBlock& source); // for Clone

    // The horizontal sides: margin, padding and border on the left (L) and on the right (R).
    int LeftSide() const;
    int RightSide() const;
    int HorizontalPaddingAndBorder() const;
    // The paint of the box itself; x is the block's X as placed (after a relative or absolute offset).
    void PaintBox(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
                  int yRef);
    void PaintContent(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int contentX,
                      int xRef, int yRef);
    // Where absolutely positioned content inside is placed from, for the block at x (its X before a relative
    // offset); others keep what they were given.
    void ContentOrigin(int x, int& xRef, int& yRef) const;

    // On the first layout: the content's sections in paint order.
    void BuildPaintOrder();
    // A value (pixels, a colour or a style code) the kind of block supplies where the element gives none.
    void SetBoxCell(int propIndex, int value);
    // The top margin collapses with the bottom margin of the section before the block in its parent cell.
    void MergeAdjacentMargins(bool topIsGap);

    BlockRole Role;
    bool HidesOverflow = false; // from the properties; ClipsOverflow is decided per layout

private:
    void ReadProperties(const TAttributeList* attributes, TProperties& properties);
    int AutomaticWidth(int availableWidth, int minWidth, int maxWidth) const;
    void ResolveOffsets(int availableWidth, int autoCount);
    int PlaceFloat(int x, int top, TIndentManager& indents);
    void LayOutBackground();
    // When printing: whether a page break keeps the block off the page being printed.
    bool KeptForNextPage(const Rect& clip);
    void PaintBackground(platform::PaintCanvas& canvas, const Rect& clip, const Rect& paddingBox);

    bool paintOrderBuilt_ = false;

protected:
    // From the last layout, document Y: where the block's own box starts (its Y after clearance and an absolute
    // offset), and the top and bottom of its border box (after a relative offset).
    int boxY_ = 0;
    int layoutX_ = 0;
    int borderTop_ = 0, borderBottom_ = 0;
};

// The body element. Its background belongs to the page, which the viewer paints.
class TBodyBlock final : public TBlock {
public:
    TBodyBlock(ThtDocument& document, const TAttributeList* attributes, TCellBasic& parentCell,
               TProperties& properties);

    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    int Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth, int availableHeight,
               int blockHeight, TIndentManager& indents, int& maxWidth, int& counter) override;
    int Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
              int yRef) override;
    THitKinds HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                      TFormControlObj*& control, u16& title) override;

private:
    TBodyBlock(ThtDocument& document, const TBodyBlock& source) : TBlock(document, source) {}
};

// A list item; its marker is drawn left of the content at the first line's baseline.
class TBlockLI final : public TBlock {
public:
    // level: the nesting depth of lists; number: the item's number; typeChar: the list's type attribute ('A',
    // 'I', 'a', 'i', '1'); plain: an unordered list without markers; listSymbol: the list element the item is in
    // (symOl, symUl, symDir, symMenu, symDl), anything else for an item outside a list.
    TBlockLI(ThtDocument& document, const TAttributeList* attributes, int level, int number, char16_t typeChar,
             bool plain, THtmlSymbol listSymbol, TCellBasic& parentCell, TProperties& properties);

    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    int Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth, int availableHeight,
               int blockHeight, TIndentManager& indents, int& maxWidth, int& counter) override;
    int Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
              int yRef) override;

    // The text drawn for a numbered marker ("3.", "c.", "iv."); empty for the styles that draw a shape or nothing.
    u16 MarkerText() const;

    std::uint8_t ListKind = 4; // 1 ordered, 2 unordered, 3 definition list, 4 item outside a list
    int ListNumber = 1;
    ListStyleType MarkerStyle = ListStyleType::Disc;
    TMyFont MarkerFont;
    std::unique_ptr<TBackgroundSource> MarkerImage; // list-style-image, from the image objects
    u16 MarkerImageUrl;
    int FirstBaseline = 0; // document Y of the first line's baseline, from the last layout

private:
    TBlockLI(ThtDocument& document, const TBlockLI& source);
    void PaintMarker(platform::PaintCanvas& canvas, int x, int baseline);
};

class THorzLine;

// The block around a horizontal rule.
class THRBlock final : public TBlock {
public:
    THRBlock(ThtDocument& document, const TAttributeList* attributes, TCellBasic& parentCell,
             TProperties& properties);

    // Adds the rule to the content and takes its alignment.
    void TakeRule(std::unique_ptr<THorzLine> rule, int sourcePos);

    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    int ResolveWidth(platform::Canvas& canvas, int availableWidth, int autoCount) override;
    void CopySelection() override;

    std::uint8_t RuleAlign = 2; // 1 left, 2 center, 3 right
    THorzLine* Rule = nullptr;  // a section of Content

private:
    THRBlock(ThtDocument& document, const THRBlock& source);
};

// The rule itself.
class THorzLine final : public TSectionBase {
public:
    // Reads align, width, size, color and noshade, and sets the width, height and colour properties the block
    // around the rule reads.
    THorzLine(ThtDocument& document, TProperties& properties, const TAttributeList* attributes);

    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    int Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth, int availableHeight,
               int blockHeight, TIndentManager& indents, int& maxWidth, int& counter) override;
    int Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
              int yRef) override;

    int RuleHeight = 2;
    Color RuleColor = clNone; // clNone: shaded
    std::uint8_t RuleAlignAttr = 2;
    int RuleWidth = 0;
    int RuleIndent = 0;
    bool NoShade = false;

private:
    THorzLine(ThtDocument& document, const THorzLine& source);
    int LayoutX = 0; // the X RuleIndent was found at: painting places the rule as far from its own X
};

// A fieldset: a bordered block whose legend straddles the top border.
class TFieldsetBlock final : public TBlock {
public:
    TFieldsetBlock(ThtDocument& document, const TAttributeList* attributes, TCellBasic& parentCell,
                   TProperties& properties);

    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    void MeasureContent(platform::Canvas& canvas, int& minWidth, int& maxWidth) override;
    void ConvertBox(int widthBase, int heightBase, int& autoCount) override;
    int Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth, int availableHeight,
               int blockHeight, TIndentManager& indents, int& maxWidth, int& counter) override;
    int Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
              int yRef) override;
    void PaintExtent(int& top, int& bottom) const override;

    TBlockCell Legend;

private:
    TFieldsetBlock(ThtDocument& document, const TFieldsetBlock& source);
    int legendHeight_ = 0;
};

// A page break: takes no room; when printing it ends the page it falls on.
class TPage final : public TSectionBase {
public:
    using TSectionBase::TSectionBase;

    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    int Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
              int yRef) override;
};

// A background picture that was pending at the last layout, once it has come: the tile it paints with (a
// transparent picture's mask folded into its alpha) and whether that covers the box when repeated, or no picture
// when it failed. Nothing changes while it is still on its way.
void SettleBackground(std::unique_ptr<TBackgroundSource>& image, bool& pending, platform::Bitmap& tile,
                      bool& opaque, const TBackgroundPlacement& placement);
// Fills a band of the padding box (screen coordinates) with the colour, unless it is clNone, then tiles the
// picture over it as placed in the padding box.
void PaintBackgroundBand(platform::PaintCanvas& canvas, const Rect& band, const Rect& paddingBox, Color color,
                         const platform::Bitmap& tile, const TBackgroundPlacement& placement);

// Called when an element's content ends: the last block of the cell loses a bottom margin that is the paragraph
// gap (inside a list item, its own last block too). True when a margin was dropped.
bool DropTrailingGap(TCellBasic& cell);

} // namespace lantern
