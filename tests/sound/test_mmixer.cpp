#include "mixerlevels.h"
#include "mmixer.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A system mixer that remembers what was written. Each present control has
// its own range; ids are 1 + its position.
class FakeMixer : public SystemMixer
{
public:
    struct Control
    {
        MixerLine line;
        MixerControlType type;
        long minimum;
        long maximum;
        long value;
    };

    int devices = 1;
    bool openWorks = true;
    std::vector<Control> controls;
    std::vector<std::pair<int, long>> writes; // (id, value)

    int add(MixerLine line, MixerControlType type, long min, long max, long value)
    {
        controls.push_back({line, type, min, max, value});
        return int(controls.size());
    }
    long& value(int id) { return controls[size_t(id - 1)].value; }

    int deviceCount() override { return devices; }
    bool open(int) override { return openWorks; }
    std::optional<MixerControlInfo> findControl(MixerLine line, MixerControlType type) override
    {
        for (size_t i = 0; i < controls.size(); ++i)
            if (controls[i].line == line && controls[i].type == type)
                return MixerControlInfo{int(i + 1), controls[i].minimum, controls[i].maximum};
        return std::nullopt;
    }
    std::optional<long> readControl(int id) override { return value(id); }
    bool writeControl(int id, long v) override
    {
        writes.emplace_back(id, v);
        value(id) = v;
        return true;
    }
};

struct Fixture
{
    FakeMixer* fake = new FakeMixer;
    MMixer mixer{std::unique_ptr<SystemMixer>(fake)};
};

struct SetCase
{
    long maximum;
    int percent;
    long written;
};

TEST(MMixer, SetVolumeScalesAndClamps)
{
    for (const SetCase c :
         {SetCase{65535, 50, 32750}, SetCase{65535, 100, 65500}, SetCase{65535, 150, 65535},
          SetCase{65535, -5, 0}, SetCase{65535, 0, 0}, SetCase{100, 150, 100}, SetCase{100, -5, 0},
          SetCase{100, 37, 37}, SetCase{255, 50, 100}}) {
        Fixture f;
        const int id = f.fake->add(MixerLine::Speakers, MixerControlType::Volume, 0, c.maximum, 7);
        ASSERT_TRUE(f.mixer.OpenMixer(0));
        EXPECT_TRUE(f.mixer.SetVolume(MMixer::SpeakerVolume, c.percent));
        ASSERT_EQ(f.fake->writes.size(), 1u);
        EXPECT_EQ(f.fake->writes[0], std::make_pair(id, c.written))
            << "max " << c.maximum << " percent " << c.percent;
    }
}

struct GetCase
{
    long minimum;
    long maximum;
    long value;
    int percent;
};

TEST(MMixer, GetVolumeRoundsHalvesToEven)
{
    for (const GetCase c :
         {GetCase{0, 65535, 32750, 50}, GetCase{0, 65535, 65500, 100}, GetCase{0, 65535, 0, 0},
          GetCase{0, 65535, 65535, 100}, GetCase{0, 200, 1, 0}, // 0.5 -> 0
          GetCase{0, 200, 3, 2},                                // 1.5 -> 2
          GetCase{0, 200, 5, 2},                                // 2.5 -> 2
          GetCase{0, 1, 1, 100},                                // a muted mute control
          GetCase{-100, 100, -50, 25}}) {
        Fixture f;
        f.fake->add(MixerLine::WaveOut, MixerControlType::Volume, c.minimum, c.maximum, c.value);
        ASSERT_TRUE(f.mixer.OpenMixer(0));
        EXPECT_EQ(f.mixer.GetVolume(MMixer::WaveVolume), c.percent)
            << c.value << " of " << c.minimum << ".." << c.maximum;
    }
}

TEST(MMixer, RoundTripOnAWindowsRangeControl)
{
    Fixture f;
    f.fake->add(MixerLine::Speakers, MixerControlType::Volume, 0, 65535, 0);
    ASSERT_TRUE(f.mixer.OpenMixer(0));
    for (int p = 0; p <= 100; ++p) {
        f.mixer.SetVolume(MMixer::SpeakerVolume, p);
        EXPECT_EQ(f.mixer.GetVolume(MMixer::SpeakerVolume), p);
    }
}

