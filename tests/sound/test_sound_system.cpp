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
#include <QFileInfo>
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
#include <functional>
#include <thread>
#include <utility>
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

// Polls until `done` holds; false after a minute (only a hung test waits
// that long).
template <typename Condition> bool waitFor(Condition done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 60000)
            return false;
        QThread::msleep(20);
    }
    return true;
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

// What a device hears, as raw s16le mono 22050 Hz from a parec of it,
// counted in samples: "the next 300 ms" are the next 6615 samples, however
// late or bunched a busy machine hands them over. Waits are bounded only
// against a recorder that stalls; sound is looked for within so many
// milliseconds of samples.
class Listener
{
public:
    static constexpr int Rate = 22050;
    static constexpr int BlockMs = 10;
    static constexpr double Loud = 0.1;
    static constexpr double Quiet = 0.01;

    explicit Listener(QString device) : m_device(std::move(device)) {}
    ~Listener()
    {
        m_parec.terminate();
        m_parec.waitForFinished(5000);
    }

    // Starts recording; true once the first samples have come.
    bool start()
    {
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("-d"), m_device, QStringLiteral("--format=s16le"),
                       QStringLiteral("--rate=22050"), QStringLiteral("--channels=1"),
                       QStringLiteral("--raw"), QStringLiteral("--latency-msec=20")});
        if (!m_parec.waitForStarted(StallMs))
            return false;
        // Counted from the first bytes: parec needs a moment before them.
        if (m_parec.bytesAvailable() == 0 && !m_parec.waitForReadyRead(StallMs))
            return false;
        m_parec.readAllStandardOutput();
        return true;
    }

    static qsizetype bytesOf(int ms) { return qsizetype(ms) * Rate / 1000 * 2; }

    // The next `ms` of samples, as soon as they are there. Fewer (and a
    // failure) only when the recorder stalls.
    QByteArray samples(int ms)
    {
        const qsizetype want = bytesOf(ms);
        QElapsedTimer idle;
        idle.start();
        while (m_pending.size() < want && !m_stalled) {
            const QByteArray got = m_parec.readAllStandardOutput();
            if (!got.isEmpty()) {
                m_pending += got;
                idle.restart();
                continue;
            }
            if (m_parec.state() != QProcess::Running || idle.elapsed() > StallMs) {
                m_stalled = true;
                ADD_FAILURE() << "parec of " << m_device.toStdString() << " gave nothing for "
                              << idle.elapsed() << " ms";
                break;
            }
            m_parec.waitForReadyRead(100);
        }
        const QByteArray out = m_pending.left(want);
        m_pending.remove(0, out.size());
        return out;
    }

    // Reads up to the first block louder than Loud, within `withinMs` of
    // samples; that block is read next.
    bool waitLoud(int withinMs)
    {
        for (int heard = 0; heard < withinMs; heard += BlockMs) {
            const QByteArray block = samples(BlockMs);
            if (block.size() < bytesOf(BlockMs))
                return false;
            if (peak(block) > Loud) {
                m_pending.prepend(block);
                return true;
            }
        }
        return false;
    }

    // Reads until `loudMs` of loud blocks have been heard, within `withinMs`.
    bool readLoud(int loudMs, int withinMs)
    {
        int loud = 0;
        for (int heard = 0; heard < withinMs && loud < loudMs; heard += BlockMs) {
            const QByteArray block = samples(BlockMs);
            if (block.size() < bytesOf(BlockMs))
                return false;
            if (peak(block) > Loud)
                loud += BlockMs;
        }
        return loud >= loudMs;
    }

    // Reads until `quietMs` in a row stay below Quiet; returns how many
    // milliseconds of loud blocks came before, or -1 when no such stretch
    // came within `withinMs`.
    int loudUntilQuiet(int quietMs, int withinMs)
    {
        int loud = 0, quiet = 0;
        for (int heard = 0; heard < withinMs; heard += BlockMs) {
            const QByteArray block = samples(BlockMs);
            if (block.size() < bytesOf(BlockMs))
                return -1;
            const double level = peak(block);
            quiet = level < Quiet ? quiet + BlockMs : 0;
            if (level > Loud)
                loud += BlockMs;
            if (quiet >= quietMs)
                return loud;
        }
        return -1;
    }
    bool waitQuiet(int quietMs, int withinMs) { return loudUntilQuiet(quietMs, withinMs) >= 0; }

