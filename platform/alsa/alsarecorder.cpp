#include "alsarecorder.h"

#include "alsautil.h"

#include "durablefile.h"

#include <QByteArray>

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

int AlsaRecorder::save(const QString& path) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const quint32 dataBytes = quint32(m_samples.size() * sizeof(int16_t));
    QByteArray header;
    const auto u32 = [&header](quint32 v) {
        for (int i = 0; i < 4; ++i)
            header.append(char((v >> (8 * i)) & 0xff));
    };
    const auto u16 = [&header](quint16 v) { header.append(char(v & 0xff)).append(char(v >> 8)); };
    header += "RIFF";
    u32(36 + dataBytes);
    header += "WAVEfmt ";
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(SampleRate);
    u32(SampleRate * 2);
    u16(2);
    u16(16);
    header += "data";
    u32(dataBytes);
    DurableFile::Writer file;
    if (file.open(path) && file.write(header) &&
        file.write(reinterpret_cast<const char*>(m_samples.data()), qint64(dataBytes)) &&
        file.commit())
        return 0;
    return file.error();
}
