#include "alarmsound.h"

#include "mmixer.h"
#include "shortpath.h"

#include <QFile>
#include <QSaveFile>

AlarmSound::AlarmSound(MMixer& mixer, const QString& stateFile)
    : m_mixer(mixer), m_stateFile(stateFile)
{
}

QString AlarmSound::stateFileIn(const QString& runtimeFolder)
{
    return runtimeFolder + QStringLiteral("/Tinkra.sound");
}

QString AlarmSound::playCommand(const QString& ownFolder)
{
    return QStringLiteral("Play ") + ShortPath(ownFolder + QStringLiteral("/1.mp3"));
}

bool AlarmSound::RecoverLeftover()
{
    QFile file(m_stateFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const auto left = SoundState::fromText(file.read(256));
    file.close();
    // A damaged file cannot be trusted with the user's speakers; drop it.
    file.remove();
    if (!left)
        return false;
    apply(*left);
    return true;
}

void AlarmSound::PrepareSound()
{
    m_saved.speakerVolume = m_mixer.GetVolume(SpeakerVolume);
    m_saved.waveVolume = m_mixer.GetVolume(WaveVolume);
    m_saved.speakerMute = m_mixer.GetMute(SpeakerMute);
    m_saved.waveMute = m_mixer.GetMute(WaveMute);
    m_prepared = true;

    // Written in full or not at all. When it cannot be written the alarm
    // still sounds: a missed reminder is worse than loud speakers.
    QSaveFile file(m_stateFile);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(m_saved.toText());
        file.commit();
    }

    m_mixer.SetVolume(SpeakerVolume, 100);
    m_mixer.SetVolume(WaveVolume, 100);
    m_mixer.SetMute(SpeakerMute, false);
    m_mixer.SetMute(WaveMute, false);
}

void AlarmSound::RestoreSound()
{
    if (!m_prepared)
        return;
    apply(m_saved);
    QFile::remove(m_stateFile);
    m_prepared = false;
}

void AlarmSound::apply(const SoundState& s)
{
    m_mixer.SetVolume(SpeakerVolume, s.speakerVolume);
    m_mixer.SetVolume(WaveVolume, s.waveVolume);
    m_mixer.SetMute(SpeakerMute, s.speakerMute);
    m_mixer.SetMute(WaveMute, s.waveMute);
}
