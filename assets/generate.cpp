// Draws every picture and sound the suite ships, into the folder given as the
// only argument. Run by the build; needs no display (offscreen platform).
#include "artwork.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

bool Artwork::save(const QImage& image, const QString& path)
{
    if (image.save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    const bool ok = Artwork::writeDevice(dir) && Artwork::writeBackground(dir) &&
                    Artwork::writeControlButton(dir) && Artwork::writeChime(dir) &&
                    Artwork::writeIcon(dir) && Artwork::writePlayback(dir) &&
                    Artwork::writeTrayIcons(dir) && Artwork::writeDial(dir) &&
                    Artwork::writeGifs(dir) && Artwork::writeRecording(dir);
    return ok ? 0 : 1;
}
