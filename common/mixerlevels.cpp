#include "mixerlevels.h"

#include "mmixer.h"

#include <algorithm>

namespace {
int asByte(int percent)
{
    return std::clamp(percent, 0, 255);
}
} // namespace

MixerLevels SaveMixerLevelsAndApplyDefaults(MMixer& mixer, int* speakerSetTo)
{
    mixer.OpenMixer(0);
    MixerLevels saved;
    saved.speakerVolume = asByte(mixer.GetVolume(MMixer::SpeakerVolume));
    saved.waveVolume = asByte(mixer.GetVolume(MMixer::WaveVolume));
    saved.speakerMute = mixer.GetMute(MMixer::SpeakerMute);
    saved.waveMute = mixer.GetMute(MMixer::WaveMute);
    saved.microphoneVolume = asByte(mixer.GetVolume(MMixer::MicrophoneVolume));
    saved.microphoneMute = mixer.GetMute(MMixer::MicrophoneMute);

    const int speaker = saved.speakerVolume >= 50 ? 100 : 50;
    mixer.SetVolume(MMixer::SpeakerVolume, speaker);
    if (speakerSetTo)
        *speakerSetTo = speaker;
    mixer.SetVolume(MMixer::WaveVolume, 100);
    mixer.SetMute(MMixer::WaveMute, false);
    mixer.SetVolume(MMixer::MicrophoneVolume, 100);
    mixer.SetMute(MMixer::MicrophoneMute, false);
    return saved;
}

void RestoreMixerLevels(MMixer& mixer, const MixerLevels& levels)
{
    mixer.SetVolume(MMixer::SpeakerVolume, levels.speakerVolume);
    mixer.SetVolume(MMixer::WaveVolume, levels.waveVolume);
    mixer.SetMute(MMixer::SpeakerMute, levels.speakerMute);
    mixer.SetMute(MMixer::WaveMute, levels.waveMute);
    mixer.SetVolume(MMixer::MicrophoneVolume, levels.microphoneVolume);
    mixer.SetMute(MMixer::MicrophoneMute, levels.microphoneMute);
}