TEST(MMixer, MuteWritesOneOrZeroAndReadsNonZeroAsTrue)
{
    Fixture f;
    const int id = f.fake->add(MixerLine::WaveOut, MixerControlType::Mute, 0, 1, 0);
    ASSERT_TRUE(f.mixer.OpenMixer(0));
    EXPECT_TRUE(f.mixer.SetMute(MMixer::WaveMute, true));
    EXPECT_TRUE(f.mixer.GetMute(MMixer::WaveMute));
    EXPECT_TRUE(f.mixer.SetMute(MMixer::WaveMute, false));
    EXPECT_FALSE(f.mixer.GetMute(MMixer::WaveMute));
    EXPECT_EQ(f.fake->writes, (std::vector<std::pair<int, long>>{{id, 1}, {id, 0}}));
}

TEST(MMixer, TableRowsAddressTheirLines)
{
    Fixture f;
    const MixerLine lines[] = {
        MixerLine::Speakers,    MixerLine::LineIn,  MixerLine::Microphone, MixerLine::Synthesizer,
        MixerLine::CompactDisc, MixerLine::WaveOut, MixerLine::Telephone,  MixerLine::Undefined};
    for (int i = 0; i < 8; ++i) {
        f.fake->add(lines[i], MixerControlType::Volume, 0, 100, i + 1);
        f.fake->add(lines[i], MixerControlType::Mute, 0, 1, i % 2);
    }
    ASSERT_TRUE(f.mixer.OpenMixer(0));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(f.mixer.GetVolume(i), i + 1) << "volume row " << i;
        EXPECT_EQ(f.mixer.GetMute(8 + i), i % 2 == 1) << "mute row " << 8 + i;
    }
}

TEST(MMixer, IndexOutsideTheTableIsATypedError)
{
    Fixture f;
    f.fake->add(MixerLine::Speakers, MixerControlType::Volume, 0, 65535, 0);
    ASSERT_TRUE(f.mixer.OpenMixer(0));
    for (int bad : {-1, 16, 1000}) {
        EXPECT_THROW(f.mixer.GetVolume(bad), MixerIndexError);
        EXPECT_THROW(f.mixer.SetVolume(bad, 50), MixerIndexError);
        EXPECT_THROW(f.mixer.GetMute(bad), MixerIndexError);
        EXPECT_THROW(f.mixer.SetMute(bad, true), MixerIndexError);
    }
    try {
        f.mixer.GetVolume(16);
        ADD_FAILURE() << "no error for index 16";
    } catch (const MixerIndexError& e) {
        EXPECT_EQ(e.index(), 16);
    }
    EXPECT_TRUE(f.fake->writes.empty());
}

TEST(MMixer, AbsentControlsAndClosedMixerAreHarmless)
{
    // Only the speaker volume exists.
    Fixture f;
    f.fake->add(MixerLine::Speakers, MixerControlType::Volume, 0, 65535, 65535);
    EXPECT_EQ(f.mixer.GetVolume(MMixer::SpeakerVolume), 0) << "not open yet";
    EXPECT_FALSE(f.mixer.SetVolume(MMixer::SpeakerVolume, 10)) << "not open yet";
    EXPECT_TRUE(f.mixer.GetChannels(MMixer::SpeakerVolume).empty()) << "not open yet";
    EXPECT_FALSE(f.mixer.SetChannels(MMixer::SpeakerVolume, {10})) << "not open yet";
    ASSERT_TRUE(f.mixer.OpenMixer(0));
    for (int i = 1; i < MMixer::ControlCount; ++i) {
        EXPECT_EQ(f.mixer.GetVolume(i), 0);
        EXPECT_FALSE(f.mixer.GetMute(i));
        EXPECT_FALSE(f.mixer.SetVolume(i, 50));
        EXPECT_FALSE(f.mixer.SetMute(i, true));
        EXPECT_TRUE(f.mixer.GetChannels(i).empty());
        EXPECT_FALSE(f.mixer.SetChannels(i, {1}));
    }
    EXPECT_FALSE(f.mixer.SetChannels(MMixer::SpeakerVolume, {})) << "nothing to write";
    EXPECT_THROW(f.mixer.GetChannels(16), MixerIndexError);
    EXPECT_TRUE(f.fake->writes.empty());
}

