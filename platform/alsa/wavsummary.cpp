#include "wavsummary.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

std::optional<WavSummary> WavSummary::read(const QString& path)
{
    // Only a regular file: opening a FIFO would wait for a writer for good.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
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

bool WavSummary::repairLength(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const qint64 size = file.size();
    const QByteArray head = file.read(12);
    if (head.size() != 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return false;
    qint64 pos = 12;
    while (pos + 8 <= size) {
        file.seek(pos);
        const QByteArray chunk = file.read(8);
        if (chunk.size() != 8)
            return false;
        const quint32 length = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (chunk.startsWith("data")) {
            const qint64 real = (size - pos - 8) & ~qint64(1);
            if (real <= 0 || (length != 0 && length <= real))
                return false;
            uchar bytes[4];
            qToLittleEndian<quint32>(quint32(real), bytes);
            file.seek(pos + 4);
            bool ok = file.write(reinterpret_cast<const char*>(bytes), 4) == 4;
            qToLittleEndian<quint32>(quint32(pos + 8 + real - 8), bytes);
            file.seek(4);
            ok = ok && file.write(reinterpret_cast<const char*>(bytes), 4) == 4;
            return file.flush() && ok;
        }
        pos += 8 + length + (length & 1);
    }
    return false;
}
