#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// Sound input for the level monitor: unsigned 8-bit mono 11025 Hz samples
// (silence is 128) delivered in blocks of 256 bytes.
class WaveInput
{
public:
    static constexpr unsigned SampleRate = 11025;
    static constexpr size_t BlockSize = 256;

    // Called once per full block, on the capture thread.
    using BlockDone = std::function<void(const uint8_t* block, size_t size)>;

    virtual ~WaveInput() = default;

    // Opens the default input and starts delivering blocks; false when the
    // device cannot be opened (nothing is called then).
    virtual bool open(BlockDone onBlock) = 0;
    // Stops the input; no callback runs once this has returned.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};

// Capture from ALSA "default".
std::unique_ptr<WaveInput> createAlsaWaveInput();
