// The form controls that stand in running text at a ControlMark: the TFormControlObj family. Each control keeps
// what its element said (name, value, the attributes, the style's spacing and size), owns the platform widget
// that shows it and holds its value, sizes itself for line layout, and gives its values for submission.
//
// Ownership: the document owns every control (its list of all controls); a form and a text section only borrow
// them. A control owns its widget and its font, and borrows its document and its form, which both outlive it.
#pragma once

#include "common/Colors.h"
#include "common/Str.h"
#include "layout/FormWidget.h"
#include "layout/IdTable.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lantern {

namespace platform {
class Canvas;
class PaintCanvas;
} // namespace platform

class TAttributeList;
class TImageObj;
class TMyFont;
class TProperties;
class ThtDocument;
class ThtmlForm;

class TFormControlObj : public TIDObject, protected TWidgetEvents {
public:
    // Common construction: joins the document's list and the current form (the implicit one when there is
    // none), reads the attributes and registers the ID and TABINDEX. The document takes the control over.
    TFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                    TProperties& properties);
    ~TFormControlObj() override;

    int AnchorY() const override { return YValue; }
    virtual TFormWidget* PlatformControl() const { return Widget.get(); }
    virtual int Height() const;
    virtual int Left() const;
    virtual int TabOrder() const;
    virtual bool TabStop() const;
    virtual int Top() const;
    virtual int Width() const;
    virtual bool IsHiddenField() const { return false; }
    // With an on-change text: remember the value when the focus comes, and report a change when it leaves.
    virtual void CheckChanged() {}
    virtual void SnapshotValue() {}
    virtual void SetHeight(int height);
    virtual void SetLeft(int left);
    virtual void SetTabOrder(int order);
    virtual void SetTabStop(bool stop);
    virtual void SetTop(int top);
    virtual void SetWidth(int width);
    // The index-th "name=value" line this control submits; false when there is none.
    virtual bool SubmitPair(int index, u16& text);
    virtual void HideControl();
    // Margins, borders, width and height from the element's style; edits and lists take its background.
    virtual void ApplyStyle(const TProperties& properties);
    virtual void RestoreInitial() {}
    virtual void ApplyValue(int index, u16v text);
    virtual void ClearForApply() {}
    // Settles Width and Height for the control's font; run by the layout before lines are made.
    virtual void MeasureFor(platform::Canvas& canvas);
    virtual void ShowControl();
    // Where the control shows for this paint (surface coordinates of its top left corner): its widget moves
    // there, or a render without windows draws it.
    virtual void PlaceForPaint(platform::PaintCanvas& canvas, int x, int y);

    int HorizontalExtent() const { return Width() + HSpaceL + HSpaceR; }
    ThtmlForm& OwnerForm() const { return *Form; }

    // --- layout
    int YValue = 0; // document Y of the line the control stands on
    int Pos = 0;    // index of its ControlMark in the section text
    // 1 top, 2 middle, 3 baseline, 4 bottom
    std::uint8_t VertAlign = 4;
    int HSpaceL = 0, HSpaceR = 0;
    int VSpaceT = 1, VSpaceB = 1;
    int BorderTop = 0, BorderBottom = 0;
    int StyleHeight = 0; // 0: the widget's natural height
    int StyleWidth = 0;  // pixels, or a percentage when PercentWidth
    bool PercentWidth = false;
    // Placed by the current paint, and where the last paint put it (surface X, document Y).
    bool Placed = false;
    bool EverPlaced = false;
    int PlacedX = 0, PlacedDocY = 0;

    // --- the element
    std::vector<u16> AttributeStrings; // "NAME=value" per attribute
    u16 Name, Id, Title, Value;
    int CodePage = 0;
    bool Disabled = false;
    bool ReadOnly = false;
    Color BackColor = clNone;
    u16 OnBlurText, OnChangeText, OnClickText, OnFocusText;
    bool Active = false;

protected:
    // Geometry alone, without a document, form or widget: what line layout needs to see of a control.
    TFormControlObj();
    // Gives the control its widget from the document's factory (a plain one without it) and wires it.
    void CreateWidget(TWidgetKind kind);
    ThtDocument& Doc() const { return *Document; }
    const TMyFont& ControlFont() const { return *Font; }
    // The height of "A" in the control's font, selected into the canvas.
    int TextHeightA(platform::Canvas& canvas) const;

    void WidgetEnter() override;
    void WidgetExit() override;
    void WidgetClick() override;
    bool WidgetKey(int key) override;

    std::unique_ptr<TFormWidget> Widget;

private:
    ThtDocument* Document;
    ThtmlForm* Form;
    std::unique_ptr<TMyFont> Font;
};

class THiddenFormControlObj final : public TFormControlObj {
public:
    using TFormControlObj::TFormControlObj;
    int Height() const override { return 0; }
    int Left() const override { return TFormWidget::OffScreen; }
    int TabOrder() const override { return -1; }
    bool TabStop() const override { return false; }
    int Top() const override { return 0; }
    int Width() const override { return 0; }
    bool IsHiddenField() const override { return true; }
    void SetHeight(int) override {}
    void SetLeft(int) override {}
    void SetTabOrder(int) override {}
    void SetTabStop(bool) override {}
    void SetTop(int) override {}
    void SetWidth(int) override {}
    bool SubmitPair(int index, u16& text) override;
    void ApplyValue(int index, u16v text) override;
};

