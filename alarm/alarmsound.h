#pragma once

#include "mixerlevels.h"

#include <QString>

class MMixer;

// The alarm player's hold on the mixer: full volume and no mute while the
// alarm sounds, and the user's own settings back afterwards. What it found
// is also kept in a small file until it has been put back, so a player that
// is killed half-way is repaired by the next one instead of leaving the
// speakers at 100 %.
class AlarmSound
{
public:
    // Control numbers of the mixer table.
    enum : int { SpeakerVolume = 0, WaveVolume = 5, SpeakerMute = 8, WaveMute = 13 };

    // `stateFile` is where the values live while the alarm sounds.
    AlarmSound(MMixer& mixer, const QString& stateFile);

    // The state file in the per-user runtime folder.
    static QString stateFileIn(const QString& runtimeFolder);
    // The alarm recording 1.mp3 of the player's own folder.
    static QString alarmFile(const QString& ownFolder);
    // "Play " and the short form of the alarm recording.
    static QString playCommand(const QString& ownFolder);
    // "Cue " and the same short form: opens it for playing, silently.
    static QString cueCommand(const QString& ownFolder);
    // "Stop " and the same short form: ends the chime when the notes follow.
    static QString stopCommand(const QString& ownFolder);

    // Puts back what a player that never finished left in the state file,
    // and what the main program left when it was killed (see
    // MixerLevelsFile::takeSuiteLeftovers), and removes the files. Only call
    // it while no other player runs. True when there was something to put
    // back.
    bool RecoverLeftover();

    // Takes the speaker and wave volumes and mutes, writes them to the state
    // file, and only then sets both to 100 % and unmuted (AlarmLevels).
    void PrepareSound();
    // What PrepareSound does, done already (by the program's first stage,
    // alarmprelude.h): `saved` is in the state file and the mixer is up.
    void adoptPrepared(const MixerLevels& saved);

    // Puts back the values PrepareSound took (speaker volume, wave volume,
    // speaker mute, wave mute) and removes the state file. Only the first
    // call after PrepareSound does anything.
    void RestoreSound();

    const MixerLevels& saved() const { return m_saved; }

private:
    MMixer& m_mixer;
    MixerLevelsFile m_file;
    MixerLevels m_saved;
    bool m_prepared = false;
};
