// The GIF reader and the strip it composes: frames, timing data, transparency and disposal, interlacing, the
// LZW decoder against giflib's encoder, the failures and their codes, and the size limits.
#include "images/Gif.h"

#include "tests/support/GifWriter.h"

#include <gtest/gtest.h>


using namespace lantern;
using namespace lantern::testsupport;

namespace {

constexpr Color Black = 0x000000, White = 0xFFFFFF, Red = 0x0000FF, Green = 0x00FF00;

GifFrame Solid(int left, int top, int width, int height, std::uint8_t index)
{
    GifFrame f;
    f.Left = left;
    f.Top = top;
    f.Width = width;
    f.Height = height;
    f.Pixels.assign(std::size_t(width) * std::size_t(height), index);
    return f;
}

GifPlan PlanOf(int width, int height, std::vector<GifFrame> frames)
{
    GifPlan plan;
    plan.Width = width;
    plan.Height = height;
    plan.Frames = std::move(frames);
    return plan;
}

// The code a load raises, or NoError.
GifError LoadError(const Bytes& bytes, std::string* message = nullptr)
{
    try {
        TGif gif;
        gif.LoadFromStream(bytes);
        std::optional<platform::Mask> mask;
        gif.BuildStrip(mask);
    } catch (const EInvalidGraphicOperation& e) {
        if (message)
            *message = e.what();
        return e.Code();
    }
    return GifError::NoError;
}

// Frame i of the strip, as colour indices looked up in the table (-1 for a colour not in it).
void ExpectFramePixels(const platform::Bitmap& strip, int frame, int width, int height, const std::vector<std::uint8_t>& indices,
                       const std::vector<Color>& table)
{
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (strip.Pixel(frame * width + x, y) != table[indices[std::size_t(y) * std::size_t(width) + std::size_t(x)]] && ++wrong < 5)
                ADD_FAILURE() << "frame " << frame << " pixel " << x << "," << y;
    EXPECT_EQ(wrong, 0);
}

} // namespace

TEST(Gif, FramesCarryTheirTimingDisposalAndTransparency)
{
    GifPlan plan;
    plan.Width = 4;
    plan.Height = 3;
    plan.Frames = {Solid(0, 0, 4, 3, 1), Solid(1, 1, 2, 2, 2), Solid(0, 0, 1, 1, 3)};
    plan.Frames[0].Delay = 0;
    plan.Frames[1].Delay = 5;
    plan.Frames[1].Disposal = 2;
    plan.Frames[1].Transparent = 3;
    plan.Frames[2].Control = false;
    TGif gif;
    gif.LoadFromStream(WriteGif(plan));
    ASSERT_EQ(gif.FrameCount(), 3);
    EXPECT_EQ(gif.ScreenWidth(), 4);
    EXPECT_EQ(gif.ScreenHeight(), 3);
    EXPECT_EQ(gif.LoopCount(), -1);
    EXPECT_TRUE(gif.HasTransparency());
    const int delays[] = {1, 5, 1}, disposals[] = {0, 2, 0}, transparent[] = {-1, 3, -1};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gif.FrameDelay(i), delays[i]) << i;
        EXPECT_EQ(gif.FrameDisposal(i), disposals[i]) << i;
        EXPECT_EQ(gif.FrameTransparentIndex(i), transparent[i]) << i;
    }
    EXPECT_EQ(gif.FrameLeft(1), 1);
    EXPECT_EQ(gif.FrameTop(1), 1);
    EXPECT_EQ(gif.FrameWidth(1), 2);
    EXPECT_EQ(gif.FrameHeight(1), 2);
    try {
        gif.FrameDelay(3);
        ADD_FAILURE() << "frame 3 exists";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Code(), GifError::ValueOutOfRange);
    }
}

TEST(Gif, LoopCountComesFromTheNetscapeBlock)
{
    for (int loop : {0, 2, 65535}) {
        GifPlan plan;
        plan.Loop = loop;
        plan.Frames = {Solid(0, 0, 1, 1, 1)};
        TGif gif;
        gif.LoadFromStream(WriteGif(plan));
        EXPECT_EQ(gif.LoopCount(), loop);
    }
}

