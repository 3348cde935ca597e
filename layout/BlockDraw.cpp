// Painting of blocks: background, then content in paint order, then borders; list markers, rules, legends and
// page breaks. Everything here reads the geometry the last layout stored.
#include "layout/Block.h"

#include "common/Colors.h"
#include "layout/Borders.h"
#include "layout/Document.h"
#include "platform/Canvas.h"
#include "style/BoxValues.h"

#include <algorithm>
#include <optional>

namespace lantern {

namespace {

bool MeetsVertically(const Rect& r, const Rect& clip)
{
    return r.bottom > clip.top && r.top < clip.bottom;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Blocks

int TBlock::Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
                  int yRef)
{
    const int result = PaintTop + BoxHeight;
    // 1.
    if (DisplayKind == DisplayNoneKind || Visibility == VisibilityHidden)
        return 0;
    // 2. A page break before this block sent it to the next page.
    if (Document->SkipNextDraw) {
        Document->SkipNextDraw = false;
        return result;
    }
    // 3.
    if (Document->Printing && !IsAbsolute() && KeptForNextPage(clip))
        return result;
    // 4. 5.
    PaintBox(canvas, clip, indents, PlacedX(x, xRef), xRef, yRef);
    return result;
}

// A block that must start a page, or must not be split, moves the cut of the page being printed up to its top.
bool TBlock::KeptForNextPage(const Rect& clip)
{
    ThtDocument& doc = *Document;
    const int pageTop = doc.ViewTop + clip.top;
    const int pageHeight = clip.bottom - clip.top;
    const int top = PaintTop + Margin(piMarginTop);
    if (PageBreakBefore && PaintTop > pageTop) {
        doc.PageCutY = std::min(doc.PageCutY, top);
        doc.SkipNextDraw = true;
        return true;
    }
    if (AvoidBreakInside && PaintTop > pageTop && PaintTop + VisibleHeight > doc.PageCutY &&
        VisibleHeight - Margin(piMarginTop) < pageHeight) {
        doc.PageCutY = std::min(doc.PageCutY, top);
        return true;
    }
    if (PageBreakAfter && PaintTop + BoxHeight < doc.PageCutY)
        doc.PageCutY = std::min(doc.PageCutY, PaintTop + BoxHeight);
    return false;
}

void TBlock::PaintBox(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
                      int yRef)
{
    ThtDocument& doc = *Document;
    // 1.
    if (doc.Printing && !doc.PrintBackground)
        BackgroundPending = false;
    // 2.
    const Rect border = BorderBoxAt(IsRelative() ? x - PosLeft : x).Offset(0, -doc.ViewTop);
    BorderRect = border;
    const Rect padding{border.left + Margin(piBorderLeftWidth), border.top + Margin(piBorderTopWidth),
                       border.right - Margin(piBorderRightWidth), border.bottom - Margin(piBorderBottomWidth)};
    // 3. Absolutely positioned content is not clipped by the boxes it sits in.
    std::optional<platform::CanvasSaver> lifted;
    if (IsAbsolute()) {
        lifted.emplace(canvas);
        canvas.LiftClip();
    }
    // 4.
    if (MeetsVertically(border, clip))
        PaintBackground(canvas, clip, padding);
    // 5. 6.
    int contentXRef = xRef, contentYRef = yRef;
    ContentOrigin(IsRelative() ? x - PosLeft : x, contentXRef, contentYRef);
    {
        std::optional<platform::CanvasSaver> clipped;
        if (ClipsOverflow) {
            clipped.emplace(canvas);
            canvas.IntersectClipRect(Floats() ? padding
                                              : Rect{padding.left + Margin(piPaddingLeft),
                                                     padding.top + Margin(piPaddingTop),
                                                     padding.right - Margin(piPaddingRight),
                                                     padding.bottom - Margin(piPaddingBottom)});
        }
        PaintContent(canvas, clip, indents, x + ContentOffset, contentXRef, contentYRef);
    }
    // 7.
    PaintBorders(canvas, BorderRect, padding);
}

void TBlock::PaintContent(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int contentX,
                          int xRef, int yRef)
{
    TIndentManager& manager = OwnIndents && (Floats() || IsAbsolute()) ? *OwnIndents : indents;
    if (&manager != &indents) {
        manager.ResetForPaint(contentX - ContentOffset);
        manager.PaintClipWidth = indents.PaintClipWidth;
    }
    const void* previousOwner = manager.CurrentOwner;
    manager.CurrentOwner = this;
    const int viewTop = Document->ViewTop;
    PaintList.ForEachNear(clip.top + viewTop - PaintReach, clip.bottom + viewTop + PaintReach,
                          [&](TSectionBase& s) { s.Paint(canvas, clip, manager, contentX, xRef, yRef); });
    manager.CurrentOwner = previousOwner;
}

void TBlock::PaintBorders(platform::PaintCanvas& canvas, const Rect& borderBox, const Rect& paddingBox)
{
    if (!HasBorder || borderBox == paddingBox)
        return;
    PaintBorderRing(canvas, borderBox, paddingBox, Margin(piBackgroundColor), BorderSidesOf(Box));
}

// The colour fills the padding box, then the picture tiles it; both only over the band the clip shows.
void TBlock::PaintBackground(platform::PaintCanvas& canvas, const Rect& clip, const Rect& paddingBox)
{
    ThtDocument& doc = *Document;
    if (BackgroundPending)
        SettleBackground(BackgroundImage, BackgroundPending, BackgroundTile, ImageOpaque, BackgroundPlacement);
    const Rect band{paddingBox.left, std::max(clip.top - 2, paddingBox.top), paddingBox.right,
                    std::min(paddingBox.bottom, clip.bottom)};
    if (band.IsEmpty())
        return;
    const Color color = Margin(piBackgroundColor);
    PaintBackgroundBand(canvas, band, paddingBox, !doc.Printing || doc.PrintTableBackground ? color : clNone,
                        BackgroundTile, BackgroundPlacement);
}

void SettleBackground(std::unique_ptr<TBackgroundSource>& image, bool& pending, platform::Bitmap& tile,
                      bool& opaque, const TBackgroundPlacement& placement)
{
    switch (image ? image->Current() : TBackgroundSource::State::Failed) {
    case TBackgroundSource::State::Pending: return;
    case TBackgroundSource::State::Failed:
        image.reset();
        pending = false;
        return;
    case TBackgroundSource::State::Ready: break;
    }
    // Once per picture: the tile the background repeats, with a transparent picture's mask folded into its alpha.
    pending = false;
    const platform::Bitmap& picture = image->Picture();
    const platform::Mask* mask = image->PictureMask();
    tile = mask ? platform::MaskedBitmap(picture, *mask) : picture;
    const auto& axes = placement.Axes;
    opaque = !mask && !tile.HasAlpha() && axes[0].Repeat && axes[1].Repeat;
    if (tile.IsEmpty())
        image.reset();
}

void PaintBackgroundBand(platform::PaintCanvas& canvas, const Rect& band, const Rect& paddingBox, Color color,
                         const platform::Bitmap& tile, const TBackgroundPlacement& placement)
{
    if (color != clNone)
        canvas.FillRect(band, color);
    if (tile.IsEmpty())
        return;
    // Tile positions come in the padding box's own coordinates.
    const Rect local = band.Offset(-paddingBox.left, -paddingBox.top);
    int x = 0, xEnd = 0, y = 0, yEnd = 0;
    ComputeBackgroundTiles(placement, local, paddingBox.Width(), paddingBox.Height(), tile.Width(), tile.Height(), 0,
                           0, x, xEnd, y, yEnd);
    const auto& axes = placement.Axes;
    Rect area{axes[0].Repeat ? local.left : x, axes[1].Repeat ? local.top : y,
              axes[0].Repeat ? local.right : (xEnd > x ? x + tile.Width() : x),
              axes[1].Repeat ? local.bottom : (yEnd > y ? y + tile.Height() : y)};
    area = Rect{std::max(area.left, local.left), std::max(area.top, local.top), std::min(area.right, local.right),
                std::min(area.bottom, local.bottom)};
    canvas.FillTiled(area.Offset(paddingBox.left, paddingBox.top), tile,
                     Point{paddingBox.left + x, paddingBox.top + y});
}

// ---------------------------------------------------------------------------------------------------------------
// The kinds of block

int TBodyBlock::Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int, int, int)
{
    if (DisplayKind == DisplayNoneKind)
        return 0;
    const int contentX = indents.LeftOffset + Margin(piMarginLeft) + Margin(piBorderLeftWidth) +
                         Margin(piPaddingLeft);
    PaintContent(canvas, clip, indents, contentX, indents.LeftOffset, 0);
    return PaintTop + BoxHeight;
}

int TBlockLI::Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x, int xRef,
                    int yRef)
{
    const int result = TBlock::Paint(canvas, clip, indents, x, xRef, yRef);
    if (DisplayKind == DisplayNoneKind || Visibility == VisibilityHidden || FirstBaseline <= 0)
        return result;
    const int baseline = FirstBaseline - Document->ViewTop;
    if (baseline < clip.top - 50 || baseline > clip.bottom + 50)
        return result;
    PaintMarker(canvas, PlacedX(x, xRef) + ContentOffset, baseline);
    return result;
}

