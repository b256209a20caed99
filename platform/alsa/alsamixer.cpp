#include "alsamixer.h"

#include "alsautil.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

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

// Loading reads every element, and a sound server's mixer (PulseAudio's,
// PipeWire's) reports those first reads back as changes. Handled, each
// report would read its element again, at two round trips to the server
// per control, for the values just loaded; they are dropped unread.
void dropLoadReports(snd_mixer_t* handle)
{
    snd_hctl_t* hctl = nullptr;
    if (snd_mixer_get_hctl(handle, "default", &hctl) < 0) {
        snd_mixer_handle_events(handle);
        return;
    }
    // The mixer made the control handle non-blocking: this ends when none
    // is left.
    snd_ctl_t* ctl = snd_hctl_ctl(hctl);
    snd_ctl_event_t* event = nullptr;
    snd_ctl_event_alloca(&event);
    while (snd_ctl_read(ctl, event) > 0) {
    }
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
    case MixerLine::Speakers:
        return {"Master"};
    case MixerLine::LineIn:
        return {"Line"};
    case MixerLine::Microphone:
        return {"Mic", "Capture"};
    case MixerLine::Synthesizer:
        return {"Synth"};
    case MixerLine::CompactDisc:
        return {"CD"};
    case MixerLine::WaveOut:
        return {"PCM"};
    case MixerLine::Telephone:
        return {"Phone"};
    case MixerLine::Undefined:
        return {};
    }
    return {};
}

void AlsaMixer::close()
{
    if (m_probe) {
        snd_mixer_close(m_probe);
        m_probe = nullptr;
    }
    m_controls.clear();
    m_class = nullptr;
    if (m_handle) {
        snd_mixer_close(m_handle);
        m_handle = nullptr;
    }
}

int AlsaMixer::deviceCount()
{
    // One mixer: the one of the "default" device, when it can be reached.
    if (m_handle || m_probe)
        return 1;
    AlsaUtil::silenceErrors();
    snd_mixer_t* probe = nullptr;
    if (snd_mixer_open(&probe, 0) < 0)
        return 0;
    if (snd_mixer_attach(probe, "default") < 0) {
        snd_mixer_close(probe);
        return 0;
    }
    // Attaching is most of the cost of opening (on a sound server it is a
    // connection to it): an open() that follows takes this handle over.
    m_probe = probe;
    return 1;
}

