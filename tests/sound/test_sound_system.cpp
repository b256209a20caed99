// Runs against the private PulseAudio of the test command: null sink
// "speakers" as the default sink, source "mic" as the default source,
// spoken to through $QUILL_MIC_QUEUE (or the FIFO $QUILL_MIC_FIFO).
#include "levelgeometry.h"
#include "mci.h"
#include "mmixer.h"
#include "modaudiomon.h"
#include "waveinput.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromLocal8Bit(p.readAll());
}

// Peak of raw s16le samples, 0..1.
double peak(const QByteArray& raw)
{
    int best = 0;
    for (qsizetype i = 0; i + 1 < raw.size(); i += 2) {
        int16_t s;
        std::memcpy(&s, raw.constData() + i, 2);
        best = std::max(best, std::abs(int(s)));
    }
    return best / 32768.0;
}

// Speech from espeak-ng as raw s16le mono 22050 Hz, the microphone's format.
QByteArray speech(const QString& text)
{
    QProcess espeak, sox;
    espeak.setStandardOutputProcess(&sox);
    espeak.start(QStringLiteral("espeak-ng"),
                 {QStringLiteral("-v"), QStringLiteral("ru"), QStringLiteral("--stdout"), text});
    sox.start(QStringLiteral("sox"),
              {QStringLiteral("-"), QStringLiteral("-t"), QStringLiteral("raw"),
               QStringLiteral("-r"), QStringLiteral("22050"), QStringLiteral("-e"),
               QStringLiteral("signed"), QStringLiteral("-b"), QStringLiteral("16"),
               QStringLiteral("-c"), QStringLiteral("1"), QStringLiteral("-")});
    espeak.waitForFinished(30000);
    sox.waitForFinished(30000);
    return sox.readAllStandardOutput();
}

QString makeTone(const QString& dir, const QString& name, double seconds, int hz = 440)
{
    const QString wav = dir + QLatin1Char('/') + name + QStringLiteral(".wav");
    const QString mp3 = dir + QLatin1Char('/') + name + QStringLiteral(".mp3");
    run(QStringLiteral("sox"),
        {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("22050"), QStringLiteral("-c"),
         QStringLiteral("1"), wav, QStringLiteral("synth"), QString::number(seconds),
         QStringLiteral("sine"), QString::number(hz), QStringLiteral("vol"),
         QStringLiteral("0.5")});
    run(QStringLiteral("lame"), {QStringLiteral("--quiet"), wav, mp3});
    return mp3;
}

// A tone that steps up each second: second k sounds at stepHz(k), so what is
// heard tells where in the file the player is.
constexpr int stepHz(int k)
{
    return 300 + 150 * k;
}

QString makeSteps(const QString& dir, const QString& name, int seconds)
{
    const int rate = 22050;
    QByteArray pcm(seconds * rate * 2, '\0');
    double phase = 0;
    for (int i = 0; i < seconds * rate; ++i) {
        phase += 2 * M_PI * stepHz(i / rate) / rate;
        const auto v = int16_t(16000 * std::sin(phase));
        std::memcpy(pcm.data() + 2 * i, &v, 2);
    }
    const QString raw = dir + QLatin1Char('/') + name + QStringLiteral(".raw");
    const QString mp3 = dir + QLatin1Char('/') + name + QStringLiteral(".mp3");
    QFile f(raw);
    if (!f.open(QIODevice::WriteOnly) || f.write(pcm) != pcm.size())
        return QString();
    f.close();
    run(QStringLiteral("lame"),
        {QStringLiteral("--quiet"), QStringLiteral("-r"), QStringLiteral("-s"),
         QStringLiteral("22.05"), QStringLiteral("-m"), QStringLiteral("m"),
         QStringLiteral("--bitwidth"), QStringLiteral("16"), QStringLiteral("--signed"),
         QStringLiteral("--little-endian"), raw, mp3});
    return mp3;
}

