#pragma once

#include <QImage>
#include <QString>

// The program's own pictures and sounds, drawn at build time. Each function
// writes its files into `dir` and returns false (with a message on stderr)
// when a file cannot be written.
namespace Artwork {

bool writeDevice(const QString& dir);       // device.png: the handheld device behind the panels
bool writeBackground(const QString& dir);   // 1.jpg: the default menu background
bool writeControlButton(const QString& dir); // picok0..3.png, picture3_1..3.png
bool writeChime(const QString& dir);        // chime.wav: the alarm sound before encoding
bool writeIcon(const QString& dir);         // quillmur.png: the launcher icon

bool save(const QImage& image, const QString& path);

} // namespace Artwork
