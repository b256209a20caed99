#pragma once

#include "giferror.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

// Holds the bytes of one GIF file (GIF87a or GIF89a) and hands out its frames
// one at a time, each already composited onto the logical screen: a 32-bit
// colour picture and a black-and-white mask (white = opaque), plus the
// frame's delay. Both pictures accumulate over the frames, so a transparent
// pixel shows what earlier frames left there; disposal 2 makes a frame's area
// transparent again before the next frame is drawn.
//
// Decoding is lazy and costs one pass over a frame's pixels: LZW codes are
// expanded into an index buffer and then written through the palette straight
// into the persistent screen buffers (for a first frame that covers the whole
// screen, the screen buffers hold the codes and indexes too). A returned picture shares its pixels
// with those buffers until the next frame is drawn (Qt's implicit sharing),
// so a caller that keeps frames pays one copy per frame, and one that does
// not pays nothing.
//
// Interlaced images are put back into display order (an image shown in its
// stored row order would be scrambled).
class clsGIF
{
public:
    clsGIF();
    ~clsGIF();
    clsGIF(const clsGIF&) = delete;
    clsGIF& operator=(const clsGIF&) = delete;

    // Reads the whole file; Unreadable when it cannot be read. A file whose
    // header already refuses it is not read further.
    GifError LoadFile(const QString& fileName);
    const QByteArray& GIFdata() const { return m_data; }
    void setGIFdata(const QByteArray& data);

    // Reads the header and clears the screen buffers; must precede the first
    // NextFrame. Afterwards Width and Height describe the logical screen.
    GifError Reset();

    // The next composited frame, or nothing when the trailer was reached or
    // the data are faulty (error() tells which). After a frame, NextMask and
    // DelayMS describe the same frame. After the end or an error, nothing
    // more until Reset.
    std::optional<QImage> NextFrame();

    const QImage& NextMask() const { return m_nextMask; }
    int DelayMS() const { return m_delayMs; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    GifError error() const { return m_error; }
    bool ended() const { return m_ended; }

    // Screens wider or taller than kMaxSide, and screens and images of more
    // than kMaxPixels, are refused (BadScreenSize, BadFrameSize): real
    // animations, photographs included, pass, while a 20-byte file cannot ask
    // for gigabytes.
    static constexpr int kMaxSide = 16384;
    static constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;

    // Checks what the first 13 bytes of a GIF say: the signature and the
    // logical screen's size. LoadFile looks at them before it reads the rest.
    static GifError checkHeader(const QByteArray& data);

private:
    struct Rect
    {
        int left = 0, top = 0, width = 0, height = 0;
    };

    GifError fail(GifError error);
    bool need(qsizetype n) const { return m_size - m_pos >= n; }
    int u16(qsizetype at) const { return m_bytes[at] | (m_bytes[at + 1] << 8); }

    GifError readExtension();
    GifError readPalette(int packed, std::array<quint32, 256>& palette);
    GifError decodeImage(const Rect& frame, bool interlaced, const quint32* palette);
    GifError skipSubBlocks();
    // Past a chain of sub-blocks known to be complete, terminator included.
    qsizetype skipGathered(qsizetype at) const;
    void disposeToBackground(const Rect& area);
    // Makes both screen buffers black and transparent, once after Reset.
    void clear();
    void composite(const Rect& frame, bool interlaced, const quint32* palette, qint64 count);
    // Draws a first frame covering the whole screen whose indexes were
    // expanded into the picture's last quarter.
    void compositeInPlace(const quint32* palette, qint64 count);

    QByteArray m_data;
    const quint8* m_bytes = nullptr;
    qsizetype m_size = 0;
    qsizetype m_pos = 0;

    int m_width = 0;
    int m_height = 0;
    bool m_hasGlobal = false;
    std::array<quint32, 256> m_global{};
    std::array<quint32, 256> m_local{};

    QImage m_image; // composited colours, 0xffRRGGBB
    QImage m_mask;  // 0xffffffff opaque, 0xff000000 transparent
    QImage m_nextMask;
    bool m_cleared = true; // false: the screen buffers still wait for clear()

    Rect m_previous; // area of the frame last decoded
    int m_previousDisposal = 0;
    int m_disposal = 0;     // disposal method of the frame being decoded
    int m_transparent = -1; // colour index drawn as transparent, -1 for none
    int m_delayMs = 0;
    bool m_ended = true;
    GifError m_error = GifError::None;

    // The current image's data sub-blocks joined, reused between frames
    // (left unset: every byte used is copied in first).
    std::unique_ptr<quint8[]> m_codes;
    qsizetype m_codesCapacity = 0;
    // LZW output of the current image, one byte per pixel, reused between frames.
    std::unique_ptr<quint8[]> m_indexes;
    qint64 m_indexCapacity = 0;
};
