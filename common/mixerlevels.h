#pragma once

#include "savedlevels.h"

#include <QString>

#include <optional>
#include <vector>

// Where a program keeps the levels it has to put back until it has done so,
// so that a run that is killed (SIGKILL, a crash, the power) is repaired by
// the next one instead of leaving the speakers raised for good. Only use it
// while holding the program's single-instance lock (or when none can be had).
class MixerLevelsFile
{
public:
    // An empty path keeps nothing.
    explicit MixerLevelsFile(QString path = {}) : m_path(std::move(path)) {}

    // "<runtimeFolder>/<program>.sound"
    static QString in(const QString& runtimeFolder, const QString& program);

    // Everything killed runs of the suite left in this file's folder, taken
    // as takeLeftover() does, newest first: this file itself, and the file
    // of every other program of the suite that keeps levels and no longer
    // runs. Put back in this order the oldest comes last, and it holds the
    // user's own levels: a later run took the earlier one's raised levels
    // for the user's.
    std::vector<MixerLevels> takeSuiteLeftovers() const;

    // Written in full or not at all; false when it could not be written.
    bool write(const MixerLevels& levels) const;
    // What an earlier run left behind, and the file removed. A damaged file
    // cannot be trusted with the user's speakers: it is removed and gives
    // nothing.
    std::optional<MixerLevels> takeLeftover() const;
    void remove() const;

    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// The settings save action (button `Sohranit`, also start-up): opens mixer
// device 0, takes the six levels (speaker volume, wave volume, speaker mute,
// wave mute, microphone volume, microphone mute: the order they are put back
// in), writes them to `keep` before changing anything, then sets the
// speakers to 100 % when they were at 50 % or more, else to 50 %, and the
// wave output and microphone to 100 % unmuted. `speakerSetTo` receives 50 or
// 100 for the volume slider's label and knob.
MixerLevels SaveMixerLevelsAndApplyDefaults(MMixer& mixer, int* speakerSetTo = nullptr,
                                            const MixerLevelsFile& keep = MixerLevelsFile());

// Start of a program that keeps its levels in `file`: opens mixer device 0
// and puts back what killed earlier runs of any program of the suite left
// (takeSuiteLeftovers). True when it did.
bool RecoverMixerLevels(MMixer& mixer, const MixerLevelsFile& file);

// Puts the levels back and forgets the kept copy.
void RestoreMixerLevels(MMixer& mixer, const MixerLevels& levels,
                        const MixerLevelsFile& keep = MixerLevelsFile());

// The user's own levels over one run of the main program. The first time the
// defaults are applied it puts back what killed earlier runs left
// (RecoverMixerLevels); each time it takes the levels found (the settings save action may
// come again) and applies the defaults. restore() puts the last levels taken
// back, once.
class KeptMixerLevels
{
public:
    KeptMixerLevels(MMixer& mixer, MixerLevelsFile file) : m_mixer(mixer), m_file(std::move(file))
    {
    }

    const MixerLevels& applyDefaults();
    void restore();

private:
    MMixer& m_mixer;
    MixerLevelsFile m_file;
    MixerLevels m_levels;
    bool m_taken = false;
};
