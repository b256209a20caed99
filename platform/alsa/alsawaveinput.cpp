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
    AlsaUtil::closePcm(m_pcm);
    m_onBlock = nullptr;
}

void AlsaWaveInput::run()
{
    uint8_t block[BlockSize];
    size_t filled = 0;
    while (!m_stop) {
        const long n =
            AlsaUtil::readCapture(m_pcm, block + filled, snd_pcm_uframes_t(BlockSize - filled));
        if (n < 0)
            break;
        filled += size_t(n);
        if (filled == BlockSize) {
            m_onBlock(block, BlockSize);
            filled = 0;
        }
    }
}
