#include "id3v1tag.h"

#include "id3v2text.h"
#include "mp3inforeader.h"
#include "textcodec.h"

#include <QFile>

#include <cstring>

namespace {

QString field(const QByteArray& block, int pos, int length)
{
    const char* start = block.constData() + pos;
    const void* zero = std::memchr(start, '\0', size_t(length));
    const QByteArray bytes =
        QByteArray::fromRawData(start, zero ? int(static_cast<const char*>(zero) - start) : length);
    // Blanks only: other characters the user typed are kept.
    const QString text = Cp1251::decode(bytes);
    int b = 0, e = text.size();
    while (b < e && text.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && text.at(e - 1) == QLatin1Char(' '))
        --e;
    return text.mid(b, e - b);
}

} // namespace

std::optional<Id3v1Tag> Id3v1Tag::parse(const QByteArray& block)
{
    if (block.size() != kSize || qstrnicmp(block.constData(), "tag", 3) != 0)
        return std::nullopt;
    Id3v1Tag tag;
    tag.album = field(block, 63, 30);
    tag.comment = field(block, 97, 30);
    return tag;
}

std::optional<Id3v1Tag> Id3v1Tag::read(const QString& path)
{
    QFile file;
    if (!OpenRegularFile(file, path) || file.size() < kSize)
        return std::nullopt;
    if (!file.seek(file.size() - kSize))
        return std::nullopt;
    return parse(file.read(kSize));
}

QString Id3v1Tag::shownComment(const QString& path, const QString& comment)
{
    // Without a "?" the two agree only when they are the same.
    if (!comment.contains(QLatin1Char('?')))
        return comment;
    const std::optional<QString> full = Id3v2Text::comment(Id3v2Text::tagOf(path));
    if (!full || Cp1251::decode(Cp1251::encode(*full)) != comment)
        return comment;
    return *full;
}