// Each block of the strip is the composite of the frames so far; with a mask, the first frame's transparent
// pixels and the screen it leaves uncovered are transparent, and later transparent pixels keep what was there.
TEST(Gif, StripCompositesFramesOverEachOther)
{
    GifPlan plan;
    plan.Width = 3;
    plan.Height = 1;
    GifFrame first = Solid(0, 0, 2, 1, 2);
    first.Pixels = {2, 3};
    first.Transparent = 3;
    GifFrame second = Solid(0, 0, 3, 1, 3);
    second.Pixels = {3, 1, 3};
    second.Transparent = 3;
    plan.Frames = {first, second};
    TGif gif;
    gif.LoadFromStream(WriteGif(plan));
    std::optional<platform::Mask> mask;
    const platform::Bitmap strip = gif.BuildStrip(mask);
    ASSERT_EQ(strip.Width(), 6);
    ASSERT_EQ(strip.Height(), 1);
    ASSERT_TRUE(mask);
    const Color colours[] = {Red, Black, Black, Red, White, Black};
    const bool clear[] = {false, true, true, false, false, true};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(strip.Pixel(x, 0), colours[x]) << x;
        EXPECT_EQ(mask->IsTransparent(x, 0), clear[x]) << x;
    }
}

// Disposal 2 clears what the frame covered before the next one shows: in the mask when the file has
// transparency, while without a mask the old pixels simply stay.
TEST(Gif, DisposalToBackgroundClearsTheFrameOnlyInTheMask)
{
    for (bool transparency : {true, false}) {
        GifPlan plan;
        plan.Width = 4;
        plan.Height = 1;
        GifFrame first = Solid(0, 0, 2, 1, 1);
        first.Disposal = 2;
        GifFrame second = Solid(2, 0, 2, 1, 2);
        second.Transparent = transparency ? 3 : -1;
        plan.Frames = {first, second};
        TGif gif;
        gif.LoadFromStream(WriteGif(plan));
        std::optional<platform::Mask> mask;
        const platform::Bitmap strip = gif.BuildStrip(mask);
        ASSERT_EQ(mask.has_value(), transparency);
        // Block 1 holds the second frame over the disposed first one.
        EXPECT_EQ(strip.Pixel(4, 0), White);
        EXPECT_EQ(strip.Pixel(6, 0), Red);
        if (transparency) {
            EXPECT_TRUE(mask->IsTransparent(4, 0));
            EXPECT_TRUE(mask->IsTransparent(5, 0));
            EXPECT_FALSE(mask->IsTransparent(6, 0));
            EXPECT_FALSE(mask->IsTransparent(0, 0)); // the first frame's own block is untouched
        }
    }
}

TEST(Gif, InterlacedDecodesToTheSamePixelsAsProgressive)
{
    for (int height : {1, 2, 3, 5, 8, 9, 13, 17, 31}) {
        GifPlan plan;
        plan.Width = 7;
        plan.Height = height;
        plan.GlobalTable = DistinctPalette(4);
        GifFrame f = Solid(0, 0, 7, height, 0);
        f.Pixels = RunsOfIndices(f.Pixels.size(), 4, unsigned(height), 7);
        for (bool giflib : {false, true}) {
            plan.Frames = {f};
            plan.Frames[0].Interlaced = true;
            TGif gif;
            gif.LoadFromStream(giflib ? GiflibGif(plan) : WriteGif(plan));
            std::optional<platform::Mask> mask;
            SCOPED_TRACE(testing::Message() << "height " << height << (giflib ? " giflib" : " plain"));
            ExpectFramePixels(gif.BuildStrip(mask), 0, 7, height, f.Pixels, plan.GlobalTable);
        }
    }
}

