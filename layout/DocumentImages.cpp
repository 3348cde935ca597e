// The document's pictures: the fetch through its image cache, the page's background picture, the pictures
// awaiting data from the host, the animations and their timer, and the image maps. Also the cached pictures
// that blocks and list markers draw.
#include "layout/CachedPicture.h"
#include "layout/Document.h"
#include "layout/ImageObj.h"
#include "layout/Maps.h"

#include <algorithm>

namespace lantern {

// ---------------------------------------------------------------------------------------------------------------
// Cached pictures for backgrounds

TCachedPicture::TCachedPicture(ThtDocument& document, u16v source) : document_(document), source_(TrimView(source)) {}

TCachedPicture::~TCachedPicture()
{
    if (!used_.empty())
        document_.ImageCache.ReleaseImage(used_);
}

TBackgroundSource::State TCachedPicture::Load()
{
    if (asked_)
        return state_;
    asked_ = true;
    const TImageHost& host = document_.ImageHost;
    const u16 name = host.ExpandSourceName ? host.ExpandSourceName(source_) : source_;
    const TImageFetch fetch = document_.GetDocumentImage(name, TransparencyKind::None);
    if (!fetch.Image) {
        state_ = fetch.Pending ? State::Pending : State::Failed;
        return state_;
    }
    used_ = name;
    state_ = State::Ready;
    switch (fetch.Image->Kind()) {
    case ImageKind::Gif: {
        const auto& gif = static_cast<const TGIFImage&>(*fetch.Image);
        animation_ = gif.CopyForObject();
        TakeFrame();
        break;
    }
    case ImageKind::GpImage: picture_ = static_cast<const TGpImage&>(*fetch.Image).Pixels; break;
    case ImageKind::Bitmap:
        picture_ = static_cast<const TBitmap&>(*fetch.Image).Pixels;
        if (fetch.Mask && fetch.Transparency != TransparencyKind::None)
            mask_ = *fetch.Mask;
        break;
    }
    if (picture_.IsEmpty())
        state_ = State::Failed;
    return state_;
}

void TCachedPicture::TakeFrame()
{
    const ThtBitmap& strip = animation_->Strip();
    const Rect frame = animation_->FrameSource();
    picture_ = strip.Pixels.Copy(frame);
    mask_.reset();
    if (strip.Transparent && strip.BitMask)
        mask_ = strip.BitMask->Copy(frame);
}

bool TCachedPicture::AdvanceAnimation(std::uint32_t now)
{
    if (!animation_ || !animation_->AdvanceIfDue(now))
        return false;
    TakeFrame();
    return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Fetching

TImageFetch ThtDocument::GetDocumentImage(u16v source, TransparencyKind transparency)
{
    return lantern::GetDocumentImage(ImageCache, ImageHost, source, transparency);
}

void ThtDocument::LoadBackgroundImage()
{
    if (!ShowImages || BackgroundImageName.empty() || pageBackground_)
        return;
    pageBackground_ = std::make_unique<TCachedPicture>(*this, BackgroundImageName);
    pageBackground_->Load();
    if (TGIFImage* animation = pageBackground_->Animation(); animation && !IsPrintCopy)
        animation->SetAnimating(true);
}

const TCachedPicture* ThtDocument::PageBackground() const
{
    return pageBackground_ && pageBackground_->Current() == TBackgroundSource::State::Ready ? pageBackground_.get()
                                                                                            : nullptr;
}

bool ThtDocument::IsAwaitingImage(u16v key) const
{
    return std::any_of(pendingImages_.begin(), pendingImages_.end(), [&](const TPendingImage& p) { return p.Key == key; });
}

void ThtDocument::AddPendingImage(u16v key, TImageObj& object)
{
    pendingImages_.push_back({u16(key), &object});
}

void ThtDocument::ForgetPendingImage(const TImageObj& object)
{
    std::erase_if(pendingImages_, [&](const TPendingImage& p) { return p.Object == &object; });
}

// ---------------------------------------------------------------------------------------------------------------
// Animation

void ThtDocument::AddAnimation(TGIFImage& image)
{
    if (std::find(animatedImages_.begin(), animatedImages_.end(), &image) == animatedImages_.end())
        animatedImages_.push_back(&image);
}

void ThtDocument::RemoveAnimation(const TGIFImage& image)
{
    std::erase(animatedImages_, &image);
}

bool ThtDocument::Animates() const
{
    return !animatedImages_.empty() || (pageBackground_ && pageBackground_->Animation());
}

// After a layout every animation plays again from its first frame, and none is on screen until it is painted
// where layout put it.
void ThtDocument::RestartAnimations()
{
    for (TGIFImage* image : animatedImages_) {
        image->SetCurrentFrame(1);
        image->SetAnimating(true);
        image->ClearDrawn();
    }
}

void ThtDocument::SwitchAnimationTimer(bool enabled)
{
    if (IsPrintCopy || (!enabled && !animationTimerOn_))
        return;
    animationTimerOn_ = enabled;
    if (OnAnimationTimer)
        OnAnimationTimer(enabled, animationInterval_);
}

namespace {

bool Meet(const Rect& a, const Rect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

void ThtDocument::ForgetAnimationsIn(const Rect& clip)
{
    for (TGIFImage* image : animatedImages_)
        if (Meet(image->DrawnRect(), clip))
            image->ClearDrawn();
}

void ThtDocument::ForgetAnimationsOutside(const Rect& screen)
{
    for (TGIFImage* image : animatedImages_)
        if (!Meet(image->DrawnRect(), screen))
            image->ClearDrawn();
}

void ThtDocument::AnimateTick(std::uint32_t now)
{
    if (IsPrintCopy)
        return;
    AdvanceDrawnImages(animatedImages_, now, [this](const Rect& r) {
        if (InvalidateRect)
            InvalidateRect(r);
        else if (Invalidate)
            Invalidate();
    });
    if (pageBackground_ && pageBackground_->AdvanceAnimation(now) && Invalidate)
        Invalidate();
    animationInterval_ = AnimationInterval;
    SwitchAnimationTimer(Animates());
}

// ---------------------------------------------------------------------------------------------------------------
// Maps, and forgetting it all

TMapItem* ThtDocument::FindMap(u16v name) const
{
    for (const auto& map : MapList)
        if (map->MapName == name)
            return map.get();
    return nullptr;
}

void ThtDocument::ForgetImages()
{
    SwitchAnimationTimer(false);
    animatedImages_.clear();
    pendingImages_.clear();
    HoveredImage = nullptr;
    MapList.clear();
    pageBackground_.reset();
}

} // namespace lantern
