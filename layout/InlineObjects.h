// What stands in running text at an ObjectMark or a ControlMark, as line layout sees it: pictures and panels
// (TFloatingObj, kept by their section in a TFloatingObjList) and form controls (TFormControlObj, in
// FormControls.h). Only the geometry layout reads and writes lives here; the picture and panel classes derive
// from these and do their own measuring and drawing.
//
// Ownership: a text section owns its floating objects; it only borrows its form controls, which belong to their
// form.
#pragma once

#include "common/Str.h"
#include "layout/FormControls.h"
#include "layout/FreeList.h"
#include "layout/IdTable.h"
#include "style/Properties.h"

#include <cstdint>
#include <memory>

namespace lantern {

namespace platform {
class Canvas;
class PaintCanvas;
} // namespace platform

class TFontObj;
class TImageObj;

class TFloatingObj : public TIDObject {
public:
    // No side of an object, and no gap beside it, goes beyond this: sums of a line's objects stay far inside an
    // int, whatever sizes a page asks for.
    static constexpr int MaxExtent = 32767;

    // Where layout put it: a fragment naming the object scrolls there even before it was ever painted.
    int AnchorY() const override { return LayoutY; }
    // Settles Width and Height for the space the text offers; the picture or panel decides how.
    virtual void MeasureObject(platform::Canvas& canvas, const TFontObj& run, int availableHeight,
                               int availableWidth) = 0;
    virtual std::unique_ptr<TFloatingObj> CloneObject() const = 0;
    // Paints the object for the line it stands on: x where it starts (its left gap included), the baseline and
    // the top of the line (screen Y); a float is drawn at its own place with both at its top. Pictures and
    // panels draw themselves; the base draws nothing.
    virtual void Draw(platform::PaintCanvas& canvas, int x, const TFontObj& run, int baseline, int lineTop);
    // Pictures answer the pointer; panels do not.
    virtual TImageObj* AsImage() { return nullptr; }
    // The element's style: vertical alignment, float, margins as gaps, width and height, the title, and a CSS
    // border style that replaces the HTML border.
    void SetFromProperties(const TProperties& properties);

    bool Floats() const { return FloatSide == AlignmentCode::Left || FloatSide == AlignmentCode::Right; }
    int HorizontalExtent() const { return Width + LeftGap + RightGap; }
    int VerticalExtent() const { return Height + TopGap + BottomGap; }

    int Pos = 0;    // character index in the owning section
    int Height = 0; // the box as laid out, borders included
    int Width = 0;
    AlignmentCode FloatSide = AlignmentCode::None;
    AlignmentCode VertAlign = AlignmentCode::Bottom;
    int LeftGap = 0, RightGap = 0, TopGap = 0, BottomGap = 0;
    int SpecWidth = -1, SpecHeight = -1;
    bool PercentWidth = false, PercentHeight = false;
    u16 Title, Alt;
    bool SizeSettled = false;
    // Where layout put the object: a float's box, an inline object's line top (document coordinates). And where
    // it was last painted.
    int LayoutX = 0, LayoutY = 0;
    int DrawX = 0, DrawY = 0;
    bool NoBorder = false;
    int BorderWidth = 0;

protected:
    // vertical-align, then float: a float side, and unless floatSideOnly the alignment of floats (none); true
    // when the style floats the object.
    bool ApplyStyleAlignment(const TProperties& properties, bool floatSideOnly);
    // The size of a picture or panel whose natural size is naturalWidth x naturalHeight, from the specified size
    // or percentages against the space available (less the border on both sides); kept as it is once settled,
    // unless a percentage is involved. Scaling keeps the natural aspect. settleScaled and settleNatural say
    // whether a size derived from the natural one (one side given, or neither) counts as settled.
    void ComputeSize(int naturalWidth, int naturalHeight, int availableWidth, int availableHeight, bool settleScaled,
                     bool settleNatural, int& width, int& height);

private:
    void ComputeUnclampedSize(int naturalWidth, int naturalHeight, int availableWidth, int availableHeight,
                              bool settleScaled, bool settleNatural, int& width, int& height);
};

// The objects of one section in position order.
class TFloatingObjList {
public:
    bool Empty() const { return Objects.empty(); }
    int Count() const { return static_cast<int>(Objects.size()); }
    TFloatingObj& operator[](int i) const { return *Objects[static_cast<std::size_t>(i)]; }

    TFloatingObj* FindObject(int pos) const;
    // Index of the first object at or after pos (Count() when none).
    int IndexFrom(int pos) const;
    // Distance from pos to the first object at or after it; 99999999 when there is none.
    int DistanceToNextObject(int pos) const;
    // The first picture whose drawn picture (inside its border) holds the point (x in canvas, y in document
    // coordinates), with the point inside it; null when none.
    TImageObj* HitTest(int x, int y, int& insideX, int& insideY) const;

    TFreeList<TFloatingObj> Objects;
};

} // namespace lantern
