#pragma once

#include "systemmixer.h"

#include <alsa/asoundlib.h>

#include <vector>

// SystemMixer on the ALSA simple mixer of the "default" device. ALSA ranges
// are scaled linearly to the Windows ones; mute is the inverse of the
// element's switch.
class AlsaMixer : public SystemMixer
{
public:
    AlsaMixer() = default;
    ~AlsaMixer() override;

    int deviceCount() override;
    bool open(int device) override;
    std::optional<MixerControlInfo> findControl(MixerLine line, MixerControlType type) override;
    std::optional<long> readControl(int id) override;
    bool writeControl(int id, long value) override;
    std::optional<std::vector<long>> readChannels(int id) override;
    bool writeChannels(int id, const std::vector<long>& values) override;

    // Element names tried for a line, in order.
    static std::vector<const char*> elementNames(MixerLine line);

private:
    struct Control
    {
        snd_mixer_elem_t* elem = nullptr;
        MixerControlType type = MixerControlType::Volume;
        bool capture = false;
    };
    void close();
    // The control, after taking in what other programs changed meanwhile.
    const Control* current(int id);
    std::vector<snd_mixer_selem_channel_id_t> channels(const Control& c) const;
    bool range(const Control& c, long* min, long* max) const;
    // Writes every channel of `c` (raw values, in the element's order) in
    // one write of its element, where it has one of that shape. The simple
    // mixer writes one channel at a time, and on a sound server each write
    // is a round trip that changes the level: a speaker turned up would be
    // heard raised on one side first, and the alarm start later. The
    // channel writes that follow then change nothing.
    void writeAtOnce(const Control& c, const std::vector<long>& raw);

    snd_mixer_t* m_handle = nullptr;
    snd_mixer_t* m_probe = nullptr;       // attached by deviceCount(), not loaded yet
    snd_mixer_class_t* m_class = nullptr; // the simple mixer's, owned by m_handle
    std::vector<Control> m_controls;      // id = index + 1
};