private:
    // Nothing at all from the recorder for this long: it is stuck.
    static constexpr int StallMs = 30000;

    QString m_device;
    QProcess m_parec;
    QByteArray m_pending;
    bool m_stalled = false;
};

// Milliseconds of loud blocks in raw samples.
int loudMs(const QByteArray& raw)
{
    int loud = 0;
    const qsizetype block = Listener::bytesOf(Listener::BlockMs);
    for (qsizetype i = 0; i + block <= raw.size(); i += block)
        if (peak(raw.mid(i, block)) > Listener::Loud)
            loud += Listener::BlockMs;
    return loud;
}

class SoundServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A service of the test run died before (the test command says
        // which, and fails the run): nothing to learn here.
        const QString down = qEnvironmentVariable("QUILL_SERVICES_DIR") + QStringLiteral("/down");
        if (!qEnvironmentVariableIsEmpty("QUILL_SERVICES_DIR") && QFileInfo(down).size() > 0)
            GTEST_SKIP() << "a service of the test run is gone";
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
            while (QFile::exists(raw) && waited.elapsed() < 60000)
                QThread::msleep(50);
            ASSERT_FALSE(QFile::exists(raw)) << "the microphone feeder took nothing";
            return;
        }
        QFile fifo(qEnvironmentVariable("QUILL_MIC_FIFO"));
        ASSERT_TRUE(fifo.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        fifo.write(samples);
    }

    QTemporaryDir m_dir;
    Listener m_speakers{QStringLiteral("speakers.monitor")};
};

// A WAV file's samples as raw s16le mono 22050 Hz.
QByteArray wavSamples(const QString& wav)
{
    QProcess sox;
    sox.start(QStringLiteral("sox"),
              {wav, QStringLiteral("-t"), QStringLiteral("raw"), QStringLiteral("-r"),
               QStringLiteral("22050"), QStringLiteral("-e"), QStringLiteral("signed"),
               QStringLiteral("-b"), QStringLiteral("16"), QStringLiteral("-c"),
               QStringLiteral("1"), QStringLiteral("-")});
    sox.waitForFinished(30000);
    return sox.readAllStandardOutput();
}

// Seconds from the first to the last block of raw samples that is not
// silent.
double soundSpan(const QByteArray& raw)
{
    const qsizetype block = Listener::bytesOf(Listener::BlockMs);
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i + block <= raw.size(); i += block)
        if (peak(raw.mid(i, block)) >= Listener::Quiet) {
            if (first < 0)
                first = i;
            last = i + block;
        }
    return first < 0 ? 0 : (last - first) / 2.0 / Listener::Rate;
}

TEST_F(SoundServer, RecordingCapturesTheMicrophoneSkipsThePauseAndAppendsAfterStop)
{
    const QByteArray words = speech(QStringLiteral("Купить хлеб и молоко"));
    ASSERT_GT(words.size(), 22050) << "espeak-ng and sox must produce speech";
    const QByteArray aside = speech(QStringLiteral("Это говорится во время паузы"));
    // A pipe source may take nothing in while nobody listens; a real microphone
    // goes on hearing during the pause. Another listener keeps it running,
    // and tells when what was said has been heard.
    Listener mic(QStringLiteral("@DEFAULT_SOURCE@"));
    ASSERT_TRUE(mic.start()) << "cannot listen to the microphone";
    // The tail of earlier speech would be recorded too.
    ASSERT_TRUE(mic.waitQuiet(500, 30000)) << "the microphone does not fall silent";

    // How long it recorded is measured, not assumed: a busy machine is slow
    // to start and stop.
    QElapsedTimer clock;
    ASSERT_EQ(mciSendString(QStringLiteral("open new type waveaudio alias mywav")), MciOk);
    ASSERT_EQ(mciSendString(QStringLiteral("record mywav")), MciOk);
    clock.start();
    speak(words);
    // The words, then 1.5 s of silence after them, heard as they reach the
    // microphone.
    ASSERT_TRUE(mic.waitLoud(30000)) << "the microphone did not hear the words";
    ASSERT_TRUE(mic.waitQuiet(1500, 30000)) << "the words did not end";
    ASSERT_EQ(mciSendString(QStringLiteral("stop mywav")), MciOk);
    double recorded = clock.elapsed() / 1000.0;
    // Paused: what is said now must not be in the recording. It has passed
    // the microphone before the recording goes on.
    speak(aside);
    ASSERT_TRUE(mic.waitLoud(30000)) << "the microphone did not hear the aside";
    ASSERT_TRUE(mic.waitQuiet(500, 30000)) << "the aside did not end";
    ASSERT_EQ(mciSendString(QStringLiteral("open new type waveaudio alias mywav")), MciAliasInUse);
    ASSERT_EQ(mciSendString(QStringLiteral("record mywav")), MciOk);
    clock.restart();
    QThread::msleep(1000); // a second more of silence is recorded; its length is measured
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
    const QByteArray samples = wavSamples(wav);
    EXPECT_GT(peak(samples), 0.05) << "the recording holds the speech";
    // The words and silence around them: the aside, said while paused,
    // would come at least 1.5 s after them.
    EXPECT_LT(soundSpan(samples), spoken + 1.0) << "speech from the pause was recorded";
}

