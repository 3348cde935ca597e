#include "layout/FormControls.h"

#include "layout/Document.h"
#include "layout/Forms.h"
#include "markup/Attributes.h"
#include "platform/Canvas.h"
#include "style/BoxValues.h"
#include "style/Fonts.h"
#include "style/Properties.h"

#include <algorithm>
#include <cstdio>

namespace lantern {

namespace {

// The frame a platform edit or list draws around its client area, both sides together.
constexpr int FrameWidth = 4;

u16 AttributeValue(const TAttributeList& attributes, THtmlSymbol symbol)
{
    const TAttribute* a = attributes.Find(symbol);
    return a ? a->Value : u16();
}

bool SameValue(u16v a, u16v b) { return LowerUnits(a) == LowerUnits(b); }

u16 Pair(const u16& name, u16v value)
{
    u16 line = name;
    line += u'=';
    line += value;
    return line;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Common construction

TFormControlObj::TFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                                 TProperties& properties)
    : Document(&document), Form(form), Font(properties.FontOf())
{
    // 1.
    if (!Form)
        Form = &document.ImplicitForm();
    // 2.
    Title = AttributeValue(attributes, symTitle);
    Name = AttributeValue(attributes, symName);
    Value = AttributeValue(attributes, symValue);
    OnClickText = AttributeValue(attributes, symOnclick);
    Id = AttributeValue(attributes, symId);
    OnFocusText = AttributeValue(attributes, symOnfocus);
    OnBlurText = AttributeValue(attributes, symOnblur);
    OnChangeText = AttributeValue(attributes, symOnchange);
    if (const TAttribute* disabled = attributes.Find(symDisabled))
        Disabled = !SameTextAscii(disabled->Value, u"no") && disabled->Value != u"0";
    ReadOnly = attributes.Find(symReadonly) != nullptr;
    CodePage = properties.CodePage;
    if (const TAttribute* tab = attributes.Find(symTabindex); tab && tab->IntValue >= 1) {
        // Equal TABINDEX values keep their document order.
        char key[32];
        std::snprintf(key, sizeof key, "%.5d%.3d", tab->IntValue, int(document.TabOrderList.size()));
        document.TabOrderList.push_back({FromAscii(key), this});
    }
    // 3.
    if (!attributes.GetId().empty())
        document.IdTable.Add(attributes.GetId(), *this);
    AttributeStrings = attributes.ListAsNameValues();
}

TFormControlObj::TFormControlObj() : Document(nullptr), Form(nullptr) {}

TFormControlObj::~TFormControlObj() = default;

void TFormControlObj::CreateWidget(TWidgetKind kind)
{
    // 4.
    if (Document->MakeFormWidget && !Document->IsPrintCopy)
        Widget = Document->MakeFormWidget(kind);
    if (!Widget)
        Widget = std::make_unique<TPlainWidget>(kind);
    Widget->Events = this;
    Widget->SetEnabled(!Disabled);
    Widget->SetFont(*Font);
    Widget->SetLeft(TFormWidget::OffScreen);
}

int TFormControlObj::Height() const { return Widget ? Widget->Height() : 0; }
int TFormControlObj::Left() const { return Widget ? Widget->Left() : TFormWidget::OffScreen; }
int TFormControlObj::TabOrder() const { return Widget ? Widget->TabOrder() : -1; }
bool TFormControlObj::TabStop() const { return Widget && Widget->TabStop(); }
int TFormControlObj::Top() const { return Widget ? Widget->Top() : 0; }
int TFormControlObj::Width() const { return Widget ? Widget->Width() : 0; }

void TFormControlObj::SetHeight(int height)
{
    if (Widget)
        Widget->SetHeight(height);
}

void TFormControlObj::SetLeft(int left)
{
    if (Widget)
        Widget->SetLeft(left);
}

void TFormControlObj::SetTabOrder(int order)
{
    if (Widget)
        Widget->SetTabOrder(order);
}

void TFormControlObj::SetTabStop(bool stop)
{
    if (Widget)
        Widget->SetTabStop(stop);
}

void TFormControlObj::SetTop(int top)
{
    if (Widget)
        Widget->SetTop(top);
}

void TFormControlObj::SetWidth(int width)
{
    if (Widget)
        Widget->SetWidth(width);
}

bool TFormControlObj::SubmitPair(int, u16&) { return false; }
void TFormControlObj::ApplyValue(int, u16v) {}
void TFormControlObj::MeasureFor(platform::Canvas&) {}

void TFormControlObj::HideControl()
{
    if (Widget)
        Widget->Hide();
}

void TFormControlObj::ShowControl()
{
    if (Widget)
        Widget->Show();
}

void TFormControlObj::ApplyStyle(const TProperties& properties)
{
    TBoxCellArray cells;
    properties.GatherBorderValues(cells, true);
    TBoxValueArray marg{};
    ResolveBoxValuesForReplaced(cells, 100, marg, properties.ExSize, properties.EmSize);
    auto margin = [&](int index, int unset) {
        const int v = BoxValue(marg, index);
        return v == UnsetLength || v == AutoLength ? unset : v;
    };
    HSpaceL = margin(piMarginLeft, 0);
    HSpaceR = margin(piMarginRight, 0);
    VSpaceT = margin(piMarginTop, 1);
    VSpaceB = margin(piMarginBottom, 1);
    if (properties.HasAnyBorderStyle()) {
        auto border = [&](int index) { return std::max(margin(index, 0), 0); };
        HSpaceL += border(piBorderLeftWidth);
        HSpaceR += border(piBorderRightWidth);
        BorderTop = border(piBorderTopWidth);
        BorderBottom = border(piBorderBottomWidth);
        VSpaceT += BorderTop;
        VSpaceB += BorderBottom;
    }
    if (const int w = BoxValue(marg, piWidth); w != UnsetLength && w != AutoLength && w > 0) {
        const u16* text = cells[std::size_t(BoxSlot(piWidth))].TextPtr();
        PercentWidth = text && text->find(u'%') != u16::npos;
        StyleWidth = w;
        if (PercentWidth && w > 100) {
            // A percentage above the whole is not a size.
            PercentWidth = false;
            StyleWidth = 0;
        }
    }
    if (const int h = BoxValue(marg, piHeight); h != UnsetLength && h != AutoLength && h > 0)
        StyleHeight = std::max(h - BorderTop - BorderBottom, 0);
    AlignmentCode code;
    if (properties.VerticalAlignOf(code)) {
        switch (code) {
        case AlignmentCode::Top: VertAlign = 1; break;
        case AlignmentCode::Middle: VertAlign = 2; break;
        case AlignmentCode::Baseline: VertAlign = 3; break;
        case AlignmentCode::Bottom: VertAlign = 4; break;
        default: break;
        }
    }
    BackColor = properties.BackgroundColorOf();
}

void TFormControlObj::PlaceForPaint(platform::PaintCanvas& canvas, int x, int y)
{
    if (!Widget)
        return;
    Placed = EverPlaced = true;
    PlacedX = x;
    PlacedDocY = y + Document->ViewTop;
    if (Document->PaintControls) {
        Widget->PaintTo(canvas, x, y);
        return;
    }
    Widget->SetLeft(x);
    Widget->SetTop(y);
    Widget->Show();
}

int TFormControlObj::TextHeightA(platform::Canvas& canvas) const
{
    Font->SelectFontInto(canvas);
    return canvas.TextExtent(u"A").cy;
}

// ---------------------------------------------------------------------------------------------------------------
// Focus and clicks

void TFormControlObj::WidgetEnter()
{
    if (Document->IsPrintCopy)
        return;
    Active = true;
    const TFormHost& host = Document->FormHost;
    if (host.Invalidate)
        host.Invalidate();
    if (host.ControlEntered)
        host.ControlEntered(*this);
    if (!OnFocusText.empty() && host.OnObjectFocus)
        host.OnObjectFocus(*this, OnFocusText);
    if (!OnChangeText.empty())
        SnapshotValue();
}

void TFormControlObj::WidgetExit()
{
    Active = false;
    const TFormHost& host = Document->FormHost;
    if (!OnChangeText.empty())
        CheckChanged();
    if (!OnBlurText.empty() && host.OnObjectBlur)
        host.OnObjectBlur(*this, OnBlurText);
    if (host.Invalidate)
        host.Invalidate();
}

void TFormControlObj::WidgetClick()
{
    if (Document->FormHost.OnObjectClick)
        Document->FormHost.OnObjectClick(*this, OnClickText);
}

bool TFormControlObj::WidgetKey(int) { return false; }

namespace {

void ReportChange(ThtDocument& document, TFormControlObj& control)
{
    if (document.FormHost.OnObjectChange)
        document.FormHost.OnObjectChange(control, control.OnChangeText);
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Hidden fields

bool THiddenFormControlObj::SubmitPair(int index, u16& text)
{
    if (index != 0)
        return false;
    text = Pair(Name, Value);
    return true;
}

void THiddenFormControlObj::ApplyValue(int, u16v text) { Value = text; }

// ---------------------------------------------------------------------------------------------------------------
// Edit fields

TEditFormControlObj::TEditFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                                         TProperties& properties, bool password)
    : TFormControlObj(document, form, attributes, properties)
{
    if (const TAttribute* size = attributes.Find(symSize); size && size->IntValue > 0)
        EditSize = size->IntValue;
    CreateWidget(password ? TWidgetKind::Password : TWidgetKind::Edit);
    Widget->SetReadOnly(ReadOnly);
    Widget->SetText(Value);
}

bool TEditFormControlObj::SubmitPair(int index, u16& text)
{
    if (index != 0)
        return false;
    text = Pair(Name, Widget->Text());
    return true;
}

void TEditFormControlObj::RestoreInitial() { Widget->SetText(Value); }
void TEditFormControlObj::ApplyValue(int, u16v text) { Widget->SetText(text); }
void TEditFormControlObj::SnapshotValue() { SavedText = Widget->Text(); }

void TEditFormControlObj::CheckChanged()
{
    if (Widget->Text() != SavedText)
        ReportChange(Doc(), *this);
}

void TEditFormControlObj::ApplyStyle(const TProperties& properties)
{
    TFormControlObj::ApplyStyle(properties);
    if (BackColor != clNone)
        Widget->SetColor(BackColor);
}

void TEditFormControlObj::MeasureFor(platform::Canvas& canvas)
{
    const int textHeight = std::max(TextHeightA(canvas), 10);
    // An edit with its frame stands 8 pixels taller than its text.
    const int natural = StyleHeight > 0 ? StyleHeight : textHeight + 8;
    SetHeight(std::max(natural, textHeight));
    if (PercentWidth) {
        SetWidth(10);
        SetLeft(TFormWidget::OffScreen);
    } else if (StyleWidth >= 10) {
        SetWidth(StyleWidth);
    } else {
        SetWidth(canvas.Metrics().AveCharWidth * EditSize + 23);
    }
}

bool TEditFormControlObj::WidgetKey(int key) { return OwnerForm().EnterSubmits(*this, key); }

// ---------------------------------------------------------------------------------------------------------------
// Buttons

TButtonFormControlObj::TButtonFormControlObj(ThtDocument& document, ThtmlForm* form,
                                             const TAttributeList& attributes, TProperties& properties, TKind kind)
    : TFormControlObj(document, form, attributes, properties), Kind(kind)
{
    CreateWidget(TWidgetKind::Button);
    u16 caption = Value;
    switch (kind) {
    case TKind::Submit:
        if (!attributes.Find(symValue))
            caption = u"Submit";
        break;
    case TKind::Reset:
        if (!attributes.Find(symValue))
            caption = u"Reset";
        break;
    case TKind::Plain:
        if (!attributes.Find(symValue))
            caption = u"Button";
        break;
    case TKind::Browse:
        caption = u"Browse...";
        Name.clear();
        Id.clear();
        Value.clear();
        break;
    }
    Widget->SetText(caption);
}

void TButtonFormControlObj::MeasureFor(platform::Canvas& canvas)
{
    const int textHeight = TextHeightA(canvas);
    SetHeight(StyleHeight < textHeight ? textHeight + 8 : StyleHeight);
    if (StyleWidth >= 10 && !PercentWidth)
        SetWidth(StyleWidth);
    else
        SetWidth(canvas.TextWidth(Widget->Text()) + 20);
}

void TButtonFormControlObj::WidgetClick()
{
    TFormControlObj::WidgetClick();
    switch (Kind) {
    case TKind::Reset: OwnerForm().ResetAll(); break;
    case TKind::Submit:
        if (Name.empty())
            OwnerForm().Submit();
        else
            OwnerForm().Submit(Pair(Name, Value));
        break;
    case TKind::Browse:
        if (LinkedEdit && Doc().FormHost.OnFileBrowse) {
            u16 name = LinkedEdit->PlatformControl()->Text();
            Doc().FormHost.OnFileBrowse(*LinkedEdit, name);
            LinkedEdit->PlatformControl()->SetText(name);
        }
        break;
    case TKind::Plain: break;
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Image buttons

TImageFormControlObj::TImageFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                                           TProperties& properties)
    : TFormControlObj(document, form, attributes, properties)
{
    CreateWidget(TWidgetKind::FocusButton);
    Widget->SetWidth(1);
    Widget->SetHeight(1);
}

bool TImageFormControlObj::SubmitPair(int index, u16& text)
{
    if (ClickX < 0 || index > 1)
        return false;
    const u16 prefix = Name.empty() ? u16() : Name + u".";
    if (index == 0) {
        text = prefix + u"x=" + IntToStr(ClickX);
    } else {
        text = prefix + u"y=" + IntToStr(ClickY);
        // One click submits once.
        ClickX = ClickY = -1;
    }
    return true;
}

void TImageFormControlObj::ImageClicked(int x, int y)
{
    Widget->SetFocus();
    TFormControlObj::WidgetClick();
    ClickX = x;
    ClickY = y;
    if (!Disabled)
        OwnerForm().Submit();
}

// The focus button never shows: the picture is what the reader sees and clicks.
void TImageFormControlObj::PlaceForPaint(platform::PaintCanvas&, int, int) {}

// ---------------------------------------------------------------------------------------------------------------
// Check boxes

TCheckBoxFormControlObj::TCheckBoxFormControlObj(ThtDocument& document, ThtmlForm* form,
                                                 const TAttributeList& attributes, TProperties& properties)
    : TFormControlObj(document, form, attributes, properties)
{
    if (!attributes.Find(symValue))
        Value = u"on";
    InitiallyChecked = attributes.Find(symChecked) != nullptr;
    VertAlign = 3;
    CreateWidget(TWidgetKind::CheckBox);
    Widget->SetWidth(13);
    Widget->SetHeight(13);
    Widget->SetChecked(InitiallyChecked);
}

bool TCheckBoxFormControlObj::SubmitPair(int index, u16& text)
{
    if (index != 0 || !Widget->Checked())
        return false;
    text = Pair(Name, Value);
    return true;
}

void TCheckBoxFormControlObj::RestoreInitial() { Widget->SetChecked(InitiallyChecked); }

void TCheckBoxFormControlObj::ApplyValue(int, u16v text)
{
    if (SameValue(text, Value))
        Widget->SetChecked(true);
}

void TCheckBoxFormControlObj::ClearForApply() { Widget->SetChecked(false); }
void TCheckBoxFormControlObj::SnapshotValue() { SavedState = Widget->Checked(); }

void TCheckBoxFormControlObj::CheckChanged()
{
    if (Widget->Checked() != SavedState)
        ReportChange(Doc(), *this);
}

// Arrow keys do not move between check boxes: the page scrolls.
bool TCheckBoxFormControlObj::WidgetKey(int key)
{
    if (key < VkLeft || key > VkDown)
        return false;
    if (Doc().FormHost.ViewerKey)
        Doc().FormHost.ViewerKey(key);
    return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Radio buttons

TRadioButtonFormControlObj::TRadioButtonFormControlObj(ThtDocument& document, ThtmlForm* form,
                                                       const TAttributeList& attributes, TProperties& properties)
    : TFormControlObj(document, form, attributes, properties)
{
    InitiallyChecked = attributes.Find(symChecked) != nullptr;
    VertAlign = 3;
    CreateWidget(TWidgetKind::RadioButton);
    Widget->SetWidth(13);
    Widget->SetHeight(14);
    Widget->SetChecked(InitiallyChecked);
    // The later checked radio of a group wins; an unchecked one is a tab stop only as the first of its group.
    const std::vector<TRadioButtonFormControlObj*> earlier = OwnerForm().RadioGroup(Name);
    if (InitiallyChecked) {
        for (TRadioButtonFormControlObj* other : earlier) {
            other->Widget->SetChecked(false);
            other->Widget->SetTabStop(false);
        }
    } else {
        Widget->SetTabStop(earlier.empty());
    }
}

bool TRadioButtonFormControlObj::SubmitPair(int index, u16& text)
{
    if (index != 0 || !Widget->Checked())
        return false;
    text = Pair(Name, Value);
    return true;
}

void TRadioButtonFormControlObj::RestoreInitial()
{
    Widget->SetChecked(InitiallyChecked);
    Widget->SetTabStop(InitiallyChecked || OwnerForm().RadioGroup(Name).front() == this);
}

void TRadioButtonFormControlObj::ApplyValue(int, u16v text)
{
    if (SameValue(text, Value))
        Check();
}

void TRadioButtonFormControlObj::SnapshotValue() { SavedState = Widget->Checked(); }

void TRadioButtonFormControlObj::CheckChanged()
{
    if (Widget->Checked() != SavedState)
        ReportChange(Doc(), *this);
}

void TRadioButtonFormControlObj::Check()
{
    Widget->SetChecked(true);
    Widget->SetTabStop(true);
    OwnerForm().UncheckGroup(*this);
}

void TRadioButtonFormControlObj::WidgetClick()
{
    Check();
    TFormControlObj::WidgetClick();
}

bool TRadioButtonFormControlObj::WidgetKey(int key)
{
    if (key < VkLeft || key > VkDown)
        return false;
    OwnerForm().RadioArrowKey(*this, key);
    return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Lists

TOptionsFormControlObj::TOptionsFormControlObj(ThtDocument& document, ThtmlForm* form,
                                               const TAttributeList& attributes, TProperties& properties)
    : TFormControlObj(document, form, attributes, properties)
{
    if (const TAttribute* size = attributes.Find(symSize))
        ListSize = size->IntValue;
}

void TOptionsFormControlObj::AddOption(u16v text, bool selected, std::vector<u16> attributeStrings,
                                       platform::Canvas& canvas)
{
    TOptionObj option;
    option.Text = text;
    while (!option.Text.empty() && option.Text.front() < 33)
        option.Text.erase(0, 1);
    while (!option.Text.empty() && option.Text.back() < 33)
        option.Text.pop_back();
    if (option.Text.empty())
        option.Text = u" ";
    option.Selected = selected;
    option.Value = option.Text;
    for (const u16& line : attributeStrings)
        if (line.size() > 6 && SameTextAscii(u16v(line).substr(0, 6), u"VALUE="))
            option.Value = line.substr(6);
    option.AttributeStrings = std::move(attributeStrings);
    ControlFont().SelectFontInto(canvas);
    WidestOption = std::max(WidestOption, canvas.TextWidth(option.Text));
    Options.push_back(std::move(option));
}

u16 TOptionsFormControlObj::OptionValue(int index) const
{
    return index >= 0 && index < int(Options.size()) ? Options[std::size_t(index)].Value : u16();
}

bool TOptionsFormControlObj::OptionSelected(int index) const
{
    return index >= 0 && index < int(Options.size()) && Options[std::size_t(index)].Selected;
}

void TOptionsFormControlObj::ApplyStyle(const TProperties& properties)
{
    TFormControlObj::ApplyStyle(properties);
    if (BackColor != clNone)
        Widget->SetColor(BackColor);
}

namespace {

std::vector<u16> OptionTexts(const std::vector<TOptionObj>& options)
{
    std::vector<u16> texts;
    texts.reserve(options.size());
    for (const TOptionObj& option : options)
        texts.push_back(option.Text);
    return texts;
}

} // namespace

TListBoxFormControlObj::TListBoxFormControlObj(ThtDocument& document, ThtmlForm* form,
                                               const TAttributeList& attributes, TProperties& properties)
    : TOptionsFormControlObj(document, form, attributes, properties),
      Multiple(attributes.Find(symMultiple) != nullptr)
{
    CreateWidget(Multiple ? TWidgetKind::MultiListBox : TWidgetKind::ListBox);
}

void TListBoxFormControlObj::RestoreInitial()
{
    Widget->SetItems(OptionTexts(Options));
    for (int i = 0; i < int(Options.size()); ++i)
        if (Options[std::size_t(i)].Selected) {
            if (Multiple)
                Widget->SetSelected(i, true);
            else
                Widget->SetItemIndex(i);
        }
    if (Widget->ItemIndex() < 0 && !Options.empty() && !Multiple)
        Widget->SetItemIndex(0);
    Widget->ScrollToTop();
}

bool TListBoxFormControlObj::SubmitPair(int index, u16& text)
{
    if (index >= Widget->ItemCount())
        return false;
    const bool chosen = Multiple ? Widget->Selected(index) : Widget->ItemIndex() == index;
    text = chosen ? Pair(Name, OptionValue(index)) : u16();
    return true;
}

void TListBoxFormControlObj::ApplyValue(int index, u16v text)
{
    if (index == 0) {
        Widget->SetItemIndex(0);
        if (Multiple)
            for (int i = 0; i < Widget->ItemCount(); ++i)
                Widget->SetSelected(i, false);
    }
    for (int i = 0; i < int(Options.size()); ++i)
        if (SameValue(OptionValue(i), text)) {
            if (Multiple)
                Widget->SetSelected(i, true);
            else
                Widget->SetItemIndex(i);
        }
    Widget->ScrollToTop();
}

void TListBoxFormControlObj::SnapshotValue()
{
    SavedCount = Widget->ItemCount();
    SavedSelection.clear();
    for (int i = 0; i < std::min(SavedCount, 51); ++i)
        SavedSelection.push_back(Widget->Selected(i));
}

void TListBoxFormControlObj::CheckChanged()
{
    bool changed = Widget->ItemCount() != SavedCount;
    for (int i = 0; !changed && i < int(SavedSelection.size()); ++i)
        changed = Widget->Selected(i) != SavedSelection[std::size_t(i)];
    if (changed)
        ReportChange(Doc(), *this);
}

void TListBoxFormControlObj::MeasureFor(platform::Canvas& canvas)
{
    const int rows = ListSize > 0 ? ListSize : std::clamp(int(Options.size()), 1, MaxAutoRows);
    const int client = StyleHeight >= 10 ? StyleHeight : TextHeightA(canvas) * rows;
    SetHeight(client + FrameWidth);
    if (PercentWidth) {
        SetWidth(10);
        SetLeft(TFormWidget::OffScreen);
    } else if (StyleWidth >= 10) {
        SetWidth(StyleWidth);
    } else {
        SetWidth(ScrollBarWidth + WidestOption + 10);
    }
}

TComboFormControlObj::TComboFormControlObj(ThtDocument& document, ThtmlForm* form, const TAttributeList& attributes,
                                           TProperties& properties)
    : TOptionsFormControlObj(document, form, attributes, properties)
{
    CreateWidget(TWidgetKind::ComboBox);
}

void TComboFormControlObj::RestoreInitial()
{
    Widget->SetItems(OptionTexts(Options));
    int current = Options.empty() ? -1 : 0;
    for (int i = 0; i < int(Options.size()); ++i)
        if (Options[std::size_t(i)].Selected)
            current = i;
    Widget->SetItemIndex(current);
}

bool TComboFormControlObj::SubmitPair(int index, u16& text)
{
    if (index != 0 || Widget->ItemIndex() < 0)
        return false;
    text = Pair(Name, OptionValue(Widget->ItemIndex()));
    return true;
}

void TComboFormControlObj::ApplyValue(int, u16v text)
{
    for (int i = int(Options.size()) - 1; i >= 0; --i)
        if (SameValue(OptionValue(i), text)) {
            Widget->SetItemIndex(i);
            return;
        }
}

void TComboFormControlObj::SnapshotValue() { SavedIndex = Widget->ItemIndex(); }

void TComboFormControlObj::CheckChanged()
{
    if (Widget->ItemIndex() != SavedIndex)
        ReportChange(Doc(), *this);
}

void TComboFormControlObj::MeasureFor(platform::Canvas& canvas)
{
    const int textHeight = TextHeightA(canvas);
    // A drop-down list on its own is as tall as an edit of its font.
    SetHeight(StyleHeight > 9 ? StyleHeight : textHeight + 8);
    if (PercentWidth) {
        SetWidth(10);
        SetLeft(TFormWidget::OffScreen);
    } else if (StyleWidth >= 10) {
        SetWidth(StyleWidth);
    } else {
        SetWidth(ScrollBarWidth + WidestOption + 10);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Multi-line edits

TTextAreaFormControlObj::TTextAreaFormControlObj(ThtDocument& document, ThtmlForm* form,
                                                 const TAttributeList& attributes, TProperties& properties)
    : TFormControlObj(document, form, attributes, properties)
{
    if (const TAttribute* rows = attributes.Find(symRows); rows && rows->IntValue > 0)
        Rows = rows->IntValue;
    if (const TAttribute* cols = attributes.Find(symCols); cols && cols->IntValue > 0)
        Cols = cols->IntValue;
    if (const TAttribute* wrap = attributes.Find(symWrap)) {
        if (SameTextAscii(wrap->Value, u"off"))
            Wrap = 0;
        else if (SameTextAscii(wrap->Value, u"hard") || SameTextAscii(wrap->Value, u"physical"))
            Wrap = 2;
    }
    CreateWidget(TWidgetKind::Memo);
    Widget->SetWrap(Wrap);
    Widget->SetReadOnly(ReadOnly);
    if (auto* plain = dynamic_cast<TPlainWidget*>(Widget.get()))
        plain->WrapColumns = Cols;
}

bool TTextAreaFormControlObj::SubmitPair(int index, u16& text)
{
    if (index != 0)
        return false;
    if (Wrap != 2) {
        text = Pair(Name, Widget->Text());
        return true;
    }
    u16 joined;
    const std::vector<u16> lines = Widget->DisplayedLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            joined += u"\r\n";
        joined += lines[i];
    }
    text = Pair(Name, joined);
    return true;
}

void TTextAreaFormControlObj::RestoreInitial()
{
    Widget->ClearSelection();
    Widget->SetText(InitialText);
}

void TTextAreaFormControlObj::ApplyValue(int, u16v text) { Widget->SetText(text); }
void TTextAreaFormControlObj::SnapshotValue() { SavedText = Widget->Text(); }

void TTextAreaFormControlObj::CheckChanged()
{
    if (Widget->Text() != SavedText)
        ReportChange(Doc(), *this);
}

void TTextAreaFormControlObj::ApplyStyle(const TProperties& properties)
{
    TFormControlObj::ApplyStyle(properties);
    if (BackColor != clNone)
        Widget->SetColor(BackColor);
}

void TTextAreaFormControlObj::MeasureFor(platform::Canvas& canvas)
{
    const int textHeight = TextHeightA(canvas);
    // The vertical bar is always there; without wrapping the horizontal one too.
    const int hBar = Wrap == 0 ? TOptionsFormControlObj::ScrollBarWidth : 0;
    SetHeight(StyleHeight >= 10 ? StyleHeight : textHeight * Rows + 5 + FrameWidth + hBar);
    if (PercentWidth) {
        SetWidth(50);
        SetLeft(TFormWidget::OffScreen);
    } else if (StyleWidth >= 10) {
        SetWidth(StyleWidth);
    } else {
        SetWidth(canvas.TextWidth(u"s") * Cols + 5 + FrameWidth + TOptionsFormControlObj::ScrollBarWidth);
    }
}

} // namespace lantern
