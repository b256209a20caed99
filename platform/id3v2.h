#pragma once

#include <QString>

// Writing the ID3v2 tag at the head of a note, through TagLib (reading it
// is Id3v2Text's). The ID3v1 tag at its end stays the suite's own.
namespace Id3v2 {

// Sets (or, for an empty `value`, removes) the user-defined text frame
// (TXXX) named `description` (read by Id3v2Text::userText), its text in Latin-1
// (ID3v2.3, the encoder's version, has no UTF-8; the suite's values are
// ASCII, so they stay readable in the tag's bytes). The file is changed
// whole or not at all: a copy beside it is changed, flushed and renamed over
// it; the audio and the ID3v1 tag stay byte for byte. Returns 0 or an errno
// (EINVAL when the file is no MPEG audio the tag library can write).
int setUserText(const QString& path, const QString& description, const QString& value);

} // namespace Id3v2