TEST_F(SoundServer, PlaybackReachesTheSpeakersPausesResumesAndStops)
{
    // Longer than all the waits below: silence before its end is the
    // player's doing.
    const QString mp3 = makeTone(m_dir.path(), QStringLiteral("тон с пробелом"), 30);
    ASSERT_TRUE(QFile::exists(mp3));
    const QString play = QStringLiteral("Play ") + mp3;

    ASSERT_TRUE(m_speakers.start()) << "cannot listen to the speakers";
    // Cued: the device is open, nothing is heard yet, and Play takes it.
    ASSERT_EQ(mciSendString(QStringLiteral("Cue ") + mp3), MciOk);
    // That nothing sounds: a second of samples, time for a playback started
    // by mistake to be heard.
    EXPECT_LT(peak(m_speakers.samples(1000)), Listener::Quiet) << "quiet after Cue";
    QElapsedTimer call;
    call.start();
    ASSERT_EQ(mciSendString(play), MciOk);
    EXPECT_LT(call.elapsed(), 2000) << "Play must not wait for the sound";
    ASSERT_TRUE(m_speakers.waitLoud(20000)) << "no sound on the speakers";

    ASSERT_EQ(mciSendString(QStringLiteral("Pause ") + mp3), MciOk);
    EXPECT_TRUE(m_speakers.waitQuiet(500, 10000)) << "no silence while paused";

    ASSERT_EQ(mciSendString(play), MciOk);
    EXPECT_TRUE(m_speakers.waitLoud(20000)) << "not resumed";

    ASSERT_EQ(mciSendString(QStringLiteral("Stop ") + mp3), MciOk);
    EXPECT_TRUE(m_speakers.waitQuiet(500, 10000)) << "no silence after Stop";
}

TEST_F(SoundServer, PlaybackRangeStartsAtItsFromAndEndsAtItsEnd)
{
    const QString mp3 = makeSteps(m_dir.path(), QStringLiteral("range"), 8);
    ASSERT_TRUE(QFile::exists(mp3));
    ASSERT_TRUE(m_speakers.start()) << "cannot listen to the speakers";
    // Without its end the range would play on to the end of the file.
    ASSERT_EQ(mciSendString(QStringLiteral("Play ") + mp3 + QStringLiteral(" from 5000 to 5700")),
              MciOk);
    ASSERT_TRUE(m_speakers.waitLoud(20000)) << "the range does not play";
    const QByteArray start = m_speakers.samples(300);
    EXPECT_NEAR(pitch(start), stepHz(5), 40) << "from the fifth second on";
    // How much sound there is, counted in samples: about 0.7 s, where the
    // rest of the file would be 3 s.
    const int rest = m_speakers.loudUntilQuiet(1000, 20000);
    ASSERT_GE(rest, 0) << "the range does not stop";
    const int heard = loudMs(start) + rest;
    EXPECT_GT(heard, 400) << "the range is cut short";
    EXPECT_LT(heard, 1500) << "and stops at its end";
    mciSendString(QStringLiteral("Stop ") + mp3);
}

