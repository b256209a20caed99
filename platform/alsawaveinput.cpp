#include "alsawaveinput.h"

#include "alsautil.h"

std::unique_ptr<WaveInput> createAlsaWaveInput()
{
    return std::make_unique<AlsaWaveInput>();
}

AlsaWaveInput::~AlsaWaveInput()
{
    close();
}

bool AlsaWaveInput::open(BlockDone onBlock)
{
    close();
    // About four blocks of buffering: short enough for a lively meter.
    m_pcm = AlsaUtil::openDefault(SND_PCM_STREAM_CAPTURE, SND_PCM_FORMAT_U8, 1, SampleRate, 93000);
    if (!m_pcm)
        return false;
    snd_pcm_start(m_pcm);
    m_onBlock = std::move(onBlock);
    m_stop = false;
    m_thread = std::thread(&AlsaWaveInput::run, this);
    return true;
}

void AlsaWaveInput::close()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    m_thread.join();
    snd_pcm_drop(m_pcm);
    snd_pcm_close(m_pcm);
    m_pcm = nullptr;
    m_onBlock = nullptr;
}

void AlsaWaveInput::run()
{
    uint8_t block[BlockSize];
    size_t filled = 0;
    while (!m_stop) {
        const snd_pcm_sframes_t n =
            snd_pcm_readi(m_pcm, block + filled, snd_pcm_uframes_t(BlockSize - filled));
        if (n == -EAGAIN) {
            snd_pcm_wait(m_pcm, 50);
            continue;
        }
        if (n < 0) {
            if (snd_pcm_recover(m_pcm, int(n), 1) < 0)
                break;
            snd_pcm_start(m_pcm);
            continue;
        }
        filled += size_t(n);
        if (filled == BlockSize) {
            m_onBlock(block, BlockSize);
            filled = 0;
        }
    }
}
