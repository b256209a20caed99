#pragma once

#include "systemmixer.h"

#include <array>
#include <memory>
#include <stdexcept>
#include <vector>

// An index outside 0..15 given to GetVolume/SetVolume/GetMute/SetMute.
class MixerIndexError : public std::out_of_range
{
public:
    explicit MixerIndexError(int index);
    int index() const { return m_index; }

private:
    int m_index;
};

// The mixer module: a fixed table of sixteen controls (volume and mute of the
// speakers and seven source lines) read and written as percentages or on/off.
// Controls the sound card lacks are absent: reads give 0 or false, writes do
// nothing and return false. Until OpenMixer succeeds every read gives 0/false
// and every write returns false.
class MMixer
{
public:
    // Indices of the control table.
    enum Index : int {
        SpeakerVolume = 0,
        LineInVolume = 1,
        MicrophoneVolume = 2,
        SynthesizerVolume = 3,
        CompactDiscVolume = 4,
        WaveVolume = 5,
        TelephoneVolume = 6,
        UndefinedVolume = 7,
        SpeakerMute = 8,
        LineInMute = 9,
        MicrophoneMute = 10,
        SynthesizerMute = 11,
        CompactDiscMute = 12,
        WaveMute = 13,
        TelephoneMute = 14,
        UndefinedMute = 15,
        ControlCount = 16,
    };

    // Uses the given backend: the system's (createAlsaMixer()) or, in tests,
    // a fake that records the writes.
    explicit MMixer(std::unique_ptr<SystemMixer> backend);
    ~MMixer();

    // Opens mixer device `device` anew and reloads the whole table. False when
    // there is no such device or it cannot be opened; an earlier open mixer
    // then stays in use.
    bool OpenMixer(int device);

    // Percent of the control's range, rounded half to even. Throws
    // MixerIndexError for an index outside 0..15.
    int GetVolume(int index) const;
    // raw = percent when the maximum is at most 100, else (maximum / 100) *
    // percent; then clamped to the range. Throws MixerIndexError.
    bool SetVolume(int index, int percent);
    // True when the control's value is not 0. Throws MixerIndexError.
    bool GetMute(int index) const;
    // Writes 1 (true) or 0 (false). Throws MixerIndexError.
    bool SetMute(int index, bool on);

    // Every channel of a control as the system mixer holds it, for putting a
    // balance back exactly; empty when the control is absent or unreadable.
    // The percent operations above read the first channel and write all.
    // Throws MixerIndexError.
    std::vector<long> GetChannels(int index) const;
    // Puts back what GetChannels gave, each value kept within the control's
    // range. False when absent or given nothing. Throws MixerIndexError.
    bool SetChannels(int index, const std::vector<long>& values);

    bool isOpen() const { return m_open; }

private:
    struct Entry
    {
        bool present = false;
        MixerControlInfo info;
    };
    const Entry& entry(int index) const;
    int GetControlValue(const Entry& e) const;
    bool SetControlValue(const Entry& e, long long value);

    std::unique_ptr<SystemMixer> m_backend;
    std::array<Entry, ControlCount> m_table{};
    bool m_open = false;
};
