// Fuzz target for the GIF reader: the input is a GIF file. Whatever loads is composited, copied, stepped
// through its frames by a made-up clock and cut to its first frame, so every part of the strip gets touched.
#include "images/Gif.h"
#include "images/GifImage.h"

#include <cstddef>
#include <cstdint>
#include <span>

using namespace lantern;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<TGIFImage> gif;
    try {
        gif = LoadGifImage(std::span<const std::uint8_t>(data, size));
    } catch (const EInvalidGraphicOperation&) {
        return 0;
    }
    auto copy = gif->CopyForObject();
    copy->SetAnimating(true, 0);
    for (std::uint32_t now = 0; now < 3000 && copy->Animating(); now += 40)
        copy->AdvanceIfDue(now);
    copy->SetCurrentFrame(0);
    const platform::Bitmap& first = gif->GetBitmap();
    if (first.Width() != gif->Width() || first.Height() != gif->Height())
        __builtin_trap();
    if (const platform::Mask* mask = gif->GetMask(); mask && mask->Width() != first.Width())
        __builtin_trap();
    return 0;
}
