#include "mp3player.h"

#include "alsautil.h"
#include "mcierror.h"

#include <mpg123.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <utility>
#include <vector>

#include <unistd.h>

Mp3Player::Mp3Player(std::string path) : m_path(std::move(path)) {}

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

Mp3Player::Mp3Player(std::string path, CuedMp3 cued) : m_path(std::move(path))
{
    if (cued.error != MciOk)
        return;
    m_mh = cued.decoder;
    m_fd = cued.fd;
    m_rate = cued.rate;
    m_channels = cued.channels;
    m_cued = cued.pcm;
}

int Mp3Player::load()
{
    if (m_mh)
        return MciOk;
    const CuedMp3 mp3 = openMp3(m_path.c_str(), false);
    if (mp3.error != MciOk)
        return mp3.error;
    m_mh = mp3.decoder;
    m_fd = mp3.fd;
    m_rate = mp3.rate;
    m_channels = mp3.channels;
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

int Mp3Player::play(std::optional<int64_t> fromMs, std::optional<int64_t> toMs)
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
    {
        std::lock_guard<std::mutex> lock(m_soundingMutex);
        m_sounding = false;
    }
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
                // Room again once the sound server takes samples: they are
                // being heard.
                if (snd_pcm_wait(pcm, 50) == 1 && !m_sounding)
                    markSounding();
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
    markSounding();
}

void Mp3Player::markSounding()
{
    {
        std::lock_guard<std::mutex> lock(m_soundingMutex);
        m_sounding = true;
    }
    m_soundingChanged.notify_all();
}

bool Mp3Player::waitUntilSounding(int ms)
{
    std::unique_lock<std::mutex> lock(m_soundingMutex);
    return m_soundingChanged.wait_for(lock, std::chrono::milliseconds(ms),
                                      [this] { return m_sounding.load(); });
}
