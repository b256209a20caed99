#include "alsautil.h"

#include <cerrno>

#include <cstdarg>
#include <mutex>

namespace AlsaUtil {

namespace {
void quietHandler(const char*, int, const char*, int, const char*, ...) {}
} // namespace

void silenceErrors()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(quietHandler); });
}

snd_pcm_t* openDefault(snd_pcm_stream_t stream, snd_pcm_format_t format, unsigned channels,
                       unsigned rate, unsigned latencyUs)
{
    silenceErrors();
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", stream, SND_PCM_NONBLOCK) < 0)
        return nullptr;
    if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, channels, rate,
                           1 /* resample */, latencyUs) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return pcm;
}

long readCapture(snd_pcm_t* pcm, void* buffer, snd_pcm_uframes_t frames)
{
    const snd_pcm_sframes_t n = snd_pcm_readi(pcm, buffer, frames);
    if (n == -EAGAIN) {
        snd_pcm_wait(pcm, 50);
        return 0;
    }
    if (n < 0) {
        if (snd_pcm_recover(pcm, int(n), 1) < 0)
            return -1;
        snd_pcm_start(pcm);
        return 0;
    }
    return long(n);
}

void closePcm(snd_pcm_t*& pcm)
{
    if (!pcm)
        return;
    snd_pcm_drop(pcm);
    snd_pcm_close(pcm);
    pcm = nullptr;
}

} // namespace AlsaUtil
