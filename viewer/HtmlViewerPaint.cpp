// The viewer control's painting: the page's background (its colour, or its picture tiled or fixed) and the
// document over it, into the surface's off-screen buffer.
#include "viewer/HtmlViewer.h"

#include "layout/CachedPicture.h"
#include "layout/Document.h"
#include "style/BoxValues.h"
#include "viewer/PaintPanel.h"

#include <QFrame>
#include <QScrollBar>

#include <algorithm>
#include <optional>

namespace lantern {

void THtmlViewer::UpdateBorder()
{
    const bool framed = (FBorderStyle == THTMLBorderStyle::htFocused && hasFocus()) ||
                        FBorderStyle == THTMLBorderStyle::htSingle;
    FFramePanel->setFrameStyle(framed ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
}

void THtmlViewer::BackgroundColorChanged(Color Value)
{
    FPaintColor = Value;
    FPaintPanel->update();
}

void THtmlViewer::SetBackgroundPicture(const TBackgroundPicture& Value)
{
    FBackground = Value;
    FPaintPanel->update();
}

// The picture stays the document's: its frame changes in place when it animates.
void THtmlViewer::LoadBackgroundPicture()
{
    FDocument->LoadBackgroundImage();
    if (const TCachedPicture* picture = FDocument->PageBackground())
        SetBackgroundPicture({&picture->Picture(), picture->PictureMask(), FDocument->BackgroundImagePlacement});
}

// R is in surface coordinates; the document subtracts its view top itself.
void THtmlViewer::PaintPage(platform::PaintCanvas& Canvas, const Rect& R)
{
    if (FDocument->IsPrintCopy)
        return;
    Canvas.SetTextColor(0x000000);
    Canvas.SetBkColor(0xFFFFFF);
    const platform::Bitmap* picture = FBackground.Picture;
    if (FDocument->ShowImages && picture && !picture->IsEmpty()) {
        PaintBackgroundPicture(Canvas, R);
    } else {
        FBackgroundFixed = false;
        Canvas.FillRect(R, FPaintColor);
    }
    // Without a window on screen (a render to a picture) the controls are drawn into the page instead.
    FDocument->PaintControls = !isVisible();
    FDocument->ViewHeight = FPaintPanel->height();
    FDocument->PaintDocument(Canvas, R, MaxScrollWidth, -HScrollPos(), 0, 0, 0);
}

void THtmlViewer::PaintBackgroundPicture(platform::PaintCanvas& Canvas, const Rect& R)
{
    const platform::Bitmap& picture = *FBackground.Picture;
    const TBackgroundPlacement& placement = FBackground.Placement;
    FBackgroundFixed = placement.Axes[0].Fixed || placement.Axes[1].Fixed;

    // A fixed picture is placed in the surface; a scrolling one in the whole page, moved by the scroll offsets.
    int offsetX = 0, offsetY = 0;
    int areaW = FPaintPanel->width(), areaH = FPaintPanel->height();
    if (!FBackgroundFixed) {
        offsetX = HScrollPos();
        offsetY = FDocument->ViewTop;
        areaW = std::max(FDocWidth, areaW);
        areaH = std::max(FDocHeight, areaH);
    }
    int x = 0, xEnd = 0, y = 0, yEnd = 0;
    ComputeBackgroundTiles(placement, R, areaW, areaH, picture.Width(), picture.Height(), offsetX, offsetY, x, xEnd,
                           y, yEnd);

    // A one-pixel strip (a gradient, typically) is stretched over the range first, so it is drawn in a few large
    // pieces rather than one pixel at a time.
    const platform::Bitmap* tile = &picture;
    const platform::Mask* mask = FBackground.Mask;
    std::optional<platform::Bitmap> stretchedTile;
    std::optional<platform::Mask> stretchedMask;
    int tileW = picture.Width(), tileH = picture.Height();
    if (tileW == 1 || tileH == 1) {
        tileW = tileW == 1 ? std::max(xEnd - x, 1) : tileW;
        tileH = tileH == 1 ? std::max(yEnd - y, 1) : tileH;
        stretchedTile = picture.Stretched(tileW, tileH, platform::StretchMode::ColorOnColor);
        tile = &*stretchedTile;
        if (mask) {
            stretchedMask = mask->Stretched(tileW, tileH);
            mask = &*stretchedMask;
        }
    }

    Canvas.FillRect(R, FPaintColor);
    for (int ty = y; ty < yEnd; ty += tileH)
        for (int tx = x; tx < xEnd; tx += tileW) {
            const Rect target{tx, ty, tx + tileW, ty + tileH};
            if (mask)
                Canvas.DrawMasked(target, *tile, *mask, platform::StretchMode::ColorOnColor);
            else
                Canvas.DrawBitmap(target, *tile, platform::StretchMode::ColorOnColor);
        }
}

} // namespace lantern