TEST(MMixer, OpenFailsWithoutADevice)
{
    for (int devices : {0, 1}) {
        Fixture f;
        f.fake->devices = devices;
        f.fake->add(MixerLine::Speakers, MixerControlType::Volume, 0, 65535, 65535);
        EXPECT_FALSE(f.mixer.OpenMixer(1)) << "device number out of range";
        EXPECT_FALSE(f.mixer.OpenMixer(-1));
        EXPECT_EQ(f.mixer.OpenMixer(0), devices == 1);
        EXPECT_EQ(f.mixer.GetVolume(MMixer::SpeakerVolume), devices == 1 ? 100 : 0);
    }
    Fixture broken;
    broken.fake->openWorks = false;
    EXPECT_FALSE(broken.mixer.OpenMixer(0));
    EXPECT_FALSE(broken.mixer.isOpen());
}

struct LevelsCase
{
    int speaker;  // percent before
    int expected; // percent set
};

TEST(MixerLevels, SaveActionTakesLevelsAndAppliesDefaults)
{
    for (const LevelsCase c :
         {LevelsCase{49, 50}, LevelsCase{50, 100}, LevelsCase{0, 50}, LevelsCase{100, 100}}) {
        Fixture f;
        const int spk =
            f.fake->add(MixerLine::Speakers, MixerControlType::Volume, 0, 65535, c.speaker * 655);
        const int spkMute = f.fake->add(MixerLine::Speakers, MixerControlType::Mute, 0, 1, 1);
        const int wave =
            f.fake->add(MixerLine::WaveOut, MixerControlType::Volume, 0, 65535, 655 * 30);
        const int waveMute = f.fake->add(MixerLine::WaveOut, MixerControlType::Mute, 0, 1, 1);
        const int mic =
            f.fake->add(MixerLine::Microphone, MixerControlType::Volume, 0, 65535, 655 * 20);
        const int micMute = f.fake->add(MixerLine::Microphone, MixerControlType::Mute, 0, 1, 1);

        int shown = 0;
        const MixerLevels saved = SaveMixerLevelsAndApplyDefaults(f.mixer, &shown);
        EXPECT_EQ(saved.value(MMixer::SpeakerVolume), c.speaker);
        EXPECT_EQ(saved.value(MMixer::WaveVolume), 30);
        EXPECT_EQ(saved.value(MMixer::MicrophoneVolume), 20);
        EXPECT_TRUE(saved.mute(MMixer::SpeakerMute) && saved.mute(MMixer::WaveMute) &&
                    saved.mute(MMixer::MicrophoneMute));
        EXPECT_EQ(shown, c.expected);
        // Speaker mute is left alone; the rest are raised and unmuted, in order.
        const std::vector<std::pair<int, long>> expected{
            {spk, 655L * c.expected}, {wave, 65500}, {waveMute, 0}, {mic, 65500}, {micMute, 0}};
        EXPECT_EQ(f.fake->writes, expected) << "speaker at " << c.speaker;

        f.fake->writes.clear();
        RestoreMixerLevels(f.mixer, saved);
        const std::vector<std::pair<int, long>> restored{
            {spk, 655L * c.speaker}, {wave, 655 * 30}, {spkMute, 1},
            {waveMute, 1},           {mic, 655 * 20},  {micMute, 1}};
        EXPECT_EQ(f.fake->writes, restored);
    }
}

TEST(MixerLevels, NoMixerGivesZerosAndNoWrites)
{
    Fixture f;
    f.fake->devices = 0;
    int shown = -1;
    const MixerLevels saved = SaveMixerLevelsAndApplyDefaults(f.mixer, &shown);
    EXPECT_EQ(saved.value(MMixer::SpeakerVolume), 0);
    EXPECT_FALSE(saved.mute(MMixer::SpeakerMute));
    EXPECT_EQ(shown, 50);
    RestoreMixerLevels(f.mixer, saved);
    EXPECT_TRUE(f.fake->writes.empty());
}

} // namespace
