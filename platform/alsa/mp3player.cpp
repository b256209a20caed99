#include "mp3player.h"

#include "alsautil.h"
#include "mci.h"

#include <QFile>

#include <mpg123.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void initDecoderLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// The file at `path` opened for reading when it is a regular file, else -1.
// O_NONBLOCK: opening a FIFO for reading would wait for a writer, for good
// when none comes. The check is on what was opened, so a name swapped after
// a look at it cannot slip a FIFO in.
int openRegularFile(const QString& path)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st
    {
    };
    const int flags = ::fcntl(fd, F_GETFL);
    // The decoder's reads must wait for data as usual (a regular file's
    // always have it).
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

Mp3Player::Mp3Player(const QString& path) : m_path(path) {}

Mp3Player::~Mp3Player()
{
    halt();
    AlsaUtil::closePcm(m_cued);
    if (m_mh) {
        mpg123_close(m_mh);
        mpg123_delete(m_mh);
    }
    if (m_fd >= 0)
        ::close(m_fd); // the decoder leaves a file it was handed open
}

int Mp3Player::load()
{
    if (m_mh)
        return MciOk;
    const int fd = openRegularFile(m_path);
    if (fd < 0)
        return MciFileNotFound;
    initDecoderLibrary();
    int err = 0;
    m_mh = mpg123_new(nullptr, &err);
    if (!m_mh) {
        ::close(fd);
        return MciCannotDecode;
    }
    mpg123_param(m_mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Always 16-bit samples; rate and channels stay as in the file.
    mpg123_format_none(m_mh);
    for (long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L})
        mpg123_format(m_mh, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_open_fd(m_mh, fd) != MPG123_OK ||
        mpg123_getformat(m_mh, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels <= 0) {
        mpg123_delete(m_mh);
        m_mh = nullptr;
        ::close(fd);
        return MciCannotDecode;
    }
    m_fd = fd;
    // Keep the format fixed for the whole file.
    mpg123_format_none(m_mh);
    mpg123_format(m_mh, rate, channels, MPG123_ENC_SIGNED_16);
    m_rate = rate;
    m_channels = channels;
    return MciOk;
}

int Mp3Player::cue()
{
    const int loaded = load();
    if (loaded != MciOk)
        return loaded;
    if (m_cued || isPlaying())
        return MciOk;
    m_cued = AlsaUtil::openDefault(SND_PCM_STREAM_PLAYBACK, SND_PCM_FORMAT_S16_LE,
                                   unsigned(m_channels), unsigned(m_rate), 100000);
    return m_cued ? MciOk : MciNoSoundDevice;
}

int Mp3Player::play(std::optional<qint64> fromMs, std::optional<qint64> toMs)
{
    const int loaded = load();
    if (loaded != MciOk)
        return loaded;
    if (!fromMs && isPlaying())
        return MciOk;
    halt();
    int64_t start = m_resumeFrame;
    int64_t end = fromMs ? -1 : m_endFrame;
    if (fromMs) {
        start = *fromMs * m_rate / 1000;
        if (toMs)
            end = *toMs * m_rate / 1000;
    }
    snd_pcm_t* pcm = std::exchange(m_cued, nullptr);
    if (!pcm)
        pcm = AlsaUtil::openDefault(SND_PCM_STREAM_PLAYBACK, SND_PCM_FORMAT_S16_LE,
                                    unsigned(m_channels), unsigned(m_rate), 100000);
    if (!pcm)
        return MciNoSoundDevice;
    m_endFrame = end;
    m_stop = false;
    m_finished = false;
    m_thread = std::thread(&Mp3Player::run, this, pcm, start, end);
    return MciOk;
}

void Mp3Player::pause()
{
    halt(); // keeps m_resumeFrame where the sound stood
}

void Mp3Player::stop()
{
    halt();
    m_resumeFrame = 0;
    m_endFrame = -1;
}

void Mp3Player::halt()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    m_thread.join();
}

void Mp3Player::run(snd_pcm_t* pcm, int64_t startFrame, int64_t endFrame)
{
    const off_t startAt = mpg123_seek(m_mh, off_t(startFrame), SEEK_SET);
    int64_t frame = startAt < 0 ? 0 : int64_t(startAt);
    const size_t frameBytes = size_t(m_channels) * sizeof(int16_t);
    std::vector<unsigned char> buf(4608 * frameBytes);
    bool ended = false;
    while (!m_stop) {
        size_t got = 0;
        const int rc = mpg123_read(m_mh, buf.data(), buf.size(), &got);
        int64_t frames = int64_t(got / frameBytes);
        if (endFrame >= 0 && frame + frames >= endFrame) {
            frames = std::max<int64_t>(0, endFrame - frame);
            ended = true;
        }
        const unsigned char* p = buf.data();
        int64_t left = frames;
        while (left > 0 && !m_stop) {
            const snd_pcm_sframes_t w = snd_pcm_writei(pcm, p, snd_pcm_uframes_t(left));
            if (w == -EAGAIN) {
                snd_pcm_wait(pcm, 50);
                continue;
            }
            if (w < 0) {
                if (snd_pcm_recover(pcm, int(w), 1) < 0) {
                    ended = true;
                    break;
                }
                continue;
            }
            p += w * frameBytes;
            left -= w;
            frame += w;
        }
        if (rc == MPG123_DONE || (rc != MPG123_OK && rc != MPG123_NEW_FORMAT && got == 0))
            ended = true;
        if (ended)
            break;
    }
    snd_pcm_sframes_t delay = 0;
    if (ended && !m_stop) {
        // Let the buffered tail play out, but stay responsive to a stop.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!m_stop && std::chrono::steady_clock::now() < deadline) {
            if (snd_pcm_delay(pcm, &delay) < 0 || delay <= 0)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        m_resumeFrame = 0; // a finished file starts again from the beginning
        m_endFrame = -1;
    } else {
        if (snd_pcm_delay(pcm, &delay) < 0 || delay < 0)
            delay = 0;
        m_resumeFrame = std::max<int64_t>(0, frame - delay);
    }
    snd_pcm_drop(pcm);
    snd_pcm_close(pcm);
    m_finished = true;
}