// The pitch of raw s16le mono 22050 Hz samples, from the spacing of their
// upward crossings (with some hysteresis, so silence and noise count
// nothing). Spacings well over the usual one are left out: the silence
// before the sound starts, a quantum the server skipped in between (PipeWire
// drops one now and then on a busy machine), or the lower end of a stream
// just stopped would otherwise lower the pitch.
double pitch(const QByteArray& raw)
{
    std::vector<qsizetype> edges;
    bool low = false;
    for (qsizetype i = 0; i + 1 < raw.size(); i += 2) {
        int16_t v;
        std::memcpy(&v, raw.constData() + i, 2);
        if (v < -2000)
            low = true;
        else if (v > 2000 && low) {
            edges.push_back(i / 2);
            low = false;
        }
    }
    std::vector<qsizetype> spacing;
    for (size_t i = 1; i < edges.size(); ++i)
        spacing.push_back(edges[i] - edges[i - 1]);
    if (spacing.empty())
        return 0;
    std::vector<qsizetype> sorted = spacing;
    std::nth_element(sorted.begin(), sorted.begin() + qsizetype(sorted.size() / 2), sorted.end());
    const double usual = double(sorted[sorted.size() / 2]);
    qsizetype cycles = 0, samples = 0;
    for (const qsizetype s : spacing)
        if (s <= 1.5 * usual) {
            ++cycles;
            samples += s;
        }
    return cycles / (samples / 22050.0);
}

class SoundServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // These tests need the sound server; missing it is a failure.
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            << "PULSE_SERVER is not set: run through the test command";
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("QUILL_MIC_QUEUE") &&
                     qEnvironmentVariableIsEmpty("QUILL_MIC_FIFO"))
            << "neither QUILL_MIC_QUEUE nor QUILL_MIC_FIFO is set";
        ASSERT_TRUE(m_dir.isValid());
        // Other tests share the server: start from full, unmuted levels.
        for (const char* args :
             {"set-sink-volume @DEFAULT_SINK@ 100%", "set-sink-mute @DEFAULT_SINK@ 0",
              "set-source-volume @DEFAULT_SOURCE@ 100%", "set-source-mute @DEFAULT_SOURCE@ 0"})
            run(QStringLiteral("pactl"), QString::fromLatin1(args).split(QLatin1Char(' ')));
    }
    void TearDown() override
    {
        m_parec.terminate();
        m_parec.waitForFinished(5000);
    }

    // Speaks the samples into the microphone and returns once they have
    // been taken: through the test command's queue (its feeder paces them),
    // else straight into the FIFO (blocks while the source is not reading).
    void speak(const QByteArray& samples)
    {
        const QString queue = qEnvironmentVariable("QUILL_MIC_QUEUE");
        if (!queue.isEmpty()) {
            const QString part = queue + QStringLiteral("/sound-test.part");
            const QString raw = queue + QStringLiteral("/sound-test.raw");
            QFile f(part);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(samples);
            f.close();
            ASSERT_TRUE(QFile::rename(part, raw));
            QElapsedTimer waited;
            waited.start();
            while (QFile::exists(raw) && waited.elapsed() < 30000)
                QThread::msleep(50);
            ASSERT_FALSE(QFile::exists(raw)) << "the microphone feeder took nothing";
            return;
        }
        QFile fifo(qEnvironmentVariable("QUILL_MIC_FIFO"));
        ASSERT_TRUE(fifo.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        fifo.write(samples);
    }

    // Starts listening to the speakers; returns once the recorder streams.
    void startListening()
    {
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("-d"), QStringLiteral("speakers.monitor"),
                       QStringLiteral("--format=s16le"), QStringLiteral("--rate=22050"),
                       QStringLiteral("--channels=1"), QStringLiteral("--raw"),
                       QStringLiteral("--latency-msec=20")});
        ASSERT_TRUE(m_parec.waitForStarted());
        // parec needs a moment before its first bytes; count from there.
        ASSERT_TRUE(m_parec.waitForReadyRead(5000));
        m_parec.readAllStandardOutput();
    }
    // What reached the speakers since the last call, after `ms` more.
    QByteArray heard(int ms)
    {
        QThread::msleep(ulong(ms));
        m_parec.waitForReadyRead(100);
        return m_parec.readAllStandardOutput();
    }

    QTemporaryDir m_dir;
    QProcess m_parec;
};

