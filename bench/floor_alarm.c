/* The floor of the alarm's "exec to first sound" on the suite's sound route:
 * what any program must do to sound an MP3 with the speakers turned up
 * through ALSA's "default" device and mixer. It opens the mixer (on one
 * thread) and the sound device (on another) at once, reads and raises the
 * "Master" and "PCM" levels and switches, then decodes with mpg123 and plays
 * half a second. No Qt, no lock, no window.
 *
 *   floor_alarm FILE.mp3
 */
#include <alsa/asoundlib.h>
#include <mpg123.h>
#include <pthread.h>
#include <stdlib.h>

static snd_mixer_t* mixer;

static void* openMixer(void* unused)
{
    (void)unused;
    if (snd_mixer_open(&mixer, 0) < 0 || snd_mixer_attach(mixer, "default") < 0 ||
        snd_mixer_selem_register(mixer, NULL, NULL) < 0 || snd_mixer_load(mixer) < 0)
        mixer = NULL;
    return NULL;
}

static void turnUp(const char* name)
{
    snd_mixer_selem_id_t* id;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_name(id, name);
    snd_mixer_elem_t* e = snd_mixer_find_selem(mixer, id);
    if (!e)
        return;
    long low = 0, high = 0, now = 0;
    int on = 0;
    if (snd_mixer_selem_has_playback_volume(e) &&
        snd_mixer_selem_get_playback_volume_range(e, &low, &high) == 0) {
        snd_mixer_selem_get_playback_volume(e, SND_MIXER_SCHN_FRONT_LEFT, &now);
        snd_mixer_selem_set_playback_volume_all(e, high);
    }
    if (snd_mixer_selem_has_playback_switch(e)) {
        snd_mixer_selem_get_playback_switch(e, SND_MIXER_SCHN_FRONT_LEFT, &on);
        snd_mixer_selem_set_playback_switch_all(e, 1);
    }
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    pthread_t thread;
    pthread_create(&thread, NULL, openMixer, NULL);
    mpg123_init();
    mpg123_handle* mh = mpg123_new(NULL, NULL);
    long rate = 0;
    int channels = 0, encoding = 0;
    mpg123_format_none(mh);
    mpg123_format(mh, 44100, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    mpg123_format(mh, 22050, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    snd_pcm_t* pcm = NULL;
    if (mpg123_open(mh, argv[1]) != MPG123_OK ||
        mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK ||
        snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0 ||
        snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                           (unsigned)channels, (unsigned)rate, 1, 100000) < 0)
        return 1;
    pthread_join(thread, NULL);
    if (mixer) {
        turnUp("Master");
        turnUp("PCM");
    }
    unsigned char buf[4608 * 2 * 2];
    /* Half a second is enough to be heard. */
    for (long played = 0; played < rate / 2;) {
        size_t got = 0;
        if (mpg123_read(mh, buf, sizeof buf, &got) != MPG123_OK || got == 0)
            break;
        const snd_pcm_sframes_t frames = (snd_pcm_sframes_t)(got / ((size_t)channels * 2));
        if (snd_pcm_writei(pcm, buf, (snd_pcm_uframes_t)frames) < 0)
            break;
        played += frames;
    }
    snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
    return 0;
}
