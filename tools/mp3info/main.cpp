// Prints what the header reader makes of an MP3 file: the eleven fields,
// one per line, each value in quotes so its leading blanks show.
#include "mp3inforeader.h"

#include <QCoreApplication>

#include <cstdio>
#include <utility>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.mp3\n", argv[0]);
        return 2;
    }
    Mp3Info info;
    const Mp3Read result = ReadMp3Info(QString::fromLocal8Bit(argv[1]), info);
    if (result == Mp3Read::Unreadable) {
        std::fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 1;
    }
    if (result == Mp3Read::NotMp3)
        std::fprintf(stderr, "Not a MP3 file...\n");
    const std::pair<const char*, const QString*> fields[] = {
        {"bitrate", &info.bitrate},   {"mode", &info.mode},         {"copyright", &info.copyright},
        {"crc", &info.crc},           {"emphasis", &info.emphasis}, {"frequency", &info.frequency},
        {"layer", &info.layer},       {"length", &info.length},     {"version", &info.version},
        {"original", &info.original}, {"size", &info.size},
    };
    for (const auto& [name, value] : fields)
        std::printf("%s: \"%s\"\n", name, value->toUtf8().constData());
    return result == Mp3Read::Ok ? 0 : 1;
}