// Real LZW streams: long strings, the table filling up at 4096 codes and the encoder's clear codes, at every
// minimum code size, for several frames.
TEST(Gif, DecodesWhatGiflibEncodes)
{
    for (int colours : {2, 4, 16, 256}) {
        GifPlan plan;
        plan.Width = 97;
        plan.Height = 61;
        plan.GlobalTable = DistinctPalette(colours);
        for (unsigned seed = 0; seed < 3; ++seed) {
            GifFrame f = Solid(0, 0, 97, 61, 0);
            f.Pixels = RunsOfIndices(f.Pixels.size(), colours, seed * 7 + unsigned(colours), 7);
            plan.Frames.push_back(f);
        }
        TGif gif;
        gif.LoadFromStream(GiflibGif(plan));
        ASSERT_EQ(gif.FrameCount(), 3);
        std::optional<platform::Mask> mask;
        const platform::Bitmap strip = gif.BuildStrip(mask);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(testing::Message() << colours << " colours, frame " << i);
            ExpectFramePixels(strip, i, 97, 61, plan.Frames[std::size_t(i)].Pixels, plan.GlobalTable);
        }
    }
}

TEST(Gif, LowerCaseSignatureAndMissingTrailerAreAccepted)
{
    GifPlan plan;
    plan.Frames = {Solid(0, 0, 1, 1, 2)};
    plan.Signature = "gif89a";
    EXPECT_EQ(LoadError(WriteGif(plan)), GifError::NoError);
    plan.Signature = "GIF87a";
    plan.Trailer = false;
    TGif gif;
    gif.LoadFromStream(WriteGif(plan));
    ASSERT_EQ(gif.FrameCount(), 1);
    std::optional<platform::Mask> mask;
    EXPECT_EQ(gif.BuildStrip(mask).Pixel(0, 0), Red);
}

// An unknown extension fails a file that has no image yet, naming the label; after an image it only ends
// reading, as every error there does.
TEST(Gif, ErrorsAfterTheFirstImageKeepTheImagesRead)
{
    const Bytes unknown = {0x21, 0xAB, 0};
    GifPlan plan;
    plan.Frames = {Solid(0, 0, 1, 1, 1), Solid(0, 0, 1, 1, 2)};
    plan.Before[0] = unknown;
    std::string message;
    EXPECT_EQ(LoadError(WriteGif(plan), &message), GifError::UnknownExtension);
    EXPECT_EQ(message, "TGif: unknown extension: 00AB");

    plan.Before.clear();
    plan.Before[1] = unknown;
    TGif gif;
    gif.LoadFromStream(WriteGif(plan));
    EXPECT_EQ(gif.FrameCount(), 1);

    // A second frame cut short in its data.
    Bytes cut = WriteGif(PlanOf(1, 1, {Solid(0, 0, 1, 1, 1), Solid(0, 0, 9, 9, 2)}));
    cut.resize(cut.size() - 4);
    gif.LoadFromStream(cut);
    EXPECT_EQ(gif.FrameCount(), 1);
}

