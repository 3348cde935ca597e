// Animated pictures: frame delays, how often an animation plays, stepping by the clock, independent copies, and
// drawing the current frame through the mask.
#include "images/GifImage.h"

#include "platform/Canvas.h"
#include "tests/support/GifWriter.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace lantern;
using namespace lantern::testsupport;

namespace {

GifFrame Pixel(std::uint8_t index, int delay = 10)
{
    GifFrame f;
    f.Pixels = {index};
    f.Delay = delay;
    return f;
}

std::unique_ptr<TGIFImage> Animation(std::vector<GifFrame> frames, int loop = -1)
{
    GifPlan plan;
    plan.Frames = std::move(frames);
    plan.Loop = loop;
    return LoadGifImage(WriteGif(plan));
}

// The frames shown while the clock runs on in steps of `step` ms from `start`, until the animation stops or
// `limit` changes have happened.
std::vector<int> Play(TGIFImage& gif, std::uint32_t start, int step, int limit)
{
    std::vector<int> shown = {gif.CurrentFrame()};
    gif.SetAnimating(true, start);
    std::uint32_t now = start;
    while (gif.Animating() && int(shown.size()) <= limit) {
        now += std::uint32_t(step);
        if (gif.AdvanceIfDue(now))
            shown.push_back(gif.CurrentFrame());
    }
    return shown;
}

} // namespace

