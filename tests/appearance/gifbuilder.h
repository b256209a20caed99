#pragma once

#include <QByteArray>
#include <QRgb>
#include <QVector>

#include <cstdint>
#include <vector>

// Writes GIF files byte by byte for the decoder tests, including the odd
// corners an ordinary encoder never produces: any minimum code size, any
// sub-block size, clear codes at chosen places, a missing end code.
class GifBuilder
{
public:
    struct Frame
    {
        int left = 0, top = 0, width = 0, height = 0;
        std::vector<uint8_t> indexes; // width * height, rows in display order
        QVector<QRgb> localPalette;   // empty: use the global one
        bool interlaced = false;
        bool withControl = false; // write a graphic control extension
        int disposal = 0;
        int delayCs = 0;
        int transparent = -1;
        int minCodeSize = 0; // 0: derived from the palette size
        int subBlock = 255;  // data sub-block length
        int clearEvery = 0;  // extra clear code after this many codes, 0: never
        bool endCode = true;
    };

    GifBuilder(int width, int height, QVector<QRgb> globalPalette = {},
               const char* signature = "GIF89a");
    void add(const Frame& frame);
    // Bytes so far plus the trailer.
    QByteArray bytes() const;

    // A palette of n distinct colours (colour i is qRgb(i, 255 - i, i * 7)).
    static QVector<QRgb> palette(int n);
    // The LZW data (code size byte and sub-blocks) of one image.
    static QByteArray lzw(const std::vector<uint8_t>& indexes, int minCodeSize, int subBlock,
                          int clearEvery, bool endCode);

private:
    static void putPalette(QByteArray& out, const QVector<QRgb>& palette);
    static int paletteBits(int entries);

    QByteArray m_out;
};
