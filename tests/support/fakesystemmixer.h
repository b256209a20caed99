#pragma once

#include "systemmixer.h"

#include <QList>
#include <QMap>
#include <QPair>

#include <functional>
#include <vector>

// A sound card with speaker and wave-output volume and mute, in the ranges
// the system mixer reports. Remembers every write in order (one entry per
// channel written). A control with a value in `right` has a second channel.
class FakeSystemMixer : public SystemMixer
{
public:
    enum Id { SpeakerVolume = 1, SpeakerMute, WaveVolume, WaveMute };

    QMap<int, long>& values;
    QList<QPair<int, long>>& writes;
    QMap<int, long> right;
    std::function<void()> beforeWrite;
    bool hasWave = true;

    FakeSystemMixer(QMap<int, long>& v, QList<QPair<int, long>>& w) : values(v), writes(w) {}

    int deviceCount() override { return 1; }
    bool open(int device) override { return device == 0; }
    std::optional<MixerControlInfo> findControl(MixerLine line, MixerControlType type) override
    {
        const bool volume = type == MixerControlType::Volume;
        if (line == MixerLine::Speakers)
            return MixerControlInfo{volume ? SpeakerVolume : SpeakerMute, 0, volume ? 65535 : 1};
        if (line == MixerLine::WaveOut && hasWave)
            return MixerControlInfo{volume ? WaveVolume : WaveMute, 0, volume ? 65535 : 1};
        return std::nullopt;
    }
    std::optional<long> readControl(int id) override
    {
        if (!values.contains(id))
            return std::nullopt;
        return values.value(id);
    }
    bool writeControl(int id, long value) override
    {
        if (beforeWrite)
            beforeWrite();
        writes.append({id, value});
        values[id] = value;
        if (right.contains(id))
            right[id] = value;
        return true;
    }
    std::optional<std::vector<long>> readChannels(int id) override
    {
        if (!values.contains(id))
            return std::nullopt;
        std::vector<long> all{values.value(id)};
        if (right.contains(id))
            all.push_back(right.value(id));
        return all;
    }
    bool writeChannels(int id, const std::vector<long>& v) override
    {
        if (beforeWrite)
            beforeWrite();
        writes.append({id, v.front()});
        values[id] = v.front();
        if (right.contains(id)) {
            writes.append({id, v.back()});
            right[id] = v.back();
        }
        return true;
    }
};
