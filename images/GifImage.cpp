#include "images/GifImage.h"

#include "images/Gif.h"

#include <algorithm>
#include <chrono>

namespace lantern {

std::uint32_t MilliClock()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

TGIFImage::TGIFImage() : TImage(ImageKind::Gif) {}
TGIFImage::~TGIFImage() = default;

std::unique_ptr<TGIFImage> LoadGifImage(std::span<const std::uint8_t> bytes)
{
    TGif gif;
    gif.LoadFromStream(bytes);
    std::optional<platform::Mask> mask;
    platform::Bitmap strip = gif.BuildStrip(mask);

    std::unique_ptr<TGIFImage> image(new TGIFImage());
    image->width_ = gif.ScreenWidth();
    image->height_ = gif.ScreenHeight();
    image->strip_ = std::make_shared<const ThtBitmap>(std::move(strip), std::move(mask));
    const int loops = gif.LoopCount();
    image->loopLimit_ = loops < 0 ? 1 : loops == 0 ? 0 : loops + 1;
    for (int i = 0; i < gif.FrameCount(); ++i) {
        TgfFrame& f = image->frames_.emplace_back();
        f.Left = gif.FrameLeft(i);
        f.Top = gif.FrameTop(i);
        f.Width = gif.FrameWidth(i);
        f.Height = gif.FrameHeight(i);
        f.Disposal = static_cast<std::uint8_t>(gif.FrameDisposal(i));
        // Delays under 3 hundredths are too short to be meant: such frames show for 30 ms.
        const int delay = 10 * gif.FrameDelay(i);
        f.Delay = delay < 29 ? 30 : delay;
    }
    image->disposalState_ = image->Animated() ? 2 : 0;
    return image;
}

std::unique_ptr<TGIFImage> TGIFImage::CopyForObject() const
{
    std::unique_ptr<TGIFImage> copy(new TGIFImage());
    copy->strip_ = strip_;
    copy->frames_ = frames_;
    copy->width_ = width_;
    copy->height_ = height_;
    copy->loopLimit_ = loopLimit_;
    copy->disposalState_ = Animated() ? 2 : 0;
    copy->Visible = Visible;
    return copy;
}

void TGIFImage::SetCurrentFrame(int n)
{
    if (n == currentFrame_)
        return;
    disposalState_ = frames_.empty() ? 0 : frames_[std::size_t(currentFrame_ - 1)].Disposal;
    currentFrame_ = n > FrameCount() ? 1 : n <= 0 ? std::max(FrameCount(), 1) : n;
    if (Animated())
        disposalState_ = 2;
}

void TGIFImage::SetAnimating(bool on, std::uint32_t now)
{
    if (on == animating_)
        return;
    animating_ = on;
    if (on && Animated()) {
        currentDelay_ = std::max(frames_[std::size_t(currentFrame_ - 1)].Delay, 1);
        lastChange_ = now;
    }
}

bool TGIFImage::AdvanceIfDue(std::uint32_t now)
{
    if (!animating_ || frames_.empty())
        return false;
    // 1. Unsigned difference: the clock may wrap between two readings.
    if (now - lastChange_ < static_cast<std::uint32_t>(currentDelay_))
        return false;
    lastChange_ = now;
    // 2. At the end of a pass, either stop on the last frame or play the next pass.
    if (currentFrame_ == FrameCount()) {
        if (loopLimit_ > 0 && passes_ >= loopLimit_) {
            animating_ = false;
            return false;
        }
        ++passes_;
    }
    // 3. The frame left decides how the painter treats the area before the next one shows.
    disposalState_ = frames_[std::size_t(currentFrame_ - 1)].Disposal;
    currentFrame_ = currentFrame_ % FrameCount() + 1;
    currentDelay_ = std::max(frames_[std::size_t(currentFrame_ - 1)].Delay, 1);
    return true;
}

Rect TGIFImage::FrameSource() const
{
    return Rect{(currentFrame_ - 1) * width_, 0, currentFrame_ * width_, height_};
}

void TGIFImage::Draw(platform::PaintCanvas& canvas, int x, int y, int width, int height)
{
    if (!Visible || frames_.empty())
        return;
    drawnRect_ = Rect{x, y, x + width, y + height};
    drawn_ = true;
    strip_->Draw(canvas, FrameSource(), drawnRect_);
}

const platform::Bitmap& TGIFImage::GetBitmap() const
{
    if (!firstBitmap_)
        firstBitmap_ = std::make_unique<platform::Bitmap>(strip_->Pixels.Copy(Rect{0, 0, width_, height_}));
    return *firstBitmap_;
}

const platform::Mask* TGIFImage::GetMask() const
{
    if (!strip_->BitMask)
        return nullptr;
    if (!firstMask_)
        firstMask_ = std::make_unique<platform::Mask>(strip_->BitMask->Copy(Rect{0, 0, width_, height_}));
    return firstMask_.get();
}

void AdvanceDrawnImages(std::span<TGIFImage* const> images, std::uint32_t now, const std::function<void(const Rect&)>& invalidate)
{
    for (TGIFImage* image : images)
        if (image->Drawn() && image->AdvanceIfDue(now) && invalidate)
            invalidate(image->DrawnRect());
}

} // namespace lantern
