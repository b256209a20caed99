#pragma once

class MMixer;

// The six mixer values the main program takes at start-up and puts back when
// it ends.
struct MixerLevels {
    int speakerVolume = 0;    // 0..255 (a byte)
    int waveVolume = 0;
    bool speakerMute = false;
    bool waveMute = false;
    int microphoneVolume = 0;
    bool microphoneMute = false;
};

// The settings save action (button `Sohranit`, also start-up): opens mixer
// device 0, takes the six levels, then sets the speakers to 100 % when they
// were at 50 % or more, else to 50 %, and the wave output and microphone to
// 100 % unmuted. Returns the levels taken; `speakerSetTo` receives 50 or 100
// for the volume slider's label and knob.
MixerLevels SaveMixerLevelsAndApplyDefaults(MMixer& mixer, int* speakerSetTo = nullptr);

// Puts the levels back in the shutdown order: speaker volume, wave volume,
// speaker mute, wave mute, microphone volume, microphone mute.
void RestoreMixerLevels(MMixer& mixer, const MixerLevels& levels);
