#pragma once

#include "earlysound.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

struct mpg123_handle_struct;
typedef struct _snd_pcm snd_pcm_t;

// Plays one MP3 file on ALSA "default" from a worker thread, so the caller
// never waits for the sound. Pause keeps the position, play resumes from it,
// stop ends and rewinds. Destroying the player ends the sound.
class Mp3Player
{
public:
    // `path`: the file name as the system takes it (encoded).
    explicit Mp3Player(std::string path);
    // Plays what was opened and cued ahead for `path` (nothing when it
    // holds an error: the player then opens the file itself).
    Mp3Player(std::string path, CuedMp3 cued);
    ~Mp3Player();
    Mp3Player(const Mp3Player&) = delete;
    Mp3Player& operator=(const Mp3Player&) = delete;

    // Opens the decoder; returns an MciError code (0 on success).
    int load();
    // Opens the decoder and the sound device ahead of play(), which then
    // only has to hand over samples. Nothing is heard. Does nothing while
    // playing. Returns an MciError code.
    int cue();
    // Starts (or restarts) playback. Without a range it resumes from the
    // kept position and does nothing while already playing; with a range it
    // plays from `fromMs` up to `toMs` (the end of the file when not given).
    // Returns an MciError code.
    int play(std::optional<int64_t> fromMs, std::optional<int64_t> toMs);
    void pause();
    void stop();
    bool isPlaying() const { return m_thread.joinable() && !m_finished; }
    // Waits at most `ms` until the sound server has begun to take what
    // play() started (or it ended); false when it has not.
    bool waitUntilSounding(int ms);

private:
    void halt();
    void markSounding();
    void run(snd_pcm_t* pcm, int64_t startFrame, int64_t endFrame);

    std::string m_path;
    mpg123_handle_struct* m_mh = nullptr;
    int m_fd = -1; // the file the decoder reads, open while m_mh is
    long m_rate = 0;
    int m_channels = 0;
    snd_pcm_t* m_cued = nullptr; // opened by cue(), taken by the next play()
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::atomic<int64_t> m_resumeFrame{0};
    int64_t m_endFrame = -1;
    std::mutex m_soundingMutex;
    std::condition_variable m_soundingChanged;
    std::atomic<bool> m_sounding{false};
};
