#pragma once

#include <alsa/asoundlib.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include <QString>

// A recorder behind one alias: captures 16-bit mono 22050 Hz from ALSA
// "default" on a worker thread. Stopping keeps the samples, so a later start
// appends; save writes everything taken so far as a WAV file.
class AlsaRecorder
{
public:
    static constexpr unsigned SampleRate = 22050;

    AlsaRecorder() = default;
    ~AlsaRecorder();
    AlsaRecorder(const AlsaRecorder&) = delete;
    AlsaRecorder& operator=(const AlsaRecorder&) = delete;

    // False when the capture device cannot be opened. Starting while already
    // capturing does nothing and succeeds.
    bool start();
    // Stops capturing and closes the device; the samples stay.
    void stop();
    // Writes the samples as a 16-bit PCM WAV file, whole or not at all and
    // flushed to the disk; returns 0 or the errno of the failure. The
    // samples stay either way, so a failed save can be tried again.
    int save(const QString& path) const;

private:
    void run();

    snd_pcm_t* m_pcm = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<int16_t> m_samples;
};
