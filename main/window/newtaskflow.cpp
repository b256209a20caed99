#include "newtaskflow.h"

#include "calendarpanel.h"
#include "dialpanel.h"
#include "mmixer.h"
#include "pause.h"
#include "recordingpanel.h"
#include "taskname.h"

#include <QLineEdit>

namespace {

// Each panel lies in its own frame on the screen; the frame goes in front.
void toFront(QWidget* panel)
{
    panel->parentWidget()->raise();
}

} // namespace

NewTaskFlow::NewTaskFlow(Parts parts, QObject* parent) : QObject(parent), m_parts(std::move(parts))
{
    Q_ASSERT(m_parts.state && m_parts.clock && m_parts.mixer && m_parts.dial && m_parts.calendar &&
             m_parts.recording && m_parts.imyFileMp3);
}

void NewTaskFlow::start()
{
    m_parts.state->panelMode = PanelMode::Hour;
    toFront(m_parts.dial);
    // Reset before the pause: the second click of a double-click on the
    // menu's item, arriving meanwhile, is then the dial's first click.
    m_parts.dial->ResetDial();
    // Every new note starts as a one-time note.
    m_parts.calendar->clearRepeat();
    Pause(100);
    emit hintChanged(QStringLiteral("Выберите ЧАС для напоминания, минуты откорректируете позже."));
}

void NewTaskFlow::ok()
{
    PanelMode& mode = m_parts.state->panelMode;
    switch (mode) {
    case PanelMode::Hour: // on to the minutes
        mode = PanelMode::Minute;
        m_parts.dial->confirmHour();
        break;
    case PanelMode::Minute: // on to the day
        m_parts.dial->confirmMinute();
        mode = PanelMode::Day;
        toFront(m_parts.calendar);
        m_parts.calendar->cmdCalen_Click();
        break;
    case PanelMode::Day:
        nameTaskAndRecord();
        break;
    case PanelMode::Recording: // stop and save
        mode = PanelMode::Stopped;
        m_parts.recording->pressStop();
        // Not saved (a full disk): the next OK tries again.
        if (m_parts.recording->hasUnsavedNote())
            mode = PanelMode::Recording;
        break;
    default:
        break;
    }
}

void NewTaskFlow::nameTaskAndRecord()
{
    const CalendarPanel& calendar = *m_parts.calendar;
    const TaskName::Request request{calendar.chosenDay(), calendar.chosenMonth(),
                                    calendar.chosenYear(), m_parts.dial->hourText(),
                                    m_parts.dial->minuteText()};
    m_parts.imyFileMp3->setText(TaskName::appendWithRetry(m_parts.imyFileMp3->text(), request,
                                                          m_parts.mediaFolder, *m_parts.clock,
                                                          [](int ms) { Pause(ms); }));
    m_parts.state->panelMode = PanelMode::Naming;
    m_parts.calendar->cmdCalenClose_Click();
    // Silent speakers while recording; the user's mute comes back after.
    if (m_speakerMuteBefore < 0)
        m_speakerMuteBefore = m_parts.mixer->GetMute(MMixer::SpeakerMute) ? 1 : 0;
    m_parts.mixer->SetMute(MMixer::SpeakerMute, true);
    toFront(m_parts.recording);
    m_parts.recording->syncSpeakerIcon();
    m_parts.state->panelMode = PanelMode::Recording;
    // Runs the level monitor until it is stopped; events go on meanwhile.
    m_parts.recording->startMonitor();
}

void NewTaskFlow::leaveRecording()
{
    if (m_speakerMuteBefore < 0)
        return;
    m_parts.mixer->SetMute(MMixer::SpeakerMute, m_speakerMuteBefore != 0);
    m_speakerMuteBefore = -1;
}
