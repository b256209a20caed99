#include "mp3inforeader.h"

#include "roundhalfeven.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Nearest integer, halves to the even neighbour.

bool isSync(quint8 b1, quint8 b2)
{
    return b1 == 255 && (InRange(b2, 250, 255) || InRange(b2, 242, 247));
}

QString yesNo(bool set)
{
    return set ? QStringLiteral(" Yes") : QStringLiteral(" No");
}

} // namespace

bool InRange(quint8 value, quint8 low, quint8 high)
{
    return low <= value && value <= high;
}

std::optional<std::pair<QString, QString>> VbrLength(qint64 fileSize, qint32 frames)
{
    qint64 s = 0;
    qint64 rest = qint64(frames) - 57;
    while (rest > 0) {
        ++s;
        rest -= (s % 3 == 0) ? 39 : 38; // about 38.33 frames per second
    }
    if (s == 0)
        return std::nullopt;
    // bytes x 8 / (seconds x 1000), reduced so that no product overflows.
    const qint64 kbit = fileSize / (s * 125);
    return std::make_pair(QString::number(kbit) + QStringLiteral(" Kbit (VBR)"),
                          QString::number(s) + QStringLiteral(" seconds"));
}

bool DecodeMp3Info(const QByteArray& head, qint64 fileSize, Mp3Info& info)
{
    info.size = QString::number(fileSize) + QStringLiteral(" bytes");

    // Room beyond the scanned bytes, so the Xing fields of a header found near
    // the end of the scan read as zero instead of past the buffer.
    std::array<quint8, kMp3ScanBytes + 48> buf{};
    std::memcpy(buf.data(), head.constData(),
                size_t(std::min<qsizetype>(head.size(), kMp3ScanBytes)));
    const auto at = [&](int i) { return buf[size_t(i)]; };

    int p = -1;
    for (int i = 0; i < kMp3ScanBytes - 4; ++i) {
        if (isSync(at(i), at(i + 1))) {
            p = i;
            break;
        }
    }
    if (p < 0)
        return false;

    const quint8 b2 = at(p + 1), b3 = at(p + 2), b4 = at(p + 3);
    info.crc = (b2 & 1) ? QStringLiteral("No") : QStringLiteral("Yes");

    const bool mpeg2 = InRange(b2, 242, 247);
    const int v = mpeg2 ? 1 : 2;
    info.version = mpeg2 ? QStringLiteral("MPEG 2.0") : QStringLiteral("MPEG 1.0");

    if (InRange(b2, 250, 251) || InRange(b2, 242, 243))
        info.layer = QStringLiteral("layer 3");
    else if (InRange(b2, 252, 253) || InRange(b2, 244, 245))
        info.layer = QStringLiteral("layer 2");
    else
        info.layer = QStringLiteral("layer 1");

    const int cls = b3 & 0x0f;
    const float base = cls <= 3 ? 22.05f : cls <= 7 ? 24.0f : 16.0f;
    const float hz = float(v) * base * 1000.0f;
    info.frequency = QString::number(std::lround(hz)) + QStringLiteral(" Hz");

    const int n = b3 >> 4;
    int kbit;
    if (!mpeg2)
        kbit = n <= 5 ? 8 * n + 24 : n <= 9 ? 16 * n - 16 : n <= 13 ? 32 * n - 160 : 320;
    else
        kbit = n <= 7 ? 8 * n : 16 * n - 64;
    info.bitrate = QString::number(kbit);

    const qint64 g = roundHalfEven(kbit / 8.0);
    const bool xing = std::memcmp(buf.data() + p + 36, "Xing", 4) == 0;
    if (xing) {
        const qint32 frames = qint32(at(p + 45)) * 65536 + qint32(at(p + 46)) * 256 + at(p + 47);
        if (const auto vbr = VbrLength(fileSize, frames)) {
            info.bitrate = vbr->first;
            info.length = vbr->second;
        } else {
            info.length.clear();
        }
    } else {
        info.bitrate += QStringLiteral("Kbit");
        // Bitrate index 0 of MPEG 2 gives no bytes per millisecond: no length.
        info.length = g > 0 ? QString::number(fileSize / g / 1000) : QString();
    }

    info.copyright = yesNo(b4 & 0x08);
    info.original = yesNo(b4 & 0x04);
    static const char* const kEmphasis[] = {" None", " 50/15 microsec", " invalid", " CITT j. 17"};
    static const char* const kMode[] = {" Stereo", " Joint Stereo", " 2 Channel", " Mono"};
    info.emphasis = QLatin1String(kEmphasis[b4 & 3]);
    info.mode = QLatin1String(kMode[b4 >> 6]);
    return true;
}

qint64 Id3v2Length(const QByteArray& first10)
{
    if (first10.size() < 10 || !first10.startsWith("ID3"))
        return 0;
    const auto byte = [&](int i) { return quint8(first10.at(i)); };
    if (byte(3) == 0xff || byte(4) == 0xff)
        return 0;
    qint64 body = 0;
    for (int i = 6; i < 10; ++i) {
        if (byte(i) & 0x80) // not a synchsafe size: no tag after all
            return 0;
        body = (body << 7) | byte(i);
    }
    const bool footer = byte(5) & 0x10;
    return 10 + body + (footer ? 10 : 0);
}

bool OpenRegularFile(QFile& file, const QString& path)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
    // writer; what was opened is then checked, so a swap after a look at the
    // name cannot slip anything else in.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

Mp3Read ReadMp3Info(const QString& path, Mp3Info& info)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return Mp3Read::Unreadable;
    QFile file;
    if (!S_ISREG(st.st_mode) || !OpenRegularFile(file, path)) {
        if (!S_ISREG(st.st_mode)) {
            info.size = QStringLiteral("0 bytes");
            return Mp3Read::NotMp3;
        }
        return Mp3Read::Unreadable;
    }
    const qint64 skip = Id3v2Length(file.peek(10));
    if (skip > 0 && !file.seek(qMin(skip, file.size())))
        return Mp3Read::Unreadable;
    const QByteArray head = file.read(kMp3ScanBytes);
    const qint64 size = file.size();
    file.close();
    return DecodeMp3Info(head, size, info) ? Mp3Read::Ok : Mp3Read::NotMp3;
}
