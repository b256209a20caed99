// gifframes FILE.gif OUTDIR: decodes a GIF with the suite's own decoder and
// writes every composited frame as OUTDIR/frame_NNN.png (the mask becomes the
// alpha channel), printing "frame_NNN.png DELAY_MS" per frame. On a format
// error the frames before it are kept, the error's name goes to stderr and
// the exit status is 1.
#include "clsgif.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FILE.gif OUTDIR\n", argv[0]);
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "cannot create %s\n", argv[2]);
        return 2;
    }

    clsGIF gif;
    GifError error = gif.LoadFile(QString::fromLocal8Bit(argv[1]));
    if (error == GifError::None)
        error = gif.Reset();
    for (int n = 0; error == GifError::None; ++n) {
        const std::optional<QImage> frame = gif.NextFrame();
        if (!frame) {
            error = gif.error();
            break;
        }
        QImage out = frame->convertToFormat(QImage::Format_ARGB32);
        const QImage& mask = gif.NextMask();
        for (int y = 0; y < out.height(); ++y) {
            auto* px = reinterpret_cast<QRgb*>(out.scanLine(y));
            const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            for (int x = 0; x < out.width(); ++x)
                px[x] = (px[x] & 0x00ffffffu) | ((m[x] & 0xff) << 24);
        }
        const QString name = QStringLiteral("frame_%1.png").arg(n, 3, 10, QLatin1Char('0'));
        if (!out.save(outDir + '/' + name)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 2;
        }
        std::printf("%s %d\n", qPrintable(name), gif.DelayMS());
    }
    if (error != GifError::None) {
        std::fprintf(stderr, "%s\n", gifErrorName(error));
        return 1;
    }
    return 0;
}
