#include "alarmsound.h"

#include "alarmprelude.h"

#include "mmixer.h"
#include "shortpath.h"

AlarmSound::AlarmSound(MMixer& mixer, const QString& stateFile) : m_mixer(mixer), m_file(stateFile)
{
}

QString AlarmSound::stateFileIn(const QString& runtimeFolder)
{
    return MixerLevelsFile::in(runtimeFolder, QStringLiteral("Tinkra"));
}

QString AlarmSound::alarmFile(const QString& ownFolder)
{
    return ownFolder + QStringLiteral("/1.mp3");
}

QString AlarmSound::playCommand(const QString& ownFolder)
{
    return QStringLiteral("Play ") + ShortPath(alarmFile(ownFolder));
}

QString AlarmSound::cueCommand(const QString& ownFolder)
{
    return QStringLiteral("Cue ") + ShortPath(alarmFile(ownFolder));
}

QString AlarmSound::stopCommand(const QString& ownFolder)
{
    return QStringLiteral("Stop ") + ShortPath(alarmFile(ownFolder));
}

bool AlarmSound::RecoverLeftover()
{
    const std::vector<MixerLevels> left = m_file.takeSuiteLeftovers();
    for (const MixerLevels& levels : left)
        levels.restore(m_mixer);
    return !left.empty();
}

void AlarmSound::PrepareSound()
{
    m_saved = MixerLevels::take(m_mixer, AlarmLevels::taken());
    m_prepared = true;

    // When the file cannot be written the alarm still sounds: a missed
    // reminder is worse than loud speakers.
    m_file.write(m_saved);
    AlarmLevels::raise(m_mixer);
}

void AlarmSound::adoptPrepared(const MixerLevels& saved)
{
    m_saved = saved;
    m_prepared = true;
}

void AlarmSound::RestoreSound()
{
    if (!m_prepared)
        return;
    m_prepared = false;
    m_saved.restore(m_mixer);
    m_file.remove();
}
