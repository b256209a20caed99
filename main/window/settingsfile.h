#pragma once

#include <QString>

#include <optional>

// Data/index.txt: one line in Windows-1251 ended by CR LF, naming the chosen
// background picture inside Picture/ (an empty line means the default one).
namespace SettingsFile {

QString path(const QString& programFolder);

// The whole file, decoded; no value when it cannot be read.
std::optional<QString> read(const QString& programFolder);

// Only the first six characters of the file name a picture: the suite's own
// saved pictures are named "SS.bmp".
QString pictureName(const QString& text);

// Rewrites the file whole with `line` + CR LF. The old file stays intact
// when the new one cannot be written completely.
bool write(const QString& programFolder, const QString& line);

} // namespace SettingsFile
