// The alarm player's hold on the mixer, against a fake sound card: full
// volume while it sounds, the user's settings back afterwards, and repair
// after a player that was killed half-way. Also the notes spoken after the
// chime, and the player's arguments.
#include "alarmprelude.h"
#include "alarmsound.h"
#include "fakesystemmixer.h"
#include "mci.h"
#include "mmixer.h"
#include "notevoice.h"
#include "singleinstance.h"
#include "tinkraarguments.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <vector>

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

// What PrepareSound takes from a card with mono controls.
MixerLevels taken(int speaker, long speakerRaw, int wave, long waveRaw, bool speakerMuted,
                  bool waveMuted)
{
    const int sm = speakerMuted ? 1 : 0, wm = waveMuted ? 1 : 0;
    return MixerLevels({{AlarmSound::SpeakerVolume, speaker, {speakerRaw}},
                        {AlarmSound::WaveVolume, wave, {waveRaw}},
                        {AlarmSound::SpeakerMute, sm, {sm}},
                        {AlarmSound::WaveMute, wm, {wm}}});
}

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
        EXPECT_EQ(MixerLevels::fromText(run.read().toStdString()),
                  taken(30, Thirty, 50, 32750, true, false));
    };
    sound.PrepareSound();
    EXPECT_TRUE(checked);
    EXPECT_EQ(card.writes, (QList<W>{{F::SpeakerVolume, 65500},
                                     {F::WaveVolume, 65500},
                                     {F::SpeakerMute, 0},
                                     {F::WaveMute, 0}}));
    EXPECT_EQ(card.mixer.GetVolume(0), 100);
    EXPECT_FALSE(card.mixer.GetMute(8));
    EXPECT_EQ(sound.saved(), taken(30, Thirty, 50, 32750, true, false));

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
    EXPECT_EQ(next.saved(), taken(30, Thirty, 0, 0, true, true));
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
        {"valid", true, "0 40 26200\n5 70 45850\n8 0 0\n13 1 1\n", true},
        {"valid, values only", true, "0 40\n5 70\n8 0\n13 1\n", true},
        {"empty", true, "", false},
        {"cut short", true, "0 40 26200\n5 70 45850\n8 0 0\n13 1 1x", false},
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

// A balance is put back as it was, not as the left side's level on both.
TEST(AlarmSound, BalanceSurvivesTheAlarm)
{
    Runtime run;
    Card card(13107, false, 32750, false);      // left 20 %
    card.fake->right[F::SpeakerVolume] = 52428; // right 80 %
    AlarmSound sound(card.mixer, run.stateFile());
    sound.PrepareSound();
    EXPECT_EQ(card.fake->right[F::SpeakerVolume], 65500);
    EXPECT_EQ(sound.saved().value(AlarmSound::SpeakerVolume), 20)
        << "the percent rules read the first channel";
    sound.RestoreSound();
    EXPECT_EQ(card.values[F::SpeakerVolume], 13107);
    EXPECT_EQ(card.fake->right[F::SpeakerVolume], 52428);

    // The same through a killed player's state file.
    sound.PrepareSound();
    AlarmSound next(card.mixer, run.stateFile());
    EXPECT_TRUE(next.RecoverLeftover());
    EXPECT_EQ(card.values[F::SpeakerVolume], 13107);
    EXPECT_EQ(card.fake->right[F::SpeakerVolume], 52428);
}

