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

} // namespace Id3v2
