#pragma once

#include "controltarget.h"
#include "windowstate.h"

#include <QObject>

class CalendarPanel;
class Clock;
class DialPanel;
class MMixer;
class QLineEdit;
class RecordingPanel;

// The new-task dialogue: the hour and the minutes on the dial, the day on
// the calendar, then the recording panel. OK on the control button steps it
// on (panelMode 1 → 2 → 31 → 32 → 33 → 34); the arrows do nothing here.
class NewTaskFlow : public QObject, public ControlTarget
{
    Q_OBJECT
public:
    struct Parts
    {
        WindowState* state = nullptr;
        const Clock* clock = nullptr;
        MMixer* mixer = nullptr;
        DialPanel* dial = nullptr;
        CalendarPanel* calendar = nullptr;
        RecordingPanel* recording = nullptr;
        QLineEdit* imyFileMp3 = nullptr; // the scratch folder, then the task being made
        QString mediaFolder;
    };

    explicit NewTaskFlow(Parts parts, QObject* parent = nullptr);

    // The menu's "Создать новую запись": the dial in front at the hour stage.
    void start();

    void ok() override;

    // The recording panel is left (the note saved, or another panel
    // chosen): the speakers' mute goes back to what the user had before the
    // panel silenced them. Does nothing when the panel did not.
    void leaveRecording();

signals:
    // A text for the hint line `lbHelp`.
    void hintChanged(const QString& text);

private:
    void nameTaskAndRecord();

    Parts m_parts;
    int m_speakerMuteBefore = -1; // -1: the speakers were not silenced by the panel
};
