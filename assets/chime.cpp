#include "artwork.h"

#include <QFile>

#include <algorithm>
#include <cstdio>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

void put16(QByteArray& b, uint16_t v)
{
    b.append(char(v & 0xff));
    b.append(char(v >> 8));
}
void put32(QByteArray& b, uint32_t v)
{
    put16(b, uint16_t(v & 0xffff));
    put16(b, uint16_t(v >> 16));
}

} // namespace

// A soft three-note bell figure, rung twice: about 4.5 seconds.
bool Artwork::writeChime(const QString& dir)
{
    const int rate = 44100;
    const double seconds = 4.5;
    std::vector<double> mix(size_t(rate * seconds), 0.0);
    struct Note
    {
        double start, freq;
    };
    const Note notes[] = {{0.00, 1318.5}, {0.30, 1046.5}, {0.60, 783.99},
                          {2.10, 1318.5}, {2.40, 1046.5}, {2.70, 783.99}};
    const double pi = 3.14159265358979;
    for (const Note& n : notes) {
        const size_t first = size_t(n.start * rate);
        for (size_t i = first; i < mix.size(); ++i) {
            const double t = double(i - first) / rate;
            const double env = std::exp(-2.6 * t) * std::min(1.0, t * 400.0);
            // Bell partials: fundamental, a slightly sharp octave and a twelfth.
            const double s = std::sin(2 * pi * n.freq * t) +
                             0.45 * std::sin(2 * pi * n.freq * 2.01 * t) * std::exp(-3 * t) +
                             0.2 * std::sin(2 * pi * n.freq * 3.0 * t) * std::exp(-5 * t);
            mix[i] += 0.22 * env * s;
        }
    }
    // Fade the very end so the player stops on silence.
    const size_t fade = size_t(0.3 * rate);
    for (size_t i = 0; i < fade; ++i)
        mix[mix.size() - 1 - i] *= double(i) / fade;

    QByteArray data;
    data.reserve(int(mix.size() * 2));
    for (double v : mix) {
        const double c = std::max(-1.0, std::min(1.0, v));
        put16(data, uint16_t(int16_t(std::lround(c * 32767))));
    }
    QByteArray wav("RIFF");
    put32(wav, uint32_t(36 + data.size()));
    wav.append("WAVEfmt ");
    put32(wav, 16);
    put16(wav, 1);
    put16(wav, 1);
    put32(wav, rate);
    put32(wav, rate * 2);
    put16(wav, 2);
    put16(wav, 16);
    wav.append("data");
    put32(wav, uint32_t(data.size()));
    wav.append(data);

    QFile f(dir + "/chime.wav");
    if (!f.open(QIODevice::WriteOnly) || f.write(wav) != wav.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
        return false;
    }
    return true;
}
