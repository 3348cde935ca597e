// GIF files made on the spot for tests, benchmarks and fuzz seeds. Two encoders: WriteGif lays every block out
// by hand with plain LZW (one literal code per pixel, a clear code before the table would widen the codes), so a
// test can place odd blocks exactly where it wants them; GiflibGif compresses with giflib, the reference encoder,
// so real LZW streams (long strings, a full table, the encoder's own clear codes) reach the decoder.
#pragma once

#include "common/Types.h"

#include <gif_lib.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace lantern::testsupport {

using Bytes = std::vector<std::uint8_t>;

struct GifFrame {
    int Left = 0, Top = 0, Width = 1, Height = 1;
    std::vector<std::uint8_t> Pixels; // colour indices, row-major from the top
    int Delay = 0;                    // hundredths
    int Disposal = 0;
    int Transparent = -1;
    bool Interlaced = false;
    bool Control = true; // write a graphic control extension
    std::vector<Color> LocalTable;
};

struct GifPlan {
    std::string Signature = "GIF89a";
    int Width = 1, Height = 1;
    std::vector<Color> GlobalTable = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00};
    int Loop = -1; // a NETSCAPE block when 0 or more
    std::vector<GifFrame> Frames;
    std::map<std::size_t, Bytes> Before; // raw bytes written before frame i (i = frame count: before the trailer)
    bool Trailer = true;
    int MinCodeSize = 0; // 0: from the table size
};

// The rows of an image in the order a file stores them.
inline std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> rows;
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            rows.push_back(y);
    return rows;
}

// Colour indices in runs of 1 to maxRun equal ones: long strings for the encoder to find, and enough noise to
// fill its table.
inline std::vector<std::uint8_t> RunsOfIndices(std::size_t n, int colours, unsigned seed, unsigned maxRun)
{
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n;) {
        const std::size_t run = std::min<std::size_t>(n - i, rng() % maxRun + 1);
        const auto value = std::uint8_t(rng() % unsigned(colours));
        for (std::size_t k = 0; k < run; ++k)
            v[i++] = value;
    }
    return v;
}

// A colour table whose entries all differ.
inline std::vector<Color> DistinctPalette(int colours)
{
    std::vector<Color> table;
    for (int i = 0; i < colours; ++i)
        table.push_back(Color(i * 37 % 256) | Color(i * 91 % 256) << 8 | Color(i * 13 % 256) << 16);
    return table;
}

namespace detail {

inline void Word(Bytes& out, int v)
{
    out.push_back(std::uint8_t(v & 0xFF));
    out.push_back(std::uint8_t((v >> 8) & 0xFF));
}

inline int TableBits(std::size_t entries)
{
    int bits = 1;
    while ((std::size_t(1) << bits) < entries && bits < 8)
        ++bits;
    return bits;
}

inline void Table(Bytes& out, const std::vector<Color>& table)
{
    const std::size_t n = std::size_t(1) << TableBits(table.size());
    for (std::size_t i = 0; i < n; ++i) {
        const Color c = i < table.size() ? table[i] : 0;
        out.push_back(std::uint8_t(c & 0xFF));
        out.push_back(std::uint8_t((c >> 8) & 0xFF));
        out.push_back(std::uint8_t((c >> 16) & 0xFF));
    }
}

inline void SubBlocks(Bytes& out, const Bytes& data)
{
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), data.begin() + std::ptrdiff_t(i), data.begin() + std::ptrdiff_t(i + n));
    }
    out.push_back(0);
}

