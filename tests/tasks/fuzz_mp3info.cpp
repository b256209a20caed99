// libFuzzer target: the MP3 header reader on arbitrary file starts. The
// first eight bytes choose the file length, so sizes far beyond the data
// (and the divisions that depend on them) are reached too.
#include "mp3inforeader.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qint64 fileSize = qint64(size);
    if (size >= 8) {
        quint64 raw;
        std::memcpy(&raw, data, 8);
        fileSize = qint64(raw >> 2); // non-negative
        data += 8;
        size -= 8;
    }
    const QByteArray head(reinterpret_cast<const char*>(data), int(size));
    Mp3Info info;
    DecodeMp3Info(head, fileSize, info);
    Id3v2Length(head.left(10));
    return 0;
}
