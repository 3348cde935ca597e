// An animated GIF as the document shows it: the strip of composited frames (shared by every copy), the frames'
// timing, and the animation state of one use of it.
//
// Ownership: the loader's image goes into the image cache; every image object that takes a cached animation
// makes its own copy (CopyForObject), so several objects animate independently while sharing one strip.
//
// Timing is driven from outside: the document's timer (first tick after FirstAnimationInterval ms, then every
// AnimationInterval ms) calls AdvanceIfDue with the millisecond clock for the images drawn in the last paint, and
// invalidates the rectangle of each image that moved on. Nothing here owns a timer, so the stepping is testable
// with made-up clock values.
#pragma once

#include "images/Image.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace lantern {

inline constexpr int FirstAnimationInterval = 50;
inline constexpr int AnimationInterval = 40;

// A millisecond clock that wraps at 2^32; only differences of its readings mean anything.
std::uint32_t MilliClock();

struct TgfFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int Delay = 0;             // milliseconds, at least 30
    std::uint8_t Disposal = 0; // 0-3
};

class TGIFImage : public TImage {
public:
    ~TGIFImage() override;

    // The same picture with its own frame list and animation state, at frame 1 and not animating.
    std::unique_ptr<TGIFImage> CopyForObject() const;

    int Width() const override { return width_; }   // the logical screen
    int Height() const override { return height_; }
    int FrameCount() const { return static_cast<int>(frames_.size()); }
    const std::vector<TgfFrame>& Frames() const { return frames_; }
    bool Animated() const { return FrameCount() > 1; }
    // How many times the animation plays: 0 endlessly.
    int LoopLimit() const { return loopLimit_; }
    bool HasTransparency() const { return strip_->Transparent; }

    int CurrentFrame() const { return currentFrame_; } // 1-based
    // Frame n becomes current: above the frame count frame 1, at 0 or below the last frame.
    void SetCurrentFrame(int n);
    bool Animating() const { return animating_; }
    void SetAnimating(bool on, std::uint32_t now = MilliClock());
    // Moves on to the next frame when the current one's delay has passed since the last change; true when it
    // did (the caller then invalidates DrawnRect()). At the end of the last pass the animation stops on its
    // last frame.
    bool AdvanceIfDue(std::uint32_t now = MilliClock());
    // The disposal method of the frame last left, for the painter (2 while an animation restarts).
    int DisposalState() const { return disposalState_; }

    // Draws the current frame stretched to the rectangle, through the mask; nothing unless Visible.
    void Draw(platform::PaintCanvas& canvas, int x, int y, int width, int height);
    bool Visible = true;
    const Rect& DrawnRect() const { return drawnRect_; }
    // Set by Draw; a paint over DrawnRect() clears it first, so only images on screen animate.
    bool Drawn() const { return drawn_; }
    void ClearDrawn() { drawn_ = false; }
    // The view moved by dx, dy: what was drawn stands there now.
    void MoveDrawnRect(int dx, int dy) { drawnRect_ = drawnRect_.Offset(dx, dy); }

    // The whole strip and the part of it that is the current frame (to tile a background with it).
    const ThtBitmap& Strip() const { return *strip_; }
    Rect FrameSource() const;

    // The first frame alone, made once; the mask is null without transparency.
    const platform::Bitmap& GetBitmap() const;
    const platform::Mask* GetMask() const;

private:
    friend std::unique_ptr<TGIFImage> LoadGifImage(std::span<const std::uint8_t> bytes);
    TGIFImage();

    std::shared_ptr<const ThtBitmap> strip_;
    std::vector<TgfFrame> frames_;
    int width_ = 0, height_ = 0;
    int loopLimit_ = 1;
    int currentFrame_ = 1;
    bool animating_ = false;
    int disposalState_ = 0;
    int passes_ = 1; // the pass being played
    std::uint32_t lastChange_ = 0;
    int currentDelay_ = 1;
    Rect drawnRect_;
    bool drawn_ = false;
    mutable std::unique_ptr<platform::Bitmap> firstBitmap_;
    mutable std::unique_ptr<platform::Mask> firstMask_;
};

// Reads a GIF file and builds its strip; raises EInvalidGraphicOperation when the file is no usable GIF.
std::unique_ptr<TGIFImage> LoadGifImage(std::span<const std::uint8_t> bytes);

// One tick of a document's animation timer: each image drawn in the last paint moves on when its delay has
// passed, and `invalidate` gets the rectangle where it was drawn.
void AdvanceDrawnImages(std::span<TGIFImage* const> images, std::uint32_t now, const std::function<void(const Rect&)>& invalidate);

} // namespace lantern
