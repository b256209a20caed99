#pragma once

#include <QString>

// Plays the alarm recording 1.mp3 of `ownFolder`. Needs no window, so it can
// run while the application object is being built. On failure `detail`
// receives what the message should name: the file when it is missing
// (instead of a bare "Play " that the command interpreter cannot
// understand), else the command.
int playAlarm(const QString& ownFolder, QString* detail);
