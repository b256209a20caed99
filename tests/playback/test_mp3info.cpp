#include "mp3fixture.h"
#include "mp3inforeader.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// Expected records list every field, so a field set by mistake shows.
Mp3Info info(const char* bitrate, const char* mode, const char* copyright, const char* crc,
             const char* emphasis, const char* frequency, const char* layer, const char* length,
             const char* version, const char* original, const char* size)
{
    return {bitrate, mode,   copyright, crc,      emphasis, frequency,
            layer,   length, version,   original, size};
}

void expectSame(const Mp3Info& a, const Mp3Info& b)
{
    EXPECT_EQ(a.bitrate, b.bitrate);
    EXPECT_EQ(a.mode, b.mode);
    EXPECT_EQ(a.copyright, b.copyright);
    EXPECT_EQ(a.crc, b.crc);
    EXPECT_EQ(a.emphasis, b.emphasis);
    EXPECT_EQ(a.frequency, b.frequency);
    EXPECT_EQ(a.layer, b.layer);
    EXPECT_EQ(a.length, b.length);
    EXPECT_EQ(a.version, b.version);
    EXPECT_EQ(a.original, b.original);
    EXPECT_EQ(a.size, b.size);
}

QByteArray xingFrame(int frames)
{
    QByteArray d = Mp3Fixture::withHeader(bytes({0xFF, 0xFB, 0x90, 0x44}), 4096);
    d.replace(36, 4, "Xing");
    d[45] = char((frames >> 16) & 0xff);
    d[46] = char((frames >> 8) & 0xff);
    d[47] = char(frames & 0xff);
    return d;
}

} // namespace

