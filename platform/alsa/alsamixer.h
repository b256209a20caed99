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

    snd_mixer_t* m_handle = nullptr;
    snd_mixer_t* m_probe = nullptr;  // attached by deviceCount(), not loaded yet
    std::vector<Control> m_controls; // id = index + 1
};
