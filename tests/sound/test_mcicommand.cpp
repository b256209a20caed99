#include "mcicommand.h"

#include <gtest/gtest.h>

namespace {

using Verb = MciCommand::Verb;

struct ParseCase
{
    const char* text;
    Verb verb;
    const char* target;
    const char* path;
    qint64 from; // -1: none
    qint64 to;   // -1: none
};

class ParseMciCommand : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseMciCommand, TakesTheCommandApart)
{
    const ParseCase& c = GetParam();
    const auto cmd = parseMciCommand(QString::fromUtf8(c.text));
    ASSERT_TRUE(cmd.has_value()) << c.text;
    EXPECT_EQ(cmd->verb, c.verb) << c.text;
    EXPECT_EQ(cmd->target, QString::fromUtf8(c.target)) << c.text;
    EXPECT_EQ(cmd->path, QString::fromUtf8(c.path)) << c.text;
    EXPECT_EQ(cmd->fromMs.value_or(-1), c.from) << c.text;
    EXPECT_EQ(cmd->toMs.value_or(-1), c.to) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ParseMciCommand,
    ::testing::Values(
        // Recording, as the panel sends it, in any case.
        ParseCase{"open new type waveaudio alias mywav", Verb::Open, "mywav", "", -1, -1},
        ParseCase{"OPEN New Type WaveAudio Alias MyWav", Verb::Open, "MyWav", "", -1, -1},
        ParseCase{"record mywav", Verb::Record, "mywav", "", -1, -1},
        ParseCase{"stop mywav", Verb::Stop, "mywav", "", -1, -1},
        ParseCase{"close mywav", Verb::Close, "mywav", "", -1, -1},
        ParseCase{"save mywav /home/u/.cache/Quillmur/test.wav", Verb::Save, "mywav",
                  "/home/u/.cache/Quillmur/test.wav", -1, -1},
        // A path with blanks and Cyrillic is the whole rest of the command.
        ParseCase{"save mywav /home/Анна Петрова/.cache/Quillmur/test.wav", Verb::Save, "mywav",
                  "/home/Анна Петрова/.cache/Quillmur/test.wav", -1, -1},
        // Playback: the file is the rest after the verb, minus a range.
        ParseCase{"Play /srv/Media/07.12.2026 14ч 30м 05.mp3", Verb::Play,
                  "/srv/Media/07.12.2026 14ч 30м 05.mp3", "", -1, -1},
        ParseCase{"Play /srv/Media/07.12.2026 14ч 30м 05.mp3 from 6000 to 12000", Verb::Play,
                  "/srv/Media/07.12.2026 14ч 30м 05.mp3", "", 6000, 12000},
        ParseCase{"play /a/b.mp3 FROM 0 TO 5000", Verb::Play, "/a/b.mp3", "", 0, 5000},
        ParseCase{"Play /a/b.mp3 from 1500", Verb::Play, "/a/b.mp3", "", 1500, -1},
        // "from" inside a name is part of the name.
        ParseCase{"Play /a/notes from mom.mp3", Verb::Play, "/a/notes from mom.mp3", "", -1, -1},
        ParseCase{"Pause /a/Мой файл.mp3", Verb::Pause, "/a/Мой файл.mp3", "", -1, -1},
        ParseCase{"Stop /a/Мой файл.mp3", Verb::Stop, "/a/Мой файл.mp3", "", -1, -1},
        ParseCase{"CUE /a/Мой файл.mp3", Verb::Cue, "/a/Мой файл.mp3", "", -1, -1},
        ParseCase{"  Stop   /a/x.mp3  ", Verb::Stop, "/a/x.mp3", "", -1, -1}));

TEST(ParseMciCommandErrors, RejectsWhatTheSuiteNeverSends)
{
    for (const char* bad :
         {"", "   ", "Stop", "Stop ", "Play", "Pause ", "Cue ", "seek mywav to 0", "open mywav",
          "open new type sequencer alias a", "open new type waveaudio alias", "record",
          "record two words", "save mywav", "save mywav ", "close"}) {
        EXPECT_FALSE(parseMciCommand(QString::fromUtf8(bad)).has_value()) << '"' << bad << '"';
    }
}

} // namespace
