#include "layout/FormWidget.h"

#include "platform/Canvas.h"
#include "style/Fonts.h"

#include <algorithm>

namespace lantern {

namespace {

TPlainWidget* FocusedPlain = nullptr;

constexpr Color FrameColor = 0x808080;
constexpr Color FaceColor = 0xC0C0C0; // the classic button face

} // namespace

TPlainWidget::~TPlainWidget()
{
    if (FocusedPlain == this)
        FocusedPlain = nullptr;
}

void TPlainWidget::SetFocus()
{
    if (FocusedPlain == this)
        return;
    if (FocusedPlain)
        FocusedPlain->Blur();
    FocusedPlain = this;
    FFocused = true;
    if (Events)
        Events->WidgetEnter();
}

void TPlainWidget::Blur()
{
    if (FocusedPlain != this)
        return;
    FocusedPlain = nullptr;
    FFocused = false;
    if (Events)
        Events->WidgetExit();
}

void TPlainWidget::SetItems(const std::vector<u16>& items)
{
    FItems = items;
    FSelected.assign(items.size(), false);
    FItemIndex = -1;
}

void TPlainWidget::SetItemIndex(int index)
{
    FItemIndex = index >= 0 && index < ItemCount() ? index : -1;
    if (Kind != TWidgetKind::MultiListBox) {
        std::fill(FSelected.begin(), FSelected.end(), false);
        if (FItemIndex >= 0)
            FSelected[std::size_t(FItemIndex)] = true;
    }
}

bool TPlainWidget::Selected(int index) const
{
    return index >= 0 && index < ItemCount() && FSelected[std::size_t(index)];
}

void TPlainWidget::SetSelected(int index, bool selected)
{
    if (index < 0 || index >= ItemCount())
        return;
    if (Kind != TWidgetKind::MultiListBox) {
        if (selected)
            SetItemIndex(index);
        else if (index == FItemIndex)
            SetItemIndex(-1);
        return;
    }
    FSelected[std::size_t(index)] = selected;
}

std::vector<u16> TPlainWidget::DisplayedLines() const
{
    std::vector<u16> lines;
    const std::size_t columns = std::size_t(std::max(WrapColumns, 1));
    std::size_t start = 0;
    while (start <= FText.size()) {
        std::size_t end = FText.find(u"\r\n", start);
        u16v paragraph = u16v(FText).substr(start, end == u16::npos ? u16::npos : end - start);
        // Soft and hard wrapping break at the last space that fits, or inside a word longer than a line.
        while (FWrap != 0 && paragraph.size() > columns) {
            std::size_t cut = paragraph.rfind(u' ', columns);
            cut = cut == u16v::npos || cut == 0 ? columns : cut + 1;
            lines.emplace_back(paragraph.substr(0, cut));
            paragraph.remove_prefix(cut);
        }
        lines.emplace_back(paragraph);
        if (end == u16::npos)
            break;
        start = end + 2;
    }
    return lines;
}

void TPlainWidget::PaintTo(platform::PaintCanvas& canvas, int x, int y) const
{
    const Rect box{x, y, x + FWidth, y + FHeight};
    const unsigned align = canvas.GetTextAlign();
    canvas.SetTextAlign(platform::TaLeft | platform::TaTop);
    struct TAlignBack {
        platform::PaintCanvas& Canvas;
        unsigned Align;
        ~TAlignBack() { Canvas.SetTextAlign(Align); }
    } alignBack{canvas, align};
    if (Font)
        Font->SelectFontInto(canvas);
    canvas.SetBkMode(platform::BkMode::Transparent);
    canvas.SetTextColor(Enabled ? Color(0) : FrameColor);
    switch (Kind) {
    case TWidgetKind::FocusButton: return;
    case TWidgetKind::CheckBox: {
        canvas.FillRect(box, 0xFFFFFF);
        canvas.SetPen(FrameColor);
        canvas.SetBrushClear();
        canvas.Rectangle(box);
        if (FChecked) {
            // The mark through three points, two pixels thick.
            const int mid = y + FHeight / 2;
            canvas.SetPen(0, 2);
            canvas.MoveTo(x + 3, mid);
            canvas.LineTo(x + 5, mid + 2);
            canvas.LineTo(x + 10, mid - 3);
        }
        return;
    }
    case TWidgetKind::RadioButton: {
        canvas.SetPen(FrameColor);
        canvas.SetBrush(Enabled ? 0xFFFFFF : FaceColor);
        canvas.Ellipse(box);
        if (FChecked) {
            const int cx = x + FWidth / 2, cy = y + FHeight / 2;
            canvas.SetBrush(0);
            canvas.Ellipse(Rect{cx - 2, cy - 2, cx + 2, cy + 2});
        }
        return;
    }
    case TWidgetKind::Button: {
        canvas.FillRect(box, FaceColor);
        canvas.SetPen(FrameColor);
        canvas.SetBrushClear();
        canvas.Rectangle(box);
        const int w = canvas.TextWidth(FText);
        const int h = canvas.Metrics().Height;
        canvas.TextOut(x + (FWidth - w) / 2, y + (FHeight - h) / 2, FText);
        return;
    }
    default: break;
    }
    // Edits and lists: a framed field in the control's colour with the lines that show.
    canvas.FillRect(box, FColor == clNone ? Color(0xFFFFFF) : ColorToRGB(FColor));
    canvas.SetPen(FrameColor);
    canvas.SetBrushClear();
    canvas.Rectangle(box);
    std::vector<u16> lines;
    if (Kind == TWidgetKind::Edit)
        lines.push_back(FText);
    else if (Kind == TWidgetKind::Password)
        lines.emplace_back(FText.size(), u'*');
    else if (Kind == TWidgetKind::Memo)
        lines = DisplayedLines();
    else if (Kind == TWidgetKind::ComboBox)
        lines.push_back(FItemIndex >= 0 ? FItems[std::size_t(FItemIndex)] : u16());
    else
        lines = FItems;
    const int lineHeight = std::max(canvas.Metrics().Height, 1);
    canvas.Save();
    canvas.IntersectClipRect(Rect{x + 1, y + 1, box.right - 1, box.bottom - 1});
    int lineY = Kind == TWidgetKind::Edit || Kind == TWidgetKind::Password || Kind == TWidgetKind::ComboBox
                    ? y + (FHeight - lineHeight) / 2
                    : y + 2;
    for (std::size_t i = 0; i < lines.size() && lineY < box.bottom; ++i, lineY += lineHeight) {
        const bool selected = (Kind == TWidgetKind::ListBox || Kind == TWidgetKind::MultiListBox) && FSelected[i];
        if (selected)
            canvas.FillRect(Rect{x + 1, lineY, box.right - 1, lineY + lineHeight}, ColorToRGB(clHighlight));
        canvas.SetTextColor(selected ? ColorToRGB(clHighlightText) : Color(0));
        canvas.TextOut(x + 3, lineY, lines[i]);
    }
    canvas.Restore();
}

} // namespace lantern
