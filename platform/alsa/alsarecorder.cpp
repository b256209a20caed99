#include "alsarecorder.h"

#include "alsautil.h"

#include <QFile>

#include <sndfile.h>

AlsaRecorder::~AlsaRecorder()
{
    stop();
}

bool AlsaRecorder::start()
{
    if (m_thread.joinable())
        return true;
    m_pcm =
        AlsaUtil::openDefault(SND_PCM_STREAM_CAPTURE, SND_PCM_FORMAT_S16_LE, 1, SampleRate, 100000);
    if (!m_pcm)
        return false;
    // Some plugins only start on the first read; a failure here is not one.
    snd_pcm_start(m_pcm);
    m_stop = false;
    m_thread = std::thread(&AlsaRecorder::run, this);
    return true;
}

void AlsaRecorder::stop()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    m_thread.join();
    AlsaUtil::closePcm(m_pcm);
}

void AlsaRecorder::run()
{
    std::vector<int16_t> chunk(1024);
    while (!m_stop) {
        const long n = AlsaUtil::readCapture(m_pcm, chunk.data(), chunk.size());
        if (n < 0)
            break;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_samples.insert(m_samples.end(), chunk.begin(), chunk.begin() + n);
    }
}

bool AlsaRecorder::save(const QString& path) const
{
    SF_INFO info{};
    info.samplerate = int(SampleRate);
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    const sf_count_t written =
        m_samples.empty() ? 0
                          : sf_write_short(file, m_samples.data(), sf_count_t(m_samples.size()));
    const bool ok = written == sf_count_t(m_samples.size());
    return sf_close(file) == 0 && ok;
}