TEST_F(SoundServer, PlaybackResumesWhereItPausedAndSeeksWhereItSays)
{
    const QString mp3 = makeSteps(m_dir.path(), QStringLiteral("steps"), 8);
    ASSERT_TRUE(QFile::exists(mp3));
    const QString play = QStringLiteral("Play ") + mp3;
    ASSERT_TRUE(m_speakers.start()) << "cannot listen to the speakers";
    ASSERT_EQ(mciSendString(play), MciOk);
    ASSERT_TRUE(m_speakers.waitLoud(20000)) << "no sound";
    const QByteArray start = m_speakers.samples(300);
    EXPECT_NEAR(pitch(start), stepHz(0), 40) << "from the start";
    // Into the third second; where it paused is all the sound heard up to
    // the silence.
    ASSERT_TRUE(m_speakers.readLoud(2500 - loudMs(start), 20000)) << "the sound stopped";
    ASSERT_EQ(mciSendString(QStringLiteral("Pause ") + mp3), MciOk);
    const int tail = m_speakers.loudUntilQuiet(500, 10000);
    ASSERT_GE(tail, 0) << "no silence while paused";
    const int pausedAt = 2500 + tail;
    ASSERT_EQ(mciSendString(play), MciOk);
    ASSERT_TRUE(m_speakers.waitLoud(20000)) << "not resumed";
    const double resumed = pitch(m_speakers.samples(200));
    // The second it paused in, or its neighbour near a boundary: what was
    // heard and the place the player kept may differ a little.
    EXPECT_GE(resumed, stepHz((pausedAt - 250) / 1000) - 40)
        << "resumed before where it paused at " << pausedAt << " ms, not from there";
    EXPECT_LE(resumed, stepHz((pausedAt + 450) / 1000) + 40)
        << "resumed after where it paused at " << pausedAt << " ms, not from there";

    // A seek: stop, then play from the position to the end.
    ASSERT_EQ(mciSendString(QStringLiteral("Stop ") + mp3), MciOk);
    ASSERT_TRUE(m_speakers.waitQuiet(500, 10000)) << "no silence after Stop";
    ASSERT_EQ(mciSendString(play + QStringLiteral(" from 6000 to 8000")), MciOk);
    ASSERT_TRUE(m_speakers.waitLoud(20000)) << "no sound after the seek";
    EXPECT_NEAR(pitch(m_speakers.samples(300)), stepHz(6), 40) << "from the sixth second";
    mciSendString(QStringLiteral("Stop ") + mp3);
}

