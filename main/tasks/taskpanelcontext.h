#pragma once

#include "playbackbar.h"

#include <QString>

#include <functional>

class Clock;

// Everything the task panel needs from the window, handed in at
// construction so the panel never reaches into the window itself.
struct TaskPanelContext
{
    const Clock* clock = nullptr;
    QString programFolder;    // the task files are in programFolder + "/Media/"
    PlaybackContext playback; // command sink, ShortPath, Pause, shared fields, mixer
    // Shows an error message box (title, text). Empty: QMessageBox::critical.
    std::function<void(const QString& title, const QString& text)> showError;
};
