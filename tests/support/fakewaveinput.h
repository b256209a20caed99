#pragma once

#include "waveinput.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

// A wave input that delivers a fixed block from its own thread at the real
// block rate (256 samples at 11025 Hz), or refuses to open.
class FakeWaveInput : public WaveInput
{
public:
    explicit FakeWaveInput(std::vector<uint8_t> block = std::vector<uint8_t>(BlockSize, 128),
                           bool opens = true)
        : m_block(std::move(block)), m_opens(opens)
    {
    }
    ~FakeWaveInput() override { close(); }

    bool open(BlockDone onBlock) override
    {
        if (!m_opens)
            return false;
        ++opened;
        m_stop = false;
        m_thread = std::thread([this, onBlock] {
            const auto period = std::chrono::microseconds(1000000 * BlockSize / SampleRate);
            auto next = std::chrono::steady_clock::now();
            while (!m_stop) {
                next += period;
                std::this_thread::sleep_until(next);
                if (m_stop)
                    break;
                onBlock(m_block.data(), m_block.size());
                ++delivered;
            }
        });
        return true;
    }
    void close() override
    {
        if (!m_thread.joinable())
            return;
        m_stop = true;
        m_thread.join();
        ++closed;
    }
    bool isOpen() const override { return m_thread.joinable(); }

    std::atomic<int> delivered{0};
    int opened = 0;
    int closed = 0;

private:
    std::vector<uint8_t> m_block;
    bool m_opens;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};
