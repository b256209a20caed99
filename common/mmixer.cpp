#include "mmixer.h"

#include "roundhalfeven.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

struct Row
{
    MixerLine line;
    MixerControlType type;
};

// The table order is fixed: callers address entries by index.
constexpr Row kTable[MMixer::ControlCount] = {
    {MixerLine::Speakers, MixerControlType::Volume},
    {MixerLine::LineIn, MixerControlType::Volume},
    {MixerLine::Microphone, MixerControlType::Volume},
    {MixerLine::Synthesizer, MixerControlType::Volume},
    {MixerLine::CompactDisc, MixerControlType::Volume},
    {MixerLine::WaveOut, MixerControlType::Volume},
    {MixerLine::Telephone, MixerControlType::Volume},
    {MixerLine::Undefined, MixerControlType::Volume},
    {MixerLine::Speakers, MixerControlType::Mute},
    {MixerLine::LineIn, MixerControlType::Mute},
    {MixerLine::Microphone, MixerControlType::Mute},
    {MixerLine::Synthesizer, MixerControlType::Mute},
    {MixerLine::CompactDisc, MixerControlType::Mute},
    {MixerLine::WaveOut, MixerControlType::Mute},
    {MixerLine::Telephone, MixerControlType::Mute},
    {MixerLine::Undefined, MixerControlType::Mute},
};

} // namespace

MixerIndexError::MixerIndexError(int index)
    : std::out_of_range("mixer control index " + std::to_string(index) + " is outside 0..15"),
      m_index(index)
{
}

MMixer::MMixer(std::unique_ptr<SystemMixer> backend) : m_backend(std::move(backend)) {}

MMixer::~MMixer() = default;

bool MMixer::OpenMixer(int device)
{
    if (!m_backend)
        return false;
    const int n = m_backend->deviceCount();
    // A failed open reports false but leaves an earlier open mixer usable.
    if (device < 0 || device > n - 1)
        return false;
    if (!m_backend->open(device))
        return false;
    m_open = true;
    // Reload the whole table; a control the card lacks stays absent.
    for (int i = 0; i < ControlCount; ++i) {
        Entry& e = m_table[size_t(i)];
        e = Entry{};
        if (const auto info = m_backend->findControl(kTable[i].line, kTable[i].type)) {
            e.present = info->id != 0 && info->maximum > info->minimum;
            e.info = *info;
        }
    }
    return m_open;
}

const MMixer::Entry& MMixer::entry(int index) const
{
    if (index < 0 || index >= ControlCount)
        throw MixerIndexError(index);
    return m_table[size_t(index)];
}

int MMixer::GetControlValue(const Entry& e) const
{
    if (!m_open || !e.present)
        return 0;
    // A failed read counts as 0, as the arithmetic below expects.
    const long long value = m_backend->readControl(e.info.id).value_or(0);
    // |value * 100 / (max - min)|, rounded to nearest, halves to even; in
    // 64-bit integers so no range the backend reports can overflow.
    const long long num = std::llabs(value * 100);
    const long long den = std::llabs(static_cast<long long>(e.info.maximum) - e.info.minimum);
    return int(divideHalfEven(num, den));
}

bool MMixer::SetControlValue(const Entry& e, long long value)
{
    if (!m_open || !e.present)
        return false;
    const long long maximum = e.info.maximum;
    const long long minimum = e.info.minimum;
    long long raw = maximum <= 100 ? value : (maximum / 100) * value;
    if (raw > maximum)
        raw = maximum;
    if (raw < minimum)
        raw = minimum;
    return m_backend->writeControl(e.info.id, long(raw));
}

int MMixer::GetVolume(int index) const
{
    return GetControlValue(entry(index));
}

bool MMixer::SetVolume(int index, int percent)
{
    return SetControlValue(entry(index), percent);
}

bool MMixer::GetMute(int index) const
{
    return GetControlValue(entry(index)) != 0;
}

bool MMixer::SetMute(int index, bool on)
{
    return SetControlValue(entry(index), on ? 1 : 0);
}

std::vector<long> MMixer::GetChannels(int index) const
{
    const Entry& e = entry(index);
    if (!m_open || !e.present)
        return {};
    return m_backend->readChannels(e.info.id).value_or(std::vector<long>{});
}

bool MMixer::SetChannels(int index, const std::vector<long>& values)
{
    const Entry& e = entry(index);
    if (!m_open || !e.present || values.empty())
        return false;
    std::vector<long> kept(values);
    for (long& v : kept)
        v = std::clamp(v, e.info.minimum, e.info.maximum);
    return m_backend->writeChannels(e.info.id, kept);
}
