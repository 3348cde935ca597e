// The base of every section of the laid-out page (TSectionBase) and the owning list of sections
// (TSectionBaseList).
//
// A section is a rectangle of the page that lays itself out for a given width, paints itself and answers the
// viewer's questions about points and character positions. Its virtual operations are listed in their fixed
// order; the defaults here are those of a section that holds no text.
//
// Ownership: a section list owns its sections. A section only borrows its document and its enclosing block.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "layout/FreeList.h"
#include "layout/IdTable.h"

#include <cstdint>
#include <memory>

namespace lantern {

namespace platform {
class Canvas;
class PaintCanvas;
} // namespace platform

class TBlock;
class TFloatingObj;
class TFormControlObj;
class TIndentManager;
class TUrlTarget;
class ThtDocument;

// What HitLink found, as bits of a set.
enum HitKind : unsigned { hkLink = 1, hkControl = 2, hkTitle = 4 };
using THitKinds = unsigned;

inline constexpr std::uint8_t DisplayNoneKind = 6; // DisplayKind of an element with display: none
inline constexpr int BoxTopUnset = 999999999;     // BoxTop before the first layout

class TSectionBase : public TIDObject {
public:
    explicit TSectionBase(ThtDocument& document);
    ~TSectionBase() override;
    TSectionBase(const TSectionBase&) = delete;
    TSectionBase& operator=(const TSectionBase&) = delete;

    // 0, 1
    int AnchorY() const override { return BoxTop; }
    bool OwnedByIdList() const override { return false; }
    // 2. A copy for another document (printing); lines are not copied, the next layout makes them.
    virtual std::unique_ptr<TSectionBase> Clone(ThtDocument& document) const;
    // 3. Where the character at a document position is drawn; canvas may be null.
    virtual bool CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const;
    // 4. Returns the Y just below what was painted.
    virtual int Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
                      int yRef);
    // 5. Lays the section out at (x, y) against the indent manager's edges and returns the height it adds to its
    // cell. maxWidth receives the widest line or box needed; counter advances by CharCount.
    virtual int Layout(platform::Canvas& canvas, int x, int y, int xRef, int yRef, int availableWidth,
                       int availableHeight, int blockHeight, TIndentManager& indents, int& maxWidth, int& counter);
    // 6. The document position under a point, or -1.
    virtual int PointToCaret(platform::Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                             bool& insideText);
    // 7, 8. Mapping between source and document positions; -1 when the position is not in this section.
    virtual int SourceToDocPos(int sourcePos, bool backward) const;
    virtual int DocToSourcePos(int pos) const;
    // 9, 10. The document position of the next / previous occurrence of text, or -1.
    virtual int SearchForward(int from, u16v text, bool matchCase) const;
    virtual int SearchBackward(int from, u16v text, bool matchCase) const;
    // 11.
    virtual bool CharAt(int pos, char16_t& ch, const TSectionBase*& section) const;
    // 12. The caller owns the returned link target.
    virtual THitKinds HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                              TFormControlObj*& control, u16& title);
    // 13.
    virtual bool HitObject(int x, int y, TFloatingObj*& object, int& objectX, int& objectY);
    // 14. Adds the section to the document's position list.
    virtual void RegisterPosition();
    // 15. Hands the selected text to the document's current text sink.
    virtual void CopySelection();
    // 16. The narrowest width the section can be laid out in without overflowing, and the width it takes when
    // nothing wraps.
    virtual void MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth);

    // The band of document Y the section may paint into, from its last layout; painting skips sections whose band
    // lies outside the area being painted.
    virtual void PaintExtent(int& top, int& bottom) const;

    ThtDocument* Document;
    TBlock* EnclosingBlock = nullptr;
    std::uint8_t DisplayKind = 0;
    int FirstChar = 0;
    int CharCount = 0;
    int ZOrder = 0;
    int PaintTop = 0;
    int VisibleTop = 0;
    int BoxTop = BoxTopUnset;
    int BoxBottom = 0;
    int VisibleBottom = 0;
    int BoxHeight = 0;
    int VisibleHeight = 0;

protected:
    // The base part of Clone: display kind, height and paint order.
    void CopyBaseFrom(const TSectionBase& source);
};

// An owning list of sections, in document order.
class TSectionBaseList {
public:
    virtual ~TSectionBaseList();

    int Count() const { return static_cast<int>(Sections.size()); }
    TSectionBase& operator[](int index) const { return *Sections[static_cast<std::size_t>(index)]; }
    bool Empty() const { return Sections.empty(); }

    // The first section that answers true.
    virtual bool CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const;
    // The first answer that is not negative, asking in order or (backward) in reverse order; -1 when none.
    virtual int SourceToDocPos(int sourcePos, bool backward) const;

    TFreeList<TSectionBase> Sections;
};

} // namespace lantern
