#pragma once

#include "alarmsound.h"
#include "mmixer.h"
#include "singleinstance.h"

#include <QString>

#include <memory>

struct AlarmPrelude;

// Everything the alarm does before it builds anything of Qt's own: the
// single-instance lock, what a killed player left put back, the mixer turned
// up, and then the sound: what the program's first stage did of it taken
// over (alarmprelude.h), the rest done here. Nothing is played before the
// mixer is up. The application object comes afterwards: built
// meanwhile, it would load its libraries under the same loader lock as the
// sound system's and hold the sound back.
//
// Construct it on the main thread before the application object and before
// any other thread uses Qt (Qt takes the first thread that does for its
// main thread).
class AlarmStart
{
public:
    struct Result
    {
        bool alreadyRunning = false; // another player holds the lock: nothing was touched
        QString lockProblem;         // why the lock could not be had; the alarm sounds anyway
        int error = 0;               // MciError of the sound, 0 when it plays
        QString detail;              // what a message about the error names
    };

    // Does all of it with what `prelude` began; returns once the sound
    // plays, or could not be started.
    AlarmStart(const QString& ownFolder, AlarmPrelude& prelude);
    AlarmStart(const AlarmStart&) = delete;
    AlarmStart& operator=(const AlarmStart&) = delete;

    const Result& result() const { return m_result; }
    AlarmSound& sound() { return *m_sound; }

private:
    SingleInstance m_instance;
    std::unique_ptr<MMixer> m_mixer;
    std::unique_ptr<AlarmSound> m_sound;
    Result m_result;
};