// Both programs keep what they must put back in the same folder. The alarm
// killed while it had the speakers at 100 % must not make the main program
// take 100 % for the user's own level, nor the other way round.
TEST(MixerLevels, EveryProgramsLeftoversAreRepairedOldestLast)
{
    struct Left
    {
        const char* program;
        int percent;
        bool muted;
        int age; // seconds since it was kept
    };
    struct Case
    {
        const char* what;
        std::vector<Left> left;
        std::vector<const char*> running; // holding their locks meanwhile
        const char* program;              // whose run follows
        int percent;                      // the speakers after that run
        bool muted;
        std::vector<const char*> remaining;
    };
    const char* const Q = "Quillmur";
    const char* const T = "Tinkra";
    const Case cases[] = {
        {"the alarm killed", {{T, 30, true, 60}}, {Q}, Q, 30, true, {}},
        {"the main program killed", {{Q, 30, true, 60}}, {T}, T, 30, true, {}},
        {"both killed, Q's older", {{Q, 30, true, 120}, {T, 100, false, 60}}, {}, Q, 30, true, {}},
        {"both killed, T's older", {{T, 30, true, 120}, {Q, 100, false, 60}}, {}, Q, 30, true, {}},
        {"the alarm still sounds", {{T, 30, true, 60}}, {T}, Q, 100, false, {T}},
    };
    for (const Case& c : cases) {
        Runtime run;
        const QString folder = run.dir.path();
        Card card(65535, false, 65535, false); // raised by the killed runs
        for (const Left& l : c.left) {
            const int m = l.muted ? 1 : 0;
            QFile f(MixerLevelsFile::in(folder, QLatin1String(l.program)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray::fromStdString(
                MixerLevels({{AlarmSound::SpeakerVolume, l.percent, {655L * l.percent}},
                             {AlarmSound::SpeakerMute, m, {m}}})
                    .toText()));
            ASSERT_TRUE(f.flush());
            ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-l.age),
                                      QFileDevice::FileModificationTime));
        }
        std::list<QLockFile> locks;
        for (const char* program : c.running)
            ASSERT_TRUE(locks.emplace_back(SingleInstance::lockFile(folder, QLatin1String(program)))
                            .tryLock(0));
        // The alarm's first stage, without Qt, sees the same: its own file,
        // or the main program's while that no longer runs.
        const bool forTheAlarm = std::any_of(c.left.begin(), c.left.end(), [&](const Left& l) {
            return l.program == T ||
                   std::find(c.running.begin(), c.running.end(), l.program) == c.running.end();
        });
        EXPECT_EQ(leftoversIn(QFile::encodeName(folder).toStdString()), forTheAlarm) << c.what;

        if (c.program == Q) {
            KeptMixerLevels kept(card.mixer,
                                 MixerLevelsFile(MixerLevelsFile::in(folder, c.program)));
            kept.applyDefaults();
            kept.restore();
        } else {
            AlarmSound sound(card.mixer, AlarmSound::stateFileIn(folder));
            sound.RecoverLeftover();
            sound.PrepareSound();
            sound.RestoreSound();
        }
        EXPECT_EQ(card.mixer.GetVolume(AlarmSound::SpeakerVolume), c.percent) << c.what;
        EXPECT_EQ(card.mixer.GetMute(AlarmSound::SpeakerMute), c.muted) << c.what;
        for (const char* program : {Q, T})
            EXPECT_EQ(QFile::exists(MixerLevelsFile::in(folder, QLatin1String(program))),
                      std::count(c.remaining.begin(), c.remaining.end(), program) == 1)
                << c.what << ": " << program;
    }
}

TEST(MixerLevels, TextForm)
{
    const MixerLevels s({{0, 7, {4585, 52428}}, {5, 100, {}}, {8, 1, {1, 1}}, {13, 0, {0}}});
    EXPECT_EQ(s.toText(), "0 7 4585 52428\n5 100\n8 1 1 1\n13 0 0\n");
    EXPECT_EQ(MixerLevels::fromText(s.toText()), s);

    const char* bad[] = {
        "",                  // nothing
        "0 7\n5 100\n0 3\n", // a control twice
        "0 101\n",           // not a percent
        "0 -1\n",
        "8 2\n", // not a flag
        "0 x\n",
        "16 3\n",      // outside the table
        "0\n",         // no value
        "0 7 70000\n", // a channel out of any range
        ("0 7 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 "
         "32 33\n"),
        "speaker=7\nwave=100\n", // another form
    };
    for (const char* b : bad)
        EXPECT_FALSE(MixerLevels::fromText(b).has_value()) << b;
}