// The loudest sample (0..1) of a WAV file from `from` seconds on.
double wavPeakFrom(const QString& wav, double from)
{
    const QString stat =
        run(QStringLiteral("sox"), {wav, QStringLiteral("-n"), QStringLiteral("trim"),
                                    QString::number(from), QStringLiteral("stat")});
    const auto m =
        QRegularExpression(QStringLiteral("Maximum amplitude:\\s+([0-9.]+)")).match(stat);
    return m.hasMatch() ? m.captured(1).toDouble() : -1.0;
}

TEST_F(SoundServer, RecordingCapturesTheMicrophoneSkipsThePauseAndAppendsAfterStop)
{
    const QByteArray words = speech(QStringLiteral("Купить хлеб и молоко"));
    ASSERT_GT(words.size(), 22050) << "espeak-ng and sox must produce speech";
    const QByteArray aside = speech(QStringLiteral("Это говорится во время паузы"));
    // A pipe source may take nothing in while nobody listens; a real microphone
    // goes on hearing during the pause. Another listener keeps it running.
    QProcess listener;
    listener.setStandardOutputFile(QProcess::nullDevice());
    listener.start(
        QStringLiteral("parec"),
        {QStringLiteral("-d"), QStringLiteral("@DEFAULT_SOURCE@"), QStringLiteral("--raw")});
    ASSERT_TRUE(listener.waitForStarted());
    const auto stopListening = qScopeGuard([&] {
        listener.terminate();
        listener.waitForFinished(5000);
    });

    // Positions in the file are measured, not assumed: a busy machine
    // speaks more slowly than real time.
    QElapsedTimer clock;
    ASSERT_EQ(mciSendString(QStringLiteral("open new type waveaudio alias mywav")), MciOk);
    ASSERT_EQ(mciSendString(QStringLiteral("record mywav")), MciOk);
    clock.start();
    speak(words);
    const double wordsEnd = clock.elapsed() / 1000.0;
    QThread::msleep(1500);
    ASSERT_EQ(mciSendString(QStringLiteral("stop mywav")), MciOk);
    double recorded = clock.elapsed() / 1000.0;
    // Paused: what is said now must not be in the recording.
    speak(aside);
    QThread::msleep(500);
    ASSERT_EQ(mciSendString(QStringLiteral("open new type waveaudio alias mywav")), MciAliasInUse);
    ASSERT_EQ(mciSendString(QStringLiteral("record mywav")), MciOk);
    clock.restart();
    QThread::msleep(1000);
    ASSERT_EQ(mciSendString(QStringLiteral("stop mywav")), MciOk);
    recorded += clock.elapsed() / 1000.0;
    // A folder with a blank and Cyrillic in it.
    QDir(m_dir.path()).mkpath(QStringLiteral("Мои записи"));
    const QString wav = m_dir.filePath(QStringLiteral("Мои записи/test.wav"));
    ASSERT_EQ(mciSendString(QStringLiteral("save mywav ") + wav), MciOk);
    ASSERT_EQ(mciSendString(QStringLiteral("close mywav")), MciOk);

    EXPECT_EQ(run(QStringLiteral("soxi"), {QStringLiteral("-r"), wav}).trimmed(),
              QStringLiteral("22050"));
    EXPECT_EQ(run(QStringLiteral("soxi"), {QStringLiteral("-c"), wav}).trimmed(),
              QStringLiteral("1"));
    const double seconds =
        run(QStringLiteral("soxi"), {QStringLiteral("-D"), wav}).trimmed().toDouble();
    const double spoken = words.size() / 2.0 / 22050.0;
    const double asideSeconds = aside.size() / 2.0 / 22050.0;
    // Both parts are in the file, and not the time of the pause.
    EXPECT_GT(seconds, spoken + 0.7) << "spoken " << spoken;
    EXPECT_LT(seconds, recorded + asideSeconds / 2) << "recorded for " << recorded;
    EXPECT_GT(wavPeakFrom(wav, 0), 0.05) << "the recording holds the speech";
    // After the first speech only the silence before the pause and after
    // the resume: the words said while paused are absent.
    EXPECT_LT(wavPeakFrom(wav, wordsEnd + 0.5), 0.01) << "speech from the pause was recorded";
}