void TBlockLI::PaintMarker(platform::PaintCanvas& canvas, int x, int y)
{
    if (MarkerImage && MarkerImage->Current() == TBackgroundSource::State::Ready) {
        const platform::Bitmap& picture = MarkerImage->Picture();
        const Rect target{x - 16, y - picture.Height(), x - 16 + picture.Width(), y};
        if (const platform::Mask* mask = MarkerImage->PictureMask())
            canvas.DrawMasked(target, picture, *mask, platform::StretchMode::ColorOnColor);
        else
            canvas.DrawBitmap(target, picture, platform::StretchMode::ColorOnColor);
        return;
    }
    if (ListKind == 3)
        return;
    const Color color = MarkerFont.FontColor;
    switch (MarkerStyle) {
    case ListStyleType::Circle:
        canvas.SetPen(color);
        canvas.SetBrushClear();
        canvas.Ellipse(Rect{x - 16, y - 7, x - 9, y});
        return;
    case ListStyleType::Disc:
        canvas.SetPen(color);
        canvas.SetBrush(color);
        canvas.Ellipse(Rect{x - 15, y - 6, x - 10, y - 1});
        return;
    case ListStyleType::Square: canvas.FillRect(Rect{x - 15, y - 6, x - 10, y - 1}, color); return;
    default: break;
    }
    const u16 text = MarkerText();
    if (text.empty())
        return;
    MarkerFont.SelectFontInto(canvas);
    canvas.SetTextColor(color);
    canvas.SetBkMode(platform::BkMode::Transparent);
    const unsigned align = canvas.GetTextAlign();
    canvas.SetTextAlign(platform::TaRight | platform::TaBaseline);
    canvas.TextOut(x - 10, y, text);
    canvas.SetTextAlign(align);
}

