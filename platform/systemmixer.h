#pragma once

#include <memory>
#include <optional>
#include <vector>

// The system sound mixer as the suite's mixer module sees it: the lines of its
// control table, each with a volume and a mute control in the Windows ranges
// (volume 0..65535, mute 0..1 where 1 means muted). A line the sound card does
// not have is simply not found. Other programs change the mixer at any time:
// every read gives the sound system's current value and every write reaches
// it, even when it equals what this process wrote last.
enum class MixerLine {
    Speakers,    // output destination: ALSA "Master"
    LineIn,      // "Line"
    Microphone,  // "Mic", else "Capture"
    Synthesizer, // "Synth"
    CompactDisc, // "CD"
    WaveOut,     // "PCM"
    Telephone,   // "Phone"
    Undefined,   // never present
};

enum class MixerControlType { Volume, Mute };

// One control as found on the system mixer.
struct MixerControlInfo
{
    int id = 0;       // non-zero handle for readControl/writeControl
    long minimum = 0; // 0 for both kinds
    long maximum = 0; // 65535 for volume, 1 for mute
};

class SystemMixer
{
public:
    virtual ~SystemMixer() = default;

    // How many mixer devices there are (device numbers 0 .. n-1).
    virtual int deviceCount() = 0;

    // Opens the given device, replacing (and closing) any earlier one.
    virtual bool open(int device) = 0;

    // Looks a control up on the open device; nothing when it is absent or
    // no device is open.
    virtual std::optional<MixerControlInfo> findControl(MixerLine line, MixerControlType type) = 0;

    // Current value of a found control (the first channel), or nothing when
    // it cannot be read.
    virtual std::optional<long> readControl(int id) = 0;

    // Writes a value (already within the control's range) to every channel.
    virtual bool writeControl(int id, long value) = 0;

    // Every channel of a found control, in the control's range, so that a
    // balance (left 20 %, right 80 %) can be put back as it was; nothing when
    // it cannot be read. A backend that knows one value per control need not
    // override this pair.
    virtual std::optional<std::vector<long>> readChannels(int id)
    {
        const auto value = readControl(id);
        if (!value)
            return std::nullopt;
        return std::vector<long>{*value};
    }

    // Writes one value per channel, as readChannels gave them. A control with
    // more channels than values gets the last value on the rest.
    virtual bool writeChannels(int id, const std::vector<long>& values)
    {
        return !values.empty() && writeControl(id, values.back());
    }
};

// The ALSA simple mixer of the "default" device.
std::unique_ptr<SystemMixer> createAlsaMixer();
