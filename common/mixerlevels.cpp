#include "mixerlevels.h"

#include "durablefile.h"
#include "mmixer.h"
#include "singleinstance.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

bool isVolume(int index)
{
    return index < MMixer::SpeakerMute;
}

// The programs of the suite that keep levels, each in "<program>.sound" next
// to its single-instance lock.
const char* const kKeepers[] = {"Quillmur", "Tinkra"};

} // namespace

MixerLevels MixerLevels::take(const MMixer& mixer, const std::vector<int>& indices)
{
    std::vector<Control> controls;
    for (int index : indices) {
        Control c;
        c.index = index;
        c.value = isVolume(index) ? std::clamp(mixer.GetVolume(index), 0, 255)
                                  : (mixer.GetMute(index) ? 1 : 0);
        c.channels = mixer.GetChannels(index);
        controls.push_back(std::move(c));
    }
    return MixerLevels(std::move(controls));
}

void MixerLevels::restore(MMixer& mixer) const
{
    for (const Control& c : m_controls) {
        if (!c.channels.empty())
            mixer.SetChannels(c.index, c.channels);
        else if (isVolume(c.index))
            mixer.SetVolume(c.index, c.value);
        else
            mixer.SetMute(c.index, c.value != 0);
    }
}

int MixerLevels::value(int index) const
{
    for (const Control& c : m_controls)
        if (c.index == index)
            return c.value;
    return 0;
}

QByteArray MixerLevels::toText() const
{
    QByteArray text;
    for (const Control& c : m_controls) {
        text += QByteArray::number(c.index) + ' ' + QByteArray::number(c.value);
        for (long ch : c.channels)
            text += ' ' + QByteArray::number(qlonglong(ch));
        text += '\n';
    }
    return text;
}

std::optional<MixerLevels> MixerLevels::fromText(const QByteArray& text)
{
    std::vector<Control> controls;
    for (const QByteArray& line : text.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2 || fields.size() > 2 + 32)
            return std::nullopt;
        std::vector<long> numbers;
        for (const QByteArray& f : fields) {
            bool ok = false;
            const long n = f.toLong(&ok);
            if (!ok || n < 0 || n > 65535)
                return std::nullopt;
            numbers.push_back(n);
        }
        Control c;
        c.index = int(numbers[0]);
        c.value = int(numbers[1]);
        c.channels.assign(numbers.begin() + 2, numbers.end());
        const bool known = c.index < MMixer::ControlCount &&
                           std::none_of(controls.begin(), controls.end(),
                                        [&](const Control& o) { return o.index == c.index; });
        const bool valid = isVolume(c.index) ? c.value <= 100 : c.value <= 1;
        if (!known || !valid)
            return std::nullopt;
        controls.push_back(std::move(c));
    }
    if (controls.empty())
        return std::nullopt;
    return MixerLevels(std::move(controls));
}

QString MixerLevelsFile::in(const QString& runtimeFolder, const QString& program)
{
    return runtimeFolder + QLatin1Char('/') + program + QStringLiteral(".sound");
}

bool MixerLevelsFile::write(const MixerLevels& levels) const
{
    return !m_path.isEmpty() && DurableFile::write(m_path, levels.toText()) == 0;
}

std::optional<MixerLevels> MixerLevelsFile::takeLeftover() const
{
    if (m_path.isEmpty())
        return std::nullopt;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto left = MixerLevels::fromText(file.read(4096));
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
