// The alarm player's hold on the mixer, against a fake sound card: full
// volume while it sounds, the user's settings back afterwards, and repair
// after a player that was killed half-way.
#include "alarmsound.h"
#include "fakesystemmixer.h"
#include "mmixer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using W = QPair<int, long>;
using F = FakeSystemMixer;

struct Card
{
    QMap<int, long> values;
    QList<W> writes;
    FakeSystemMixer* fake = nullptr;
    MMixer mixer;

    explicit Card(long speaker, bool speakerMuted, long wave, bool waveMuted, bool hasWave = true)
        : mixer(makeBackend(hasWave))
    {
        values = {{F::SpeakerVolume, speaker},
                  {F::SpeakerMute, speakerMuted ? 1 : 0},
                  {F::WaveVolume, wave},
                  {F::WaveMute, waveMuted ? 1 : 0}};
        mixer.OpenMixer(0);
    }
    std::unique_ptr<SystemMixer> makeBackend(bool hasWave)
    {
        auto f = std::make_unique<FakeSystemMixer>(values, writes);
        f->hasWave = hasWave;
        fake = f.get();
        return f;
    }
};

struct Runtime
{
    QTemporaryDir dir;
    QString stateFile() const { return AlarmSound::stateFileIn(dir.path()); }
    QByteArray read() const
    {
        QFile f(stateFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// 30 % as the mixer writes it: 655 x 30.
constexpr long Thirty = 19650;

TEST(AlarmSound, FullVolumeWhileSoundingThenTheSameAsBefore)
{
    Runtime run;
    Card card(Thirty, true, 32750, false);
    AlarmSound sound(card.mixer, run.stateFile());

    // The file holds the user's values before anything is changed.
    bool checked = false;
    card.fake->beforeWrite = [&] {
        if (checked)
            return;
        checked = true;
        EXPECT_EQ(SoundState::fromText(run.read()), (SoundState{30, 50, true, false}));
    };
    sound.PrepareSound();
    EXPECT_TRUE(checked);
    EXPECT_EQ(card.writes, (QList<W>{{F::SpeakerVolume, 65500},
                                     {F::WaveVolume, 65500},
                                     {F::SpeakerMute, 0},
                                     {F::WaveMute, 0}}));
    EXPECT_EQ(card.mixer.GetVolume(0), 100);
    EXPECT_FALSE(card.mixer.GetMute(8));
    EXPECT_EQ(sound.saved(), (SoundState{30, 50, true, false}));

    card.writes.clear();
    card.fake->beforeWrite = {};
    sound.RestoreSound();
    EXPECT_EQ(card.writes, (QList<W>{{F::SpeakerVolume, Thirty},
                                     {F::WaveVolume, 32750},
                                     {F::SpeakerMute, 1},
                                     {F::WaveMute, 0}}));
    EXPECT_FALSE(QFile::exists(run.stateFile()));

    // Restoring twice does not write the old values over newer ones.
    card.writes.clear();
    sound.RestoreSound();
    EXPECT_TRUE(card.writes.isEmpty());
}

TEST(AlarmSound, KilledPlayerIsRepairedByTheNext)
{
    Runtime run;
    Card card(Thirty, true, 0, true);
    {
        AlarmSound killed(card.mixer, run.stateFile());
        killed.PrepareSound(); // and never restored
    }
    EXPECT_EQ(card.mixer.GetVolume(0), 100);
    ASSERT_TRUE(QFile::exists(run.stateFile()));

    AlarmSound next(card.mixer, run.stateFile());
    card.writes.clear();
    EXPECT_TRUE(next.RecoverLeftover());
    EXPECT_EQ(card.writes, (QList<W>{{F::SpeakerVolume, Thirty},
                                     {F::WaveVolume, 0},
                                     {F::SpeakerMute, 1},
                                     {F::WaveMute, 1}}));
    EXPECT_FALSE(QFile::exists(run.stateFile()));

    // It takes the repaired values as the user's own, not the killed one's 100 %.
    next.PrepareSound();
    EXPECT_EQ(next.saved(), (SoundState{30, 0, true, true}));
    next.RestoreSound();
    EXPECT_EQ(card.mixer.GetVolume(0), 30);
    EXPECT_TRUE(card.mixer.GetMute(8));
}

TEST(AlarmSound, LeftoverFiles)
{
    struct Case
    {
        const char* what;
        bool exists;
        QByteArray content;
        bool restores;
    };
    const Case cases[] = {
        {"none", false, {}, false},
        {"valid", true, "speaker=40\nwave=70\nspeakerMute=0\nwaveMute=1\n", true},
        {"empty", true, "", false},
        {"cut short", true, "speaker=40\nwave=70\nspeakerMu", false},
        {"garbage", true, "\x01\x02 not a state", false},
    };
    for (const Case& c : cases) {
        Runtime run;
        Card card(65535, false, 65535, false);
        if (c.exists) {
            QFile f(run.stateFile());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.content);
        }
        AlarmSound sound(card.mixer, run.stateFile());
        EXPECT_EQ(sound.RecoverLeftover(), c.restores) << c.what;
        EXPECT_EQ(card.writes.isEmpty(), !c.restores) << c.what;
        EXPECT_FALSE(QFile::exists(run.stateFile())) << c.what;
        if (c.restores) {
            EXPECT_EQ(card.mixer.GetVolume(0), 40);
            EXPECT_EQ(card.mixer.GetVolume(5), 70);
            EXPECT_TRUE(card.mixer.GetMute(13));
        }
    }
}

// Under PulseAudio there is no wave-output line: the speakers alone are
// turned up and put back.
TEST(AlarmSound, WithoutWaveLine)
{
    Runtime run;
    Card card(Thirty, true, 0, false, false);
    AlarmSound sound(card.mixer, run.stateFile());
    sound.PrepareSound();
    sound.RestoreSound();
    EXPECT_EQ(card.writes, (QList<W>{{F::SpeakerVolume, 65500},
                                     {F::SpeakerMute, 0},
                                     {F::SpeakerVolume, Thirty},
                                     {F::SpeakerMute, 1}}));
}

// A runtime folder that cannot be written: the alarm still sounds and the
// values are still put back at the end.
TEST(AlarmSound, UnwritableStateFile)
{
    Card card(Thirty, true, 0, false);
    AlarmSound sound(card.mixer, QStringLiteral("/nonexistent/folder/Tinkra.sound"));
    sound.PrepareSound();
    EXPECT_EQ(card.mixer.GetVolume(0), 100);
    sound.RestoreSound();
    EXPECT_EQ(card.mixer.GetVolume(0), 30);
    EXPECT_TRUE(card.mixer.GetMute(8));
}

TEST(SoundState, TextForm)
{
    const SoundState s{7, 100, true, false};
    EXPECT_EQ(s.toText(), QByteArray("speaker=7\nwave=100\nspeakerMute=1\nwaveMute=0\n"));
    EXPECT_EQ(SoundState::fromText(s.toText()), s);

    const char* bad[] = {
        "speaker=7\nwave=100\nspeakerMute=1\n",                     // a key missing
        "speaker=7\nwave=100\nspeakerMute=1\nwaveMute=0\nwave=3\n", // a key twice
        "speaker=101\nwave=100\nspeakerMute=1\nwaveMute=0\n",       // not a percent
        "speaker=-1\nwave=100\nspeakerMute=1\nwaveMute=0\n",
        "speaker=7\nwave=100\nspeakerMute=2\nwaveMute=0\n", // not a flag
        "speaker=x\nwave=100\nspeakerMute=1\nwaveMute=0\n",
        "speaker=7\nwave=100\nspeakerMute=1\nwaveMute=0\nvolume=3\n", // unknown key
        "speaker 7\nwave=100\nspeakerMute=1\nwaveMute=0\n",
    };
    for (const char* b : bad)
        EXPECT_FALSE(SoundState::fromText(b).has_value()) << b;
}

TEST(AlarmSound, PlayCommand)
{
    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/my programs/Data");
    ASSERT_TRUE(QDir().mkpath(data));
    EXPECT_EQ(AlarmSound::playCommand(data), QStringLiteral("Play "));
    QFile f(data + QStringLiteral("/1.mp3"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(AlarmSound::playCommand(data),
              QStringLiteral("Play ") + QDir(data).canonicalPath() + QStringLiteral("/1.mp3"));
}

} // namespace
