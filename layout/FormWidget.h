// The platform control behind a form control, as the engine sees it: a rectangle on the paint surface that
// shows or hides, holds the control's value (text, checked state, items and selection) and reports focus,
// clicks and keys back to its control object. The viewer supplies real widgets through a factory the document
// holds; without one (tests, print copies, headless builds) every control gets a TPlainWidget, which keeps the
// same state in memory and draws a plain picture of itself.
//
// Ownership: a control object owns its widget; the widget only borrows the events sink (its control object),
// which outlives it.
#pragma once

#include "common/Colors.h"
#include "common/Str.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace lantern {

namespace platform {
class PaintCanvas;
} // namespace platform

class TMyFont;

enum class TWidgetKind : std::uint8_t {
    Edit,        // single line
    Password,    // single line, every character shown as "*"
    Button,
    CheckBox,
    RadioButton,
    ListBox,     // one selected item
    MultiListBox,
    ComboBox,    // drop-down list without typing
    Memo,        // multi-line; wrap mode set separately
    FocusButton, // an invisible 1 x 1 button that only takes the focus (image inputs)
};

// Key codes the engine reacts to, whatever the platform calls them.
inline constexpr int VkReturn = 13;
inline constexpr int VkTab = 9;
inline constexpr int VkLeft = 37;
inline constexpr int VkUp = 38;
inline constexpr int VkRight = 39;
inline constexpr int VkDown = 40;

// What a widget tells its control.
class TWidgetEvents {
public:
    virtual void WidgetEnter() = 0;
    virtual void WidgetExit() = 0;
    virtual void WidgetClick() = 0;
    // A key pressed in the widget; true when the control consumed it.
    virtual bool WidgetKey(int key) = 0;

protected:
    ~TWidgetEvents() = default;
};

class TFormWidget {
public:
    static constexpr int OffScreen = -4000;

    virtual ~TFormWidget() = default;

    // --- geometry (surface coordinates)
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetLeft(int left) = 0;
    virtual void SetTop(int top) = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual bool Visible() const = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // The widget as it looks, drawn onto a canvas at x, y: for renders that have no windows.
    virtual void PaintTo(platform::PaintCanvas& canvas, int x, int y) const = 0;

    // --- behaviour
    virtual void SetEnabled(bool enabled) = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual void SetFont(const TMyFont& font) = 0;
    virtual void SetColor(Color color) = 0;
    virtual int TabOrder() const = 0;
    virtual void SetTabOrder(int order) = 0;
    virtual bool TabStop() const = 0;
    virtual void SetTabStop(bool stop) = 0;
    virtual bool Focused() const = 0;
    virtual void SetFocus() = 0;

    // --- value
    // An edit's or memo's text, a button's caption.
    virtual u16 Text() const = 0;
    virtual void SetText(u16v text) = 0;
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool checked) = 0;
    // List boxes and drop-down lists.
    virtual void SetItems(const std::vector<u16>& items) = 0;
    virtual int ItemCount() const = 0;
    virtual int ItemIndex() const = 0; // the current item, -1 when none
    virtual void SetItemIndex(int index) = 0;
    virtual bool Selected(int index) const = 0;
    virtual void SetSelected(int index, bool selected) = 0;
    virtual void ScrollToTop() = 0;
    // Memos: 0 no wrap (scrolls both ways), 1 soft, 2 hard; the lines as they show now.
    virtual void SetWrap(int mode) = 0;
    virtual std::vector<u16> DisplayedLines() const = 0;
    virtual void ClearSelection() = 0;

    TWidgetEvents* Events = nullptr;
};

// Makes the widget for a kind; the document's factory, set by the viewer.
using TFormWidgetFactory = std::function<std::unique_ptr<TFormWidget>(TWidgetKind kind)>;

// The widget state without a window: what headless documents use.
class TPlainWidget : public TFormWidget {
public:
    explicit TPlainWidget(TWidgetKind kind) : Kind(kind) {}
    ~TPlainWidget() override;

    int Left() const override { return FLeft; }
    int Top() const override { return FTop; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetLeft(int left) override { FLeft = left; }
    void SetTop(int top) override { FTop = top; }
    void SetWidth(int width) override { FWidth = width; }
    void SetHeight(int height) override { FHeight = height; }
    bool Visible() const override { return FVisible; }
    void Show() override { FVisible = true; }
    void Hide() override { FVisible = false; }
    void PaintTo(platform::PaintCanvas& canvas, int x, int y) const override;

    void SetEnabled(bool enabled) override { Enabled = enabled; }
    void SetReadOnly(bool readOnly) override { ReadOnly = readOnly; }
    void SetFont(const TMyFont& font) override { Font = &font; }
    void SetColor(Color color) override { FColor = color; }
    int TabOrder() const override { return FTabOrder; }
    void SetTabOrder(int order) override { FTabOrder = order; }
    bool TabStop() const override { return FTabStop; }
    void SetTabStop(bool stop) override { FTabStop = stop; }
    bool Focused() const override { return FFocused; }
    void SetFocus() override;

    u16 Text() const override { return FText; }
    void SetText(u16v text) override { FText = text; }
    bool Checked() const override { return FChecked; }
    void SetChecked(bool checked) override { FChecked = checked; }
    void SetItems(const std::vector<u16>& items) override;
    int ItemCount() const override { return static_cast<int>(FItems.size()); }
    int ItemIndex() const override { return FItemIndex; }
    void SetItemIndex(int index) override;
    bool Selected(int index) const override;
    void SetSelected(int index, bool selected) override;
    void ScrollToTop() override {}
    void SetWrap(int mode) override { FWrap = mode; }
    // Without a window, lines wrap where the memo's column count (Width in characters: WrapColumns) ends.
    std::vector<u16> DisplayedLines() const override;
    void ClearSelection() override {}

    // The focus moves here from whichever plain widget had it: enter and exit events as a window would send.
    void Blur();

    TWidgetKind Kind;
    bool Enabled = true;
    bool ReadOnly = false;
    const TMyFont* Font = nullptr;
    int WrapColumns = 30; // columns a soft or hard wrapped memo shows without a window

private:
    int FLeft = OffScreen, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = false;
    Color FColor = clWindow;
    int FTabOrder = -1;
    bool FTabStop = true;
    bool FFocused = false;
    u16 FText;
    bool FChecked = false;
    std::vector<u16> FItems;
    std::vector<bool> FSelected;
    int FItemIndex = -1;
    int FWrap = 1;
};

} // namespace lantern
