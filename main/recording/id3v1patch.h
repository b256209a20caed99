#pragma once

#include <QByteArray>
#include <QString>

// Reads and mends the ID3v1 tag (the last 128 bytes of an MP3 file).
namespace Id3v1Patch {

constexpr int kTagSize = 128;
constexpr int kAlbumOffset = 63;   // 30 bytes
constexpr int kCommentOffset = 97; // 30 bytes
constexpr int kFieldSize = 30;

// True when the file is at least 128 bytes long and its last 128 bytes start
// with "TAG". A missing or short file is simply not finished yet.
bool hasTag(const QString& path);

// Overwrites the album and comment fields with the given bytes (cut to 30,
// padded with zero bytes). The encoder cannot be trusted with code pages, so
// the comment is written here in the tag's own code page. False when the
// file has no tag or cannot be written.
bool writeAlbumAndComment(const QString& path, const QByteArray& album, const QByteArray& comment);

} // namespace Id3v1Patch
