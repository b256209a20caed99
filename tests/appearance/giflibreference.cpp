#include "giflibreference.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace {

struct Reader
{
    const QByteArray* data;
    qsizetype pos = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int n)
{
    auto* r = static_cast<Reader*>(gif->UserData);
    const int len = int(std::min<qsizetype>(n, r->data->size() - r->pos));
    std::memcpy(out, r->data->constData() + r->pos, size_t(len));
    r->pos += len;
    return len;
}

} // namespace

GiflibFrames giflibDecode(const QByteArray& data, bool keepFrames)
{
    GiflibFrames out;
    Reader reader{&data};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readFromMemory, &error);
    if (!gif) {
        out.errorCode = error;
        return out;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        out.errorCode = gif->Error;
        DGifCloseFile(gif, &error);
        return out;
    }
    out.ok = true;
    const int w = gif->SWidth, h = gif->SHeight;
    QImage image(w, h, QImage::Format_RGB32);
    QImage mask(w, h, QImage::Format_RGB32);
    image.fill(0xff000000u);
    mask.fill(0xff000000u);
    int prevDisposal = 0;
    GifImageDesc prev{};
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& s = gif->SavedImages[i];
        auto* img = reinterpret_cast<quint32*>(image.bits());
        auto* msk = reinterpret_cast<quint32*>(mask.bits());
        if (prevDisposal == DISPOSE_BACKGROUND) {
            for (int y = std::max(prev.Top, 0); y < std::min(prev.Top + prev.Height, h); ++y)
                for (int x = std::max(prev.Left, 0); x < std::min(prev.Left + prev.Width, w); ++x)
                    msk[y * w + x] = 0xff000000u;
        }
        GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif, i, &gcb);
        const ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : gif->SColorMap;
        quint32 palette[256];
        for (int c = 0; c < 256; ++c) {
            palette[c] = 0xff000000u;
            if (map && c < map->ColorCount) {
                const GifColorType& col = map->Colors[c];
                palette[c] |= (quint32(col.Red) << 16) | (quint32(col.Green) << 8) | col.Blue;
            }
        }
        const GifImageDesc& d = s.ImageDesc;
        for (int y = 0; y < d.Height; ++y) {
            const int sy = d.Top + y;
            if (sy >= h)
                break;
            const GifByteType* row = s.RasterBits + size_t(y) * d.Width;
            for (int x = 0; x < d.Width; ++x) {
                const int sx = d.Left + x;
                if (sx >= w)
                    break;
                if (row[x] != gcb.TransparentColor) {
                    img[sy * w + sx] = palette[row[x]];
                    msk[sy * w + sx] = 0xffffffffu;
                }
            }
        }
        if (keepFrames)
            out.frames.push_back({image.copy(), mask.copy(), gcb.DelayTime * 10});
        prevDisposal = gcb.DisposalMode;
        prev = d;
    }
    DGifCloseFile(gif, &error);
    return out;
}
