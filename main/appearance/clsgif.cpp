#include "clsgif.h"
#include "framebuffers.h"

#include "gifcodes.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace {

constexpr quint32 kOpaque = 0xffffffffu;
constexpr quint32 kTransparent = 0xff000000u;

// Stored row r of an interlaced image of height h belongs on row y: the
// four passes hold every 8th row from 0, every 8th from 4, every 4th from 2
// and every 2nd from 1.
int interlacedRow(int r, int h)
{
    const int pass1 = (h + 7) / 8;
    if (r < pass1)
        return r * 8;
    r -= pass1;
    const int pass2 = (h + 3) / 8;
    if (r < pass2)
        return 4 + r * 8;
    r -= pass2;
    const int pass3 = (h + 1) / 4;
    if (r < pass3)
        return 2 + r * 4;
    r -= pass3;
    return 1 + r * 2;
}

} // namespace

clsGIF::clsGIF() = default;
clsGIF::~clsGIF() = default;

GifError clsGIF::LoadFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(GifError::Unreadable);
    QByteArray data = file.read(13);
    // A short file is left for Reset to call truncated.
    if (const GifError e = checkHeader(data); e != GifError::None && e != GifError::Truncated)
        return fail(e);
    data += file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(GifError::Unreadable);
    setGIFdata(data);
    return GifError::None;
}

GifError clsGIF::checkHeader(const QByteArray& data)
{
    if (data.size() < 13)
        return GifError::Truncated;
    const auto* b = reinterpret_cast<const quint8*>(data.constData());
    if (std::memcmp(b, "GIF89a", 6) != 0 && std::memcmp(b, "GIF87a", 6) != 0)
        return GifError::BadSignature;
    const int width = b[6] | (b[7] << 8);
    const int height = b[8] | (b[9] << 8);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        qint64(width) * height > kMaxPixels)
        return GifError::BadScreenSize;
    return GifError::None;
}

void clsGIF::setGIFdata(const QByteArray& data)
{
    m_data = data;
    m_bytes = reinterpret_cast<const quint8*>(m_data.constData());
    m_size = m_data.size();
    m_pos = 0;
    m_ended = true; // Reset first
    m_error = GifError::None;
}

GifError clsGIF::fail(GifError error)
{
    m_error = error;
    m_ended = true;
    m_nextMask = QImage();
    return error;
}

GifError clsGIF::Reset()
{
    m_bytes = reinterpret_cast<const quint8*>(m_data.constData());
    m_size = m_data.size();
    m_pos = 0;
    m_ended = false;
    m_error = GifError::None;
    m_hasGlobal = false;
    m_previous = Rect();
    m_previousDisposal = 0;
    m_delayMs = 0;
    m_nextMask = QImage();

    if (const GifError e = checkHeader(m_data); e != GifError::None)
        return fail(e);
    m_width = u16(6);
    m_height = u16(8);
    const int packed = m_bytes[10];
    m_pos = 13;

    // The pictures of the previous run go back first, so that a GIF starting
    // over gets the same memory again.
    m_image = QImage();
    m_mask = QImage();
    m_image = FrameBuffers::make(m_width, m_height);
    m_mask = FrameBuffers::make(m_width, m_height);
    if (m_image.isNull() || m_mask.isNull())
        return fail(GifError::BadScreenSize);
    // Both start black and transparent; the clearing waits for the first
    // frame, which often covers the whole screen with opaque pixels.
    m_cleared = false;

    if (packed & 0x80) {
        if (const GifError e = readPalette(packed, m_global); e != GifError::None)
            return e;
        m_hasGlobal = true;
    }
    return GifError::None;
}

GifError clsGIF::readPalette(int packed, std::array<quint32, 256>& palette)
{
    const int entries = 1 << ((packed & 7) + 1);
    if (!need(3 * entries))
        return fail(GifError::Truncated);
    const quint8* p = m_bytes + m_pos;
    for (int i = 0; i < entries; ++i, p += 3)
        palette[i] = 0xff000000u | (quint32(p[0]) << 16) | (quint32(p[1]) << 8) | p[2];
    // Indexes beyond a short table are drawn black rather than in stale colours.
    std::fill(palette.begin() + entries, palette.end(), 0xff000000u);
    m_pos += 3 * entries;
    return GifError::None;
}

GifError clsGIF::skipSubBlocks()
{
    for (;;) {
        if (!need(1))
            return fail(GifError::Truncated);
        const int len = m_bytes[m_pos++];
        if (len == 0)
            return GifError::None;
        if (!need(len))
            return fail(GifError::Truncated);
        m_pos += len;
    }
}

