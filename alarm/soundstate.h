#pragma once

#include <QByteArray>

#include <optional>

// The four mixer values the alarm player takes at its start and puts back at
// its end, and their form in the small file that outlives a killed player.
struct SoundState
{
    int speakerVolume = 0; // percent
    int waveVolume = 0;    // percent
    bool speakerMute = false;
    bool waveMute = false;

    // "speaker=30\nwave=100\nspeakerMute=1\nwaveMute=0\n"
    QByteArray toText() const;
    // Nothing unless every key is present once with a valid value.
    static std::optional<SoundState> fromText(const QByteArray& text);

    bool operator==(const SoundState& o) const
    {
        return speakerVolume == o.speakerVolume && waveVolume == o.waveVolume &&
               speakerMute == o.speakerMute && waveMute == o.waveMute;
    }
};
