#include "gifbuilder.h"

#include <algorithm>
#include <map>

namespace {

void put16(QByteArray& out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

// Packs codes least significant bit first.
struct BitWriter
{
    QByteArray data;
    uint32_t acc = 0;
    int bits = 0;
    void put(int code, int size)
    {
        acc |= uint32_t(code) << bits;
        bits += size;
        while (bits >= 8) {
            data.append(char(acc & 0xff));
            acc >>= 8;
            bits -= 8;
        }
    }
    void flush()
    {
        if (bits > 0)
            data.append(char(acc & 0xff));
        acc = 0;
        bits = 0;
    }
};

} // namespace

GifBuilder::GifBuilder(int width, int height, QVector<QRgb> globalPalette, const char* signature)
{
    m_out.append(signature, 6);
    put16(m_out, width);
    put16(m_out, height);
    if (globalPalette.isEmpty())
        m_out.append(char(0));
    else
        m_out.append(char(0x80 | 0x70 | (paletteBits(globalPalette.size()) - 1)));
    m_out.append(char(0)); // background
    m_out.append(char(0)); // aspect
    putPalette(m_out, globalPalette);
}

int GifBuilder::paletteBits(int entries)
{
    int bits = 1;
    while ((1 << bits) < entries)
        ++bits;
    return bits;
}

void GifBuilder::putPalette(QByteArray& out, const QVector<QRgb>& palette)
{
    if (palette.isEmpty())
        return;
    const int entries = 1 << paletteBits(palette.size());
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
}

QVector<QRgb> GifBuilder::palette(int n)
{
    QVector<QRgb> p;
    for (int i = 0; i < n; ++i)
        p << qRgb(i & 0xff, 255 - (i & 0xff), (i * 7) & 0xff);
    return p;
}

void GifBuilder::add(const Frame& f)
{
    if (f.withControl) {
        m_out.append("\x21\xF9\x04", 3);
        m_out.append(char((f.disposal << 2) | (f.transparent >= 0 ? 1 : 0)));
        put16(m_out, f.delayCs);
        m_out.append(char(f.transparent >= 0 ? f.transparent : 0));
        m_out.append(char(0));
    }
    m_out.append(char(0x2C));
    put16(m_out, f.left);
    put16(m_out, f.top);
    put16(m_out, f.width);
    put16(m_out, f.height);
    int packed = f.interlaced ? 0x40 : 0;
    if (!f.localPalette.isEmpty())
        packed |= 0x80 | (paletteBits(f.localPalette.size()) - 1);
    m_out.append(char(packed));
    putPalette(m_out, f.localPalette);

    std::vector<uint8_t> stored = f.indexes;
    if (f.interlaced) {
        stored.clear();
        static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < f.height; y += step[pass])
                stored.insert(stored.end(), f.indexes.begin() + y * f.width,
                              f.indexes.begin() + (y + 1) * f.width);
    }
    int minCodeSize = f.minCodeSize;
    if (minCodeSize == 0) {
        const int entries = f.localPalette.isEmpty() ? 256 : f.localPalette.size();
        minCodeSize = std::max(2, paletteBits(entries));
    }
    m_out.append(lzw(stored, minCodeSize, f.subBlock, f.clearEvery, f.endCode));
}

QByteArray GifBuilder::lzw(const std::vector<uint8_t>& indexes, int minCodeSize, int subBlock,
                           int clearEvery, bool endCode)
{
    // A plain LZW encoder: the dictionary grows to 4096 entries and then
    // stays (deferred clear), unless clearEvery asks for clear codes.
    const int clear = 1 << minCodeSize;
    BitWriter w;
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    std::map<std::pair<int, int>, int> dict;
    w.put(clear, codeSize);
    int written = 0;
    int prefix = -1;
    auto putCode = [&](int code) {
        w.put(code, codeSize);
        ++written;
    };
    auto reset = [&] {
        w.put(clear, codeSize);
        dict.clear();
        next = clear + 2;
        codeSize = minCodeSize + 1;
    };
    for (uint8_t px : indexes) {
        const int c = px;
        if (prefix < 0) {
            prefix = c;
            continue;
        }
        auto it = dict.find({prefix, c});
        if (it != dict.end()) {
            prefix = it->second;
            continue;
        }
        putCode(prefix);
        if (next < 4096) {
            dict[{prefix, c}] = next++;
            // The decoder makes its entries one code later than the encoder,
            // so it widens its codes when this count passes the limit.
            if (next > (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        prefix = c;
        if (clearEvery > 0 && written % clearEvery == 0)
            reset();
    }
    if (prefix >= 0)
        putCode(prefix);
    if (endCode)
        w.put(clear + 1, codeSize);
    w.flush();

    QByteArray out;
    out.append(char(minCodeSize));
    for (qsizetype i = 0; i < w.data.size(); i += subBlock) {
        const qsizetype n = std::min<qsizetype>(subBlock, w.data.size() - i);
        out.append(char(n));
        out.append(w.data.mid(i, n));
    }
    out.append(char(0));
    return out;
}

QByteArray GifBuilder::bytes() const
{
    return m_out + QByteArray(1, char(0x3B));
}
