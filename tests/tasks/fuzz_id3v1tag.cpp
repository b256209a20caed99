// libFuzzer target: the ID3v1 tag reader on arbitrary 128-byte blocks (and
// blocks of other sizes, which must be refused).
#include "id3v1tag.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray block(reinterpret_cast<const char*>(data), int(size));
    if (const auto tag = Id3v1Tag::parse(block)) {
        // Fields are at most 30 characters and carry no surrounding blanks.
        if (tag->album.size() > 30 || tag->comment.size() > 30 ||
            tag->comment.startsWith(QLatin1Char(' ')) || tag->comment.endsWith(QLatin1Char(' ')))
            __builtin_trap();
    }
    return 0;
}
