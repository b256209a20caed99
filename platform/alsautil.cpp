#include "alsautil.h"

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

snd_pcm_t* openDefault(snd_pcm_stream_t stream, snd_pcm_format_t format,
                       unsigned channels, unsigned rate, unsigned latencyUs)
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

} // namespace AlsaUtil