TEST_F(SoundServer, PlaybackReachesTheSpeakersPausesResumesAndStops)
{
    const QString mp3 = makeTone(m_dir.path(), QStringLiteral("тон с пробелом"), 6);
    ASSERT_TRUE(QFile::exists(mp3));
    const QString play = QStringLiteral("Play ") + mp3;

    startListening();
    // Cued: the device is open, nothing is heard yet, and Play takes it.
    ASSERT_EQ(mciSendString(QStringLiteral("Cue ") + mp3), MciOk);
    EXPECT_LT(peak(heard(300)), 0.01) << "quiet before";
    QElapsedTimer call;
    call.start();
    ASSERT_EQ(mciSendString(play), MciOk);
    EXPECT_LT(call.elapsed(), 2000) << "Play must not wait for the sound";
    EXPECT_GT(peak(heard(800)), 0.1) << "sound on the speakers";

    ASSERT_EQ(mciSendString(QStringLiteral("Pause ") + mp3), MciOk);
    heard(300);
    EXPECT_LT(peak(heard(500)), 0.01) << "silence while paused";

    ASSERT_EQ(mciSendString(play), MciOk);
    heard(300);
    EXPECT_GT(peak(heard(500)), 0.1) << "resumed";

    ASSERT_EQ(mciSendString(QStringLiteral("Stop ") + mp3), MciOk);
    heard(300);
    EXPECT_LT(peak(heard(500)), 0.01) << "silence after Stop";
}

TEST_F(SoundServer, PlaybackRangeStartsAtItsFromAndEndsAtItsEnd)
{
    const QString mp3 = makeSteps(m_dir.path(), QStringLiteral("range"), 8);
    ASSERT_TRUE(QFile::exists(mp3));
    startListening();
    // Without its end the range would play on to the end of the file.
    ASSERT_EQ(mciSendString(QStringLiteral("Play ") + mp3 + QStringLiteral(" from 5000 to 5700")),
              MciOk);
    heard(150);
    const QByteArray range = heard(300);
    EXPECT_GT(peak(range), 0.1) << "the range plays";
    EXPECT_NEAR(pitch(range), stepHz(5), 40) << "from the fifth second on";
    heard(1000);
    EXPECT_LT(peak(heard(1000)), 0.01) << "and stops at its end";
    mciSendString(QStringLiteral("Stop ") + mp3);
}

TEST_F(SoundServer, PlaybackResumesWhereItPausedAndSeeksWhereItSays)
{
    const QString mp3 = makeSteps(m_dir.path(), QStringLiteral("steps"), 8);
    ASSERT_TRUE(QFile::exists(mp3));
    const QString play = QStringLiteral("Play ") + mp3;
    startListening();
    ASSERT_EQ(mciSendString(play), MciOk);
    heard(150);
    EXPECT_NEAR(pitch(heard(300)), stepHz(0), 40) << "from the start";
    heard(1800); // into the third second
    ASSERT_EQ(mciSendString(QStringLiteral("Pause ") + mp3), MciOk);
    heard(800);
    ASSERT_EQ(mciSendString(play), MciOk);
    heard(150);
    const double resumed = pitch(heard(200));
    EXPECT_GE(resumed, stepHz(2) - 40) << "resumed where it paused, not from the start";
    EXPECT_LE(resumed, stepHz(3) + 40);

    // A seek: stop, then play from the position to the end.
    ASSERT_EQ(mciSendString(QStringLiteral("Stop ") + mp3), MciOk);
    ASSERT_EQ(mciSendString(play + QStringLiteral(" from 6000 to 8000")), MciOk);
    heard(150);
    EXPECT_NEAR(pitch(heard(300)), stepHz(6), 40) << "from the sixth second";
    mciSendString(QStringLiteral("Stop ") + mp3);
}

