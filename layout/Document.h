// The document root (ThtDocument): the cell of the page's top-level sections and the keeper of everything that
// is document-wide.
//
// Ownership: the document owns its sections (as a cell), its id table (which owns only the in-text anchors), its
// style store, its property stack, its image maps, the page's background picture and the image cache, which
// outlives every page shown (it is freed after the sections, whose pictures hold uses of its items). The
// position list, the link run list, the hovered run and image, the animation list and the list of pictures
// awaiting data only borrow from the tree; ClearDocument empties them before it frees the sections. The viewer
// that owns the document is reached only through the callbacks below.
#pragma once

#include "common/Colors.h"
#include "common/Str.h"
#include "common/Types.h"
#include "images/DocumentImage.h"
#include "images/GifImage.h"
#include "layout/Borders.h"
#include "layout/Cell.h"
#include "layout/FormControls.h"
#include "layout/FormWidget.h"
#include "layout/Forms.h"
#include "layout/IdTable.h"
#include "layout/TextSinks.h"
#include "style/Properties.h"
#include "style/StyleList.h"

#include <functional>
#include <memory>
#include <vector>

namespace lantern {

class TBackgroundSource;
class TCachedPicture;
class TFloatingObj;
class TFontObj;
class TGIFImage;
class TImageObj;
class TMapItem;

// A float met while its line painted: drawn after all sections, above the text of its cell.
struct TImageRec {
    TFloatingObj* Object;
    const TFontObj* Run;
    int X, Y; // screen coordinates of its top left corner
};

class ThtDocument : public TCell {
public:
    explicit ThtDocument(bool quirks = false);
    ~ThtDocument() override;

    // --- driving layout and painting (the viewer)
    // Lays the page out from y at this width; scrollWidth receives the horizontal extent the content needs.
    int LayoutDocument(platform::Canvas& canvas, int y, int width, int availableHeight, int blockHeight,
                       int& scrollWidth, int& counter);
    int PaintDocument(platform::PaintCanvas& canvas, const Rect& clip, int clipWidth, int x, int y, int xRef,
                      int yRef);
    void SetViewTop(int y);

    // --- questions about points and positions
    // Remembers the hovered run and switches link hover states when it changes.
    THitKinds HitLink(platform::Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& target,
                      TFormControlObj*& control, u16& title) override;
    void ClearHover();
    // The hovered picture shows its pressed or its hover state.
    void SetImagePressed(bool pressed);
    // A position at or past the end of the text answers for the last character, 15 pixels to its right.
    bool CaretToPoint(platform::Canvas* canvas, int pos, int& x, int& y) const override;
    // The document length when no section holds the source position.
    int SourceToDocPos(int sourcePos, bool backward) const override;
    // The last registered section whose AnchorY is at or above y, with that Y and its index; null when none.
    TSectionBase* SectionAtY(int y, int& top, int& index) const;

    // --- building (the document builder)
    void AddCharAnchor(u16v id, int sourcePos);
    void ClearDocument();
    // The page's own background colour (the body's) and picture; the viewer paints both.
    void SetPageColor(Color color);
    void SetBackgroundImage(u16v name, const TBackgroundPlacement& placement);

    // --- the selection as text
    // Characters a copy of the selection takes; 0 without a selection.
    int SelectionLength();
    u16 SelectionText();

    // --- style
    bool Quirks;
    std::unique_ptr<THtmlStyleList> Styles;
    THtmlPropStack PropStack;
    bool LinksReactToHover = false; // set when a style rule names :hover

    // --- settings from the viewer
    u16 PreFontName = u"Courier New";
    bool ShowImages = true;
    bool NoTabLink = false;  // links take no keyboard focus
    bool IsPrintCopy = false;
    Color PageColor = clWindow; // the viewer hands over its own default
    std::function<void(Color)> OnBackgroundChange;
    // Printing paints page by page: page breaks move PageCutY up to where the next page must begin.
    bool Printing = false;
    bool PrintBackground = false;      // pictures behind blocks are printed
    bool PrintTableBackground = false; // background colours are printed
    bool ShowDummyCaret = false;       // a caret is drawn at CaretPos when nothing is selected
    int CaretPos = 0;

    // --- scrolling and painting
    int ViewTop = 0;
    bool ViewTopChanged = false;
    int PageCutY = 0;
    std::vector<TImageRec> DeferredDraws; // emptied by every paint
    bool SkipNextDraw = false; // set by a page break before a block: the block waits for the next page

    // --- selection
    int SelStart = 0;
    int SelEnd = 0;
    SelTextCount* CurrentSink = nullptr; // while the selection is copied

    // --- ids, positions and links
    TIDObjectList IdTable;
    std::vector<TSectionBase*> PositionList; // every leaf section in document order
    std::vector<TFontObj*> LinkList;         // every link run in document order
    TFontObj* HoveredRun = nullptr;
    TInlineList InlineList;