bool AlsaMixer::open(int device)
{
    if (device != 0)
        return false;
    AlsaUtil::silenceErrors();
    // The handle deviceCount() attached, else a new one.
    snd_mixer_t* handle = std::exchange(m_probe, nullptr);
    const bool attached = handle != nullptr;
    snd_mixer_class_t* simple = nullptr;
    if (!attached && snd_mixer_open(&handle, 0) < 0)
        return false;
    if ((!attached && snd_mixer_attach(handle, "default") < 0) ||
        snd_mixer_selem_register(handle, nullptr, &simple) < 0 || snd_mixer_load(handle) < 0) {
        snd_mixer_close(handle);
        return false;
    }
    dropLoadReports(handle);
    close();
    m_handle = handle;
    m_class = simple;
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

const AlsaMixer::Control* AlsaMixer::current(int id)
{
    if (!m_handle || id < 1 || id > int(m_controls.size()))
        return nullptr;
    // The simple mixer keeps the last value it knows and drops a write equal
    // to it. Another program (the alarm player, the desktop's volume applet)
    // may have changed the level since: take those changes in first, so a
    // read is current and a write of the old value still lands.
    snd_mixer_handle_events(m_handle);
    return &m_controls[size_t(id - 1)];
}

std::vector<snd_mixer_selem_channel_id_t> AlsaMixer::channels(const Control& c) const
{
    std::vector<snd_mixer_selem_channel_id_t> found;
    for (int ch = 0; ch <= SND_MIXER_SCHN_LAST; ++ch) {
        const auto id = snd_mixer_selem_channel_id_t(ch);
        const bool has = c.capture ? snd_mixer_selem_has_capture_channel(c.elem, id)
                                   : snd_mixer_selem_has_playback_channel(c.elem, id);
        if (has)
            found.push_back(id);
    }
    return found;
}

bool AlsaMixer::range(const Control& c, long* min, long* max) const
{
    const int rc = c.capture ? snd_mixer_selem_get_capture_volume_range(c.elem, min, max)
                             : snd_mixer_selem_get_playback_volume_range(c.elem, min, max);
    return rc >= 0 && *max > *min;
}

namespace {

long toWindows(long raw, long min, long max)
{
    return std::lround(double(raw - min) * WindowsVolumeMax / double(max - min));
}

long fromWindows(long value, long min, long max)
{
    const long clamped = std::clamp(value, 0L, WindowsVolumeMax);
    return min + std::lround(double(clamped) * double(max - min) / WindowsVolumeMax);
}

} // namespace

void AlsaMixer::writeAtOnce(const Control& c, const std::vector<long>& raw)
{
    snd_hctl_t* hctl = nullptr;
    if (raw.empty() || snd_mixer_get_hctl(m_handle, "default", &hctl) < 0)
        return;
    const bool isMute = c.type == MixerControlType::Mute;
    const std::string name = snd_mixer_selem_get_name(c.elem);
    const std::string kind = isMute ? " Switch" : " Volume";
    const std::string side = c.capture ? " Capture" : " Playback";
    // The names the simple mixer gives a control's element: its own side's,
    // else one for both sides.
    for (const std::string& full : {name + side + kind, name + kind}) {
        snd_ctl_elem_id_t* id = nullptr;
        snd_ctl_elem_id_alloca(&id);
        snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
        snd_ctl_elem_id_set_name(id, full.c_str());
        snd_ctl_elem_id_set_index(id, snd_mixer_selem_get_index(c.elem));
        snd_hctl_elem_t* elem = snd_hctl_find_elem(hctl, id);
        if (!elem)
            continue;
        snd_ctl_elem_info_t* info = nullptr;
        snd_ctl_elem_info_alloca(&info);
        const snd_ctl_elem_type_t type =
            isMute ? SND_CTL_ELEM_TYPE_BOOLEAN : SND_CTL_ELEM_TYPE_INTEGER;
        if (snd_hctl_elem_info(elem, info) < 0 || snd_ctl_elem_info_get_type(info) != type ||
            !snd_ctl_elem_info_is_writable(info) || snd_ctl_elem_info_get_count(info) != raw.size())
            return;
        snd_ctl_elem_value_t* value = nullptr;
        snd_ctl_elem_value_alloca(&value);
        for (unsigned i = 0; i < raw.size(); ++i) {
            if (isMute)
                snd_ctl_elem_value_set_boolean(value, i, raw[i] != 0);
            else
                snd_ctl_elem_value_set_integer(value, i, raw[i]);
        }
        // The simple mixer learns of a change from the element's notice,
        // which comes later or (from a sound server, for a change of one's
        // own) not at all: it is told now, as a notice would, so that it
        // reads what was written before it writes a channel itself.
        const snd_mixer_event_t told = m_class ? snd_mixer_class_get_event(m_class) : nullptr;
        if (snd_hctl_elem_write(elem, value) >= 0 && told)
            told(m_class, SND_CTL_EVENT_MASK_VALUE, elem, c.elem);
        return;
    }
}

std::optional<long> AlsaMixer::readControl(int id)
{
    const auto all = readChannels(id);
    if (!all || all->empty())
        return std::nullopt;
    return all->front();
}

bool AlsaMixer::writeControl(int id, long value)
{
    const Control* c = current(id);
    if (!c)
        return false;
    if (c->type == MixerControlType::Mute) {
        const int on = value ? 0 : 1;
        writeAtOnce(*c, std::vector<long>(channels(*c).size(), on));
        return (c->capture ? snd_mixer_selem_set_capture_switch_all(c->elem, on)
                           : snd_mixer_selem_set_playback_switch_all(c->elem, on)) >= 0;
    }
    long min = 0, max = 0;
    if (!range(*c, &min, &max))
        return false;
    const long raw = fromWindows(value, min, max);
    writeAtOnce(*c, std::vector<long>(channels(*c).size(), raw));
    return (c->capture ? snd_mixer_selem_set_capture_volume_all(c->elem, raw)
                       : snd_mixer_selem_set_playback_volume_all(c->elem, raw)) >= 0;
}

std::optional<std::vector<long>> AlsaMixer::readChannels(int id)
{
    const Control* c = current(id);
    if (!c)
        return std::nullopt;
    long min = 0, max = 0;
    const bool isMute = c->type == MixerControlType::Mute;
    if (!isMute && !range(*c, &min, &max))
        return std::nullopt;
    std::vector<long> values;
    for (const auto ch : channels(*c)) {
        if (isMute) {
            int on = 1;
            if ((c->capture ? snd_mixer_selem_get_capture_switch(c->elem, ch, &on)
                            : snd_mixer_selem_get_playback_switch(c->elem, ch, &on)) < 0)
                return std::nullopt;
            values.push_back(on ? 0 : 1);
        } else {
            long raw = 0;
            if ((c->capture ? snd_mixer_selem_get_capture_volume(c->elem, ch, &raw)
                            : snd_mixer_selem_get_playback_volume(c->elem, ch, &raw)) < 0)
                return std::nullopt;
            values.push_back(toWindows(raw, min, max));
        }
    }
    if (values.empty())
        return std::nullopt;
    return values;
}

bool AlsaMixer::writeChannels(int id, const std::vector<long>& values)
{
    const Control* c = current(id);
    if (!c || values.empty())
        return false;
    long min = 0, max = 0;
    const bool isMute = c->type == MixerControlType::Mute;
    if (!isMute && !range(*c, &min, &max))
        return false;
    const auto all = channels(*c);
    std::vector<long> raw;
    for (size_t i = 0; i < all.size(); ++i) {
        const long value = values[std::min(i, values.size() - 1)];
        raw.push_back(isMute ? (value ? 0 : 1) : fromWindows(value, min, max));
    }
    writeAtOnce(*c, raw);
    bool ok = true;
    for (size_t i = 0; i < all.size(); ++i) {
        const auto ch = all[i];
        int rc = 0;
        if (isMute)
            rc = c->capture ? snd_mixer_selem_set_capture_switch(c->elem, ch, int(raw[i]))
                            : snd_mixer_selem_set_playback_switch(c->elem, ch, int(raw[i]));
        else
            rc = c->capture ? snd_mixer_selem_set_capture_volume(c->elem, ch, raw[i])
                            : snd_mixer_selem_set_playback_volume(c->elem, ch, raw[i]);
        ok = ok && rc >= 0;
    }
    return ok;
}