TEST(GifImage, DelaysInMilliseconds)
{
    auto gif = Animation({Pixel(1, 0), Pixel(2, 1), Pixel(3, 2), Pixel(1, 3), Pixel(2, 5), Pixel(3, 100)});
    const int expected[] = {30, 30, 30, 30, 50, 1000};
    ASSERT_EQ(gif->FrameCount(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(gif->Frames()[std::size_t(i)].Delay, expected[i]) << i;
}

// A frame shows for its delay, measured from the last change, whatever the clock reads, even across its wrap.
TEST(GifImage, AdvancesWhenTheDelayHasPassed)
{
    auto gif = Animation({Pixel(1, 0), Pixel(2, 5)}, 0);
    const std::uint32_t start = 0xFFFFFFF0u;
    gif->SetAnimating(true, start);
    EXPECT_FALSE(gif->AdvanceIfDue(start + 29));
    EXPECT_EQ(gif->CurrentFrame(), 1);
    EXPECT_TRUE(gif->AdvanceIfDue(start + 30));
    EXPECT_EQ(gif->CurrentFrame(), 2);
    EXPECT_FALSE(gif->AdvanceIfDue(start + 79));
    EXPECT_TRUE(gif->AdvanceIfDue(start + 80));
    EXPECT_EQ(gif->CurrentFrame(), 1);
    gif->SetAnimating(false);
    EXPECT_FALSE(gif->AdvanceIfDue(start + 1000));
}

TEST(GifImage, LoopCountDecidesHowOftenItPlays)
{
    struct Case {
        int loop;
        std::vector<int> shown;
        bool stops;
    } cases[] = {
        {-1, {1, 2, 3}, true},                   // no NETSCAPE block: once, stopping on the last frame
        {2, {1, 2, 3, 1, 2, 3, 1, 2, 3}, true}, // three times
        {0, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1}, false},
    };
    for (const Case& c : cases) {
        auto gif = Animation({Pixel(1), Pixel(2), Pixel(3)}, c.loop);
        EXPECT_EQ(Play(*gif, 500, 40, 9), c.shown) << "loop " << c.loop;
        EXPECT_EQ(!gif->Animating(), c.stops) << "loop " << c.loop;
    }
}

TEST(GifImage, SetCurrentFrameWrapsAndResetsDisposal)
{
    auto gif = Animation({Pixel(1), Pixel(2), Pixel(3)});
    gif->SetCurrentFrame(5);
    EXPECT_EQ(gif->CurrentFrame(), 1);
    gif->SetCurrentFrame(0);
    EXPECT_EQ(gif->CurrentFrame(), 3);
    EXPECT_EQ(gif->DisposalState(), 2);
    gif->SetCurrentFrame(2);
    EXPECT_EQ(gif->FrameSource(), (Rect{1, 0, 2, 1}));
}

// Copies share the strip but animate on their own.
TEST(GifImage, CopiesAnimateIndependently)
{
    auto gif = Animation({Pixel(1), Pixel(2)}, 0);
    auto copy = gif->CopyForObject();
    EXPECT_EQ(&copy->Strip(), &gif->Strip());
    gif->SetAnimating(true, 0);
    copy->SetAnimating(true, 50);
    EXPECT_TRUE(gif->AdvanceIfDue(100));
    EXPECT_FALSE(copy->AdvanceIfDue(100));
    EXPECT_EQ(gif->CurrentFrame(), 2);
    EXPECT_EQ(copy->CurrentFrame(), 1);
    gif.reset();
    EXPECT_TRUE(copy->AdvanceIfDue(150));
    EXPECT_EQ(copy->Strip().Width(), 2);
}

// Only images drawn in the last paint move on, and each one that moved asks for its drawn rectangle to be
// repainted.
TEST(GifImage, TimerTickAdvancesOnlyDrawnImages)
{
    auto shown = Animation({Pixel(1), Pixel(2)}, 0);
    auto hidden = Animation({Pixel(1), Pixel(2)}, 0);
    QImage target(20, 20, QImage::Format_RGB32);
    platform::PaintCanvas canvas(target);
    shown->Draw(canvas, 3, 4, 5, 6);
    for (TGIFImage* g : {shown.get(), hidden.get()})
        g->SetAnimating(true, 0);
    std::vector<Rect> invalidated;
    TGIFImage* images[] = {shown.get(), hidden.get()};
    AdvanceDrawnImages(images, FirstAnimationInterval + 100, [&](const Rect& r) { invalidated.push_back(r); });
    EXPECT_EQ(shown->CurrentFrame(), 2);
    EXPECT_EQ(hidden->CurrentFrame(), 1);
    EXPECT_EQ(invalidated, std::vector<Rect>{(Rect{3, 4, 8, 10})});
}

// Drawn stretched, a frame keeps hard pixel edges and shows the page through its transparent pixels.
TEST(GifImage, DrawsTheCurrentFrameThroughTheMask)
{
    GifPlan plan;
    plan.Width = 2;
    plan.Height = 1;
    GifFrame a;
    a.Width = 2;
    a.Pixels = {2, 3};
    a.Transparent = 3;
    GifFrame b = a;
    b.Pixels = {3, 1};
    plan.Frames = {a, b};
    auto gif = LoadGifImage(WriteGif(plan));
    ASSERT_TRUE(gif->HasTransparency());
    for (int frame : {1, 2}) {
        gif->SetCurrentFrame(frame);
        QImage target(8, 4, QImage::Format_RGB32);
        target.fill(qRgb(0, 255, 0));
        platform::PaintCanvas canvas(target);
        gif->Draw(canvas, 0, 0, 8, 4);
        // Frame 2 draws white on the right over frame 1's red on the left.
        const QRgb left = qRgb(255, 0, 0), right = frame == 1 ? qRgb(0, 255, 0) : qRgb(255, 255, 255);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(target.pixel(x, y), x < 4 ? left : right) << frame << " at " << x << "," << y;
    }
    gif->Visible = false;
    QImage untouched(8, 4, QImage::Format_RGB32);
    untouched.fill(Qt::black);
    platform::PaintCanvas canvas(untouched);
    gif->Draw(canvas, 0, 0, 8, 4);
    EXPECT_EQ(untouched.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(GifImage, FirstFrameAloneWithItsMask)
{
    GifPlan plan;
    plan.Width = 2;
    GifFrame a;
    a.Width = 2;
    a.Pixels = {1, 3};
    a.Transparent = 3;
    plan.Frames = {a, a};
    auto gif = LoadGifImage(WriteGif(plan));
    const platform::Bitmap& first = gif->GetBitmap();
    ASSERT_EQ(first.Width(), 2);
    EXPECT_EQ(first.Pixel(0, 0), 0xFFFFFFu);
    ASSERT_NE(gif->GetMask(), nullptr);
    EXPECT_FALSE(gif->GetMask()->IsTransparent(0, 0));
    EXPECT_TRUE(gif->GetMask()->IsTransparent(1, 0));
    EXPECT_EQ(&gif->GetBitmap(), &first);
}