// Every pixel as a literal code; a clear code every 2^m - 2 literals keeps the code width at m + 1.
inline Bytes PlainLzw(const std::vector<std::uint8_t>& indices, int m)
{
    Bytes out;
    std::uint32_t acc = 0;
    int bits = 0;
    const int width = m + 1, clear = 1 << m;
    auto put = [&](int code) {
        acc |= std::uint32_t(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.push_back(std::uint8_t(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    const int run = std::max(1, (1 << m) - 2);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % std::size_t(run) == 0)
            put(clear);
        put(indices[i] & (clear - 1));
    }
    if (indices.empty())
        put(clear);
    put(clear + 1);
    if (bits > 0)
        out.push_back(std::uint8_t(acc & 0xFF));
    return out;
}

} // namespace detail

inline Bytes GraphicControl(int disposal, int delay, int transparent)
{
    Bytes b = {0x21, 0xF9, 4, std::uint8_t(((disposal & 7) << 2) | (transparent >= 0 ? 1 : 0))};
    detail::Word(b, delay);
    b.push_back(std::uint8_t(transparent >= 0 ? transparent : 0));
    b.push_back(0);
    return b;
}

inline Bytes WriteGif(const GifPlan& plan)
{
    Bytes out(plan.Signature.begin(), plan.Signature.end());
    detail::Word(out, plan.Width);
    detail::Word(out, plan.Height);
    const bool global = !plan.GlobalTable.empty();
    out.push_back(std::uint8_t(global ? 0x80 | (detail::TableBits(plan.GlobalTable.size()) - 1) : 0));
    out.push_back(0);
    out.push_back(0);
    if (global)
        detail::Table(out, plan.GlobalTable);
    if (plan.Loop >= 0) {
        const Bytes app = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1,
                           std::uint8_t(plan.Loop & 0xFF), std::uint8_t(plan.Loop >> 8), 0};
        out.insert(out.end(), app.begin(), app.end());
    }
    for (std::size_t i = 0; i <= plan.Frames.size(); ++i) {
        if (auto it = plan.Before.find(i); it != plan.Before.end())
            out.insert(out.end(), it->second.begin(), it->second.end());
        if (i == plan.Frames.size())
            break;
        const GifFrame& f = plan.Frames[i];
        if (f.Control) {
            const Bytes gce = GraphicControl(f.Disposal, f.Delay, f.Transparent);
            out.insert(out.end(), gce.begin(), gce.end());
        }
        out.push_back(0x2C);
        detail::Word(out, f.Left);
        detail::Word(out, f.Top);
        detail::Word(out, f.Width);
        detail::Word(out, f.Height);
        const bool local = !f.LocalTable.empty();
        out.push_back(std::uint8_t((local ? 0x80 | (detail::TableBits(f.LocalTable.size()) - 1) : 0) | (f.Interlaced ? 0x40 : 0)));
        if (local)
            detail::Table(out, f.LocalTable);
        const int m = plan.MinCodeSize ? plan.MinCodeSize
                                       : std::max(2, detail::TableBits(local ? f.LocalTable.size() : plan.GlobalTable.size()));
        out.push_back(std::uint8_t(m));
        std::vector<std::uint8_t> stored;
        for (int y : RowOrder(f.Height, f.Interlaced))
            for (int x = 0; x < f.Width; ++x)
                stored.push_back(f.Pixels.empty() ? 0 : f.Pixels[std::size_t(y) * std::size_t(f.Width) + std::size_t(x)]);
        detail::SubBlocks(out, detail::PlainLzw(stored, m));
    }
    if (plan.Trailer)
        out.push_back(0x3B);
    return out;
}

// The same frames compressed by giflib (global table only; the frames' own tables are not written).
inline Bytes GiflibGif(const GifPlan& plan)
{
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, [](GifFileType* g, const GifByteType* data, int n) {
        auto* bytes = static_cast<Bytes*>(g->UserData);
        bytes->insert(bytes->end(), data, data + n);
        return n;
    }, &error);
    if (!gif)
        return {};
    const int bits = detail::TableBits(plan.GlobalTable.size());
    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    for (int i = 0; i < (1 << bits); ++i) {
        const Color c = std::size_t(i) < plan.GlobalTable.size() ? plan.GlobalTable[std::size_t(i)] : 0;
        map->Colors[i] = GifColorType{GifByteType(c & 0xFF), GifByteType((c >> 8) & 0xFF), GifByteType((c >> 16) & 0xFF)};
    }
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, plan.Width, plan.Height, bits, 0, map);
    for (const GifFrame& f : plan.Frames) {
        if (f.Control) {
            const Bytes gce = GraphicControl(f.Disposal, f.Delay, f.Transparent);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce.data() + 3);
        }
        EGifPutImageDesc(gif, f.Left, f.Top, f.Width, f.Height, f.Interlaced, nullptr);
        std::vector<GifPixelType> row(std::size_t(f.Width));
        for (int y : RowOrder(f.Height, f.Interlaced)) {
            for (int x = 0; x < f.Width; ++x)
                row[std::size_t(x)] = f.Pixels[std::size_t(y) * std::size_t(f.Width) + std::size_t(x)];
            EGifPutLine(gif, row.data(), f.Width);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

// A still picture of 16 colours in runs, as small page pictures are, with colour 0 transparent when asked.
inline Bytes NoisyStillGif(int width, int height, unsigned seed, bool transparent)
{
    GifPlan plan;
    plan.Width = width;
    plan.Height = height;
    plan.GlobalTable = DistinctPalette(16);
    GifFrame f;
    f.Width = width;
    f.Height = height;
    f.Transparent = transparent ? 0 : -1;
    f.Pixels = RunsOfIndices(std::size_t(width) * std::size_t(height), 16, seed, 40);
    plan.Frames = {f};
    return GiflibGif(plan);
}

} // namespace lantern::testsupport
