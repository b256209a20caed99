#pragma once

#include <QImage>

// Pixel memory for decoded pictures, handed back and reused once the last
// QImage on it is gone. A fresh 640 x 480 picture is some six hundred new
// pages, and the page faults cost more than decoding the picture into them;
// the decoder makes two such pictures each time a GIF starts over, which the
// animations do at every loop.
namespace FrameBuffers {

// An RGB32 picture of that size with undefined contents; null when the size
// is empty or too large.
QImage make(int width, int height);

// How many bytes wait for reuse now (for the tests).
qsizetype pooledBytes();

} // namespace FrameBuffers