GifError clsGIF::readExtension()
{
    if (!need(1))
        return fail(GifError::Truncated);
    const int label = m_bytes[m_pos++];
    if (label != 0xF9)
        return skipSubBlocks();
    if (!need(6))
        return fail(GifError::Truncated);
    const quint8* p = m_bytes + m_pos;
    if (p[0] != 4 || p[5] != 0)
        return fail(GifError::BadGraphicControl);
    const int packed = p[1];
    m_transparent = (packed & 1) ? p[4] : -1;
    m_delayMs = (p[2] | (p[3] << 8)) * 10;
    m_disposal = (packed >> 2) & 7;
    m_pos += 6;
    return GifError::None;
}

void clsGIF::disposeToBackground(const Rect& area)
{
    const int x0 = std::max(area.left, 0), x1 = std::min(area.left + area.width, m_width);
    const int y0 = std::max(area.top, 0), y1 = std::min(area.top + area.height, m_height);
    if (x0 >= x1 || y0 >= y1)
        return;
    for (int y = y0; y < y1; ++y) {
        quint32* row = reinterpret_cast<quint32*>(m_mask.scanLine(y));
        std::fill(row + x0, row + x1, kTransparent);
    }
}

std::optional<QImage> clsGIF::NextFrame()
{
    if (m_ended)
        return std::nullopt;
    // Let go of the last mask so that, when the caller kept no copy either,
    // drawing this frame does not copy the buffers.
    m_nextMask = QImage();

    // The previous frame asked for its area to be restored to the background:
    // only the mask is cleared, its colours stay behind the transparency.
    if (m_previousDisposal == 2)
        disposeToBackground(m_previous);
    m_previousDisposal = 0;

    // Disposal, delay and transparency belong to the graphic control
    // extension in front of this image; an image without one has none.
    m_transparent = -1;
    m_delayMs = 0;
    m_disposal = 0;

    for (;;) {
        if (!need(1)) {
            fail(GifError::Truncated);
            return std::nullopt;
        }
        const int introducer = m_bytes[m_pos++];
        if (introducer == 0x21) {
            if (readExtension() != GifError::None)
                return std::nullopt;
            continue;
        }
        if (introducer == 0x3B) {
            m_ended = true;
            m_nextMask = QImage();
            return std::nullopt;
        }
        if (introducer != 0x2C) {
            fail(GifError::BadBlockIntroducer);
            return std::nullopt;
        }
        break;
    }

    if (!need(9)) {
        fail(GifError::Truncated);
        return std::nullopt;
    }
    Rect frame;
    frame.left = u16(m_pos);
    frame.top = u16(m_pos + 2);
    frame.width = u16(m_pos + 4);
    frame.height = u16(m_pos + 6);
    const int packed = m_bytes[m_pos + 8];
    m_pos += 9;

    const quint32* palette = nullptr;
    if (packed & 0x80) {
        if (readPalette(packed, m_local) != GifError::None)
            return std::nullopt;
        palette = m_local.data();
    } else if (m_hasGlobal) {
        palette = m_global.data();
    } else {
        fail(GifError::NoColorTable);
        return std::nullopt;
    }

    if (decodeImage(frame, (packed & 0x40) != 0, palette) != GifError::None)
        return std::nullopt;

    m_previous = frame;
    m_previousDisposal = m_disposal;
    m_nextMask = m_mask;
    return m_image;
}

GifError clsGIF::decodeImage(const Rect& frame, bool interlaced, const quint32* palette)
{
    const qint64 total = qint64(frame.width) * frame.height;
    if (total > kMaxPixels)
        return fail(GifError::BadFrameSize);
    if (!need(1))
        return fail(GifError::Truncated);
    const int minCodeSize = m_bytes[m_pos++];
    if (minCodeSize < 2 || minCodeSize > 9)
        return fail(GifError::BadCodeSize);

    // The data sub-blocks are gathered into one run first, so the code
    // reader needs no block bookkeeping. A chain cut short keeps its
    // complete blocks: decoding goes as far as they reach and then reports
    // the file truncated, unless a faulty code comes first.
    qsizetype dataBytes = 0;
    bool chainComplete = false;
    for (qsizetype at = m_pos;;) {
        if (at >= m_size)
            break;
        const int len = m_bytes[at];
        if (len == 0) {
            chainComplete = true;
            break;
        }
        if (m_size - (at + 1) < len)
            break;
        dataBytes += len;
        at += 1 + len;
    }
    // The first frame after Reset that covers the whole screen with opaque
    // rows in order needs no buffers of its own, only the screen's, which
    // nothing has been drawn into yet: its data are gathered into the mask,
    // and its indexes are expanded into the last quarter of the picture,
    // which the colours then overwrite from the front (see compositeInPlace).
    const bool inPlace = !m_cleared && !interlaced && m_transparent < 0 && frame.left == 0 &&
                         frame.top == 0 && frame.width == m_width && frame.height == m_height;
    // Eight zero bytes behind the data let the reader load whole words.
    quint8* codes = nullptr;
    if (inPlace && dataBytes + 8 <= total * 4) {
        codes = m_mask.bits();
    } else {
        if (dataBytes + 8 > m_codesCapacity) {
            m_codes.reset(new quint8[size_t(dataBytes + 8)]);
            m_codesCapacity = dataBytes + 8;
        }
        codes = m_codes.get();
    }
    {
        quint8* dst = codes;
        qsizetype at = m_pos;
        for (qsizetype left = dataBytes; left > 0;) {
            const int len = m_bytes[at];
            std::memcpy(dst, m_bytes + at + 1, size_t(len));
            dst += len;
            left -= len;
            at += 1 + len;
        }
        std::memset(dst, 0, 8);
    }

    quint8* begin = nullptr;
    if (inPlace) {
        begin = m_image.bits() + total * 3;
    } else {
        if (total > m_indexCapacity) {
            m_indexes.reset(new quint8[size_t(total)]);
            m_indexCapacity = total;
        }
        begin = m_indexes.get();
    }
    const LzwExpanded expanded = expandLzw(codes, dataBytes, minCodeSize, begin, begin + total);
    if (expanded.badCode)
        return fail(GifError::BadCode);

    if (expanded.outOfData && !chainComplete)
        return fail(GifError::Truncated);
    // Whatever follows the last needed code (the end code, padding, further
    // sub-blocks) is skipped up to the terminator. Encoders may put the end
    // code into a sub-block of its own, which is still a well-formed file.
    if (!chainComplete)
        return fail(GifError::Truncated);
    m_pos = skipGathered(m_pos);

    if (inPlace)
        compositeInPlace(palette, expanded.count);
    else
        composite(frame, interlaced, palette, expanded.count);
    return GifError::None;
}