TEST(Gif, BrokenFilesRaiseTheirCodes)
{
    const Bytes good = WriteGif(PlanOf(1, 1, {Solid(0, 0, 2, 2, 1)}));
    auto withByte = [&](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    // Offsets in `good`: header 13, global table 12, graphic control 8, image descriptor 10, code size, data.
    const std::size_t gce = 13 + 12, image = gce + 8, codeSize = image + 10, data = codeSize + 1;
    Bytes noTable = good;
    noTable[10] = 0;                                                  // no global table...
    noTable.erase(noTable.begin() + 13, noTable.begin() + 13 + 12); // ...and none in the file
    Bytes firstCodeNotClear = good;
    firstCodeNotClear[data + 1] = 0x05; // the first 3-bit code is 5, the end code
    Bytes shortBlock = good;
    shortBlock.resize(data + 2);
    Bytes noImage(good.begin(), good.begin() + std::ptrdiff_t(gce));
    noImage.push_back(0x3B);
    struct Case {
        const char* what;
        Bytes bytes;
        GifError code;
        const char* message;
    } cases[] = {
        {"signature", withByte(2, 'X'), GifError::InvalidSignature, "TGif: Invalid GIF Signature Code"},
        {"colour table", noTable, GifError::NoColorTable, nullptr},
        {"block type", withByte(image, 0x2A), GifError::UnknownOperationCode, nullptr},
        {"control size", withByte(gce + 2, 5), GifError::InvalidExtensionBlockSize, nullptr},
        {"control terminator", withByte(gce + 7, 1), GifError::InvalidExtensionTerminator, nullptr},
        {"code size", withByte(codeSize, 12), GifError::InvalidLzwCodeSize, nullptr},
        {"first code", firstCodeNotClear, GifError::InvalidLzwData, "TGif: Invalid LZW Data Format"},
        {"no image", noImage, GifError::NoImageDescription, nullptr},
        {"short block", shortBlock, GifError::UnexpectedEndOfFile, "TGif: Unexpected end of file"},
        {"zero width", withByte(image + 5, 0), GifError::ZeroSize, nullptr},
    };
    EXPECT_EQ(LoadError(good), GifError::NoError);
    for (const Case& c : cases) {
        std::string message;
        EXPECT_EQ(LoadError(c.bytes, &message), c.code) << c.what;
        if (c.message) {
            EXPECT_EQ(message, c.message) << c.what;
        }
    }
}

// Code width 3: clear 4, end 5. The data 0, 1, 5 (no clear code first) reads as clear, 0, 1, end.
TEST(Gif, AFirstCodeOfZeroDecodesAsIfAClearCodeCameFirst)
{
    Bytes b = WriteGif(PlanOf(2, 1, {Solid(0, 0, 2, 1, 3)}));
    const std::size_t data = 13 + 12 + 8 + 10 + 1;
    // Least significant bit first: 0 in bits 0-2, 1 in bits 3-5, 5 in bits 6-8.
    b.erase(b.begin() + std::ptrdiff_t(data), b.end() - 1);
    b.insert(b.begin() + std::ptrdiff_t(data), {2, 0x48, 0x01, 0});
    TGif gif;
    gif.LoadFromStream(b);
    std::optional<platform::Mask> mask;
    const platform::Bitmap strip = gif.BuildStrip(mask);
    EXPECT_EQ(strip.Pixel(0, 0), Black);
    EXPECT_EQ(strip.Pixel(1, 0), White);
}

// The strip of a 1000 x 1000 animation: 40 frames (about 120 million bytes) are too many with a mask but not
// without one; 70 frames (about 210 million) are too many either way. Frames of one pixel keep the files small.
TEST(Gif, StripSizeLimits)
{
    struct Case {
        int frames;
        bool transparency;
        GifError code;
    } cases[] = {
        {40, true, GifError::AnimationTooLarge},
        {40, false, GifError::NoError},
        {70, true, GifError::AnimationTooLarge},
        {70, false, GifError::AnimationTooLarge},
    };
    for (const Case& c : cases) {
        GifPlan plan;
        plan.Width = plan.Height = 1000;
        for (int i = 0; i < c.frames; ++i) {
            plan.Frames.push_back(Solid(i, i, 1, 1, 1));
            plan.Frames.back().Transparent = c.transparency ? 0 : -1;
        }
        EXPECT_EQ(LoadError(WriteGif(plan)), c.code) << c.frames << " frames, transparency " << c.transparency;
    }
}

// Sizes a file merely claims cost nothing: a screen no strip could hold fails before any pixel is kept, and a
// frame far larger than its screen keeps only the part that shows.
TEST(Gif, ClaimedSizesDoNotAllocate)
{
    GifPlan huge;
    huge.Width = huge.Height = 65535;
    huge.Frames = {Solid(0, 0, 1, 1, 1)};
    EXPECT_EQ(LoadError(WriteGif(huge)), GifError::AnimationTooLarge);

    GifPlan small;
    small.Width = small.Height = 2;
    GifFrame wide = Solid(0, 0, 65535, 2, 0);
    small.Frames = {wide};
    Bytes bytes = WriteGif(small);
    TGif gif;
    gif.LoadFromStream(bytes);
    EXPECT_EQ(gif.FrameWidth(0), 65535);
    EXPECT_EQ(gif.FrameHeight(0), 2);
    std::optional<platform::Mask> mask;
    EXPECT_EQ(gif.BuildStrip(mask).Width(), 2);

    // A frame taller than the screen is cut to the screen's height.
    GifPlan tall;
    tall.Width = 1;
    tall.Height = 2;
    tall.Frames = {Solid(0, 0, 1, 5, 1)};
    gif.LoadFromStream(WriteGif(tall));
    EXPECT_EQ(gif.FrameHeight(0), 2);
}
