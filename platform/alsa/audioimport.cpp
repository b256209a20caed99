#include "audioimport.h"

#include "durablefile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <mpg123.h>
#include <sndfile.h>

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace AudioImport {

namespace {

constexpr size_t kBlockFrames = 4096;

// Interleaved 16-bit samples of `channels` channels into mono, by average.
void mixDown(const short* in, size_t frames, int channels, std::vector<short>& out)
{
    out.resize(frames);
    for (size_t f = 0; f < frames; ++f) {
        int sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += in[f * size_t(channels) + size_t(c)];
        out[f] = short(sum / channels);
    }
}

// The mono WAV being written; removed again unless finished.
class WavWriter
{
public:
    bool open(const QString& path, int rate)
    {
        m_path = path;
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        errno = 0;
        m_file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
        if (!m_file)
            failed(QString::fromLocal8Bit(sf_strerror(nullptr)));
        return m_file != nullptr;
    }
    bool write(const std::vector<short>& mono)
    {
        const auto n = sf_count_t(mono.size());
        errno = 0;
        if (sf_write_short(m_file, mono.data(), n) != n) {
            failed(QString::fromLocal8Bit(sf_strerror(m_file)));
            return false;
        }
        m_frames += n;
        return true;
    }
    // Closed, its lengths written, and on the disk: checked by its size,
    // as a full disk can fail the header's last write silently.
    bool finish()
    {
        errno = 0;
        bool ok = sf_close(m_file) == 0;
        m_file = nullptr;
        if (!ok)
            return failed(QStringLiteral("ошибка записи"));
        if (const int err = DurableFile::sync(m_path)) {
            errno = err;
            return failed(QStringLiteral("ошибка записи"));
        }
        if (QFileInfo(m_path).size() < 44 + m_frames * 2) {
            errno = ENOSPC;
            return failed(QString());
        }
        m_done = true;
        return true;
    }
    ~WavWriter()
    {
        if (m_file)
            sf_close(m_file);
        if (!m_done && !m_path.isEmpty())
            QFile::remove(m_path);
    }
    qint64 frames() const { return m_frames; }
    QString error() const { return m_error; }

private:
    // The reason in the user's words where the system gave one.
    bool failed(const QString& fallback)
    {
        const int err = errno;
        m_error = err != 0 ? DurableFile::problem(err, QFileInfo(m_path).absolutePath()) : fallback;
        return false;
    }

    QString m_path;
    SNDFILE* m_file = nullptr;
    qint64 m_frames = 0;
    bool m_done = false;
    QString m_error;
};

// Reads blocks of interleaved 16-bit samples; returns frames read, 0 at the
// end, -1 on an error.
using BlockReader = std::function<long(std::vector<short>& block)>;

Result copy(const QString& target, int rate, int channels, const BlockReader& read)
{
    Result result;
    result.sampleRate = rate;
    WavWriter writer;
    if (!writer.open(target, rate)) {
        result.outcome = Outcome::WriteFailed;
        result.detail = writer.error();
        return result;
    }
    std::vector<short> block(kBlockFrames * size_t(channels)), mono;
    long n;
    while ((n = read(block)) > 0) {
        mixDown(block.data(), size_t(n), channels, mono);
        if (!writer.write(mono)) {
            result.outcome = Outcome::WriteFailed;
            result.detail = writer.error();
            return result;
        }
    }
    result.frames = writer.frames();
    if (result.frames == 0) {
        result.outcome = Outcome::NoSound;
        return result; // the writer removes the empty file
    }
    if (!writer.finish()) {
        result.outcome = Outcome::WriteFailed;
        result.detail = writer.error();
        return result;
    }
    result.outcome = Outcome::Ok;
    return result;
}

std::optional<Result> throughSndfile(const QString& source, const QString& target)
{
    SF_INFO info{};
    SNDFILE* in = sf_open(QFile::encodeName(source).constData(), SFM_READ, &info);
    if (!in)
        return std::nullopt;
    if (info.channels <= 0 || info.samplerate <= 0) {
        sf_close(in);
        return std::nullopt;
    }
    const Result r = copy(target, info.samplerate, info.channels, [&](std::vector<short>& block) {
        return long(sf_readf_short(in, block.data(), sf_count_t(kBlockFrames)));
    });
    sf_close(in);
    return r;
}

// An ID3v2 tag or an MPEG frame sync at the very start.
bool looksLikeMpeg(const QString& source)
{
    QFile f(source);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(3);
    if (head == "ID3")
        return true;
    return head.size() >= 2 && quint8(head[0]) == 0xFF && (quint8(head[1]) & 0xE0) == 0xE0;
}

std::optional<Result> throughMpg123(const QString& source, const QString& target)
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh)
        return std::nullopt;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // 16-bit samples at whatever rate and channel count the file has.
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    mpg123_format_none(mh);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0, encoding = 0;
    std::optional<Result> result;
    if (mpg123_open(mh, QFile::encodeName(source).constData()) == MPG123_OK &&
        mpg123_getformat(mh, &rate, &channels, &encoding) == MPG123_OK && rate > 0 &&
        channels > 0 && encoding == MPG123_ENC_SIGNED_16) {
        mpg123_format_none(mh);
        mpg123_format(mh, rate, channels, MPG123_ENC_SIGNED_16);
        bool broken = false;
        result = copy(target, int(rate), channels, [&](std::vector<short>& block) -> long {
            for (int tries = 0; tries < 16; ++tries) {
                size_t done = 0;
                const int rc = mpg123_read(mh, block.data(), block.size() * sizeof(short), &done);
                if (done > 0)
                    return long(done / (sizeof(short) * size_t(channels)));
                if (rc == MPG123_DONE)
                    return 0;
                if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT)
                    break;
            }
            broken = true;
            return -1;
        });
        if (broken && result->outcome == Outcome::NoSound)
            result.reset(); // not a single good frame: not MPEG audio after all
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    return result;
}

// Sound formats told by their first bytes that neither reader reads: MP4
// and M4A ("ftyp" box), AAC (ADIF, or ADTS frames: a frame sync with layer
// bits 00), WMA (ASF), Monkey's Audio, WavPack and AMR.
bool knownSoundFormat(const QString& source)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(16);
    const auto at = [&head](int i) { return i < head.size() ? quint8(head[i]) : 0; };
    return head.mid(4, 4) == "ftyp" || head.startsWith("ADIF") ||
           (at(0) == 0xFF && (at(1) & 0xF6) == 0xF0) ||
           head.startsWith(QByteArray::fromHex("3026b2758e66cf11")) || head.startsWith("MAC ") ||
           head.startsWith("wvpk") || head.startsWith("#!AMR");
}

} // namespace

Result toWav(const QString& source, const QString& target)
{
    if (!QFileInfo(source).isFile())
        return {Outcome::Missing, 0, 0, {}};
    // MPEG audio has no header of its own to be known by, and its decoder
    // searches for frames in anything: it only gets files that start like
    // MPEG audio, and nothing else does (libsndfile's formats all start with
    // a header of their own).
    if (auto r =
            looksLikeMpeg(source) ? throughMpg123(source, target) : throughSndfile(source, target))
        return *r;
    return {knownSoundFormat(source) ? Outcome::Unsupported : Outcome::NotAudio, 0, 0, {}};
}

} // namespace AudioImport
