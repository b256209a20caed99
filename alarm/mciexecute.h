#pragma once

#include <QString>

// A media command string that reports its own failure: a message box with the
// error, which does not hold up the caller.
int mciExecute(const QString& command);

// Plays the alarm recording 1.mp3 of `ownFolder` through mciExecute. When the
// file is missing the message names it, instead of a bare "Play " that the
// command interpreter cannot understand.
int playAlarm(const QString& ownFolder);
