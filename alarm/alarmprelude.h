#pragma once

#include "earlysound.h"
#include "mmixer.h"
#include "savedlevels.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Tinkra comes in two stages, so that the chime is heard before the Qt
// libraries are even loaded. The program itself needs no Qt (the prelude):
// it opens the mixer and cues the chime on two threads, and in the plain
// case (a runtime folder as Qt finds it, no other copy's lock, nothing a
// killed run left to put back) takes the lock, keeps the levels in the
// state file, turns the mixer up and starts the chime itself. Then it starts
// the child that looks at the display and loads the player
// (libTinkraPlayer.so, with Qt Core), which takes all of it over, or does
// what is left the way it always has, and shows the bar.

// The controls the alarm turns up (the speaker and wave volumes and
// mutes), in the order they are put back, and how: both volumes to 100 %,
// neither muted.
namespace AlarmLevels {
std::vector<int> taken();
void raise(MMixer& mixer);
} // namespace AlarmLevels

// Whether the bar's application can be made at all, asked of a child
// process: Qt ends a process whose display it cannot open (no X server, a
// Wayland session without Qt's plug-in), and the player must go on to sound
// the alarm and put the mixer back whatever happens to its bar. The child is
// the program itself, started anew with kOption once the chime plays (so
// that loading the widget libraries does not hold the chime back).
class DisplayProbe
{
public:
    static constexpr const char* kOption = "--look-at-display";

    // The child's side, for Tinkra started with kOption first: 0 when the
    // bar's application could be made.
    static int look(const std::string& windowModule, int argc, char** argv);

    // Starts the child: `program` (this one) with kOption and the rest of
    // `argv` (the options Qt takes).
    void start(const std::string& program, int argc, char** argv);
    bool started() const { return m_pid != 0; }
    // Waits at most `ms` for the answer; false, with `why`, when the bar
    // cannot be shown (the child is then ended).
    bool usable(int ms, std::string* why);

private:
    long m_pid = 0; // -1: no child could be made
};

struct AlarmPrelude
{
    DisplayProbe display;
    EarlySound sound;
    // The system mixer `sound` opened (its first open is the one done).
    std::unique_ptr<MMixer> mixer;
    // The single-instance lock, when the prelude took it (quicklock.h).
    int lock = -1;
    // When the prelude turned the mixer up: what it had before (also in the
    // state file); the chime then plays unless it could not be started.
    // The player takes `mixer`, `lock` and `raised` over; what it has not
    // taken is undone at the end (the levels back, the files removed).
    std::optional<MixerLevels> raised;

    AlarmPrelude();
    ~AlarmPrelude();
    AlarmPrelude(const AlarmPrelude&) = delete;
    AlarmPrelude& operator=(const AlarmPrelude&) = delete;

    // What the program does first for an alarm: the mixer and the chime
    // opened. Once only.
    void begin(const std::string& ownFolder);
    // The plain case's lock, levels and chime (see above).
    void start();
    // Then the child that looks at the display.
    void lookAtDisplay(int argc, char** argv);

private:
    std::string m_run; // the runtime folder start() used
};

// Whether killed runs of the suite left levels in `runtimeFolder` that the
// alarm would have to put back (MixerLevelsFile::takeSuiteLeftovers): its
// own state file, or the main program's while that no longer runs.
bool leftoversIn(const std::string& runtimeFolder);

// Whether the arguments ask for something other than the alarm ("--note").
bool asksForNote(int argc, char** argv);

// The player's entry point, by this name; it gets a new name whenever
// AlarmPrelude changes, so that a module of another build is refused.
extern "C" {
using TinkraPlayerMain = int (*)(int argc, char** argv, AlarmPrelude* prelude);
}
constexpr const char* kTinkraPlayerMain = "tinkraPlayerMain1";
