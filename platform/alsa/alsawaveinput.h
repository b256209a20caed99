#pragma once

#include "waveinput.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <thread>

// WaveInput on ALSA "default", read on a thread of its own.
class AlsaWaveInput : public WaveInput
{
public:
    AlsaWaveInput() = default;
    ~AlsaWaveInput() override;

    bool open(BlockDone onBlock) override;
    void close() override;
    bool isOpen() const override { return m_thread.joinable(); }

private:
    void run();

    snd_pcm_t* m_pcm = nullptr;
    BlockDone m_onBlock;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};
