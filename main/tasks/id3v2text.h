#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// Reads text frames straight from the bytes of an ID3v2 tag, versions 2.3
// and 2.4, as the tag library writes and reads them: the programs that only
// read tags need not load the library.
namespace Id3v2Text {

// Tags are read up to this size; the encoder's are a few hundred bytes.
constexpr qint64 kMaxTag = 1 << 20;

// The ID3v2 tag at the head of the file at `path` (header and frames, at
// most kMaxTag bytes of them); nothing when it has none or is no regular
// file (a FIFO is never waited on).
QByteArray tagOf(const QString& path);

// The first value of the first TXXX frame whose description is
// `description`, in the tag that `tag` begins with (its 10-byte header and
// what follows; a tag cut short is read as far as it goes). None when there
// is no such frame, or it cannot be read (compressed or encrypted), or
// `tag` is no ID3v2.3 or 2.4 tag.
std::optional<QString> userText(QByteArrayView tag, QStringView description);

// The text of the first comment frame (COMM) without a description: the one
// the encoder writes. None when there is none.
std::optional<QString> comment(QByteArrayView tag);

} // namespace Id3v2Text
