#pragma once

#include "buttonzone.h"
#include "panelmode.h"

#include <QString>

// The state the panels of the main window share. The window owns the one
// instance and hands a reference to the panels that read or change it; the
// chosen day is not here: the calendar holds it.
struct WindowState
{
    PanelMode panelMode = PanelMode::Start;
    bool isRecording = false;
    ButtonZone buttonZone = ButtonZone::None; // the zone of the last press
    QString selectedFile; // the task selected in the list, or the file being recorded into
    QString playingFile;  // the task last started, which every playback command addresses
    QString saveTarget;   // "record into a file": the chosen name without ".mp3"
};
