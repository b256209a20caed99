#include "wavsummary.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

std::optional<WavSummary> WavSummary::read(const QString& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return std::nullopt;
    WavSummary summary;
    summary.frames = info.frames;
    std::vector<short> block(size_t(4096) * size_t(info.channels > 0 ? info.channels : 1));
    sf_count_t n;
    while ((n = sf_read_short(file, block.data(), sf_count_t(block.size()))) > 0) {
        for (sf_count_t i = 0; i < n; ++i)
            summary.peak = std::max(summary.peak, std::abs(int(block[size_t(i)])));
    }
    sf_close(file);
    return summary;
}
