// Small helpers for pixel tests: a white image to paint on and questions about what got painted.
#pragma once

#include <QImage>

#include "common/Types.h"

namespace lantern::platform::test {

inline QImage WhiteImage(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

inline bool Inked(const QImage& img, int x, int y)
{
    return (img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
}

// The smallest rectangle holding every non-white pixel (empty when there is none).
inline Rect InkBounds(const QImage& img)
{
    Rect r{img.width(), img.height(), 0, 0};
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Inked(img, x, y)) {
                r.left = std::min(r.left, x);
                r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1);
                r.bottom = std::max(r.bottom, y + 1);
            }
    return r.IsEmpty() ? Rect{} : r;
}

} // namespace lantern::platform::test
