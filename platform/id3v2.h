#pragma once

#include <QString>

#include <optional>

// The ID3v2 tag at the head of a note (read through TagLib). The ID3v1 tag
// at its end stays the suite's own.
namespace Id3v2 {

// The text of the file's first comment frame without a description (the
// one the encoder writes); no value for a file that cannot be read, has no
// ID3v2 tag or no such frame.
std::optional<QString> comment(const QString& path);

// The value of the user-defined text frame (TXXX) named `description`; no
// value when the file or the frame is not there.
std::optional<QString> userText(const QString& path, const QString& description);

// Sets (or, for an empty `value`, removes) that frame, its text in Latin-1
// (ID3v2.3, the encoder's version, has no UTF-8; the suite's values are
// ASCII, so they stay readable in the tag's bytes). The file is changed
// whole or not at all: a copy beside it is changed, flushed and renamed over
// it; the audio and the ID3v1 tag stay byte for byte. Returns 0 or an errno
// (EINVAL when the file is no MPEG audio the tag library can write).
int setUserText(const QString& path, const QString& description, const QString& value);

} // namespace Id3v2
