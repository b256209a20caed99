#include "id3v2text.h"

#include "mp3inforeader.h"

#include <QByteArray>
#include <QFile>

namespace Id3v2Text {

namespace {

quint32 bigEndian(const char* p)
{
    return quint32(quint8(p[0])) << 24 | quint32(quint8(p[1])) << 16 | quint32(quint8(p[2])) << 8 |
           quint32(quint8(p[3]));
}

// Seven bits a byte.
quint32 synchsafe(const char* p)
{
    return quint32(quint8(p[0]) & 0x7f) << 21 | quint32(quint8(p[1]) & 0x7f) << 14 |
           quint32(quint8(p[2]) & 0x7f) << 7 | quint32(quint8(p[3]) & 0x7f);
}

// Undoes unsynchronisation: every 0xFF 0x00 stands for 0xFF.
QByteArray resynchronised(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (quint8(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0)
            ++i;
    }
    return out;
}

// A text in the frame's encoding, from `at`, up to its terminator or the
// end; `at` moves past the terminator.
QString text(QByteArrayView body, char encoding, qsizetype& at)
{
    const bool wide = encoding == 1 || encoding == 2;
    qsizetype end = at;
    if (wide) {
        while (end + 1 < body.size() && (body[end] != 0 || body[end + 1] != 0))
            end += 2;
    } else {
        while (end < body.size() && body[end] != 0)
            ++end;
    }
    const QByteArrayView field = body.sliced(at, qMin(end, body.size()) - at);
    at = qMin(body.size(), end + (wide ? 2 : 1));
    switch (encoding) {
    case 0:
        return QString::fromLatin1(field);
    case 3:
        return QString::fromUtf8(field);
    default:
        break;
    }
    // UTF-16: with a byte order mark (1), else big-endian (2, or 1 without).
    QByteArrayView units = field;
    bool little = false;
    if (encoding == 1 && units.size() >= 2) {
        if (quint8(units[0]) == 0xFF && quint8(units[1]) == 0xFE) {
            little = true;
            units = units.sliced(2);
        } else if (quint8(units[0]) == 0xFE && quint8(units[1]) == 0xFF) {
            units = units.sliced(2);
        }
    }
    QString out(units.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < out.size(); ++i) {
        const quint8 a = quint8(units[2 * i]), b = quint8(units[2 * i + 1]);
        out[i] = QChar(char16_t(little ? (b << 8 | a) : (a << 8 | b)));
    }
    return out;
}

// Calls `each(id, body)` for the frames of `tag` in order, each body as its
// text is read (resynchronised, without a group's or a length's bytes),
// until `each` returns true. Compressed and encrypted frames are skipped.
template <typename Each> void forEachFrame(QByteArrayView tag, Each each)
{
    if (tag.size() < 10 || !tag.startsWith("ID3"))
        return;
    const int version = quint8(tag[3]);
    const quint8 flags = quint8(tag[5]);
    if (version != 3 && version != 4)
        return;
    const qsizetype end = qMin<qsizetype>(tag.size(), 10 + qsizetype(synchsafe(tag.data() + 6)));
    QByteArray whole;
    QByteArrayView frames = tag.sliced(10, end - 10);
    // In 2.3 the whole tag is unsynchronised; in 2.4 each frame says so.
    if (version == 3 && (flags & 0x80)) {
        whole = resynchronised(frames);
        frames = whole;
    }
    qsizetype at = 0;
    if (flags & 0x40) { // an extended header: skipped
        if (frames.size() < 4)
            return;
        at = version == 3 ? qsizetype(bigEndian(frames.data())) + 4
                          : qsizetype(synchsafe(frames.data()));
    }
    while (at >= 0 && at + 10 <= frames.size()) {
        const QByteArrayView id = frames.sliced(at, 4);
        if (id[0] == 0) // padding
            return;
        const qsizetype size = version == 3 ? qsizetype(bigEndian(frames.data() + at + 4))
                                            : qsizetype(synchsafe(frames.data() + at + 4));
        const quint8 format = quint8(frames[at + 9]);
        const qsizetype from = at + 10;
        if (size > frames.size() - from)
            return; // cut short
        at = from + size;
        QByteArrayView body = frames.sliced(from, size);
        QByteArray resynced;
        if (version == 3) {
            if (format & 0xC0) // compressed or encrypted
                continue;
            if (format & 0x20) // a group's byte
                body = body.sliced(qMin<qsizetype>(1, body.size()));
        } else {
            if (format & 0x0C) // compressed or encrypted
                continue;
            if (format & 0x40) // a group's byte
                body = body.sliced(qMin<qsizetype>(1, body.size()));
            if (format & 0x01) // the data's length
                body = body.sliced(qMin<qsizetype>(4, body.size()));
            if (format & 0x02) {
                resynced = resynchronised(body);
                body = resynced;
            }
        }
        if (each(id, body))
            return;
    }
}

// The text of a frame body from `at` on, after its encoding byte (`at`
// past the description), when its description is `description`.
std::optional<QString> textAfter(QByteArrayView body, qsizetype at, QStringView description)
{
    if (body.isEmpty() || quint8(body[0]) > 3 || at > body.size())
        return std::nullopt;
    const char encoding = body[0];
    if (text(body, encoding, at) != description)
        return std::nullopt;
    // A description with no value after it is no value.
    if (at >= body.size())
        return std::nullopt;
    return text(body, encoding, at);
}

} // namespace

std::optional<QString> userText(QByteArrayView tag, QStringView description)
{
    std::optional<QString> found;
    forEachFrame(tag, [&](QByteArrayView id, QByteArrayView body) {
        if (id == "TXXX")
            found = textAfter(body, 1, description);
        return found.has_value();
    });
    return found;
}

std::optional<QString> comment(QByteArrayView tag)
{
    std::optional<QString> found;
    // Encoding, language, description, text.
    forEachFrame(tag, [&](QByteArrayView id, QByteArrayView body) {
        if (id == "COMM")
            found = textAfter(body, 4, QStringView());
        return found.has_value();
    });
    return found;
}

QByteArray tagOf(const QString& path)
{
    QFile file;
    if (!OpenRegularFile(file, path))
        return {};
    QByteArray tag = file.read(10);
    if (tag.size() < 10 || !tag.startsWith("ID3"))
        return {};
    tag += file.read(qMin<qint64>(synchsafe(tag.constData() + 6), kMaxTag));
    return tag;
}

} // namespace Id3v2Text