TEST(AlarmSound, PlayCommand)
{
    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/my programs/Data");
    ASSERT_TRUE(QDir().mkpath(data));
    EXPECT_EQ(AlarmSound::playCommand(data), QStringLiteral("Play "));
    EXPECT_EQ(AlarmSound::cueCommand(data), QStringLiteral("Cue "));
    QFile f(data + QStringLiteral("/1.mp3"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString file = QDir(data).canonicalPath() + QStringLiteral("/1.mp3");
    EXPECT_EQ(AlarmSound::playCommand(data), QStringLiteral("Play ") + file);
    // Cued and played under the same name, so Play finds the cued player.
    EXPECT_EQ(AlarmSound::cueCommand(data), QStringLiteral("Cue ") + file);
    EXPECT_EQ(AlarmSound::stopCommand(data), QStringLiteral("Stop ") + file);
}

// The notes after the chime, against a command sink that remembers what it
// was sent: missing and unplayable notes are passed over, a note is left
// once it has ended or its time is up, and the end comes once, also when
// nothing could be played.
TEST(NoteVoice, PlaysOneAfterAnotherAndPassesOverWhatCannotPlay)
{
    // "missing": no such file; "bad": refused by the player; "short": ends by
    // itself after a few looks; "long": sounds until it is stopped.
    struct Case
    {
        const char* what;
        QStringList notes;
        QStringList commands;
        int played;
    };
    const Case cases[] = {
        {"all kinds",
         {"missing", "bad", "short", "long"},
         {"Play bad", "Stop bad", "Play short", "Stop short", "Play long", "Stop long"},
         2},
        // The first note is opened ahead while the chime plays.
        {"cued",
         {"short", "long"},
         {"Cue short", "Play short", "Stop short", "Play long", "Stop long"},
         2},
        {"nothing playable", {"missing", "bad"}, {"Play bad", "Stop bad"}, 0},
        {"no notes", {}, {}, 0},
    };
    for (const Case& c : cases) {
        QStringList sent;
        QMap<QString, int> looks; // how often each playback was looked at
        const auto send = [&](const QString& command) {
            sent << command;
            return command == QStringLiteral("Play bad") ? int(MciCannotDecode) : int(MciOk);
        };
        const auto playing = [&](const QString& file) {
            const int seen = ++looks[file];
            return file == QStringLiteral("long") || (file == QStringLiteral("short") && seen < 3);
        };
        const auto shortPath = [](const QString& path) {
            return path == QStringLiteral("missing") ? QString() : path;
        };
        NoteVoice voice(c.notes, 200, send, playing, shortPath);
        int ended = 0;
        QEventLoop loop;
        QObject::connect(&voice, &NoteVoice::finished, &loop, [&] {
            ++ended;
            loop.quit();
        });
        voice.cue();
        QTimer::singleShot(0, &voice, &NoteVoice::start);
        // Only against a test that would never end.
        QTimer::singleShot(60000, &loop, [&loop] { loop.exit(1); });
        ASSERT_EQ(loop.exec(), 0) << c.what;
        QCoreApplication::processEvents(); // a second end would come now
        EXPECT_EQ(ended, 1) << c.what;
        EXPECT_EQ(sent, c.commands) << c.what;
        EXPECT_EQ(voice.played(), c.played) << c.what;
        EXPECT_TRUE(voice.current().isEmpty()) << c.what;
    }
}

TEST(TinkraArguments, NoteOrAlarm)
{
    struct Case
    {
        QStringList arguments;
        QString noteFile;
        bool error;
    };
    const Case cases[] = {
        {{}, {}, false},
        {{"-minimized"}, {}, false},
        {{"--note", "/home/u/Media/01.02.2026 10ч 00м 00.mp3"},
         "/home/u/Media/01.02.2026 10ч 00м 00.mp3",
         false},
        {{"--note=a b.mp3"}, "a b.mp3", false},
        {{"-minimized", "--note", "x.mp3"}, "x.mp3", false},
        {{"--note"}, {}, true},
        {{"--note="}, {}, true},
        {{"--note", "a.mp3", "--note", "b.mp3"}, {}, true},
    };
    for (const Case& c : cases) {
        const TinkraArguments parsed = TinkraArguments::parse(c.arguments);
        EXPECT_EQ(parsed.noteFile, c.noteFile) << qPrintable(c.arguments.join(' '));
        EXPECT_EQ(!parsed.error.isEmpty(), c.error) << qPrintable(c.arguments.join(' '));
    }
}

} // namespace
