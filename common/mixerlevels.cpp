#include "mixerlevels.h"

#include "durablefile.h"
#include "mmixer.h"
#include "singleinstance.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// The programs of the suite that keep levels, each in "<program>.sound" next
// to its single-instance lock.
const char* const kKeepers[] = {"Quillmur", "Tinkra"};

} // namespace

QString MixerLevelsFile::in(const QString& runtimeFolder, const QString& program)
{
    return runtimeFolder + QLatin1Char('/') + program + QStringLiteral(".sound");
}

bool MixerLevelsFile::write(const MixerLevels& levels) const
{
    return !m_path.isEmpty() &&
           DurableFile::write(m_path, QByteArray::fromStdString(levels.toText())) == 0;
}

std::optional<MixerLevels> MixerLevelsFile::takeLeftover() const
{
    if (m_path.isEmpty())
        return std::nullopt;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.read(4096);
    const auto left =
        MixerLevels::fromText(std::string_view(text.constData(), size_t(text.size())));
    file.close();
    file.remove();
    return left;
}

std::vector<MixerLevels> MixerLevelsFile::takeSuiteLeftovers() const
{
    if (m_path.isEmpty())
        return {};
    const QFileInfo own(m_path);
    const QString folder = own.absolutePath();
    std::vector<QFileInfo> found;
    if (own.exists())
        found.push_back(own);
    for (const char* keeper : kKeepers) {
        const QFileInfo file(in(folder, QLatin1String(keeper)));
        // A running program's file holds what it will put back itself. Its
        // lock is only read: a program starting right now must not find it
        // busy because of this look.
        if (file.fileName() != own.fileName() && file.exists() &&
            !SingleInstance::isRunning(folder, QLatin1String(keeper)))
            found.push_back(file);
    }
    std::stable_sort(found.begin(), found.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() > b.lastModified();
    });
    std::vector<MixerLevels> left;
    for (const QFileInfo& file : found)
        if (auto levels = MixerLevelsFile(file.filePath()).takeLeftover())
            left.push_back(std::move(*levels));
    return left;
}

void MixerLevelsFile::remove() const
{
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

MixerLevels SaveMixerLevelsAndApplyDefaults(MMixer& mixer, int* speakerSetTo,
                                            const MixerLevelsFile& keep)
{
    mixer.OpenMixer(0);
    const MixerLevels saved = MixerLevels::take(
        mixer, {MMixer::SpeakerVolume, MMixer::WaveVolume, MMixer::SpeakerMute, MMixer::WaveMute,
                MMixer::MicrophoneVolume, MMixer::MicrophoneMute});
    // On disk before anything changes: a kill from here on is repaired.
    keep.write(saved);

    const int speaker = saved.value(MMixer::SpeakerVolume) >= 50 ? 100 : 50;
    mixer.SetVolume(MMixer::SpeakerVolume, speaker);
    if (speakerSetTo)
        *speakerSetTo = speaker;
    mixer.SetVolume(MMixer::WaveVolume, 100);
    mixer.SetMute(MMixer::WaveMute, false);
    mixer.SetVolume(MMixer::MicrophoneVolume, 100);
    mixer.SetMute(MMixer::MicrophoneMute, false);
    return saved;
}

bool RecoverMixerLevels(MMixer& mixer, const MixerLevelsFile& file)
{
    const std::vector<MixerLevels> left = file.takeSuiteLeftovers();
    if (left.empty())
        return false;
    mixer.OpenMixer(0);
    for (const MixerLevels& levels : left)
        levels.restore(mixer);
    return true;
}

void RestoreMixerLevels(MMixer& mixer, const MixerLevels& levels, const MixerLevelsFile& keep)
{
    levels.restore(mixer);
    keep.remove();
}

const MixerLevels& KeptMixerLevels::applyDefaults()
{
    // A run that was killed, this program's or the alarm's, left the
    // speakers raised: the user's levels are the ones it kept, not what the
    // mixer holds now.
    if (!m_taken)
        RecoverMixerLevels(m_mixer, m_file);
    m_levels = SaveMixerLevelsAndApplyDefaults(m_mixer, nullptr, m_file);
    m_taken = true;
    return m_levels;
}

void KeptMixerLevels::restore()
{
    if (!m_taken)
        return;
    RestoreMixerLevels(m_mixer, m_levels, m_file);
    m_taken = false;
}
