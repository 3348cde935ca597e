// What stands in running text at an ObjectMark or a ControlMark, as line layout sees it: pictures and panels
// (TFloatingObj, kept by their section in a TFloatingObjList) and form controls (TFormControlObj). Only the
// geometry layout reads and writes lives here; the picture, panel and control classes derive from these and do
// their own measuring and drawing.
//
// Ownership: a text section owns its floating objects; it only borrows its form controls, which belong to their
// form.
#pragma once

#include "common/Str.h"
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

class TFloatingObj : public TIDObject {
public:
    int AnchorY() const override { return DrawY; }
    // Settles Width and Height for the space the text offers; the picture or panel decides how.
    virtual void MeasureObject(platform::Canvas& canvas, const TFontObj& run, int availableHeight,
                               int availableWidth) = 0;
    virtual std::unique_ptr<TFloatingObj> CloneObject() const = 0;
    // Paints the object for the line it stands on: x where it starts (its left gap included), the baseline and
    // the top of the line (screen Y); a float is drawn at its own place with both at its top. Pictures and
    // panels draw themselves; the base draws nothing.
    virtual void Draw(platform::PaintCanvas& canvas, int x, const TFontObj& run, int baseline, int lineTop);

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

    TFreeList<TFloatingObj> Objects;
};

class TFormControlObj : public TIDObject {
public:
    int AnchorY() const override { return YValue; }
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width) = 0;
    // Where the control shows for this paint (screen coordinates of its top left corner); the control's window
    // moves there, or a printed copy draws itself. The base does nothing.
    virtual void PlaceForPaint(platform::PaintCanvas& canvas, int x, int y);

    int HorizontalExtent() const { return Width() + HSpaceL + HSpaceR; }

    int YValue = 0; // document Y of the line the control stands on
    int Pos = 0;    // index of its ControlMark in the section text
    // 1 top, 2 middle, 3 baseline, 4 bottom
    std::uint8_t VertAlign = 4;
    int HSpaceL = 0, HSpaceR = 0;
    int VSpaceT = 1, VSpaceB = 1;
    int StyleWidth = 0; // pixels, or a percentage when PercentWidth
    bool PercentWidth = false;
};

} // namespace lantern
