#include "images/Gif.h"

#include "platform/PictureCodec.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>

namespace lantern {

namespace {

constexpr std::uint8_t ImageSeparator = 0x2C;
constexpr std::uint8_t ExtensionIntroducer = 0x21;
constexpr std::uint8_t Trailer = 0x3B;
constexpr std::uint8_t GraphicControlLabel = 0xF9;
constexpr std::uint8_t CommentLabel = 0xFE;
constexpr std::uint8_t PlainTextLabel = 0x01;
constexpr std::uint8_t ApplicationLabel = 0xFF;

constexpr int MaxLzwBits = 12;
constexpr int LzwTableSize = 1 << MaxLzwBits;

constexpr const char* Messages[] = {
    "no error",
    "Invalid GIF Signature Code",
    "No Local or Global Color Table for Image",
    "Unknown Graphics Extension Type",
    "Unknown Graphics Operation Code",
    "Invalid Extension Block Size",
    "[special message]",
    "Invalid Extension Block Terminator",
    "Invalid Integer Size",
    "No GIF Terminator Found",
    "Extension Block Out-Of-Order With Image Data",
    "Invalid Image Descriptor Index",
    "Invalid LZW Code Size",
    "Invalid LZW Data Format",
    "LZW Code Overflow",
    "Value Out Of Range",
    "NIL Pointer assigned",
    "Invalid Color Table Size",
    "No Image Description",
    "Invalid Bitmap Image",
    "Invalid Color Table Index",
    "Invalid Interlace Pass",
    "Invalid Bitmap",
    "Too Many Colors In Bitmap",
    "Unexpected end of file",
    "Animated GIF too large",
    "Zero width or height",
    "next message",
};
static_assert(std::size(Messages) == static_cast<std::size_t>(GifError::NextMessage) + 1);

// ORs 0/1 flags into a row of mask bits from bit `at` on (most significant bit first), eight at a time wherever
// they fall on whole bytes: the multiplication gathers the low bit of each of eight flag bytes into one byte.
void OrFlagsIntoBits(const std::uint8_t* flags, int n, std::uint8_t* bits, int at)
{
    int i = 0;
    auto one = [&](int k) {
        if (flags[k])
            bits[(at + k) >> 3] |= static_cast<std::uint8_t>(0x80 >> ((at + k) & 7));
    };
    for (; i < n && ((at + i) & 7) != 0; ++i)
        one(i);
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= n; i += 8) {
            std::uint64_t eight;
            std::memcpy(&eight, flags + i, 8);
            bits[(at + i) >> 3] |= static_cast<std::uint8_t>((eight * 0x8040201008040201ull) >> 56);
        }
    }
    for (; i < n; ++i)
        one(i);
}

std::string RaisedText(const std::string& message)
{
    return "TGif: " + message;
}

} // namespace

const char* GifErrorMessage(GifError code)
{
    const auto i = static_cast<std::size_t>(code);
    return i < std::size(Messages) ? Messages[i] : Messages[0];
}

EInvalidGraphicOperation::EInvalidGraphicOperation(GifError code, const std::string& message)
    : EhtException(RaisedText(message)), code_(code)
{
}

void TGif::Raise(GifError code)
{
    throw EInvalidGraphicOperation(code, GifErrorMessage(code));
}

// ---------------------------------------------------------------------------------------------------------------
// Reading the file's blocks

