#include "clsframe.h"

#include "clsgif.h"

bool clsFrame::LoadNext(clsGIF& gif)
{
    std::optional<QImage> bitmap = gif.NextFrame();
    if (!bitmap) {
        m_bitmap = QImage();
        return false;
    }
    m_bitmap = std::move(*bitmap);
    m_mask = gif.NextMask();
    m_delayMs = gif.DelayMS();
    return true;
}