TEST(Mp3Info, DecodesHeaders)
{
    const struct
    {
        const char* name;
        QByteArray data;
        qint64 size;
        Mp3Info expected;
    } cases[] = {
        {"48 kbit/s MPEG 2 mono task of 72128 bytes",
         Mp3Fixture::withHeader(bytes({0xFF, 0xF3, 0x60, 0xC4}), 4096), 72128,
         info("48Kbit", " Mono", " No", "No", " None", "22050 Hz", "layer 3", "12", "MPEG 2.0",
              " Yes", "72128 bytes")},
        {"FF FB 90 04", Mp3Fixture::withHeader(bytes({0xFF, 0xFB, 0x90, 0x04}), 4096), 160000,
         info("128Kbit", " Stereo", " No", "No", " None", "44100 Hz", "layer 3", "10", "MPEG 1.0",
              " Yes", "160000 bytes")},
        {"FF FB 90 44 is joint stereo",
         Mp3Fixture::withHeader(bytes({0xFF, 0xFB, 0x90, 0x44}), 4096), 160000,
         info("128Kbit", " Joint Stereo", " No", "No", " None", "44100 Hz", "layer 3", "10",
              "MPEG 1.0", " Yes", "160000 bytes")},
        {"255 then 240 is skipped, the later header counts",
         Mp3Fixture::withHeader(bytes({0xFF, 0xF0, 0x00, 0xFF, 0xFD, 0xE5, 0x89}), 4096, 7), 320000,
         info("320Kbit", " 2 Channel", " Yes", "No", " 50/15 microsec", "48000 Hz", "layer 2", "8",
              "MPEG 1.0", " No", "320000 bytes")},
        {"MPEG 2 layer 1 with CRC, class C",
         Mp3Fixture::withHeader(bytes({0xFF, 0xF6, 0xF8, 0x4B}), 4096), 8000,
         info("176Kbit", " Joint Stereo", " Yes", "Yes", " CITT j. 17", "16000 Hz", "layer 1", "0",
              "MPEG 2.0", " No", "8000 bytes")},
        {"MPEG 1 index 0 is 24 kbit/s",
         Mp3Fixture::withHeader(bytes({0xFF, 0xFA, 0x04, 0x02}), 100), 30000,
         info("24Kbit", " Stereo", " No", "Yes", " invalid", "48000 Hz", "layer 3", "10",
              "MPEG 1.0", " No", "30000 bytes")},
        {"MPEG 2 index 0 gives no length instead of dividing by zero",
         Mp3Fixture::withHeader(bytes({0xFF, 0xF3, 0x00, 0xC0}), 4096), 5000,
         info("0Kbit", " Mono", " No", "No", " None", "22050 Hz", "layer 3", "", "MPEG 2.0", " No",
              "5000 bytes")},
        {"Xing file of 1000 frames", xingFrame(1000), 400000,
         info("128 Kbit (VBR)", " Joint Stereo", " No", "No", " None", "44100 Hz", "layer 3",
              "25 seconds", "MPEG 1.0", " Yes", "400000 bytes")},
        {"Xing file of 57 frames has no length", xingFrame(57), 4096,
         info("128", " Joint Stereo", " No", "No", " None", "44100 Hz", "layer 3", "", "MPEG 1.0",
              " Yes", "4096 bytes")},
        {"a header at the very end of the scan",
         Mp3Fixture::withHeader(bytes({0xFF, 0xF3, 0x60, 0xC4}), 4096, 4091), 6000,
         info("48Kbit", " Mono", " No", "No", " None", "22050 Hz", "layer 3", "1", "MPEG 2.0",
              " Yes", "6000 bytes")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Mp3Info got;
        ASSERT_TRUE(DecodeMp3Info(c.data, c.size, got));
        expectSame(got, c.expected);
    }
}

TEST(Mp3Info, NoHeaderKeepsFieldsAndSetsSize)
{
    const QByteArray cases[] = {
        QByteArray("\xff\x00", 2).repeated(2048),                            // 255 0 is no version
        Mp3Fixture::withHeader(bytes({0xFF, 0xF3, 0x60, 0xC4}), 4200, 4092), // beyond the scan
        QByteArray(),
        bytes({0xFF}),
    };
    for (const QByteArray& data : cases) {
        Mp3Info got;
        got.length = "old";
        got.bitrate = "old";
        EXPECT_FALSE(DecodeMp3Info(data, data.size(), got));
        EXPECT_EQ(got.length, "old");
        EXPECT_EQ(got.bitrate, "old");
        EXPECT_EQ(got.size, QString::number(data.size()) + " bytes");
    }
}

TEST(Mp3Info, VbrLengthCountsAbout38FramesPerSecond)
{
    const struct
    {
        qint32 frames;
        qint64 size;
        const char* bitrate;
        const char* length;
    } cases[] = {
        {1000, 400000, "128 Kbit (VBR)", "25 seconds"},
        {58, 1000, "8 Kbit (VBR)", "1 seconds"},
        {57 + 38, 1000, "8 Kbit (VBR)", "1 seconds"},
        {57 + 38 + 1, 2000, "8 Kbit (VBR)", "2 seconds"},
        {57 + 38 * 3 + 1, 3000, "8 Kbit (VBR)", "3 seconds"}, // the third second takes 39
        {57 + 38 * 3 + 2, 4000, "8 Kbit (VBR)", "4 seconds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frames);
        const auto got = VbrLength(c.size, c.frames);
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(got->first, c.bitrate);
        EXPECT_EQ(got->second, c.length);
    }
    // A length near the top of the range must not overflow the arithmetic.
    const qint64 huge = qint64(1) << 62;
    EXPECT_EQ(VbrLength(huge, 1000)->first, QString::number(huge / 25 * 8 / 1000) + " Kbit (VBR)");
    EXPECT_FALSE(VbrLength(1000, 57).has_value());
    EXPECT_FALSE(VbrLength(1000, 0).has_value());
    EXPECT_FALSE(VbrLength(1000, -5).has_value());
}

TEST(Mp3Info, InRangeIncludesBothEnds)
{
    EXPECT_TRUE(InRange(250, 250, 255));
    EXPECT_TRUE(InRange(255, 250, 255));
    EXPECT_FALSE(InRange(249, 250, 255));
    EXPECT_FALSE(InRange(5, 6, 4));
}

TEST(Mp3Info, ReadsRealFilesMadeByLame)
{
    QTemporaryDir dir;
    const struct
    {
        const char* name;
        QStringList extra;
    } cases[] = {
        {"plain.mp3", {"--id3v1-only"}},
        // A Cyrillic title makes lame write an ID3v2 tag in UTF-16, whose
        // byte-order mark FF FE looks like a frame header.
        {"v2.mp3", {"--add-id3v2", "--tt", "заметка"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        ASSERT_EQ(Mp3Fixture::makeTask(path, 3.0, "note", c.extra), "");
        Mp3Info got;
        ASSERT_EQ(ReadMp3Info(path, got), Mp3Read::Ok);
        const qint64 size = QFileInfo(path).size();
        EXPECT_EQ(got.bitrate, "48Kbit");
        EXPECT_EQ(got.frequency, "22050 Hz");
        EXPECT_EQ(got.version, "MPEG 2.0");
        EXPECT_EQ(got.layer, "layer 3");
        EXPECT_EQ(got.mode, " Mono");
        EXPECT_EQ(got.length, "3");
        EXPECT_EQ(got.size, QString::number(size) + " bytes");
    }
}

TEST(Mp3Info, ReadReportsFilesThatAreNotMp3)
{
    QTemporaryDir dir;
    const QString text = dir.filePath("readme.mp3");
    ASSERT_TRUE(Mp3Fixture::writeFile(text, QByteArray(5000, 'a')));
    Mp3Info got;
    EXPECT_EQ(ReadMp3Info(text, got), Mp3Read::NotMp3);
    EXPECT_EQ(got.size, "5000 bytes");
    EXPECT_EQ(got.length, "");

    // A tag that claims more than the file holds leaves nothing to scan.
    const QString lying = dir.filePath("lying.mp3");
    ASSERT_TRUE(Mp3Fixture::writeFile(lying, QByteArray("ID3\x03\x00\x00\x7f\x7f\x7f\x7f", 10) +
                                                 QByteArray(100, '\xff')));
    EXPECT_EQ(ReadMp3Info(lying, got), Mp3Read::NotMp3);
    EXPECT_EQ(got.size, "110 bytes");

    Mp3Info untouched;
    EXPECT_EQ(ReadMp3Info(dir.filePath("missing.mp3"), untouched), Mp3Read::Unreadable);
    EXPECT_EQ(untouched.size, "");
}

TEST(Mp3Info, Id3v2Length)
{
    EXPECT_EQ(Id3v2Length(QByteArray("ID3\x03\x00\x00\x00\x00\x02\x01", 10)), 10 + 257);
    EXPECT_EQ(Id3v2Length(QByteArray("ID3\x04\x00\x10\x00\x00\x00\x05", 10)), 10 + 5 + 10);
    EXPECT_EQ(Id3v2Length(QByteArray("ID3\x03\x00\x00\x00\x00\x80\x01", 10)), 0);
    EXPECT_EQ(Id3v2Length(QByteArray("ID3\x03", 4)), 0);
    EXPECT_EQ(Id3v2Length(QByteArray("\xff\xf3\x60\xc4\0\0\0\0\0\0", 10)), 0);
}
