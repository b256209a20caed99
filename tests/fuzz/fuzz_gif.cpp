// Feeds arbitrary bytes to the GIF decoder and walks every frame. Whatever
// the input, decoding must end with the trailer or a typed error, frames
// must be screen-sized, and nothing may read or write out of bounds.
#include "clsframe.h"
#include "clsgif.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    clsGIF gif;
    gif.setGIFdata(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (gif.Reset() != GifError::None)
        return 0;
    const QSize screen(gif.Width(), gif.Height());
    for (;;) {
        clsFrame frame;
        if (!frame.LoadNext(gif))
            break;
        if (frame.Bitmap().size() != screen || frame.Mask().size() != screen || frame.DelayMS() < 0)
            std::abort();
        // Touch the pixels so a bad buffer shows up under the sanitizers.
        volatile quint32 sink = frame.Bitmap().pixel(screen.width() - 1, screen.height() - 1) ^
                                frame.Mask().pixel(0, 0);
        (void)sink;
    }
    if (!gif.ended())
        std::abort();
    return 0;
}
