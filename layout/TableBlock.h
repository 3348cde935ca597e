// The blocks around a table: the table block (TTableBlock), whose content cell holds exactly the table and which
// carries the table's margins, borders, padding, background, width, alignment and float; and the wrapper of a
// table with a caption (TTableAndCaptionBlock), which holds the caption's block and the table block, one above
// the other, and floats or is aligned in the table's place.
//
// Ownership: a table block owns its table (a section of its content cell); a wrapper owns the caption's block
// and the table block (sections of its content cell). The pointers to them only name those sections.
#pragma once

#include "layout/Block.h"

#include <cstdint>
#include <memory>

namespace lantern {

class THtmlTable;

class TTableBlock final : public TBlock {
public:
    // Reads align, bgcolor, background, width, height, hspace and vspace, and turns the table's border attributes
    // into the block's borders. The table becomes the block's content.
    TTableBlock(ThtDocument& document, const TAttributeList* attributes, std::unique_ptr<THtmlTable> table,
                TCellBasic& parentCell, TProperties& properties);

    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    int Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth, int availableHeight,
               int blockHeight, TIndentManager& indents, int& maxWidth, int& counter) override;
    int Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
              int yRef) override;
    void MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth) override;
    int DefaultBorderWidth() const override;
    void PaintBorders(platform::PaintCanvas& canvas, const Rect& borderBox, const Rect& paddingBox) override;
    int ResolveWidth(platform::Canvas& canvas, int availableWidth, int autoCount) override;

    THtmlTable* Table;
    int SpecWidth = 0; // pixels, or tenths of a percent when WidthIsPercent
    bool WidthIsPercent = false;
    Color TableBgColor = clNone;
    bool HasTableBgColor = false;
    int HSpace = 0, VSpace = 0;
    bool InCaptionBlock = false;
    bool HasTableBorder = false;
    std::uint8_t HorzPlacement = 0; // 2 centred, 3 right-aligned
    int TableIndent = 0;            // how far beside floats the last layout moved the block

private:
    friend class TTableAndCaptionBlock;
    TTableBlock(ThtDocument& document, const TTableBlock& source);
    void ReadAttributes(const TAttributeList& attributes, bool floatFromProperties);
    void ApplyTableBorders(bool attributeGaveZero);
    void ReadWidthProperty();
    void FloatTo(AlignmentCode side);

    int captionWidth_ = 0; // the outer width the wrapper found for a table of given width
};

class TTableAndCaptionBlock final : public TBlock {
public:
    // Made up front, with the table's attributes and properties: it takes the table block's place only when a
    // caption comes.
    TTableAndCaptionBlock(ThtDocument& document, TTableBlock& tableBlock, const TAttributeList* attributes,
                          TCellBasic& parentCell, TProperties& properties);

    // The caption's block; the builder then adds it and the table block to the content, in caption order.
    void SetCaption(TBlock& caption, bool captionFirst);

    std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const override;
    int ResolveWidth(platform::Canvas& canvas, int availableWidth, int autoCount) override;
    int SourceToDocPos(int sourcePos, bool backward) const override;

    bool CaptionFirst = true;
    TTableBlock* WrappedTable;
    TBlock* WrappedCaption = nullptr;
    std::uint8_t HorzPlacement = 0;
    u16 TableId;

private:
    TTableAndCaptionBlock(ThtDocument& document, const TTableAndCaptionBlock& source);
};

} // namespace lantern
