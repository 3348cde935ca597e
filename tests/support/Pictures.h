// Pictures for page tests, made on the spot and named inline by data: urls, so a page needs no files.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "tests/support/GifWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <string>
#include <vector>

namespace lantern::testsupport {

inline std::string DataUrl(const char* type, const QByteArray& bytes)
{
    return std::string("data:image/") + type + ";base64," + bytes.toBase64().toStdString();
}

// A PNG of one colour (0x00BBGGRR).
inline std::string PngUrl(int width, int height, Color color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return DataUrl("png", bytes);
}

// A GIF of `frames` frames, frame i filled with colour i of the plan's table (black, white, red, green, black
// ...), each shown `delay` hundredths, looping endlessly.
inline std::string AnimatedGifUrl(int width, int height, int frames, int delay = 10)
{
    GifPlan plan;
    plan.Width = width;
    plan.Height = height;
    plan.Loop = 0;
    for (int i = 0; i < frames; ++i) {
        GifFrame f;
        f.Width = width;
        f.Height = height;
        f.Pixels.assign(std::size_t(width * height), std::uint8_t(i % 4));
        f.Delay = delay;
        plan.Frames.push_back(f);
    }
    const Bytes gif = WriteGif(plan);
    return DataUrl("gif", QByteArray(reinterpret_cast<const char*>(gif.data()), qsizetype(gif.size())));
}

} // namespace lantern::testsupport
