#pragma once

#include "playbackbar.h"

#include <QString>

#include <functional>
#include <memory>

class Clock;
class TaskFolder;

// Everything the task panel needs from the window, handed in at
// construction so the panel never reaches into the window itself.
struct TaskPanelContext
{
    const Clock* clock = nullptr;
    QString programFolder;    // the task files are in programFolder + "/Media/"
    PlaybackContext playback; // command sink, ShortPath, Pause, shared fields, mixer
    // Shows an error message box (title, text). Empty: QMessageBox::critical.
    std::function<void(const QString& title, const QString& text)> showError;
    // The names of programFolder + "/Media/", shared with whoever started
    // reading them early. Empty: the panel keeps its own.
    std::shared_ptr<TaskFolder> taskFolder;
};
