// The floor of "exec to first sound": a bare Qt program that, once its
// application object stands, decodes an MP3 and plays it on ALSA "default",
// the way the alarm player does, with nothing else around it.
#include <QApplication>

#include <alsa/asoundlib.h>
#include <mpg123.h>

#include <vector>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    mpg123_init();
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    long rate = 0;
    int channels = 0, encoding = 0;
    mpg123_format_none(mh);
    mpg123_format(mh, 44100, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(mh, argv[1]) != MPG123_OK ||
        mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK)
        return 1;
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0 ||
        snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                           unsigned(channels), unsigned(rate), 1, 100000) < 0)
        return 1;
    std::vector<unsigned char> buf(4608 * size_t(channels) * 2);
    // Half a second is enough to be heard.
    for (long played = 0; played < rate / 2;) {
        size_t got = 0;
        if (mpg123_read(mh, buf.data(), buf.size(), &got) != MPG123_OK || got == 0)
            break;
        const snd_pcm_sframes_t frames = snd_pcm_sframes_t(got / (size_t(channels) * 2));
        if (snd_pcm_writei(pcm, buf.data(), snd_pcm_uframes_t(frames)) < 0)
            break;
        played += frames;
    }
    snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
    return 0;
}
