#pragma once

#include "mmixer.h"

#include <functional>

// The few mixer operations the playback panel needs, handed in by the
// program (the shared mixer module) or by a test. Indices are those of the
// mixer's control table. Any of them may be
// left empty: without a mixer the slider still moves and shows percentages.
struct MixerFunctions
{
    static constexpr int kSpeakerVolume = MMixer::SpeakerVolume;
    static constexpr int kSpeakerMute = MMixer::SpeakerMute;

    std::function<bool(int device)> openMixer;
    std::function<bool(int index, int percent)> setVolume;
    std::function<bool(int index, int value)> setMute;

    void open(int device) const
    {
        if (openMixer)
            openMixer(device);
    }
    void volume(int index, int percent) const
    {
        if (setVolume)
            setVolume(index, percent);
    }
    void mute(int index, int value) const
    {
        if (setMute)
            setMute(index, value);
    }
};