class TEditFormControlObj : public TFormControlObj {
public:
    TEditFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                        TProperties& properties, bool password);
    bool SubmitPair(int index, u16& text) override;
    void RestoreInitial() override;
    void ApplyValue(int index, u16v text) override;
    void SnapshotValue() override;
    void CheckChanged() override;
    void MeasureFor(platform::Canvas& canvas) override;
    void ApplyStyle(const TProperties& properties) override;

    int EditSize = 15; // SIZE in characters

protected:
    bool WidgetKey(int key) override;

private:
    u16 SavedText;
};

class TButtonFormControlObj final : public TFormControlObj {
public:
    enum class TKind : std::uint8_t { Submit, Reset, Plain, Browse };
    TButtonFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                          TProperties& properties, TKind kind);
    void MeasureFor(platform::Canvas& canvas) override;

    TKind Kind;
    TEditFormControlObj* LinkedEdit = nullptr; // the field a browse button fills

protected:
    void WidgetClick() override;
};

class TImageFormControlObj final : public TFormControlObj {
public:
    TImageFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                         TProperties& properties);
    bool SubmitPair(int index, u16& text) override;
    // The picture was clicked at x, y inside it.
    void ImageClicked(int x, int y);
    // The picture stands where the control stands in the text; the control itself takes no room.
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    void PlaceForPaint(platform::PaintCanvas& canvas, int x, int y) override;

    TImageObj* Image = nullptr; // the picture in the text, its section's
    int ClickX = -1, ClickY = -1;
    int PointerX = -1, PointerY = -1; // inside the picture, where the pointer was last found over it
};

class TCheckBoxFormControlObj final : public TFormControlObj {
public:
    TCheckBoxFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                            TProperties& properties);
    bool SubmitPair(int index, u16& text) override;
    void RestoreInitial() override;
    void ApplyValue(int index, u16v text) override;
    void ClearForApply() override;
    void SnapshotValue() override;
    void CheckChanged() override;

    bool InitiallyChecked = false;

protected:
    bool WidgetKey(int key) override;

private:
    bool SavedState = false;
};

class TRadioButtonFormControlObj final : public TFormControlObj {
public:
    TRadioButtonFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                               TProperties& properties);
    bool SubmitPair(int index, u16& text) override;
    void RestoreInitial() override;
    void ApplyValue(int index, u16v text) override;
    void SnapshotValue() override;
    void CheckChanged() override;
    // Checked alone in its group, as a click makes it.
    void Check();

    bool InitiallyChecked = false;

protected:
    void WidgetClick() override;
    bool WidgetKey(int key) override;

private:
    bool SavedState = false;
};

// An OPTION: its value and whether it starts selected.
struct TOptionObj {
    u16 Text;
    u16 Value;
    bool Selected = false;
    std::vector<u16> AttributeStrings;
};

class TOptionsFormControlObj : public TFormControlObj {
public:
    TOptionsFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                           TProperties& properties);
    // Adds an option; its width in the control's font may widen the control.
    void AddOption(u16v text, bool selected, std::vector<u16> attributeStrings, platform::Canvas& canvas);
    u16 OptionValue(int index) const;
    bool OptionSelected(int index) const;
    void ApplyStyle(const TProperties& properties) override;

    std::vector<TOptionObj> Options;
    int ListSize = -1; // SIZE, -1 when absent
    int WidestOption = 3;

    // Room the vertical scroll bar takes beside the items.
    static constexpr int ScrollBarWidth = 17;
};

class TListBoxFormControlObj final : public TOptionsFormControlObj {
public:
    TListBoxFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                           TProperties& properties);
    bool SubmitPair(int index, u16& text) override;
    void RestoreInitial() override;
    void ApplyValue(int index, u16v text) override;
    void SnapshotValue() override;
    void CheckChanged() override;
    void MeasureFor(platform::Canvas& canvas) override;

    bool Multiple = false;
    static constexpr int MaxAutoRows = 8;

private:
    std::vector<bool> SavedSelection; // the first 51 items
    int SavedCount = 0;
};

class TComboFormControlObj final : public TOptionsFormControlObj {
public:
    TComboFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                         TProperties& properties);
    bool SubmitPair(int index, u16& text) override;
    void RestoreInitial() override;
    void ApplyValue(int index, u16v text) override;
    void SnapshotValue() override;
    void CheckChanged() override;
    void MeasureFor(platform::Canvas& canvas) override;

private:
    int SavedIndex = -1;
};

class TTextAreaFormControlObj final : public TFormControlObj {
public:
    TTextAreaFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                            TProperties& properties);
    bool SubmitPair(int index, u16& text) override;
    void RestoreInitial() override;
    void ApplyValue(int index, u16v text) override;
    void SnapshotValue() override;
    void CheckChanged() override;
    void MeasureFor(platform::Canvas& canvas) override;
    void ApplyStyle(const TProperties& properties) override;

    int Wrap = 1; // 0 off, 1 soft, 2 hard
    int Rows = 5, Cols = 30;
    u16 InitialText;

private:
    u16 SavedText;
};

} // namespace lantern
