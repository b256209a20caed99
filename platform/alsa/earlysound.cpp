#include "earlysound.h"

#include "alsautil.h"
#include "mcierror.h"
#include "mp3player.h"

#include <mpg123.h>

#include <mutex>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file at `path` opened for reading when it is a regular file, else -1.
// O_NONBLOCK: opening a FIFO for reading would wait for a writer, for good
// when none comes. The check is on what was opened, so a name swapped after
// a look at it cannot slip a FIFO in.
int openRegularFile(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st
    {
    };
    const int flags = ::fcntl(fd, F_GETFL);
    // The decoder's reads must wait for data as usual (a regular file's
    // always have it).
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

CuedMp3 openMp3(const char* path, bool device)
{
    CuedMp3 mp3;
    mp3.fd = openRegularFile(path);
    if (mp3.fd < 0) {
        mp3.error = MciFileNotFound;
        return mp3;
    }
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
    mp3.decoder = mpg123_new(nullptr, nullptr);
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mp3.decoder) {
        mpg123_param(mp3.decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        // Always 16-bit samples; rate and channels stay as in the file.
        mpg123_format_none(mp3.decoder);
        for (long r : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L})
            mpg123_format(mp3.decoder, r, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (!mp3.decoder || mpg123_open_fd(mp3.decoder, mp3.fd) != MPG123_OK ||
        mpg123_getformat(mp3.decoder, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels <= 0) {
        closeMp3(mp3);
        mp3.error = MciCannotDecode;
        return mp3;
    }
    // Keep the format fixed for the whole file.
    mpg123_format_none(mp3.decoder);
    mpg123_format(mp3.decoder, rate, channels, MPG123_ENC_SIGNED_16);
    mp3.rate = rate;
    mp3.channels = channels;
    if (device) {
        mp3.pcm = AlsaUtil::openDefault(SND_PCM_STREAM_PLAYBACK, SND_PCM_FORMAT_S16_LE,
                                        unsigned(channels), unsigned(rate), 100000);
        if (!mp3.pcm) {
            closeMp3(mp3);
            mp3.error = MciNoSoundDevice;
        }
    }
    return mp3;
}

void closeMp3(CuedMp3& mp3)
{
    AlsaUtil::closePcm(mp3.pcm);
    if (mp3.decoder) {
        mpg123_close(mp3.decoder);
        mpg123_delete(mp3.decoder);
    }
    if (mp3.fd >= 0)
        ::close(mp3.fd); // the decoder leaves a file it was handed open
    mp3 = CuedMp3{};
}

EarlySound::EarlySound() = default;

EarlySound::~EarlySound()
{
    m_chime.reset();
    bool unused = false;
    takeMixer(&unused);
    CuedMp3 left = takeCue();
    closeMp3(left);
}

void EarlySound::begin(const std::string& mp3)
{
    if (m_begun)
        return;
    m_begun = true;
    // ALSA reads its configuration under a lock of its own, and the sound
    // server is reached by each device separately, so the two overlap.
    m_mixerOpen = std::thread([this] {
        m_mixer = createAlsaMixer();
        m_opened = m_mixer->deviceCount() > 0 && m_mixer->open(0);
    });
    m_file = mp3;
    m_cue = std::thread([this] { m_mp3 = openMp3(m_file.c_str(), true); });
}

std::unique_ptr<SystemMixer> EarlySound::takeMixer(bool* opened)
{
    if (m_mixerOpen.joinable())
        m_mixerOpen.join();
    *opened = std::exchange(m_opened, false);
    return std::move(m_mixer);
}

CuedMp3 EarlySound::takeCue()
{
    if (m_cue.joinable())
        m_cue.join();
    if (!m_begun)
        return CuedMp3{MciNoSoundDevice};
    return std::exchange(m_mp3, CuedMp3{MciNoSoundDevice});
}

int EarlySound::play()
{
    CuedMp3 cued = takeCue();
    if (cued.error != MciOk)
        return cued.error;
    auto chime = std::make_unique<Mp3Player>(m_file, cued);
    const int played = chime->play(std::nullopt, std::nullopt);
    if (played != MciOk)
        return played;
    // Nothing else runs until the chime is heard: on few processors the
    // loading that follows would hold the sound server back from it.
    chime->waitUntilSounding(250);
    m_chime = std::move(chime);
    return MciOk;
}

std::unique_ptr<Mp3Player> EarlySound::takeChime()
{
    return std::move(m_chime);
}

void EarlySound::stopChime()
{
    m_chime.reset();
}
