#include "alarmstart.h"

#include "alarmprelude.h"

#include "mci.h"
#include "mciexecute.h"
#include "paths.h"
#include "shortpath.h"

#include <QThread>

#include <utility>

AlarmStart::AlarmStart(const QString& ownFolder, AlarmPrelude& prelude)
    : m_instance(QStringLiteral("Tinkra")), m_mixer(std::move(prelude.mixer))
{
    // Claims this thread for Qt before anything else uses it.
    QThread::currentThread();

    // One alarm at a time: a second player would take the first one's raised
    // volume for the user's own and leave the speakers at 100 %. A lock that
    // cannot be created at all is no reason to miss the reminder, though.
    if (prelude.lock >= 0) {
        m_instance.adopt(std::exchange(prelude.lock, -1));
    } else {
        switch (m_instance.acquire()) {
        case SingleInstance::Outcome::Acquired:
            break;
        case SingleInstance::Outcome::Running:
            m_result.alreadyRunning = true;
            return;
        case SingleInstance::Outcome::NoLock:
            m_result.lockProblem = m_instance.problem();
            break;
        }
    }
    m_sound =
        std::make_unique<AlarmSound>(*m_mixer, AlarmSound::stateFileIn(Paths::runtimeFolder()));
    if (prelude.raised) {
        m_sound->adoptPrepared(*std::exchange(prelude.raised, std::nullopt));
    } else {
        m_mixer->OpenMixer(0);
        // Holding the lock, any state file left behind is a killed player's;
        // so is another program's whose owner no longer runs.
        m_sound->RecoverLeftover();
        m_sound->PrepareSound();
    }

    // Only now, with the mixer up, is anything played: the chime the first
    // stage started or cued, else (when it could not be) as the player opens
    // it, which says what is wrong.
    const bool playing = mciAdopt(AlarmSound::cueCommand(ownFolder), prelude.sound) &&
                         mciIsPlaying(ShortPath(AlarmSound::alarmFile(ownFolder)));
    if (!playing)
        m_result.error = playAlarm(ownFolder, &m_result.detail);
}
