#include "../playback/mp3fixture.h"
#include "id3v1tag.h"
#include "mp3inforeader.h"
#include "textcodec.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A 128-byte tag block; fields are written as given (Windows-1251 bytes).
QByteArray block(const QByteArray& marker, const QByteArray& album, const QByteArray& comment)
{
    QByteArray b(128, '\0');
    b.replace(0, 3, marker);
    b.replace(3, 30, QByteArray("Title").leftJustified(30, ' '));
    b.replace(63, 30, album.leftJustified(30, ' ', true));
    b.replace(97, 30, comment.leftJustified(30, ' ', true));
    b[127] = char(12);
    return b;
}

} // namespace

TEST(Id3v1Tag, ParsesFields)
{
    const struct
    {
        const char* name;
        QByteArray block;
        const char* album;
        QString comment;
    } cases[] = {
        {"upper-case marker", block("TAG", "Ola-Brenvik", "call_Anna"), "Ola-Brenvik", "call_Anna"},
        {"lower-case marker", block("tag", "Ola-Brenvik", "x"), "Ola-Brenvik", "x"},
        {"mixed-case marker", block("Tag", "Ola-Brenvik", "x"), "Ola-Brenvik", "x"},
        {"blanks around are dropped", block("TAG", "  Ola-Brenvik ", "   a b   "), "Ola-Brenvik",
         "a b"},
        {"a zero byte ends the field",
         block("TAG", QByteArray("Ola\0Brenvik", 11), QByteArray("buy milk\0garbage", 16)), "Ola",
         "buy milk"},
        {"Windows-1251 comment", block("TAG", "Ola-Brenvik", Cp1251::encode("Купить_хлеба")),
         "Ola-Brenvik", QString::fromUtf8("Купить_хлеба")},
        {"a full 30-character comment", block("TAG", "", QByteArray(30, 'z')), "",
         QString(30, 'z')},
        {"an empty field", block("TAG", QByteArray(30, '\0'), QByteArray(30, '\0')), "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto tag = Id3v1Tag::parse(c.block);
        ASSERT_TRUE(tag.has_value());
        EXPECT_EQ(tag->album, c.album);
        EXPECT_EQ(tag->comment, c.comment);
    }
}

TEST(Id3v1Tag, RejectsBlocksWithoutTheMarker)
{
    EXPECT_FALSE(Id3v1Tag::parse(block("TAX", "a", "b")).has_value());
    EXPECT_FALSE(Id3v1Tag::parse(block("ID3", "a", "b")).has_value());
    EXPECT_FALSE(Id3v1Tag::parse(block("TAG", "a", "b").left(127)).has_value());
    EXPECT_FALSE(Id3v1Tag::parse(QByteArray()).has_value());
}

TEST(Id3v1Tag, ReadsTheEndOfAFile)
{
    QTemporaryDir dir;
    const auto file = [&](const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(Mp3Fixture::writeFile(path, bytes));
        return path;
    };
    const auto tag = Id3v1Tag::read(
        file("padded.mp3", QByteArray(5000, 'x') + block("TAG", "Ola-Brenvik", "hi")));
    ASSERT_TRUE(tag.has_value());
    EXPECT_EQ(tag->comment, "hi");

    // The tag must be the last 128 bytes, not merely somewhere near the end.
    EXPECT_FALSE(Id3v1Tag::read(file("moved.mp3", block("TAG", "a", "b") + "x")).has_value());
    // Shorter than a tag: nothing to read, nothing read past the start.
    EXPECT_FALSE(Id3v1Tag::read(file("short.mp3", block("TAG", "a", "b").left(127))).has_value());
    EXPECT_FALSE(Id3v1Tag::read(file("empty.mp3", QByteArray())).has_value());
    EXPECT_FALSE(Id3v1Tag::read(dir.filePath("missing.mp3")).has_value());
    // Exactly a tag and nothing else.
    EXPECT_TRUE(Id3v1Tag::read(file("bare.mp3", block("tag", "a", "b"))).has_value());
}

TEST(Id3v1Tag, TaskNamedLinkToAFifoIsNeverOpened)
{
    // Selecting such a "task" used to hang the window in open().
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString task = dir.filePath(QStringLiteral("07.12.2026 14ч 30м 05.mp3"));
    ASSERT_TRUE(QFile::link(fifo, task));
    auto read = std::async(std::launch::async, [&] {
        Mp3Info info;
        return std::make_pair(Id3v1Tag::read(task).has_value(), ReadMp3Info(task, info));
    });
    if (read.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Let the blocked readers go before failing.
        do {
            const int w = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (w >= 0)
                ::close(w);
        } while (read.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready);
        FAIL() << "reading a FIFO behind a task name blocked";
    }
    const auto [tagRead, mp3] = read.get();
    EXPECT_FALSE(tagRead);
    EXPECT_EQ(mp3, Mp3Read::NotMp3);
}

TEST(Id3v1Tag, ReadsATagWrittenByLame)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("task.mp3");
    ASSERT_EQ(Mp3Fixture::makeTask(path, 1.0, "call_the_office_at_nine"), "");
    const auto tag = Id3v1Tag::read(path);
    ASSERT_TRUE(tag.has_value());
    EXPECT_EQ(tag->album, "Ola-Brenvik");
    EXPECT_EQ(tag->comment, "call_the_office_at_nine");
}