TEST_F(SoundServer, MixerRoundTripOnMasterAndCapture)
{
    MMixer mixer(createAlsaMixer());
    ASSERT_TRUE(mixer.OpenMixer(0));
    const int speaker = mixer.GetVolume(MMixer::SpeakerVolume);
    const int mic = mixer.GetVolume(MMixer::MicrophoneVolume);
    const auto pactl = [](const char* what, const char* device) {
        return run(QStringLiteral("pactl"),
                   {QString::fromLatin1(what), QString::fromLatin1(device)});
    };

    EXPECT_TRUE(mixer.SetVolume(MMixer::SpeakerVolume, 30));
    EXPECT_EQ(mixer.GetVolume(MMixer::SpeakerVolume), 30);
    EXPECT_TRUE(pactl("get-sink-volume", "@DEFAULT_SINK@").contains(QStringLiteral("30%")));
    EXPECT_TRUE(mixer.SetMute(MMixer::SpeakerMute, true));
    EXPECT_TRUE(mixer.GetMute(MMixer::SpeakerMute));
    EXPECT_TRUE(pactl("get-sink-mute", "@DEFAULT_SINK@").contains(QStringLiteral("yes")));
    EXPECT_TRUE(mixer.SetMute(MMixer::SpeakerMute, false));
    EXPECT_TRUE(pactl("get-sink-mute", "@DEFAULT_SINK@").contains(QStringLiteral("no")));

    // The microphone line is "Capture" under PulseAudio.
    EXPECT_TRUE(mixer.SetVolume(MMixer::MicrophoneVolume, 40));
    EXPECT_EQ(mixer.GetVolume(MMixer::MicrophoneVolume), 40);
    EXPECT_TRUE(pactl("get-source-volume", "@DEFAULT_SOURCE@").contains(QStringLiteral("40%")));

    // A change made by another program is seen.
    run(QStringLiteral("pactl"), {QStringLiteral("set-sink-volume"),
                                  QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("70%")});
    QThread::msleep(200); // the server's change notice travels asynchronously
    EXPECT_EQ(mixer.GetVolume(MMixer::SpeakerVolume), 70);

    // A write of the level this program wrote last still lands after another
    // program changed it (no read in between), for volume and mute alike.
    EXPECT_TRUE(mixer.SetVolume(MMixer::SpeakerVolume, 30));
    run(QStringLiteral("pactl"), {QStringLiteral("set-sink-volume"),
                                  QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("70%")});
    run(QStringLiteral("pactl"),
        {QStringLiteral("set-sink-mute"), QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("1")});
    QThread::msleep(200);
    EXPECT_TRUE(mixer.SetVolume(MMixer::SpeakerVolume, 30));
    EXPECT_TRUE(mixer.SetMute(MMixer::SpeakerMute, false));
    EXPECT_TRUE(pactl("get-sink-volume", "@DEFAULT_SINK@").contains(QStringLiteral("30%")));
    EXPECT_TRUE(pactl("get-sink-mute", "@DEFAULT_SINK@").contains(QStringLiteral("no")));

    // Each channel is read and put back on its own; the percent rules read
    // the first one.
    run(QStringLiteral("pactl"),
        {QStringLiteral("set-sink-volume"), QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("20%"),
         QStringLiteral("80%")});
    QThread::msleep(200);
    const std::vector<long> balance = mixer.GetChannels(MMixer::SpeakerVolume);
    ASSERT_EQ(balance.size(), 2u);
    EXPECT_EQ(mixer.GetVolume(MMixer::SpeakerVolume), 20);
    EXPECT_TRUE(mixer.SetVolume(MMixer::SpeakerVolume, 100));
    EXPECT_TRUE(mixer.SetChannels(MMixer::SpeakerVolume, balance));
    const QString both = pactl("get-sink-volume", "@DEFAULT_SINK@");
    EXPECT_TRUE(both.contains(QStringLiteral("20%")) && both.contains(QStringLiteral("80%")))
        << both.toStdString();

    // Lines PulseAudio does not have are absent.
    EXPECT_EQ(mixer.GetVolume(MMixer::CompactDiscVolume), 0);
    EXPECT_FALSE(mixer.SetVolume(MMixer::TelephoneVolume, 50));

    mixer.SetVolume(MMixer::SpeakerVolume, speaker);
    mixer.SetVolume(MMixer::MicrophoneVolume, mic);
}

