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
snd_pcm_t* openDefault(snd_pcm_stream_t stream, snd_pcm_format_t format, unsigned channels,
                       unsigned rate, unsigned latencyUs);

// One non-blocking read from a capture PCM: the frames read, 0 when there is
// nothing yet (after a short wait, so a stop is noticed quickly, or after a
// recovered overrun), or -1 when the device cannot go on.
long readCapture(snd_pcm_t* pcm, void* buffer, snd_pcm_uframes_t frames);

// Drops what is buffered and closes the PCM; the pointer becomes null.
void closePcm(snd_pcm_t*& pcm);

} // namespace AlsaUtil
