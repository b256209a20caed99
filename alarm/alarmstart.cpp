#include "alarmstart.h"

#include "mci.h"
#include "mciexecute.h"
#include "paths.h"

#include <QFileInfo>
#include <QThread>

#include <thread>

AlarmStart::AlarmStart(const QString& ownFolder)
    : m_instance(QStringLiteral("Tinkra")), m_mixer(createAlsaMixer())
{
    // Claims this thread for Qt before the helpers below use it.
    QThread::currentThread();

    // Opening the mixer and the sound device reads and plays nothing, so
    // neither waits for the lock; each takes about as long as the rest.
    std::thread mixerOpen([this] { m_mixer.OpenMixer(0); });
    std::thread cue;
    if (QFileInfo(AlarmSound::alarmFile(ownFolder)).isFile())
        cue = std::thread([&ownFolder] { mciSendString(AlarmSound::cueCommand(ownFolder)); });
    const auto joinBoth = [&] {
        mixerOpen.join();
        if (cue.joinable())
            cue.join();
    };
    // One alarm at a time: a second player would take the first one's raised
    // volume for the user's own and leave the speakers at 100 %. A lock that
    // cannot be created at all is no reason to miss the reminder, though.
    switch (m_instance.acquire()) {
    case SingleInstance::Outcome::Acquired:
        break;
    case SingleInstance::Outcome::Running:
        joinBoth();
        m_result.alreadyRunning = true;
        return;
    case SingleInstance::Outcome::NoLock:
        m_result.lockProblem = m_instance.problem();
        break;
    }
    mixerOpen.join();
    m_sound =
        std::make_unique<AlarmSound>(m_mixer, AlarmSound::stateFileIn(Paths::runtimeFolder()));
    // Holding the lock, any state file left behind is a killed player's; so
    // is another program's whose owner no longer runs.
    m_sound->RecoverLeftover();
    m_sound->PrepareSound();

    // Only now, with the mixer up, is anything played.
    if (cue.joinable())
        cue.join();
    m_result.error = playAlarm(ownFolder, &m_result.detail);
}
