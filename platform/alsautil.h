#pragma once

#include <alsa/asoundlib.h>

// ALSA helpers shared by the recorder, the player, the wave input and the
// mixer. Only for files under platform/.
namespace AlsaUtil {

// ALSA prints its own complaints to stderr (for example when no sound server
// runs); the suite reports failures through its return codes instead.
void silenceErrors();

// Opens the "default" PCM in non-blocking mode with the given interleaved
// format and about `latencyUs` of buffering. Nothing on failure.
snd_pcm_t* openDefault(snd_pcm_stream_t stream, snd_pcm_format_t format,
                       unsigned channels, unsigned rate, unsigned latencyUs);

} // namespace AlsaUtil
