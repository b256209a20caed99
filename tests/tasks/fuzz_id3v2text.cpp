// libFuzzer target: the readers of text frames on arbitrary tags (the first
// byte of the input picks the description looked for).
#include "id3v2text.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView tag(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const QString description = data[0] & 1 ? QStringLiteral("QUILLMUR_REPEAT") : QString();
    if (const auto value = Id3v2Text::userText(tag, description)) {
        // A value comes out of the tag's bytes: never longer than they are.
        if (value->size() > tag.size())
            std::abort();
    }
    if (const auto comment = Id3v2Text::comment(tag))
        if (comment->size() > tag.size())
            std::abort();
    return 0;
}
