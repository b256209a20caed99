#include "textcodec.h"

#include <QList>

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

namespace Cp1251 {

namespace {
// Converts with iconv; a character the target cannot hold is replaced by
// `replacement` and the conversion goes on.
QByteArray convert(const char* to, const char* from, const QByteArray& in,
                   const QByteArray& replacement, int inputUnit)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QByteArray();
    QByteArray out;
    std::vector<char> buf(4096);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = size_t(in.size());
    while (srcLeft > 0) {
        char* dst = buf.data();
        size_t dstLeft = buf.size();
        const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf.data(), int(buf.size() - dstLeft));
        if (r == size_t(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: skip one unit of input and mark it.
            out.append(replacement);
            const size_t skip = std::min<size_t>(size_t(inputUnit), srcLeft);
            src += skip;
            srcLeft -= skip;
        }
    }
    iconv_close(cd);
    return out;
}
} // namespace

QByteArray encode(const QString& text)
{
    // UTF-32 input makes "one unit" exactly one character.
    if (text.isEmpty())
        return QByteArray();
    QByteArray utf32;
    const QList<uint> ucs4 = text.toUcs4();
    utf32.resize(ucs4.size() * 4);
    std::memcpy(utf32.data(), ucs4.constData(), size_t(utf32.size()));
    return convert("CP1251", "UTF-32LE", utf32, "?", 4);
}

QString decode(const QByteArray& bytes)
{
    // One byte is one character: each byte's is asked of iconv once, and a
    // list of years of notes decodes its tags from the table (an iconv
    // session costs more than a tag). Every byte but 0x98 has a Windows-1251
    // meaning; that one becomes U+FFFD.
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const QString one = QString::fromUtf8(
                convert("UTF-8", "CP1251", QByteArray(1, char(b)), "\xEF\xBF\xBD", 1));
            t[size_t(b)] = one.size() == 1 ? one.at(0).unicode() : char16_t(0xFFFD);
        }
        return t;
    }();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(table[quint8(bytes[i])]);
    return text;
}

} // namespace Cp1251
