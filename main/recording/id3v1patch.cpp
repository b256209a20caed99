#include "id3v1patch.h"

#include <QFile>

namespace Id3v1Patch {

namespace {

QByteArray field(const QByteArray& bytes)
{
    QByteArray f = bytes.left(kFieldSize);
    f.append(QByteArray(kFieldSize - f.size(), '\0'));
    return f;
}

bool tagAt(QFile& file, qint64* start)
{
    const qint64 size = file.size();
    if (size < kTagSize)
        return false;
    *start = size - kTagSize;
    if (!file.seek(*start))
        return false;
    return file.read(3) == "TAG";
}

} // namespace

bool hasTag(const QString& path)
{
    QFile file(path);
    qint64 start = 0;
    return file.open(QIODevice::ReadOnly) && tagAt(file, &start);
}

bool writeAlbumAndComment(const QString& path, const QByteArray& album, const QByteArray& comment)
{
    QFile file(path);
    qint64 start = 0;
    if (!file.open(QIODevice::ReadWrite) || !tagAt(file, &start))
        return false;
    return file.seek(start + kAlbumOffset) && file.write(field(album)) == kFieldSize &&
           file.seek(start + kCommentOffset) && file.write(field(comment)) == kFieldSize &&
           file.flush();
}

} // namespace Id3v1Patch
