#pragma once

#include <QImage>
#include <QString>

// The program's own pictures and sounds, drawn at build time. Each function
// writes its files into `dir` and returns false (with a message on stderr)
// when a file cannot be written.
namespace Artwork {

bool writeDevice(const QString& dir);        // device.png: the handheld device behind the panels
bool writeBackground(const QString& dir);    // 1.jpg: the default menu background
bool writeControlButton(const QString& dir); // picok0..3.png, picture3_1..3.png
bool writeChime(const QString& dir);         // chime.wav: the alarm sound before encoding
bool writeIcon(const QString& dir);          // quillmur.png: the launcher icon
bool writePlayback(const QString& dir);  // imgpusk0/1, imgpausa2_0/1, imgstop2_0/1, imgslider(fon),
                                         // picgromkoct, imgsteret
bool writeTrayIcons(const QString& dir); // trayicon0..9.png: Vestrel's icon and its spin
bool writeDial(
    const QString& dir); // dial.png, strelka.png, imsolnse0..3.png, dopoludny.png, poslepoledny.png

bool writeRecording(
    const QString& dir); // rec_record/pause/stop0..1.png, rec_dinamik0..1.png, rec_mixer.png

bool writeGifs(
    const QString& dir); // gifctl1_0..3.gif, gifctl2..13.gif: the window's animations (giflib)

bool save(const QImage& image, const QString& path);

} // namespace Artwork