void clsGIF::clear()
{
    if (m_cleared)
        return;
    m_image.fill(kTransparent);
    m_mask.fill(kTransparent);
    m_cleared = true;
}

qsizetype clsGIF::skipGathered(qsizetype at) const
{
    while (m_bytes[at] != 0)
        at += 1 + m_bytes[at];
    return at + 1;
}

void clsGIF::compositeInPlace(const quint32* palette, qint64 count)
{
    const qint64 total = qint64(m_width) * m_height;
    quint32* const image = reinterpret_cast<quint32*>(m_image.bits());
    const quint8* const indexes = m_image.constBits() + total * 3;
    // Pixel i's colour takes bytes 4i to 4i + 3, all before index i + 1 at
    // 3 * total + i + 1: a colour never covers an index still to be read.
    for (qint64 i = 0; i < count; ++i)
        image[i] = palette[indexes[i]];
    // What the data did not reach is black and transparent, as after a clear.
    std::fill(image + count, image + total, kTransparent);
    quint32* const mask = reinterpret_cast<quint32*>(m_mask.bits());
    std::fill(mask, mask + count, kOpaque);
    std::fill(mask + count, mask + total, kTransparent);
    m_cleared = true;
}

void clsGIF::composite(const Rect& frame, bool interlaced, const quint32* palette, qint64 count)
{
    // Pixels outside the logical screen are not drawn.
    const int x0 = std::max(frame.left, 0);
    const int x1 = std::min(frame.left + frame.width, m_width);
    if (frame.width == 0 || count == 0 || x0 >= x1) {
        clear();
        return;
    }
    const int rows = int((count + frame.width - 1) / frame.width);
    if (!m_cleared) {
        // An interlaced frame is whole once all its rows are in as well.
        const bool coversScreen = m_transparent < 0 && frame.left <= 0 && frame.top <= 0 &&
                                  frame.left + frame.width >= m_width &&
                                  count == qint64(frame.width) * frame.height &&
                                  frame.top + frame.height >= m_height;
        if (!coversScreen)
            clear();
        m_cleared = true;
    }
    quint32* const image = reinterpret_cast<quint32*>(m_image.bits());
    quint32* const mask = reinterpret_cast<quint32*>(m_mask.bits());
    const qsizetype stride = m_image.bytesPerLine() / 4;
    const int transparent = m_transparent;

    for (int r = 0; r < rows; ++r) {
        const int y = frame.top + (interlaced ? interlacedRow(r, frame.height) : r);
        if (y >= m_height)
            continue;
        const qint64 rowStart = qint64(r) * frame.width;
        const int rowEnd = int(std::min<qint64>(x1, frame.left + (count - rowStart)));
        const quint8* src = m_indexes.get() + rowStart + (x0 - frame.left);
        quint32* img = image + y * stride + x0;
        quint32* msk = mask + y * stride + x0;
        const int n = rowEnd - x0;
        if (transparent < 0) {
            for (int k = 0; k < n; ++k)
                img[k] = palette[src[k]];
            std::fill(msk, msk + n, kOpaque);
        } else {
            for (int k = 0; k < n; ++k) {
                const int index = src[k];
                if (index != transparent) {
                    img[k] = palette[index];
                    msk[k] = kOpaque;
                }
            }
        }
    }
}