TEST_F(SoundServer, MixerRoundTripOnMasterAndCapture)
{
    MMixer mixer(createAlsaMixer());
    ASSERT_TRUE(mixer.OpenMixer(0));
    MMixer witness(createAlsaMixer()); // tells when the server's notices have come
    ASSERT_TRUE(witness.OpenMixer(0));
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

    // A change made by another program is seen, once the server's notice of
    // it has come (it travels asynchronously).
    run(QStringLiteral("pactl"), {QStringLiteral("set-sink-volume"),
                                  QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("70%")});
    EXPECT_TRUE(waitFor([&] { return mixer.GetVolume(MMixer::SpeakerVolume) == 70; }))
        << "reads " << mixer.GetVolume(MMixer::SpeakerVolume);

    // A write of the level this program wrote last still lands after another
    // program changed it (no read in between), for volume and mute alike.
    // Whether the server's notices of the change have come is seen on a
    // second connection to the mixer, told at the same time: it first takes
    // in the notices so far, then waits for those of the change.
    EXPECT_TRUE(mixer.SetVolume(MMixer::SpeakerVolume, 30));
    ASSERT_TRUE(waitFor([&] {
        return witness.GetVolume(MMixer::SpeakerVolume) == 30 &&
               !witness.GetMute(MMixer::SpeakerMute);
    })) << "no notice of this program's write came";
    run(QStringLiteral("pactl"), {QStringLiteral("set-sink-volume"),
                                  QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("70%")});
    run(QStringLiteral("pactl"),
        {QStringLiteral("set-sink-mute"), QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("1")});
    ASSERT_TRUE(waitFor([&] {
        return witness.GetVolume(MMixer::SpeakerVolume) == 70 &&
               witness.GetMute(MMixer::SpeakerMute);
    })) << "no notice of the other program's change came";
    EXPECT_TRUE(mixer.SetVolume(MMixer::SpeakerVolume, 30));
    EXPECT_TRUE(mixer.SetMute(MMixer::SpeakerMute, false));
    EXPECT_TRUE(pactl("get-sink-volume", "@DEFAULT_SINK@").contains(QStringLiteral("30%")));
    EXPECT_TRUE(pactl("get-sink-mute", "@DEFAULT_SINK@").contains(QStringLiteral("no")));

    // Each channel is read and put back on its own; the percent rules read
    // the first one.
    run(QStringLiteral("pactl"),
        {QStringLiteral("set-sink-volume"), QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("20%"),
         QStringLiteral("80%")});
    EXPECT_TRUE(waitFor([&] { return mixer.GetVolume(MMixer::SpeakerVolume) == 20; }))
        << "reads " << mixer.GetVolume(MMixer::SpeakerVolume);
    const std::vector<long> balance = mixer.GetChannels(MMixer::SpeakerVolume);
    ASSERT_EQ(balance.size(), 2u);
    EXPECT_EQ(mixer.GetVolume(MMixer::SpeakerVolume), 20);
    // Both sides go up in one change at the server, as with one pactl
    // command: never the left one alone first (nor a second round trip).
    // The server's notices of its sink are counted up to a marker: the
    // notice that a given client has gone, which comes after all before it.
    QProcess events;
    events.start(QStringLiteral("pactl"), {QStringLiteral("subscribe")});
    ASSERT_TRUE(events.waitForStarted());
    QByteArray told;
    const auto hear = [&] {
        events.waitForReadyRead(20);
        told += events.readAll();
    };
    const auto clientGone = [] {
        const QString info = run(QStringLiteral("pactl"), {QStringLiteral("info")});
        const auto index = QRegularExpression(QStringLiteral("Client Index: (\\d+)")).match(info);
        return QByteArray("'remove' on client #") + index.captured(1).toLatin1() + '\n';
    };
    QList<QByteArray> markers; // until the subscription is in place
    ASSERT_TRUE(waitFor([&] {
        markers << clientGone();
        hear();
        return std::any_of(markers.begin(), markers.end(),
                           [&](const QByteArray& m) { return told.contains(m); });
    }));
    const auto sinkChanges = [&](const std::function<void()>& change) {
        QByteArray marker = clientGone();
        EXPECT_TRUE(waitFor([&] { return hear(), told.contains(marker); }));
        const int before = int(told.count("'change' on sink"));
        change();
        marker = clientGone();
        EXPECT_TRUE(waitFor([&] { return hear(), told.contains(marker); }));
        return int(told.count("'change' on sink")) - before;
    };
    const int byPactl = sinkChanges([] {
        run(QStringLiteral("pactl"),
            {QStringLiteral("set-sink-volume"), QStringLiteral("@DEFAULT_SINK@"),
             QStringLiteral("30%"), QStringLiteral("60%")});
    });
    const int byMixer =
        sinkChanges([&] { EXPECT_TRUE(mixer.SetVolume(MMixer::SpeakerVolume, 100)); });
    events.kill();
    events.waitForFinished();
    EXPECT_GE(byPactl, 1);
    EXPECT_EQ(byMixer, byPactl) << told.toStdString();
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
    // The monitor draws the latest block whenever it gets to one, and the
    // sound server hands the microphone's samples over several blocks at a
    // time: most blocks are never drawn, and the few loud ones of a short
    // phrase may all fall between those that are. Said three times, some
    // are drawn.
    const QByteArray once = speech(QStringLiteral("Купить хлеб и молоко"));
    ASSERT_GT(once.size(), 22050) << "espeak-ng and sox must produce speech";
    const QByteArray words = once + once + once;
    const int silentHeight = LevelGeometry::ellipseFor(128).height();

    // Hears the speech too, to tell when it has passed.
    Listener mic(QStringLiteral("@DEFAULT_SOURCE@"));
    ASSERT_TRUE(mic.start()) << "cannot listen to the microphone";

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
    QTimer::singleShot(60000, &monitor, &ModAudioMon::Stop); // a stalled source
    ASSERT_TRUE(monitor.Start());
    if (speaker.joinable()) {
        speaker.join();
        // The source may still hold the tail of the speech: let it pass, so
        // the next test starts in silence.
        EXPECT_TRUE(mic.waitLoud(30000) && mic.waitQuiet(1000, 30000))
            << "the speech did not pass the microphone";
    }
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
        // Not a wait for anything: a moment into the 30 s tone, which is
        // still playing whenever the process ends.
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
    // Only a hang takes a minute, even on a busy machine.
    ASSERT_TRUE(child.waitForFinished(60000)) << "the process hung at exit";
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
}

} // namespace
