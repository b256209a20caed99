#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The ID3 version 1 tag in the last 128 bytes of a task file: the album
// marker and the spoken note's comment, as Windows-1251 text.
struct Id3v1Tag
{
    static constexpr int kSize = 128;

    QString album;
    QString comment;

    // Reads the tag from the last 128 bytes of a file. The marker "TAG" is
    // matched in any case; each field ends at its first zero byte and loses
    // its surrounding blanks. No value for a block without the marker or of
    // the wrong size.
    static std::optional<Id3v1Tag> parse(const QByteArray& block);

    // The tag of the file at `path`; no value for an unreadable file, one
    // that is not a regular file (never waited on), a file shorter than a
    // tag, or one without the marker.
    static std::optional<Id3v1Tag> read(const QString& path);

    // The comment to show for the file at `path` whose ID3v1 comment is
    // `comment`: the encoder's ID3v2 comment when it agrees with it up to
    // the characters Windows-1251 lacks (which ID3v1 holds as "?"), so that
    // a comment typed with any characters is shown as typed; else `comment`.
    static QString shownComment(const QString& path, const QString& comment);
};