// The file's bytes with a read position; reading past the end raises UnexpectedEndOfFile.
class TGif::Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool AtEnd() const { return pos_ >= bytes_.size(); }
    std::uint8_t Byte()
    {
        if (AtEnd())
            Raise(GifError::UnexpectedEndOfFile);
        return bytes_[pos_++];
    }
    int Word()
    {
        const int low = Byte();
        return low | (Byte() << 8);
    }
    std::span<const std::uint8_t> Bytes(std::size_t n)
    {
        if (bytes_.size() - pos_ < n)
            Raise(GifError::UnexpectedEndOfFile);
        auto part = bytes_.subspan(pos_, n);
        pos_ += n;
        return part;
    }
    // Data sub-blocks: a length byte (0 ends the list) and that many bytes, each handed to visit.
    template <class Visit>
    void SubBlocks(Visit&& visit)
    {
        for (std::uint8_t length = Byte(); length != 0; length = Byte())
            visit(Bytes(length));
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

void TGif::Reset()
{
    screen_ = {};
    colorTables_.clear();
    frames_.clear();
    pendingControl_.reset();
    data_.clear();
    loopCount_ = -1;
}

void TGif::LoadFromStream(std::span<const std::uint8_t> bytes)
{
    Reset();
    Reader in(bytes);
    ReadSignature(in);
    ReadScreenDescriptor(in);
    ReadBlocks(in);
    if (frames_.empty())
        Raise(GifError::NoImageDescription);
}

void TGif::ReadSignature(Reader& in)
{
    const auto signature = in.Bytes(6);
    char upper[6];
    for (int i = 0; i < 6; ++i)
        upper[i] = static_cast<char>(std::toupper(signature[std::size_t(i)]));
    if (std::memcmp(upper, "GIF87A", 6) != 0 && std::memcmp(upper, "GIF89A", 6) != 0)
        Raise(GifError::InvalidSignature);
}

void TGif::ReadScreenDescriptor(Reader& in)
{
    screen_.Width = in.Word();
    screen_.Height = in.Word();
    const std::uint8_t packed = in.Byte();
    in.Byte(); // background colour index: the strip's background is black or transparent
    in.Byte(); // pixel aspect ratio
    screen_.HasGlobalTable = (packed & 0x80) != 0;
    if (screen_.HasGlobalTable)
        screen_.GlobalTable = ReadColorTable(in, 2 << (packed & 7));
}

int TGif::ReadColorTable(Reader& in, int entries)
{
    const auto rgb = in.Bytes(std::size_t(entries) * 3);
    ColorTable& table = colorTables_.emplace_back();
    table.fill(0);
    for (int i = 0; i < entries; ++i)
        table[std::size_t(i)] = Color(rgb[std::size_t(i) * 3]) | Color(rgb[std::size_t(i) * 3 + 1]) << 8 |
                                Color(rgb[std::size_t(i) * 3 + 2]) << 16;
    return static_cast<int>(colorTables_.size()) - 1;
}

void TGif::ReadBlocks(Reader& in)
{
    for (;;) {
        try {
            const std::uint8_t type = in.AtEnd() ? 0 : in.Byte();
            if (type == Trailer || type == 0)
                return;
            if (type == ImageSeparator)
                ReadImage(in);
            else if (type == ExtensionIntroducer)
                ReadExtension(in);
            else
                Raise(GifError::UnknownOperationCode);
        } catch (const EInvalidGraphicOperation& e) {
            // A damaged tail costs only the frames it holds; a strip too large fails whatever came before.
            if (frames_.empty() || e.Code() == GifError::AnimationTooLarge)
                throw;
            return;
        }
    }
}

void TGif::ReadExtension(Reader& in)
{
    const std::uint8_t label = in.Byte();
    switch (label) {
    case GraphicControlLabel: {
        if (in.Byte() != 4)
            Raise(GifError::InvalidExtensionBlockSize);
        GraphicControl control;
        const std::uint8_t packed = in.Byte();
        control.Disposal = (packed >> 2) & 7;
        control.UserInput = (packed & 2) != 0;
        control.Transparent = (packed & 1) != 0;
        control.Delay = in.Word();
        control.TransparentIndex = in.Byte();
        if (in.Byte() != 0)
            Raise(GifError::InvalidExtensionTerminator);
        // The next image takes the first graphic control read since the image before it.
        if (!pendingControl_)
            pendingControl_ = control;
        return;
    }
    case CommentLabel:
        in.SubBlocks([](std::span<const std::uint8_t>) {});
        return;
    case PlainTextLabel:
        if (in.Byte() != 12)
            Raise(GifError::InvalidExtensionBlockSize);
        in.Bytes(12); // text grid, cell size and colours: the text itself is not drawn
        in.SubBlocks([](std::span<const std::uint8_t>) {});
        return;
    case ApplicationLabel:
        ReadApplicationExtension(in);
        return;
    default: {
        static constexpr char Hex[] = "0123456789ABCDEF";
        std::string text = "unknown extension: 00";
        text += Hex[label >> 4];
        text += Hex[label & 15];
        throw EInvalidGraphicOperation(GifError::UnknownExtension, text);
    }
    }
}

void TGif::ReadApplicationExtension(Reader& in)
{
    const std::uint8_t blockSize = in.Byte();
    bool netscape = false;
    if (blockSize == 11) {
        const auto identifier = in.Bytes(8);
        in.Bytes(3); // authentication code
        netscape = std::memcmp(identifier.data(), "NETSCAPE", 8) == 0;
    } else {
        in.Bytes(blockSize);
    }
    bool first = true;
    in.SubBlocks([&](std::span<const std::uint8_t> block) {
        if (netscape && first && block.size() == 3)
            loopCount_ = block[1] | (block[2] << 8);
        first = false;
    });
}

void TGif::ReadImage(Reader& in)
{
    Frame f;
    f.Left = in.Word();
    f.Top = in.Word();
    f.Width = in.Word();
    f.Height = std::min(in.Word(), screen_.Height);
    const std::uint8_t packed = in.Byte();
    f.Interlaced = (packed & 0x40) != 0;
    f.Table = (packed & 0x80) ? ReadColorTable(in, 2 << (packed & 7)) : screen_.GlobalTable;
    if (f.Table < 0)
        Raise(GifError::NoColorTable);
    f.MinCodeSize = in.Byte();
    ReadImageData(in);
    if (f.Width == 0 || f.Height == 0)
        Raise(GifError::ZeroSize);
    f.Control = pendingControl_;
    pendingControl_.reset();
    f.KeptWidth = std::clamp(screen_.Width - f.Left, 0, f.Width);
    f.KeptHeight = std::clamp(screen_.Height - f.Top, 0, f.Height);
    // A screen too large for even one frame fails before a pixel of it is allocated.
    if (frames_.empty())
        CheckStripSize(1, false);
    DecodeLzw(f);
    frames_.push_back(std::move(f));
    CheckStripSize(FrameCount(), false);
}

void TGif::ReadImageData(Reader& in)
{
    data_.clear();
    in.SubBlocks([&](std::span<const std::uint8_t> block) { data_.insert(data_.end(), block.begin(), block.end()); });
}

void TGif::CheckStripSize(int frames, bool masked) const
{
    const long long rowBytes = (static_cast<long long>(screen_.Width) * 3 * frames + 3) / 4 * 4;
    if (rowBytes * screen_.Height + 54 > (masked ? MaxMaskedStripBytes : MaxStripBytes))
        Raise(GifError::AnimationTooLarge);
}

// ---------------------------------------------------------------------------------------------------------------
// LZW decoding

// Where decoded pixels go: successive positions in the frame's row order (top to bottom, or the four interlace
// passes over and over), of which only the part inside the screen is kept.
class TGif::PixelSink {
public:
    explicit PixelSink(Frame& f)
        : out_(f.Pixels.data()), width_(f.Width), height_(f.Height), keptWidth_(f.KeptWidth),
          keptHeight_(f.KeptHeight), interlaced_(f.Interlaced),
          linear_(!f.Interlaced && f.KeptWidth == f.Width && f.KeptHeight == f.Height),
          total_(static_cast<long long>(f.KeptWidth) * f.KeptHeight)
    {
    }

    // Further pixels are all ignored (a non-interlaced frame is complete).
    bool Done() const { return done_; }

    // Room for n pixels written straight into the frame, when they all land in a row-major run of it.
    std::uint8_t* Direct(int n)
    {
        if (!linear_ || linearPos_ + n > total_)
            return nullptr;
        std::uint8_t* at = out_ + linearPos_;
        linearPos_ += n;
        done_ = linearPos_ == total_;
        return at;
    }

    void Put(const std::uint8_t* s, int n)
    {
        if (linear_) {
            const long long kept = std::min<long long>(n, total_ - linearPos_);
            std::memcpy(out_ + linearPos_, s, std::size_t(kept));
            linearPos_ += kept;
            done_ = linearPos_ == total_;
            return;
        }
        while (n > 0 && !done_) {
            const int run = std::min(n, width_ - x_);
            if (row_ < keptHeight_ && x_ < keptWidth_)
                std::memcpy(out_ + static_cast<long long>(row_) * keptWidth_ + x_, s, std::size_t(std::min(run, keptWidth_ - x_)));
            x_ += run;
            s += run;
            n -= run;
            if (x_ == width_) {
                x_ = 0;
                NextRow();
            }
        }
    }

private:
    void NextRow()
    {
        if (!interlaced_) {
            done_ = ++row_ >= height_;
            return;
        }
        static constexpr int Start[4] = {0, 4, 2, 1};
        static constexpr int Step[4] = {8, 8, 4, 2};
        // After the fourth pass the order starts again with the first; row 0 always exists.
        row_ += Step[pass_];
        while (row_ >= height_) {
            pass_ = (pass_ + 1) % 4;
            row_ = Start[pass_];
        }
    }

    std::uint8_t* out_;
    int width_, height_, keptWidth_, keptHeight_;
    bool interlaced_, linear_;
    long long total_;
    long long linearPos_ = 0;
    int x_ = 0, row_ = 0, pass_ = 0;
    bool done_ = false;
};

void TGif::DecodeLzw(Frame& f)
{
    f.Pixels.assign(static_cast<std::size_t>(f.KeptWidth) * std::size_t(f.KeptHeight), 0);
    const std::size_t totalBits = data_.size() * 8;
    if (totalBits == 0)
        return;
    const int m = f.MinCodeSize;
    if (m >= MaxLzwBits)
        Raise(GifError::InvalidLzwCodeSize);
    // Codes are read least significant bit first; missing bytes read as 0.
    data_.insert(data_.end(), 3, 0);
    std::size_t bitPos = 0;
    auto readCode = [&](int width) {
        const std::uint8_t* p = data_.data() + (bitPos >> 3);
        const std::uint32_t v = p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
        const int code = static_cast<int>((v >> (bitPos & 7)) & ((1u << width) - 1));
        bitPos += std::size_t(width);
        return code;
    };

    const int clear = 1 << m, end = clear + 1;
    std::uint16_t prefix[LzwTableSize];
    std::uint8_t suffix[LzwTableSize], first[LzwTableSize];
    std::uint16_t length[LzwTableSize];
    for (int c = 0; c < clear; ++c) {
        prefix[c] = 0;
        suffix[c] = first[c] = static_cast<std::uint8_t>(c);
        length[c] = 1;
    }
    int width = m + 1, next = clear + 2, limit = 1 << width;
    auto add = [&](int p, std::uint8_t s) {
        prefix[next] = static_cast<std::uint16_t>(p);
        suffix[next] = s;
        first[next] = first[p];
        length[next] = static_cast<std::uint16_t>(length[p] + 1);
        ++next;
    };

    PixelSink sink(f);
    std::uint8_t stack[LzwTableSize];
    auto emit = [&](int code) {
        if (sink.Done())
            return;
        const int n = length[code];
        std::uint8_t* at = sink.Direct(n);
        std::uint8_t* out = at ? at : stack;
        for (int i = n - 1; i >= 0; --i) {
            out[i] = suffix[code];
            code = prefix[code];
        }
        if (!at)
            sink.Put(stack, n);
    };

    // The table is only set up by a clear code, so the data must begin with one; a first code of 0 decodes as
    // if a clear code had come before it.
    int code = readCode(width);
    if (code != clear && code != 0)
        Raise(GifError::InvalidLzwData);
    bool afterClear = true, pending = code == 0;
    int prev = 0;
    for (;;) {
        if (!pending) {
            if (bitPos >= totalBits)
                return;
            code = readCode(width);
        }
        pending = false;
        if (code == clear) {
            width = m + 1;
            next = clear + 2;
            limit = 1 << width;
            afterClear = true;
            continue;
        }
        if (afterClear) {
            if (code == end)
                Raise(GifError::InvalidLzwData);
            if (code >= next)
                code = 0;
            emit(code);
            prev = code;
            afterClear = false;
            continue;
        }
        if (code == end)
            return;
        if (code < next) {
            emit(code);
            if (next < LzwTableSize)
                add(prev, first[code]);
        } else if (code == next) {
            add(prev, first[prev]);
            emit(code);
        } else {
            Raise(GifError::InvalidLzwData);
        }
        prev = code;
        if (next >= limit && width < MaxLzwBits) {
            limit <<= 1;
            ++width;
        }
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Frame properties

const TGif::Frame& TGif::FrameAt(int i) const
{
    if (i < 0 || i >= FrameCount())
        Raise(GifError::ValueOutOfRange);
    return frames_[std::size_t(i)];
}

bool TGif::HasTransparency() const
{
    return std::any_of(frames_.begin(), frames_.end(), [](const Frame& f) { return f.Control && f.Control->Transparent; });
}

int TGif::FrameDelay(int i) const
{
    const Frame& f = FrameAt(i);
    return f.Control && f.Control->Delay > 0 ? f.Control->Delay : 1;
}

int TGif::FrameDisposal(int i) const
{
    const Frame& f = FrameAt(i);
    return f.Control ? f.Control->Disposal & 3 : 0;
}

int TGif::FrameTransparentIndex(int i) const
{
    const Frame& f = FrameAt(i);
    return f.Control && f.Control->Transparent ? f.Control->TransparentIndex : -1;
}

int TGif::FrameLeft(int i) const { return FrameAt(i).Left; }
int TGif::FrameTop(int i) const { return FrameAt(i).Top; }
int TGif::FrameWidth(int i) const { return FrameAt(i).Width; }
int TGif::FrameHeight(int i) const { return FrameAt(i).Height; }

// ---------------------------------------------------------------------------------------------------------------
// The strip

platform::Bitmap TGif::BuildStrip(std::optional<platform::Mask>& mask) const
{
    mask.reset();
    if (frames_.empty())
        Raise(GifError::NoImageDescription);
    const bool masked = HasTransparency();
    const int n = FrameCount();
    CheckStripSize(n, masked);
    const int W = screen_.Width, H = screen_.Height;
    if (W == 0 || H == 0)
        Raise(GifError::ZeroSize);

    platform::Bitmap strip = platform::UnfilledBitmap(W * n, H); // every block is written whole below
    if (strip.IsEmpty())
        Raise(GifError::AnimationTooLarge);
    if (masked) {
        mask.emplace(W * n, H);
        if (mask->IsEmpty())
            Raise(GifError::AnimationTooLarge);
    }

    // Each frame is drawn over the composite of the ones before it, which then becomes its block of the strip.
    // Before any frame the screen is black and, with a mask, transparent.
    std::vector<std::uint32_t> colour(std::size_t(W) * std::size_t(H), platform::RowPixel(0x000000));
    std::vector<std::uint8_t> clear(masked ? std::size_t(W) * std::size_t(H) : 0, 1);
    for (int i = 0; i < n; ++i) {
        const Frame& f = frames_[std::size_t(i)];
        std::array<std::uint32_t, 256> words;
        const ColorTable& table = colorTables_[std::size_t(f.Table)];
        for (std::size_t c = 0; c < words.size(); ++c)
            words[c] = platform::RowPixel(table[c]);
        const int transparent = FrameTransparentIndex(i);
        for (int y = 0; y < f.KeptHeight; ++y) {
            const std::uint8_t* in = f.Pixels.data() + std::size_t(y) * std::size_t(f.KeptWidth);
            const std::size_t at = std::size_t(f.Top + y) * std::size_t(W) + std::size_t(f.Left);
            for (int x = 0; x < f.KeptWidth; ++x) {
                if (in[x] == transparent)
                    continue;
                colour[at + std::size_t(x)] = words[in[x]];
                if (masked)
                    clear[at + std::size_t(x)] = 0;
            }
        }

        for (int y = 0; y < H; ++y) {
            std::memcpy(platform::BitmapRow(strip, y) + std::size_t(i) * std::size_t(W), colour.data() + std::size_t(y) * std::size_t(W),
                        std::size_t(W) * sizeof(std::uint32_t));
            if (!masked)
                continue;
            OrFlagsIntoBits(clear.data() + std::size_t(y) * std::size_t(W), W, platform::MaskRow(*mask, y), i * W);
        }

        // Disposal to the background (and to the previous picture, which the strip treats alike) clears the
        // frame's rectangle in the mask of the next block; the colours stay, hidden by the mask. Without a mask
        // there is nothing to clear.
        const int disposal = FrameDisposal(i);
        if (masked && (disposal == 2 || disposal == 3))
            for (int y = 0; y < f.KeptHeight; ++y)
                std::fill_n(clear.begin() + std::ptrdiff_t((std::size_t(f.Top + y) * std::size_t(W) + std::size_t(f.Left))), f.KeptWidth, 1);
    }
    return strip;
}

} // namespace lantern
