#pragma once

#include "clsgif.h"

#include <QImage>

#include <vector>

// Every frame of a GIF as decoded by clsGIF, and the error that ended it.
struct DecodedGif
{
    struct Frame
    {
        QImage image;
        QImage mask;
        int delayMs = 0;
    };
    std::vector<Frame> frames;
    GifError error = GifError::None;
};

inline DecodedGif decodeAll(const QByteArray& data)
{
    DecodedGif out;
    clsGIF gif;
    gif.setGIFdata(data);
    out.error = gif.Reset();
    while (out.error == GifError::None) {
        std::optional<QImage> image = gif.NextFrame();
        if (!image) {
            out.error = gif.error();
            break;
        }
        out.frames.push_back({*image, gif.NextMask(), gif.DelayMS()});
    }
    return out;
}

// Pixel helpers: colour without alpha, and whether the mask is opaque there.
inline QRgb colourAt(const QImage& img, int x, int y)
{
    return img.pixel(x, y) & 0xffffff;
}
inline bool opaqueAt(const QImage& mask, int x, int y)
{
    return (mask.pixel(x, y) & 0xffffff) == 0xffffff;
}
