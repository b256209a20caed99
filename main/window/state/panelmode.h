#pragma once

#include <QtGlobal>

// Which step of which dialogue the window is in. The control button, the
// settings menu and the encoder read it; the values are the ones the window
// has always stored, so they stay as they are.
enum class PanelMode : quint8 {
    TaskList = 0,         // the task list (also a settings click before any hover)
    Hour = 1,             // new task: choosing the hour on the dial
    Minute = 2,           // new task: correcting the minutes
    SavedPictures = 10,   // settings: browsing the saved background pictures
    OwnPicture = 11,      // settings: waiting for a dropped picture
    DefaultPicture = 12,  // settings: the default background was restored
    Autostart = 13,       // settings: the tray watcher was installed
    BelowSettings = 14,   // settings: a click below the items
    DroppedPicture = 21,  // a dropped picture is shown, waiting for OK
    Day = 31,             // new task: choosing the day on the calendar
    Naming = 32,          // new task: the name is being composed
    Recording = 33,       // new task: the recording panel is in front
    Stopped = 34,         // new task: OK stopped the recording
    RecordIntoFile = 100, // the menu's "record into a file"
    Start = 199,          // the start picture, before any dialogue
    Help = 201            // the help panel
};
