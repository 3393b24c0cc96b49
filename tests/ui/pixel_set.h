#pragma once
// Reading back what a drawing call did to an image: the set of pixels that
// are not the background any more.

#include <QImage>
#include <QPoint>

#include <set>
#include <utility>

using PixelSet = std::set<std::pair<int, int>>;

inline QImage BlankImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

inline PixelSet PixelsOfColour(const QImage& image, QRgb colour) {
    PixelSet pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                pixels.insert({x, y});
    return pixels;
}

// The filled rectangle with both corners inclusive.
inline PixelSet Block(int x1, int y1, int x2, int y2) {
    PixelSet pixels;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            pixels.insert({x, y});
    return pixels;
}

// The outline with both corners inclusive, clipped to the image.
inline PixelSet FramePixels(int x1, int y1, int x2, int y2, int w, int h) {
    PixelSet pixels;
    auto add = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            pixels.insert({x, y});
    };
    for (int x = std::min(x1, x2); x <= std::max(x1, x2); ++x) {
        add(x, y1);
        add(x, y2);
    }
    for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y) {
        add(x1, y);
        add(x2, y);
    }
    return pixels;
}