int THorzLine::Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager&, int x, int, int)
{
    const ThtDocument& doc = *Document;
    const int result = PaintTop + BoxHeight;
    const int top = PaintTop - doc.ViewTop;
    if (top >= clip.bottom || top + RuleHeight <= clip.top || (doc.Printing && PaintTop >= doc.PageCutY))
        return result;
    const int left = x + RuleIndent - LayoutX;
    if (RuleColor != clNone) {
        canvas.FillRect(Rect{left, top, left + RuleWidth, top + RuleHeight}, RuleColor | clPaletteFlag);
        return result;
    }
    // Shaded: lit from the top left, so the right and bottom edges are light and the left and top ones dark.
    const bool whitePage = ColorToRGB(doc.PageColor) == clWhite;
    const Color light = NoShade ? clBlack : doc.Printing || whitePage ? clSilver : clBtnHighlight;
    const Color dark = NoShade ? clBlack : clBtnShadow;
    const int right = left + RuleWidth - 1, bottom = top + RuleHeight - 1;
    canvas.SetPen(light);
    canvas.MoveTo(right, top);
    canvas.LineTo(right, bottom);
    canvas.LineTo(left, bottom);
    canvas.SetPen(dark);
    canvas.MoveTo(left, bottom);
    canvas.LineTo(left, top);
    canvas.LineTo(right, top);
    return result;
}

// The legend sits on the top border, which is not drawn behind it.
int TFieldsetBlock::Paint(platform::PaintCanvas& canvas, const Rect& clip, TIndentManager& indents, int x,
                          int xRef, int yRef)
{
    if (DisplayKind == DisplayNoneKind || Visibility == VisibilityHidden)
        return 0;
    const int legendX = x + Margin(piMarginLeft) + Margin(piBorderLeftWidth) + Margin(piPaddingLeft);
    Legend.PaintCell(canvas, clip, indents.PaintClipWidth, legendX, PaintTop, xRef, yRef);
    const int top = PaintTop - Document->ViewTop;
    platform::CanvasSaver saved(canvas);
    canvas.ExcludeClipRect(Rect{legendX - 2, top, legendX + Legend.WidestText + 2, top + legendHeight_});
    return TBlock::Paint(canvas, clip, indents, x, xRef, yRef);
}

void TFieldsetBlock::PaintExtent(int& top, int& bottom) const
{
    TBlock::PaintExtent(top, bottom);
    top = std::min(top, PaintTop); // the legend's top
}

int TPage::Paint(platform::PaintCanvas&, const Rect& clip, TIndentManager&, int, int, int)
{
    ThtDocument& doc = *Document;
    const int y = PaintTop - doc.ViewTop;
    if (doc.Printing && y > clip.top + 5 && y < clip.bottom && PaintTop < doc.PageCutY)
        doc.PageCutY = PaintTop;
    return PaintTop;
}

} // namespace lantern
