#include "alsamixer.h"

#include "alsautil.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long WindowsVolumeMax = 65535;

snd_mixer_elem_t* findElement(snd_mixer_t* handle, const char* name)
{
    snd_mixer_selem_id_t* sid = nullptr;
    snd_mixer_selem_id_alloca(&sid);
    snd_mixer_selem_id_set_index(sid, 0);
    snd_mixer_selem_id_set_name(sid, name);
    return snd_mixer_find_selem(handle, sid);
}

} // namespace

std::unique_ptr<SystemMixer> createAlsaMixer()
{
    return std::make_unique<AlsaMixer>();
}

AlsaMixer::~AlsaMixer()
{
    close();
}

std::vector<const char*> AlsaMixer::elementNames(MixerLine line)
{
    switch (line) {
    case MixerLine::Speakers: return {"Master"};
    case MixerLine::LineIn: return {"Line"};
    case MixerLine::Microphone: return {"Mic", "Capture"};
    case MixerLine::Synthesizer: return {"Synth"};
    case MixerLine::CompactDisc: return {"CD"};
    case MixerLine::WaveOut: return {"PCM"};
    case MixerLine::Telephone: return {"Phone"};
    case MixerLine::Undefined: return {};
    }
    return {};
}

void AlsaMixer::close()
{
    m_controls.clear();
    if (m_handle) {
        snd_mixer_close(m_handle);
        m_handle = nullptr;
    }
}

int AlsaMixer::deviceCount()
{
    // One mixer: the one of the "default" device, when it can be reached.
    if (m_handle)
        return 1;
    AlsaUtil::silenceErrors();
    snd_mixer_t* probe = nullptr;
    if (snd_mixer_open(&probe, 0) < 0)
        return 0;
    const bool ok = snd_mixer_attach(probe, "default") >= 0;
    snd_mixer_close(probe);
    return ok ? 1 : 0;
}

bool AlsaMixer::open(int device)
{
    if (device != 0)
        return false;
    AlsaUtil::silenceErrors();
    snd_mixer_t* handle = nullptr;
    if (snd_mixer_open(&handle, 0) < 0)
        return false;
    if (snd_mixer_attach(handle, "default") < 0 ||
        snd_mixer_selem_register(handle, nullptr, nullptr) < 0 || snd_mixer_load(handle) < 0) {
        snd_mixer_close(handle);
        return false;
    }
    close();
    m_handle = handle;
    return true;
}

std::optional<MixerControlInfo> AlsaMixer::findControl(MixerLine line, MixerControlType type)
{
    if (!m_handle)
        return std::nullopt;
    for (const char* name : elementNames(line)) {
        snd_mixer_elem_t* elem = findElement(m_handle, name);
        if (!elem)
            continue;
        const bool isVolume = type == MixerControlType::Volume;
        const bool playback = isVolume ? snd_mixer_selem_has_playback_volume(elem)
                                       : snd_mixer_selem_has_playback_switch(elem);
        const bool capture = isVolume ? snd_mixer_selem_has_capture_volume(elem)
                                      : snd_mixer_selem_has_capture_switch(elem);
        if (!playback && !capture)
            continue;
        // The microphone matters for recording, so its capture side wins;
        // every other line is an output mixed into the speakers.
        const bool useCapture = line == MixerLine::Microphone ? capture : !playback;
        m_controls.push_back({elem, type, useCapture});
        MixerControlInfo info;
        info.id = int(m_controls.size());
        info.minimum = 0;
        info.maximum = isVolume ? WindowsVolumeMax : 1;
        return info;
    }
    return std::nullopt;
}

const AlsaMixer::Control* AlsaMixer::control(int id) const
{
    if (!m_handle || id < 1 || id > int(m_controls.size()))
        return nullptr;
    return &m_controls[size_t(id - 1)];
}

std::optional<long> AlsaMixer::readControl(int id)
{
    const Control* c = control(id);
    if (!c)
        return std::nullopt;
    // Other programs change the mixer too; take their changes in first.
    snd_mixer_handle_events(m_handle);
    const auto ch = SND_MIXER_SCHN_FRONT_LEFT;
    if (c->type == MixerControlType::Mute) {
        int on = 1;
        const int rc = c->capture ? snd_mixer_selem_get_capture_switch(c->elem, ch, &on)
                                  : snd_mixer_selem_get_playback_switch(c->elem, ch, &on);
        if (rc < 0)
            return std::nullopt;
        return on ? 0 : 1;
    }
    long min = 0, max = 0, value = 0;
    const int rangeRc = c->capture ? snd_mixer_selem_get_capture_volume_range(c->elem, &min, &max)
                                   : snd_mixer_selem_get_playback_volume_range(c->elem, &min, &max);
    const int rc = c->capture ? snd_mixer_selem_get_capture_volume(c->elem, ch, &value)
                              : snd_mixer_selem_get_playback_volume(c->elem, ch, &value);
    if (rangeRc < 0 || rc < 0 || max <= min)
        return std::nullopt;
    return std::lround(double(value - min) * WindowsVolumeMax / double(max - min));
}

bool AlsaMixer::writeControl(int id, long value)
{
    const Control* c = control(id);
    if (!c)
        return false;
    if (c->type == MixerControlType::Mute) {
        const int on = value ? 0 : 1;
        return (c->capture ? snd_mixer_selem_set_capture_switch_all(c->elem, on)
                           : snd_mixer_selem_set_playback_switch_all(c->elem, on)) >= 0;
    }
    long min = 0, max = 0;
    if ((c->capture ? snd_mixer_selem_get_capture_volume_range(c->elem, &min, &max)
                    : snd_mixer_selem_get_playback_volume_range(c->elem, &min, &max)) < 0 ||
        max <= min)
        return false;
    const long clamped = std::clamp(value, 0L, WindowsVolumeMax);
    const long raw = min + std::lround(double(clamped) * double(max - min) / WindowsVolumeMax);
    return (c->capture ? snd_mixer_selem_set_capture_volume_all(c->elem, raw)
                       : snd_mixer_selem_set_playback_volume_all(c->elem, raw)) >= 0;
}
