#pragma once

#include <QByteArray>
#include <QImage>

#include <vector>

// giflib as the reference decoder: DGifSlurp reads every image, and the
// frames are composited the way clsGIF does it (accumulating colour and
// mask, disposal 2 clears the mask of the frame's area, indexes beyond a
// short colour table are black).
struct GiflibFrames
{
    struct Frame
    {
        QImage image; // 0xffRRGGBB
        QImage mask;  // 0xffffffff opaque, 0xff000000 transparent
        int delayMs = 0;
    };
    std::vector<Frame> frames;
    bool ok = false;   // DGifSlurp succeeded
    int errorCode = 0; // giflib's error code otherwise
};

// keepFrames false composites without copying each frame out (for timing).
GiflibFrames giflibDecode(const QByteArray& data, bool keepFrames = true);
