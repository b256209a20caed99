#pragma once

#include "systemmixer.h"

#include <memory>
#include <string>
#include <thread>

class Mp3Player;
struct mpg123_handle_struct;
typedef struct _snd_pcm snd_pcm_t;

// An MP3 opened for playing: the file, its decoder, and the sound device
// opened for its format. Nothing here needs Qt, so the alarm has it ready
// while its Qt libraries still load; the media commands then take it over
// (mciAdopt in mci.h).
struct CuedMp3
{
    int error = 0; // an MciError; when not 0, nothing below is open
    int fd = -1;   // the file the decoder reads
    mpg123_handle_struct* decoder = nullptr;
    long rate = 0;
    int channels = 0;
    snd_pcm_t* pcm = nullptr; // ALSA "default"; nothing when not asked for
};

// Opens the regular file `path` (never waiting on a FIFO) and its decoder,
// which gives 16-bit samples at the file's own rate and channels; with
// `device`, ALSA "default" for them too. On failure `error` says why and
// nothing is left open.
CuedMp3 openMp3(const char* path, bool device);
// Closes whatever `mp3` holds open and clears it.
void closeMp3(CuedMp3& mp3);

// The alarm's first moments, before Qt is loaded: the system mixer is
// opened on one thread and the chime cued on another (openMp3 with the
// device). Nothing is played and no level changes until the program,
// holding its lock and with the mixer up, calls play(). Whatever is not
// taken is closed (and the chime ended) at the end.
class EarlySound
{
public:
    EarlySound();
    EarlySound(const EarlySound&) = delete;
    EarlySound& operator=(const EarlySound&) = delete;
    ~EarlySound();

    void begin(const std::string& mp3);
    bool begun() const { return m_begun; }

    // Waits for the mixer: the system's, with `opened` saying whether its
    // first device could be opened (when not, the mixer opens nothing
    // until asked again). Once only.
    std::unique_ptr<SystemMixer> takeMixer(bool* opened);
    // Waits for the chime. Once only.
    CuedMp3 takeCue();
    // Waits for the chime and starts it; an MciError, 0 when it plays.
    int play();
    // The chime play() started, for the media commands (mciAdopt).
    std::unique_ptr<Mp3Player> takeChime();
    // Ends the chime play() started, when not taken.
    void stopChime();

private:
    bool m_begun = false;
    std::thread m_mixerOpen;
    std::thread m_cue;
    std::unique_ptr<SystemMixer> m_mixer;
    bool m_opened = false;
    CuedMp3 m_mp3;
    std::string m_file;
    std::unique_ptr<Mp3Player> m_chime;
};
