#include "layout/Document.h"

#include "layout/CachedPicture.h"
#include "layout/FontRuns.h"
#include "layout/ImageObj.h"
#include "layout/Maps.h"
#include "markup/Attributes.h"
#include "layout/TextSection.h"
#include "platform/Canvas.h"

#include <algorithm>

namespace lantern {

ThtDocument::ThtDocument(bool quirks)
    : TCell(*this, u"default"), Quirks(quirks),
      Styles(std::make_unique<THtmlStyleList>(quirks, [this](bool on) { LinksReactToHover = on; })),
      InlineList(*this)
{
    PropStack.Cascade = Styles.get();
    PropStack.Quirks = quirks;
    PropStack.CloseInlineBorder = [this](TProperties& properties, int sourcePos) {
        lantern::CloseInlineBorder(*this, sourcePos, properties);
    };
    MakeBackgroundSource = [this](u16v url) -> std::unique_ptr<TBackgroundSource> {
        return std::make_unique<TCachedPicture>(*this, url);
    };
}

ThtDocument::~ThtDocument()
{
    // The sections belong to the cell base, which outlives these members: free them while the lists they
    // leave on the way out, and the image cache they give their pictures back to, still exist.
    IdTable.Clear();
    ForgetLinkRuns();
    ForgetImages();
    Sections.clear();
    ForgetForms();
}

void ThtDocument::ForgetForms()
{
    TabOrderList.clear();
    FormControls.clear();
    Forms.clear();
    implicitForm_ = nullptr;
}

ThtmlForm& ThtDocument::ImplicitForm()
{
    // The first form made without attributes stands for every control outside a FORM.
    if (!implicitForm_) {
        Forms.push_back(std::make_unique<ThtmlForm>(*this, TAttributeList()));
        implicitForm_ = Forms.back().get();
    }
    return *implicitForm_;
}

std::unique_ptr<std::vector<std::vector<u16>>> ThtDocument::FormValues() const
{
    if (Forms.empty())
        return nullptr;
    auto values = std::make_unique<std::vector<std::vector<u16>>>();
    for (const auto& form : Forms)
        values->push_back(form->CollectValues());
    return values;
}

void ThtDocument::AssignTabOrders()
{
    if (TabOrderList.empty())
        return;
    std::stable_sort(TabOrderList.begin(), TabOrderList.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    int order = 0;
    for (const auto& entry : TabOrderList)
        entry.second->SetTabOrder(order++);
    TabOrderList.clear();
}

void ThtDocument::HideUnplacedControls(const Rect& clip)
{
    const int bottom = std::max(ViewHeight, clip.bottom);
    for (const auto& control : FormControls) {
        TFormWidget* widget = control->PlatformControl();
        if (!widget || control->Placed || control->IsHiddenField() || !widget->Visible())
            continue;
        const int top = control->PlacedDocY - ViewTop;
        if (control->EverPlaced && top + control->Height() > 0 && top < bottom) {
            widget->SetLeft(control->PlacedX);
            widget->SetTop(top);
        } else {
            widget->Hide();
        }
    }
}

void ThtDocument::ForgetLinkRuns()
{
    LinkList.clear();
    HoveredRun = nullptr;
    PositionList.clear();
}

int ThtDocument::LayoutDocument(platform::Canvas& canvas, int y, int width, int availableHeight, int blockHeight,
                                int& scrollWidth, int& counter)
{
    // 1.
    ++LayoutPass;
    SwitchAnimationTimer(false);
    // 2. Controls are sized for their fonts before any line holds them.
    for (const auto& form : Forms)
        form->MeasureAll(canvas);
    // 3., 4.
    canvas.SetTextJustification(0, 0);
    InlineList.NeedsConvert = true;
    // 5.
    AssignTabOrders();
    // 6.
    const int height = TCell::LayoutCell(canvas, y, width, availableHeight, blockHeight, scrollWidth, counter);
    // 7., 8.
    if (!IsPrintCopy) {
        RestartAnimations();
        animationInterval_ = FirstAnimationInterval;
        SwitchAnimationTimer(Animates());
    }
    // 10.
    if (!IsPrintCopy && PositionList.empty())
        RegisterPositions();
    return height;
}

int ThtDocument::PaintDocument(platform::PaintCanvas& canvas, const Rect& clip, int clipWidth, int x, int y,
                               int xRef, int yRef)
{
    // 1. Only what this paint draws moves on at the next tick.
    PageCutY = ViewTop + clip.bottom;
    SkipNextDraw = false;
    SwitchAnimationTimer(false);
    ForgetAnimationsIn(clip);
    // 3.
    DeferredDraws.clear();
    for (const auto& control : FormControls)
        control->Placed = false;
    const int bottom = TCell::PaintCell(canvas, clip, clipWidth, x, y, xRef, yRef);
    for (const TImageRec& r : DeferredDraws)
        r.Object->Draw(canvas, r.X, *r.Run, r.Y, r.Y);
    // 4., 5.
    if (ViewTopChanged && !PaintControls)
        HideUnplacedControls(clip);
    ViewTopChanged = false;
    SwitchAnimationTimer(!IsPrintCopy && Animates());
    return bottom;
}

void ThtDocument::SetViewTop(int y)
{
    for (TGIFImage* image : animatedImages_)
        image->MoveDrawnRect(0, ViewTop - y);
    ViewTop = y;
    ViewTopChanged = true;
}

THitKinds ThtDocument::HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                               TFormControlObj*& control, u16& title)
{
    TFontObj* previous = HoveredRun;
    TImageObj* previousImage = HoveredImage;
    HoveredRun = nullptr;
    HoveredImage = nullptr;
    const THitKinds found = TCellBasic::HitLink(canvas, x, y, target, control, title);
    if (LinksReactToHover && previous != HoveredRun) {
        if (previous)
            previous->SetLinkHover(LinkList, false);
        if (HoveredRun)
            HoveredRun->SetLinkHover(LinkList, true);
        if (Invalidate)
            Invalidate();
    }
    if (previousImage && previousImage != HoveredImage)
        previousImage->SetHover(0);
    if (HoveredImage)
        HoveredImage->SetHover(LeftButtonDown && LeftButtonDown() ? 2 : 1);
    return found;
}

void ThtDocument::ClearHover()
{
    if (!HoveredRun && !HoveredImage)
        return;
    if (Invalidate)
        Invalidate();
    if (HoveredRun)
        HoveredRun->SetLinkHover(LinkList, false);
    if (HoveredImage)
        HoveredImage->SetHover(0);
    HoveredRun = nullptr;
    HoveredImage = nullptr;
}

void ThtDocument::SetImagePressed(bool pressed)
{
    if (!HoveredImage)
        return;
    HoveredImage->SetHover(pressed ? 2 : 1);
    if (Invalidate)
        Invalidate();
}

bool ThtDocument::CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const
{
    if (CharCount > 0 && pos >= CharCount) {
        if (!TCellBasic::CaretToPoint(canvas, CharCount - 1, x, y))
            return false;
        x += 15;
        return true;
    }
    return TCellBasic::CaretToPoint(canvas, pos, x, y);
}

int ThtDocument::SourceToDocPos(int sourcePos, bool backward) const
{
    const int pos = TCellBasic::SourceToDocPos(sourcePos, backward);
    return pos >= 0 ? pos : CharCount;
}

TSectionBase* ThtDocument::SectionAtY(int y, int& top, int& index) const
{
    for (int i = static_cast<int>(PositionList.size()) - 1; i >= 0; --i) {
        const int anchor = PositionList[static_cast<std::size_t>(i)]->AnchorY();
        if (anchor <= y) {
            top = anchor;
            index = i;
            return PositionList[static_cast<std::size_t>(i)];
        }
    }
    return nullptr;
}

void ThtDocument::AddCharAnchor(u16v id, int sourcePos)
{
    IdTable.Add(id, std::make_unique<TChPosObj>(*this, sourcePos));
}

void ThtDocument::ClearDocument()
{
    if (!IsPrintCopy) {
        IdTable.Clear();
        PositionList.clear();
        InlineList.Clear();
    }
    BackgroundImageName.clear();
    SelStart = SelEnd = 0;
    DeferredDraws.clear();
    ForgetLinkRuns();
    ForgetImages();
    if (!IsPrintCopy) {
        Styles->Clear();
        Styles->Quirks = Quirks;
    }
    Sections.clear();
    ForgetForms();
    TextSectionCount = 0;
}

void ThtDocument::SetPageColor(Color color)
{
    PageColor = color;
    if (OnBackgroundChange)
        OnBackgroundChange(color);
}

void ThtDocument::SetBackgroundImage(u16v name, const TBackgroundPlacement& placement)
{
    pageBackground_.reset();
    BackgroundImageName = name;
    BackgroundImagePlacement = placement;
}

int ThtDocument::SelectionLength()
{
    if (SelStart >= SelEnd)
        return 0;
    SelTextCount sink;
    CurrentSink = &sink;
    CopySelection();
    CurrentSink = nullptr;
    return sink.CloseText();
}

u16 ThtDocument::SelectionText()
{
    const int length = SelectionLength();
    if (length <= 0)
        return {};
    SelTextBuf sink(length + 1);
    CurrentSink = &sink;
    CopySelection();
    CurrentSink = nullptr;
    return sink.Text();
}

} // namespace lantern
