#pragma once

// Test files for the MP3 readers: real MP3s made by lame from a generated
// tone, and hand-built files around a chosen frame header.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <cmath>

namespace Mp3Fixture {

// A 16-bit mono WAV of `seconds` of a 440 Hz tone at 22050 Hz.
inline bool writeTone(const QString& path, double seconds)
{
    const int rate = 22050;
    const int samples = int(seconds * rate);
    QByteArray pcm(samples * 2, '\0');
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(qint16(8000 * std::sin(2 * M_PI * 440 * i / rate)),
                                pcm.data() + 2 * i);
    QByteArray wav("RIFF");
    const auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    const auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    u32(36 + pcm.size());
    wav.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(pcm.size());
    wav.append(pcm);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(wav) == wav.size();
}

// Encodes a tone as a task file is encoded: 48 kbit/s, 22.05 kHz, mono, an
// ID3v1 tag with the album marker and `comment`. Extra lame options (for
// example an ID3v2 tag) go in `extra`. Returns lame's error text, empty on
// success.
inline QString makeTask(const QString& mp3, double seconds, const QString& comment,
                        const QStringList& extra = {"--id3v1-only"})
{
    const QString wav = mp3 + ".wav";
    if (!writeTone(wav, seconds))
        return "cannot write " + wav;
    QProcess lame;
    QStringList args = {"--quiet", "-b",   "48",          "--resample", "22.05", "-m",
                        "m",       "--tl", "Ola-Brenvik", "--tc",       comment};
    args += extra;
    args += {wav, mp3};
    lame.start(QStringLiteral(QUILL_LAME), args);
    if (!lame.waitForFinished(60000) || lame.exitCode() != 0)
        return "lame failed: " + QString::fromLocal8Bit(lame.readAllStandardError());
    QFile::remove(wav);
    return QString();
}

// `size` bytes: `lead` filler bytes, then the header bytes, then zeros.
inline QByteArray withHeader(const QByteArray& header, int size, int lead = 0)
{
    QByteArray data(lead, '\x11');
    data += header;
    data.append(QByteArray(qMax(0, size - int(data.size())), '\0'));
    return data;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace Mp3Fixture
