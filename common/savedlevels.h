#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class MMixer;

// Some controls of the mixer table as they stood at one moment, to be put
// back later: the main program's six at start-up, the alarm player's four.
// Each control keeps the value the percent rules read (what the volume knob
// shows) and every channel as the system mixer had it, so a balance of left
// 20 % and right 80 % comes back as it was and not as 20 % on both sides.
class MixerLevels
{
public:
    struct Control
    {
        int index = 0;              // row of the control table
        int value = 0;              // volume: percent narrowed to a byte; mute: 0 or 1
        std::vector<long> channels; // empty when the mixer gave none
        bool operator==(const Control& o) const
        {
            return index == o.index && value == o.value && channels == o.channels;
        }
    };

    MixerLevels() = default;
    explicit MixerLevels(std::vector<Control> controls) : m_controls(std::move(controls)) {}

    // Reads the controls at `indices`, in that order, which is also the order
    // in which they are put back.
    static MixerLevels take(const MMixer& mixer, const std::vector<int>& indices);

    // Puts every control back in the order taken: its channels as they were,
    // or, when the mixer gave none, its value through SetVolume / SetMute.
    void restore(MMixer& mixer) const;

    // The value taken for a control; 0 when it was not taken.
    int value(int index) const;
    bool mute(int index) const { return value(index) != 0; }
    const std::vector<Control>& controls() const { return m_controls; }

    // One line per control: "index value channel channel ...\n".
    std::string toText() const;
    // Nothing unless every line is a control of the table, once, with a
    // valid value and at most 32 channels.
    static std::optional<MixerLevels> fromText(std::string_view text);

    bool operator==(const MixerLevels& o) const { return m_controls == o.m_controls; }

private:
    std::vector<Control> m_controls;
};
