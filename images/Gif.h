// The engine's own GIF87a/89a reader. TGif reads a whole file (every frame, its colour table and its graphic
// control) and composes the animation strip: one bitmap holding all frames side by side, each already composited
// over the ones before it, with a parallel mask (1 = transparent) in which a frame disposed to the background
// leaves its rectangle transparent.
//
// Ownership: a TGif owns the decoded frames and lives only while a picture is loaded; the bytes it reads are
// borrowed for the length of LoadFromStream.
//
// Memory stays bounded whatever a file claims: only the part of a frame inside the logical screen is kept (the
// strip clips everything else away), and reading gives up with code 25 as soon as the frames read so far make a
// strip past the size limit, which the finished file could then never get under.
#pragma once

#include "common/Exceptions.h"
#include "common/Types.h"
#include "platform/Bitmap.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lantern {

// The decoder's error codes; every one raises EInvalidGraphicOperation with "TGif: " and the code's message.
enum class GifError : std::uint8_t {
    NoError = 0,
    InvalidSignature = 1,
    NoColorTable = 2,
    UnknownGraphicsExtension = 3,
    UnknownOperationCode = 4,
    InvalidExtensionBlockSize = 5,
    UnknownExtension = 6,
    InvalidExtensionTerminator = 7,
    InvalidIntegerSize = 8,
    NoTerminator = 9,
    ExtensionOutOfOrder = 10,
    InvalidDescriptorIndex = 11,
    InvalidLzwCodeSize = 12,
    InvalidLzwData = 13,
    LzwCodeOverflow = 14,
    ValueOutOfRange = 15,
    NilPointer = 16,
    InvalidColorTableSize = 17,
    NoImageDescription = 18,
    InvalidBitmapImage = 19,
    InvalidColorTableIndex = 20,
    InvalidInterlacePass = 21,
    InvalidBitmap = 22,
    TooManyColors = 23,
    UnexpectedEndOfFile = 24,
    AnimationTooLarge = 25,
    ZeroSize = 26,
    NextMessage = 27,
};

// The text of a code ("[special message]" for UnknownExtension, whose raised text names the label).
const char* GifErrorMessage(GifError code);

class EInvalidGraphicOperation : public EhtException {
public:
    EInvalidGraphicOperation(GifError code, const std::string& message);
    GifError Code() const { return code_; }

private:
    GifError code_;
};

// Strips larger than these (counted as a 24-bit bitmap file: rows of width x 3 bytes rounded up to 4, plus its
// 54-byte header) raise AnimationTooLarge; a strip with a mask needs twice the memory, hence the lower limit.
inline constexpr long long MaxStripBytes = 200'000'000;
inline constexpr long long MaxMaskedStripBytes = 100'000'000;

class TGif {
public:
    // Reads the whole file. At least one image must be read; an error after that ends reading quietly with the
    // images read so far, except a strip past the size limit, which fails the file whatever it holds.
    void LoadFromStream(std::span<const std::uint8_t> bytes);

    int FrameCount() const { return static_cast<int>(frames_.size()); }
    int ScreenWidth() const { return screen_.Width; }
    int ScreenHeight() const { return screen_.Height; }
    // True when any frame's graphic control names a transparent colour.
    bool HasTransparency() const;
    // Frames are counted from 0; an index outside raises ValueOutOfRange.
    int FrameDelay(int i) const; // hundredths of a second; 1 when absent or 0
    int FrameDisposal(int i) const; // 0-3
    int FrameTransparentIndex(int i) const; // -1 when none
    int FrameLeft(int i) const;
    int FrameTop(int i) const;
    int FrameWidth(int i) const;
    int FrameHeight(int i) const; // at most the screen height
    int LoopCount() const { return loopCount_; } // -1 until a NETSCAPE block is read

    // All frames composited side by side (screen width x frame count wide, screen height high). The mask is made
    // when the file has transparency and is left empty otherwise.
    platform::Bitmap BuildStrip(std::optional<platform::Mask>& mask) const;

private:
    struct ScreenDescriptor {
        int Width = 0, Height = 0;
        bool HasGlobalTable = false;
        int GlobalTable = -1; // index into colorTables_
    };
    struct GraphicControl {
        int Disposal = 0; // bits 2-4 of the packed byte
        bool UserInput = false;
        bool Transparent = false;
        int Delay = 0; // hundredths
        int TransparentIndex = 0;
    };
    // One colour table, 0x00BBGGRR; entries past the table's own size are black.
    using ColorTable = std::array<Color, 256>;
    struct Frame {
        int Left = 0, Top = 0, Width = 0, Height = 0; // Height already cut to the screen height
        bool Interlaced = false;
        int Table = -1;
        int MinCodeSize = 0;
        std::optional<GraphicControl> Control;
        // Colour indices of the part inside the screen, row-major.
        int KeptWidth = 0, KeptHeight = 0;
        std::vector<std::uint8_t> Pixels;
    };
    class Reader;
    class PixelSink;

    void Reset();
    void ReadSignature(Reader& in);
    void ReadScreenDescriptor(Reader& in);
    int ReadColorTable(Reader& in, int entries);
    void ReadBlocks(Reader& in);
    void ReadImage(Reader& in);
    void ReadExtension(Reader& in);
    void ReadApplicationExtension(Reader& in);
    void ReadImageData(Reader& in);
    void DecodeLzw(Frame& frame);
    void CheckStripSize(int frames, bool masked) const;
    const Frame& FrameAt(int i) const;
    [[noreturn]] static void Raise(GifError code);

    ScreenDescriptor screen_;
    std::vector<ColorTable> colorTables_;
    std::vector<Frame> frames_;
    std::optional<GraphicControl> pendingControl_;
    std::vector<std::uint8_t> data_; // the LZW bytes of the image being read
    int loopCount_ = -1;
};

} // namespace lantern