    // --- images
    // Every picture of the page comes through here: the cache, then the host, then the file.
    TImageFetch GetDocumentImage(u16v source, TransparencyKind transparency);
    TStringBitmapList ImageCache;
    TImageHost ImageHost; // the viewer's callbacks; ExpandSourceName turns a source into a file name
    // The background picture a block or list marker draws, for a URL: by default a picture from the cache.
    std::function<std::unique_ptr<TBackgroundSource>(u16v url)> MakeBackgroundSource;
    u16 BackgroundImageName; // the page's picture, which the viewer tiles behind everything
    TBackgroundPlacement BackgroundImagePlacement;
    // Fetches the page's picture once images are shown; PageBackground is it, once it is ready.
    void LoadBackgroundImage();
    const TCachedPicture* PageBackground() const;
    // Pictures the host delivers later, by cache key: a second picture of the same source does not ask again.
    bool IsAwaitingImage(u16v key) const;
    void AddPendingImage(u16v key, TImageObj& object);
    void ForgetPendingImage(const TImageObj& object);
    // The animations of the page's pictures. The animation timer runs while there are any: the viewer's
    // OnAnimationTimer switches it (interval in milliseconds) and calls AnimateTick on every tick, which steps
    // the animations on screen (drawn by the last paint of the place where they are) and invalidates there.
    void AddAnimation(TGIFImage& image);
    void RemoveAnimation(const TGIFImage& image);
    const std::vector<TGIFImage*>& AnimatedImages() const { return animatedImages_; }
    void AnimateTick(std::uint32_t now = MilliClock());
    // The view moved its pixels instead of painting again: the animations it moved off `screen` (surface
    // coordinates) are no longer on screen.
    void ForgetAnimationsOutside(const Rect& screen);
    std::function<void(bool enabled, int interval)> OnAnimationTimer;
    // Client-side image maps, by upper-case name (the first of a name wins).
    TFreeList<TMapItem> MapList;
    TMapItem* FindMap(u16v name) const;
    TImageObj* HoveredImage = nullptr;
    std::function<bool()> LeftButtonDown; // the pointer's button, for the pressed state of a hovered picture

    // --- forms: the document owns its forms and every control; sections and forms borrow the controls
    TFreeList<ThtmlForm> Forms;
    TFreeList<TFormControlObj> FormControls;
    // The form of controls outside any FORM, made with the first of them.
    ThtmlForm& ImplicitForm();
    // Controls with a TABINDEX, under "%.5d%.3d" keys of the index and their arrival; emptied by layout, which
    // gives them their tab orders.
    std::vector<std::pair<u16, TFormControlObj*>> TabOrderList;
    TFormWidgetFactory MakeFormWidget; // the viewer's widgets; plain ones without it
    TFormHost FormHost;
    // Controls are drawn onto the canvas instead of placing their windows: renders to a picture.
    bool PaintControls = false;
    int ViewHeight = 0; // of the paint surface, for controls still in view after a scroll
    // One list per form: its current values, as CollectValues gives them; none without forms.
    std::unique_ptr<std::vector<std::vector<u16>>> FormValues() const;

    // --- building state
    bool NoBreak = false; // text collected now must not wrap
    bool TooManyLinks = false; // so many links that they take no keyboard focus places

    // --- counters and reporting
    int LayoutPass = 0;
    int TextSectionCount = 0;
    int ProgressBase = 0;
    int* FirstLineBaseline = nullptr; // when set and 0, the next text line laid out writes its baseline here
    // While tables lay out: how deeply they nest, and whether the row being laid out is in its final place.
    int TableDepth = 0;
    bool FinalTableRow = false;
    std::function<void(int percent)> OnProgress;
    std::function<void()> Invalidate; // the paint surface must be repainted
    // Only this part of it (surface coordinates); without it the whole surface is invalidated.
    std::function<void(const Rect&)> InvalidateRect;

private:
    void ForgetLinkRuns();
    void ForgetForms();
    void AssignTabOrders();
    // After a scroll: controls this paint did not place stay where the surface moved them while they are still
    // in view, and hide once they are out of it.
    void HideUnplacedControls(const Rect& clip);
    void ForgetImages();
    void SwitchAnimationTimer(bool enabled);
    bool Animates() const; // pictures of the page or its background animate
    void RestartAnimations();
    // A paint of `clip` draws again whatever animation is still there: until it does, the others stay drawn.
    void ForgetAnimationsIn(const Rect& clip);

    std::vector<TGIFImage*> animatedImages_;
    struct TPendingImage {
        u16 Key;
        TImageObj* Object;
    };
    std::vector<TPendingImage> pendingImages_;
    std::unique_ptr<TCachedPicture> pageBackground_;
    ThtmlForm* implicitForm_ = nullptr;
    int animationInterval_ = FirstAnimationInterval;
    bool animationTimerOn_ = false;
};

} // namespace lantern
