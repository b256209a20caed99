#include "player.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A player whose commands are recorded; short paths are marked so a command
// that skips them shows.
struct Rig
{
    QStringList commands;
    QList<int> waits;
    QString playingFile;
    int answer = 0; // what the player answers to every command
    Player player{[this](const QString& c) {
                      commands << c;
                      return answer;
                  },
                  [](const QString& p) { return "~" + p; }, [this](int ms) { waits << ms; },
                  &playingFile};

    QStringList take()
    {
        QStringList c = commands;
        commands.clear();
        return c;
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            player.tick();
    }
    QString display() const { return player.elapsedMinutes() + " : " + player.elapsedSeconds(); }
};

} // namespace

TEST(Player, CommandsOfPlayPauseSeekResumeStop)
{
    Rig r;
    r.player.play("/m/a.mp3", "12");
    EXPECT_EQ(r.playingFile, "/m/a.mp3");
    EXPECT_EQ(r.take(), QStringList{"Play ~/m/a.mp3"});
    EXPECT_TRUE(r.player.isRunning());
    EXPECT_TRUE(r.player.timer()->isActive());

    // The middle of the bar of a 12-second task.
    EXPECT_TRUE(r.player.seek(855));
    EXPECT_EQ(r.take(), (QStringList{"Stop ~/m/a.mp3", "Play ~/m/a.mp3 from 6000 to 12000"}));
    EXPECT_EQ(r.player.elapsed(), 6);
    EXPECT_EQ(r.player.elapsedSeconds(), "6");
    EXPECT_EQ(r.player.barWidth(), 855);
    EXPECT_EQ(r.player.playRange(), " from 6000 to 12000");

    r.player.pause();
    EXPECT_EQ(r.take(), QStringList{"Pause ~/m/a.mp3"});
    EXPECT_FALSE(r.player.timer()->isActive());
    EXPECT_FALSE(r.player.isRunning());

    // Paused: a click on the bar is refused.
    EXPECT_FALSE(r.player.seek(300));
    EXPECT_TRUE(r.take().isEmpty());
    EXPECT_EQ(r.player.barWidth(), 855);

    // After a seek, resuming restarts from where the bar stands.
    r.player.resume();
    EXPECT_EQ(r.take(), (QStringList{"Stop ~/m/a.mp3", "Play ~/m/a.mp3 from 6000 to 12000"}));
    EXPECT_TRUE(r.player.timer()->isActive());

    r.player.stop();
    EXPECT_EQ(r.take(), QStringList{"Stop ~/m/a.mp3"});
    EXPECT_EQ(r.waits, QList<int>{500});
    EXPECT_EQ(r.player.state(), Player::State::Stopped);
    EXPECT_FALSE(r.player.isLoaded());
    EXPECT_FALSE(r.player.seekDone());
    EXPECT_EQ(r.player.barWidth(), Player::kStoppedWidth);
    EXPECT_EQ(r.display(), "0 : 0");
    EXPECT_EQ(r.player.elapsed(), 0);

    // Without a seek, resume continues where the sound paused.
    r.player.play("/m/b.mp3", "12");
    r.player.pause();
    r.player.resume();
    EXPECT_EQ(r.take(), (QStringList{"Play ~/m/b.mp3", "Pause ~/m/b.mp3", "Play ~/m/b.mp3"}));
}

TEST(Player, SeekPosition)
{
    const struct
    {
        const char* total;
        int x;
        int position;
        const char* shown; // minutes : seconds, whole ones, as the ticks show them
    } cases[] = {
        {"12", 855, 6000, "0 : 6"},   {"90", 19, 1000, "0 : 1"},
        {"7", 100, 409, "0 : 0"}, // 409.356... -> 409
        {"1", 855, 500, "0 : 0"},     {"3", 285, 500, "0 : 0"},
        {"1", 1, 1, "0 : 0"}, // 0.58 -> 1
        {"64", 1604, 60033, "1 : 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        Rig r;
        r.player.play("/m/a.mp3", c.total);
        ASSERT_TRUE(r.player.seek(c.x));
        EXPECT_EQ(r.player.seekPosition(), c.position);
        EXPECT_EQ(r.display(), c.shown);
        EXPECT_EQ(r.player.elapsed(), c.position / 1000);
    }
}

TEST(Player, ProgressOfANinetySecondTask)
{
    Rig r;
    r.player.stop(); // the bar starts from its stopped width
    r.take();
    r.player.play("/m/a.mp3", "90");
    r.ticks(1);
    EXPECT_EQ(r.display(), "0 : 1");
    EXPECT_EQ(r.player.barWidth(), 2 + 19);
    r.ticks(64);
    EXPECT_EQ(r.display(), "1 : 5");
    r.ticks(25);
    EXPECT_EQ(r.display(), "1 : 30");
    EXPECT_EQ(r.player.barWidth(), 2 + 90 * 19);
    EXPECT_EQ(r.player.state(), Player::State::Playing);
    r.take();

    // The tick that finds the end stops the playback.
    r.ticks(1);
    EXPECT_EQ(r.take(), QStringList{"Stop ~/m/a.mp3"});
    EXPECT_EQ(r.player.state(), Player::State::Stopped);
    EXPECT_FALSE(r.player.timer()->isActive());
    EXPECT_EQ(r.display(), "0 : 0");
}

TEST(Player, LengthCaptionsAndRefusedFiles)
{
    const struct
    {
        const char* caption;
        int answer;
        int total;
        bool plays;
    } cases[] = {
        {"12", 0, 12, true},    {"25 seconds", 0, 25, true}, // a Xing file's caption
        {"0", 0, 0, false},     // shorter than a second, or no length read
        {"", 0, 0, false},      // unreadable length
        {"12", 277, 12, false}, // the player cannot decode the file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        Rig r;
        r.answer = c.answer;
        int lit = 0;
        QObject::connect(&r.player, &Player::runningChanged, [&](bool on) { lit += on; });
        r.player.play("/m/a.mp3", c.caption);
        EXPECT_EQ(r.take(), QStringList{"Play ~/m/a.mp3"});
        EXPECT_EQ(r.player.total(), c.total);
        // What cannot be played shows the stopped state at once.
        EXPECT_EQ(r.player.state(), c.plays ? Player::State::Playing : Player::State::Stopped);
        EXPECT_EQ(lit, c.plays ? 1 : 0);
        EXPECT_EQ(r.player.isLoaded(), c.plays);
        EXPECT_EQ(r.player.timer()->isActive(), c.plays);
        r.ticks(3); // never divides by zero
        r.player.pause();
        r.player.resume();
        EXPECT_EQ(r.player.timer()->isActive(), c.plays);
        // And it can be started again.
        r.answer = 0;
        r.player.stop();
        r.player.play("/m/a.mp3", "12");
        EXPECT_TRUE(r.player.isRunning());
    }
}

TEST(Player, PlayOnlyFromStopped)
{
    Rig r;
    r.player.play("/m/a.mp3", "12");
    r.player.play("/m/b.mp3", "12");
    EXPECT_EQ(r.playingFile, "/m/a.mp3");
    r.player.pause();
    r.player.play("/m/b.mp3", "12");
    EXPECT_EQ(r.take(), (QStringList{"Play ~/m/a.mp3", "Pause ~/m/a.mp3"}));
    // Stop with nothing loaded is harmless and only resets the display.
    Rig idle;
    idle.player.stop();
    EXPECT_EQ(idle.take(), QStringList{"Stop ~"});
}
