// Cells: ordered lists of sections laid out top to bottom (TCellBasic), and the cell that keeps its own indent
// manager so floats inside it stay inside it (TCell). The document, table cells and block contents are cells.
//
// Ownership: a cell owns its sections (through TSectionBaseList). A TCell owns its indent manager; a block's
// cell borrows the manager of the cell that encloses the block. The document and the enclosing block are
// borrowed.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "layout/IndentManager.h"
#include "layout/PaintOrder.h"
#include "layout/Sections.h"

#include <memory>

namespace lantern {

class TCellBasic : public TSectionBaseList {
public:
    TCellBasic(ThtDocument& document, u16v openingTag);
    ~TCellBasic() override;

    // Appends a section after finishing it; a text section left without content is discarded instead.
    void AddSection(std::unique_ptr<TSectionBase> section, int sourcePos);

    // 6. Lays the sections out from y down and returns their summed height.
    virtual int LayoutCell(platform::Canvas& canvas, int y, int width, int availableHeight, int blockHeight,
                           int& maxWidth, int& counter);
    // 7. Paints the sections near the clip rectangle.
    virtual int PaintCell(platform::PaintCanvas& canvas, const Rect& clip, int clipWidth, int x, int y, int xRef,
                          int yRef);
    // 8.
    virtual THitKinds HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                              TFormControlObj*& control, u16& title);
    // 9. The largest minimum and the largest maximum over the sections.
    virtual void MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth);

    bool HitObject(int x, int y, TFloatingObj*& object, int& objectX, int& objectY);
    int PointToCaret(platform::Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                     bool& insideText);
    int SearchForward(int from, u16v text, bool matchCase) const;
    int SearchBackward(int from, u16v text, bool matchCase) const;
    int DocToSourcePos(int pos) const;
    bool CharAt(int pos, char16_t& ch, const TSectionBase*& section) const;
    void CopySelection();
    void RegisterPositions();

    ThtDocument* Document;
    TBlock* EnclosingBlock = nullptr;
    int FirstChar = 0;
    int CharCount = 0;
    TIndentManager* Indents = nullptr;
    int CellTop = 0;
    u16 OpeningTag;
    TPaintOrder PaintOrder; // the sections in document order, measured by the last layout

    // After a layout: every section paints in document order.
    void OrderForPaint();
};

// How far outside the clip rectangle a section may still paint into it: inline borders and list markers reach
// beyond the lines they belong to.
inline constexpr int PaintReach = 50;

class TCell : public TCellBasic {
public:
    TCell(ThtDocument& document, u16v openingTag);
    ~TCell() override;

    // Runs the cell layout inside the cell's own edges; floats hanging below the last section lengthen the cell.
    int LayoutCell(platform::Canvas& canvas, int y, int width, int availableHeight, int blockHeight, int& maxWidth,
                   int& counter) override;
    int PaintCell(platform::PaintCanvas& canvas, const Rect& clip, int clipWidth, int x, int y, int xRef,
                  int yRef) override;

    int PaintedY = 0; // the Y of the last paint

private:
    std::unique_ptr<TIndentManager> ownIndents_;
};

} // namespace lantern