TEST_F(SoundServer, MonitorReadsSilenceInBlocksAndFollowsSpeech)
{
    const QByteArray words = speech(QStringLiteral("Купить хлеб и молоко"));
    ASSERT_GT(words.size(), 22050) << "espeak-ng and sox must produce speech";
    const int silentHeight = LevelGeometry::ellipseFor(128).height();

    ModAudioMon monitor(createAlsaWaveInput());
    QList<QByteArray> blocks;
    int tallest = 0; // of the level pictures while speech is heard
    std::thread speaker;
    QObject::connect(&monitor, &ModAudioMon::blockReady, [&](const QByteArray& b) {
        blocks.append(b);
        if (blocks.size() == 20) // silence so far: now the microphone speaks
            speaker = std::thread([&] { speak(words); });
        if (blocks.size() <= 20)
            return;
        const auto* bytes = reinterpret_cast<const uint8_t*>(b.constData());
        QRect box;
        for (const QRect& r : LevelGeometry::ellipsesFor(bytes, size_t(b.size())))
            box |= r;
        tallest = std::max(tallest, box.height());
        if (tallest >= silentHeight + 8)
            monitor.Stop();
    });
    QTimer::singleShot(20000, &monitor, &ModAudioMon::Stop); // a stalled source
    ASSERT_TRUE(monitor.Start());
    if (speaker.joinable())
        speaker.join();
    // The source still holds the tail of the speech: let it pass, so the
    // next test starts in silence.
    QThread::msleep(1500);
    ASSERT_GE(blocks.size(), 20);
    // The later blocks of a silent microphone sit at 128.
    for (const QByteArray& b : blocks.mid(10, 10)) {
        ASSERT_EQ(b.size(), 256);
        for (char c : b)
            EXPECT_NEAR(int(uint8_t(c)), 128, 2);
    }
    // Speech draws well beyond the silent ellipse.
    EXPECT_GE(tallest, silentHeight + 8) << "silent ellipse " << silentHeight;
}

TEST(SoundExit, PlaybackStillRunningWhenTheProcessEndsDoesNotHang)
{
    // The child: starts a long playback and leaves main while it sounds.
    if (qEnvironmentVariableIsSet("QUILL_SOUND_EXIT_CHILD")) {
        ASSERT_EQ(
            mciSendString(QStringLiteral("Play ") + qEnvironmentVariable("QUILL_SOUND_EXIT_CHILD")),
            MciOk);
        QThread::msleep(300);
        return;
    }
    QTemporaryDir dir;
    const QString mp3 = makeTone(dir.path(), QStringLiteral("long"), 30, 300);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILL_SOUND_EXIT_CHILD"), mp3);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SoundExit.*")});
    ASSERT_TRUE(child.waitForFinished(10000)) << "the process hung at exit";
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
}

} // namespace
