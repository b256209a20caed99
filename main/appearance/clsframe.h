#pragma once

#include <QImage>

class clsGIF;

// One decoded frame: the composited picture of the whole logical screen, its
// mask (white = opaque) and its delay.
class clsFrame
{
public:
    // Takes the next frame of `gif`; false (and no picture) when the GIF has
    // no frame left or its data are faulty (gif.error() tells which).
    bool LoadNext(clsGIF& gif);

    bool hasBitmap() const { return !m_bitmap.isNull(); }
    const QImage& Bitmap() const { return m_bitmap; }
    const QImage& Mask() const { return m_mask; }
    int DelayMS() const { return m_delayMs; }
    // Lets go of the picture and mask (the delay stays), once the caller has
    // made what it shows of them.
    void releasePictures()
    {
        m_bitmap = QImage();
        m_mask = QImage();
    }

private:
    QImage m_bitmap;
    QImage m_mask;
    int m_delayMs = 0;
};
