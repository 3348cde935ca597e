#include "layout/ImageObj.h"

#include "common/Colors.h"
#include "images/GifImage.h"
#include "images/Placeholders.h"
#include "layout/Document.h"
#include "layout/FontRuns.h"
#include "layout/Maps.h"
#include "markup/Attributes.h"
#include "platform/Canvas.h"
#include "style/Fonts.h"

#include <algorithm>
#include <cstdlib>

namespace lantern {

namespace {

constexpr int MaxSpacing = 40;
// A placeholder's picture stands this far inside its box, and its alt text this far from the box's left edge.
constexpr int PlaceholderInset = 4;
constexpr int AltTextIndent = 24;
constexpr int AltBoxExtra = 26; // the picture's column and a little room after the text
constexpr int PlaceholderMinimum = 24;

// A size without "%" is pixels; with it, a percentage when it lies in [minPercent, 100] (outside it ignored, or
// clamped into it when clampPercent).
void ReadSize(const TAttribute& a, int minPercent, bool clampPercent, int& size, bool& percent)
{
    if (a.Value.find(u'%') == u16::npos) {
        size = std::clamp(a.IntValue, -1, TFloatingObj::MaxExtent);
        percent = false;
        return;
    }
    int p = a.IntValue;
    if (clampPercent)
        p = std::clamp(p, minPercent, 100);
    else if (p < minPercent || p > 100)
        return;
    size = p;
    percent = true;
}

int Spacing(const TAttribute& a)
{
    return int(std::min<long long>(std::llabs(a.IntValue), MaxSpacing));
}

// The alignment ALIGN gives a picture or panel: the vertical alignment, and a float side for LEFT and RIGHT.
bool ReadAlign(const TAttribute& a, AlignmentCode& vertical, AlignmentCode& side)
{
    const u16 value = UpperAscii(TrimView(a.Value));
    if (value == u"TOP")
        vertical = AlignmentCode::Top;
    else if (value == u"MIDDLE" || value == u"ABSMIDDLE")
        vertical = AlignmentCode::Middle;
    else if (value == u"LEFT" || value == u"RIGHT") {
        vertical = AlignmentCode::None;
        side = value == u"LEFT" ? AlignmentCode::Left : AlignmentCode::Right;
    } else
        return false;
    return true;
}

const TMyFont& AltFont()
{
    return TMyFontCache::Instance().GetFont(u"Arial", FontHeightOfPoints(8), 0, 1);
}

} // namespace

int ObjectTop(const TFloatingObj& object, const TFontObj& run, int baseline, int lineTop)
{
    if (object.Floats())
        return lineTop;
    switch (object.VertAlign) {
    case AlignmentCode::None:
    case AlignmentCode::Top: return lineTop + object.TopGap;
    case AlignmentCode::Middle:
        return baseline + run.Descent - run.FontHeight / 2 - (object.Height + object.BottomGap - object.TopGap) / 2;
    default: return baseline - object.Height - object.BottomGap;
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Pictures: construction

TImageObj::TImageObj(ThtDocument& document, const TAttributeList& attributes) : Document(&document)
{
    ReadAttributes(attributes);
}

// A copy shows the same picture but holds no use of it and takes no part in the document's lists.
TImageObj::TImageObj(ThtDocument& document, const TImageObj& source)
    : TFloatingObj(source), Source(source.Source), Transparency(source.Transparency), IsMap(source.IsMap),
      UseMap(source.UseMap), MapName(source.MapName), Active(source.Active), ImageWidth(source.ImageWidth),
      ImageHeight(source.ImageHeight), BoxWidth(source.BoxWidth), BoxHeight(source.BoxHeight), Document(&document),
      Image(source.Image), Mask(source.Mask)
{
    if (const TGIFImage* gif = source.Gif) {
        OwnAnimation = gif->CopyForObject();
        OwnAnimation->SetCurrentFrame(gif->CurrentFrame());
        Image = Gif = OwnAnimation.get();
    }
}

TImageObj::~TImageObj()
{
    LeaveDocumentLists();
    if (!UsedSource.empty())
        Document->ImageCache.ReleaseImage(UsedSource);
}

std::unique_ptr<TFloatingObj> TImageObj::CloneObject() const
{
    return std::unique_ptr<TFloatingObj>(new TImageObj(*Document, *this));
}

void TImageObj::LeaveDocumentLists()
{
    ThtDocument& doc = *Document;
    if (doc.IdTable.Count() > 0)
        doc.IdTable.RemoveObject(*this);
    if (Gif)
        doc.RemoveAnimation(*Gif);
    doc.ForgetPendingImage(*this);
    if (doc.HoveredImage == this)
        doc.HoveredImage = nullptr;
}

void TImageObj::ReadAttributes(const TAttributeList& attributes)
{
    ThtDocument& doc = *Document;
    bool titleGiven = false, hspaceGiven = false;
    for (std::size_t i = 0; i < attributes.Count(); ++i) {
        const TAttribute& a = attributes[i];
        switch (a.Symbol) {
        case symName:
        case symId:
            if (!a.Value.empty())
                doc.IdTable.Add(a.Value, *this);
            break;
        case symSrc: Source = Trim(a.Value); break;
        case symAlt: {
            u16v alt = a.Value;
            while (!alt.empty() && (alt.back() == u'\n' || alt.back() == u'\r'))
                alt.remove_suffix(1);
            Alt = alt;
            if (!titleGiven)
                Title = Alt;
            break;
        }
        case symTitle:
            Title = a.Value;
            titleGiven = true;
            break;
        case symAlign:
            if (!ReadAlign(a, VertAlign, FloatSide))
                VertAlign = AlignmentCode::Bottom;
            break;
        case symBorder:
            NoBorder = a.IntValue == 0;
            BorderWidth = std::clamp(a.IntValue, 0, 10);
            break;
        case symWidth: ReadSize(a, 0, false, SpecWidth, PercentWidth); break;
        case symHeight: ReadSize(a, 0, false, SpecHeight, PercentHeight); break;
        case symTransp: Transparency = TransparencyKind::Corner; break;
        case symIsmap: IsMap = true; break;
        case symUsemap: {
            UseMap = true;
            MapName = UpperAscii(TrimView(a.Value));
            if (MapName.size() > 1 && MapName.front() == u'#')
                MapName.erase(0, 1);
            break;
        }
        case symHspace:
            LeftGap = Spacing(a);
            hspaceGiven = true;
            break;
        case symVspace: TopGap = Spacing(a); break;
        case symActive: Active = true; break;
        default: break;
        }
    }
    // Text does not run right up to a floating picture in old pages.
    if (!hspaceGiven && doc.Quirks) {
        if (FloatSide == AlignmentCode::Left)
            RightGap = 3;
        else if (FloatSide == AlignmentCode::Right)
            LeftGap = 3;
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Pictures: loading and sizing

bool TImageObj::ShowsPlaceholder() const
{
    return !Document->ShowImages || IsPlaceholder(Image);
}

TMapItem* TImageObj::Map() const
{
    return UseMap ? Document->FindMap(MapName) : nullptr;
}

void TImageObj::MeasureObject(platform::Canvas& canvas, const TFontObj& run, int availableHeight, int availableWidth)
{
    ThtDocument& doc = *Document;
    // 1.-3.
    if (doc.ShowImages && !Image)
        LoadImage();
    // 4.
    const TImage& picture = doc.ShowImages && Image ? *Image : static_cast<const TImage&>(DefaultBitmap());
    const bool placeholder = ShowsPlaceholder();
    // 7. Before sizing, so that a percentage is taken of the same space on every layout.
    if (run.IsLink() && !NoBorder)
        BorderWidth = std::max(BorderWidth, 1);
    // 5.
    ComputeSize(picture.Width(), picture.Height(), availableWidth, availableHeight, !placeholder, !placeholder,
                ImageWidth, ImageHeight);
    // 6., 8.
    ComputeBox(canvas, placeholder);
    Width = BoxWidth + 2 * BorderWidth;
    Height = BoxHeight + 2 * BorderWidth;
}

void TImageObj::LoadImage()
{
    ThtDocument& doc = *Document;
    Pending = false;
    if (!Source.empty()) {
        const u16 name = doc.ImageHost.ExpandSourceName ? doc.ImageHost.ExpandSourceName(Source) : Source;
        const u16 key = TStringBitmapList::KeyOf(name);
        if (doc.IsAwaitingImage(key)) {
            Pending = true;
        } else {
            const TImageFetch fetch = doc.GetDocumentImage(name, Transparency);
            if (fetch.Image) {
                UsedSource = name;
                Transparency = fetch.Transparency;
                UsePicture(fetch.Image, fetch.Mask, fetch.FromCache);
                return;
            }
            Pending = fetch.Pending;
        }
        if (Pending) {
            Image = &DefaultBitmap();
            doc.AddPendingImage(key, *this);
            return;
        }
    }
    Image = &ErrorBitmap();
    Mask = &ErrorBitmapMask();
    Transparency = TransparencyKind::Corner;
}

// An animation taken from the cache may already be shown by another object: this one steps its own copy.
void TImageObj::UsePicture(TImage* image, const platform::Mask* mask, bool fromCache)
{
    Mask = mask;
    Image = image;
    if (image->Kind() != ImageKind::Gif)
        return;
    Gif = static_cast<TGIFImage*>(image);
    if (fromCache) {
        OwnAnimation = Gif->CopyForObject();
        Image = Gif = OwnAnimation.get();
    }
    if (!Gif->Animated())
        return;
    if (Active)
        Gif->SetAnimating(false);
    else
        Document->AddAnimation(*Gif);
}

void TImageObj::ComputeBox(platform::Canvas& canvas, bool placeholder)
{
    BoxWidth = ImageWidth;
    BoxHeight = ImageHeight;
    if (!placeholder || SpecWidth >= 0 || SpecHeight >= 0)
        return;
    if (Alt.empty()) {
        BoxWidth = std::max(BoxWidth, PlaceholderMinimum);
        BoxHeight = std::max(BoxHeight, PlaceholderMinimum);
        return;
    }
    const TMyFont& font = AltFont();
    canvas.SelectFont(font.Handle);
    canvas.SetTextCharacterExtra(0);
    const Size text = canvas.DrawTextExtent(Alt);
    BoxWidth = text.cx + AltBoxExtra;
    BoxHeight = std::max(text.cy, PlaceholderMinimum);
}

// ---------------------------------------------------------------------------------------------------------------
// Pictures: drawing

void TImageObj::Draw(platform::PaintCanvas& canvas, int x, const TFontObj& run, int baseline, int lineTop)
{
    ThtDocument& doc = *Document;
    // 1.
    const TImage* shown = doc.ShowImages ? Image : &DefaultBitmap();
    if (!shown)
        return;
    const bool placeholder = ShowsPlaceholder();
    // 3. The picture stands inside the border, floating or not.
    const int top = ObjectTop(*this, run, baseline, lineTop);
    const int border = BorderWidth;
    const int x0 = x + border, y0 = top + border;
    DrawX = x0;
    DrawY = y0 + doc.ViewTop;
    // 4. Drawing errors leave the picture out.
    const int inset = placeholder ? PlaceholderInset : 0;
    if (!placeholder || (BoxWidth >= PlaceholderMinimum && BoxHeight >= PlaceholderMinimum)) {
        try {
            DrawPicture(canvas, *shown, placeholder, x0 + inset, y0 + inset);
        } catch (const std::exception&) {
        }
    }
    // 5., 6.
    canvas.SetBrushClear();
    if (placeholder)
        DrawAltBox(canvas, run, Rect{x0, y0, x0 + BoxWidth, y0 + BoxHeight}, border == 0);
    if (border > 0) {
        canvas.SetPen(run.Font->FontColor, border);
        canvas.Rectangle(Rect{x, top, x + Width, top + Height});
    }
    // 7.
    if (run.Focused && !doc.NoTabLink)
        canvas.DrawFocusRect(Rect{x0, y0, x0 + BoxWidth, y0 + BoxHeight});
}

void TImageObj::DrawPicture(platform::PaintCanvas& canvas, const TImage& picture, bool placeholder, int x, int y)
{
    const Rect target{x, y, x + ImageWidth, y + ImageHeight};
    switch (picture.Kind()) {
    case ImageKind::Gif:
        if (&picture == Gif)
            Gif->Draw(canvas, x, y, ImageWidth, ImageHeight);
        return;
    case ImageKind::GpImage:
        static_cast<const TGpImage&>(picture).DrawImage(canvas, x, y, ImageWidth, ImageHeight);
        return;
    case ImageKind::Bitmap: {
        const platform::Bitmap& pixels = static_cast<const TBitmap&>(picture).Pixels;
        // Placeholders keep their own size whatever the box.
        const Rect own{x, y, x + pixels.Width(), y + pixels.Height()};
        const bool masked = Document->ShowImages && Mask &&
                            (Transparency != TransparencyKind::None || &picture == &ErrorBitmap());
        if (masked)
            canvas.DrawMasked(placeholder ? own : target, pixels, *Mask, platform::StretchMode::Halftone);
        else if (placeholder)
            canvas.DrawBitmap(own, pixels, platform::StretchMode::ColorOnColor);
        else
            canvas.DrawBitmap(target, pixels, platform::StretchMode::Halftone);
        return;
    }
    }
}

// The alt text beside the placeholder picture, and without a border a sunken frame around the box.
void TImageObj::DrawAltBox(platform::PaintCanvas& canvas, const TFontObj& run, const Rect& box, bool framed)
{
    if (!Alt.empty()) {
        canvas.SetTextJustification(0, 0);
        canvas.SelectFont(AltFont().Handle);
        canvas.SetTextCharacterExtra(0);
        canvas.SetTextColor(run.Font->FontColor);
        canvas.SetBkMode(platform::BkMode::Transparent);
        canvas.DrawTextWrapped(Rect{box.left + AltTextIndent, box.top, box.right, box.bottom}, Alt);
    }
    if (!framed || box.IsEmpty())
        return;
    const Color dark = clBtnShadow;
    const Color light = ColorToRGB(Document->PageColor) == clWhite ? clSilver : clBtnHighlight;
    canvas.FillRect(Rect{box.left, box.top, box.right, box.top + 1}, dark);
    canvas.FillRect(Rect{box.left, box.top, box.left + 1, box.bottom}, dark);
    canvas.FillRect(Rect{box.left, box.bottom - 1, box.right, box.bottom}, light);
    canvas.FillRect(Rect{box.right - 1, box.top + 1, box.right, box.bottom}, light);
}

std::optional<platform::Bitmap> TImageObj::PictureBitmap() const
{
    if (!Image || Image == &ErrorBitmap())
        return std::nullopt;
    if (Gif)
        return Gif->Strip().Pixels.Copy(Gif->FrameSource());
    if (Image->Kind() == ImageKind::GpImage)
        return static_cast<const TGpImage*>(Image)->ImageToBitmap();
    return static_cast<const TBitmap*>(Image)->Pixels;
}

// ---------------------------------------------------------------------------------------------------------------
// Pictures: hover states

void TImageObj::SetHover(std::uint8_t state)
{
    TGIFImage* gif = Gif;
    if (!Active || !gif || !gif->Animated() || state == HoverState)
        return;
    HoverState = state;
    ThtDocument& doc = *Document;
    const int frames = gif->FrameCount();
    if (state == 0) {
        gif->SetAnimating(false);
        if (frames <= 3)
            gif->SetCurrentFrame(1);
        doc.RemoveAnimation(*gif);
    } else if (frames == 2) {
        gif->SetCurrentFrame(2);
    } else if (frames == 3) {
        gif->SetCurrentFrame(state == 2 ? 3 : 2);
    } else {
        doc.AddAnimation(*gif);
        gif->SetAnimating(true);
    }
    if (doc.Invalidate)
        doc.Invalidate();
}

// ---------------------------------------------------------------------------------------------------------------
// Panels

TPanelObj::TPanelObj(ThtDocument& document, const TAttributeList& attributes) : Document(&document)
{
    int hspace = -1, vspace = 0;
    for (std::size_t i = 0; i < attributes.Count(); ++i) {
        const TAttribute& a = attributes[i];
        switch (a.Symbol) {
        case symName: Name = a.Value; break;
        case symSrc: Source = a.Value; break;
        case symType: Type = a.Value; break;
        case symAlt: Alt = Title = a.Value; break;
        case symAlign: ReadAlign(a, VertAlign, FloatSide); break;
        case symWidth:
            ReadSize(a, 1, true, SpecWidth, PercentWidth);
            if (!PercentWidth)
                NaturalWidth = SpecWidth;
            break;
        case symHeight:
            ReadSize(a, 1, false, SpecHeight, PercentHeight);
            if (!PercentHeight)
                NaturalHeight = SpecHeight = std::max(SpecHeight, 1);
            break;
        case symHspace: hspace = Spacing(a); break;
        case symVspace: vspace = Spacing(a); break;
        default: break;
        }
    }
    LeftGap = RightGap = hspace >= 0 ? hspace : Floats() ? 3 : 0;
    TopGap = BottomGap = vspace;
}

TPanelObj::~TPanelObj()
{
    if (Document->IdTable.Count() > 0)
        Document->IdTable.RemoveObject(*this);
}

std::unique_ptr<TFloatingObj> TPanelObj::CloneObject() const
{
    return std::make_unique<TPanelObj>(*this);
}

void TPanelObj::MeasureObject(platform::Canvas&, const TFontObj&, int availableHeight, int availableWidth)
{
    int width = Width, height = Height;
    ComputeSize(NaturalWidth, NaturalHeight, availableWidth, availableHeight, false, true, width, height);
    Width = width;
    Height = height;
}

void TPanelObj::Draw(platform::PaintCanvas& canvas, int x, const TFontObj& run, int baseline, int lineTop)
{
    const int top = ObjectTop(*this, run, baseline, lineTop);
    DrawX = x;
    DrawY = top + Document->ViewTop;
    canvas.SetPen(clBlack);
    canvas.SetBrush(clWhite);
    canvas.Rectangle(Rect{x, top, x + Width, top + Height});
}

} // namespace lantern
