#include "../playback/mp3fixture.h"
#include "id3v2.h"
#include "id3v2text.h"
#include "taskrepeat.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace {

QByteArray synchsafe(int n)
{
    return QByteArray(1, char((n >> 21) & 0x7f)) + char((n >> 14) & 0x7f) + char((n >> 7) & 0x7f) +
           char(n & 0x7f);
}

QByteArray bigEndian(int n)
{
    return QByteArray(1, char(n >> 24)) + char(n >> 16) + char(n >> 8) + char(n);
}

// A frame of a tag of `version` (3 or 4), its format flags `format`.
QByteArray frame(int version, const QByteArray& id, const QByteArray& body, quint8 format = 0)
{
    return id + (version == 4 ? synchsafe(int(body.size())) : bigEndian(int(body.size()))) +
           char(0) + char(format) + body;
}

QByteArray tag(int version, const QByteArray& frames, quint8 flags = 0, int padding = 16)
{
    return "ID3" + QByteArray(1, char(version)) + char(0) + char(flags) +
           synchsafe(int(frames.size()) + padding) + frames + QByteArray(padding, '\0');
}

QByteArray utf16le(const QString& s)
{
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

QByteArray utf16be(const QString& s)
{
    QByteArray out;
    for (const QChar c : s)
        out += char(c.unicode() >> 8) + QByteArray(1, char(c.unicode()));
    return out;
}

} // namespace

// The user-defined text frame read from the tag's bytes as the tag library
// writes and reads it, whatever the version's framing and the text's encoding.
TEST(Id3v2Text, ReadsTheNamedFrameInEveryFraming)
{
    const QString name = QStringLiteral("QUILLMUR_REPEAT");
    const QByteArray latin = "\0QUILLMUR_REPEAT\0weekly:1"_qba;
    const QString week = QStringLiteral("weekly:1");
    const QString longValue(200, QLatin1Char('x')); // sizes past 127: synchsafe or not
    const struct
    {
        const char* what;
        QByteArray tag;
        std::optional<QString> value;
    } cases[] = {
        {"2.3, Latin-1", tag(3, frame(3, "TXXX", latin)), week},
        {"2.4, UTF-8", tag(4, frame(4, "TXXX", "\3QUILLMUR_REPEAT\0недельно"_qba)),
         QStringLiteral("недельно")},
        {"2.4, UTF-16 little-endian with its mark",
         tag(4, frame(4, "TXXX",
                      "\1\xFF\xFE"_qba + utf16le(name) + "\0\0\xFF\xFE"_qba + utf16le(week))),
         week},
        {"2.3, UTF-16 big-endian with its mark",
         tag(3, frame(3, "TXXX",
                      "\1\xFE\xFF"_qba + utf16be(name) + "\0\0\xFE\xFF"_qba + utf16be(week))),
         week},
        {"2.4, UTF-16 big-endian",
         tag(4, frame(4, "TXXX", "\2"_qba + utf16be(name) + "\0\0"_qba + utf16be(week))), week},
        {"2.4, a long value", tag(4, frame(4, "TXXX", latin.left(17) + longValue.toLatin1())),
         longValue},
        {"2.3, a long value", tag(3, frame(3, "TXXX", latin.left(17) + longValue.toLatin1())),
         longValue},
        {"after other frames",
         tag(3, frame(3, "COMM", "\0rus\0x"_qba) + frame(3, "TXXX", "\0OTHER\0no"_qba) +
                    frame(3, "TXXX", latin)),
         week},
        {"2.4, unsynchronised, with its length",
         tag(4, frame(4, "TXXX", "\0\0\0\x14\0QUILLMUR_REPEAT\0a\xFF\0b"_qba, 0x03)),
         QStringLiteral("a\u00FFb")},
        {"2.3, the whole tag unsynchronised",
         tag(3, frame(3, "TXXX", "\0QUILLMUR_REPEAT\0a\xFF\0b"_qba), 0x80),
         QStringLiteral("a\u00FFb")},
        {"2.3, an extended header",
         tag(3, bigEndian(6) + QByteArray(6, '\0') + frame(3, "TXXX", latin), 0x40), week},
        {"2.4, an extended header",
         tag(4, synchsafe(6) + "\1\0"_qba + frame(4, "TXXX", latin), 0x40), week},
        {"2.4, grouped", tag(4, frame(4, "TXXX", "\7"_qba + latin, 0x40)), week},
        {"no value after the name", tag(3, frame(3, "TXXX", "\0QUILLMUR_REPEAT\0"_qba)),
         std::nullopt},
        {"compressed", tag(4, frame(4, "TXXX", latin, 0x08)), std::nullopt},
        {"after the padding", tag(3, QByteArray(4, '\0') + frame(3, "TXXX", latin)), std::nullopt},
        {"a frame longer than the tag", tag(3, frame(3, "TXXX", latin)).left(30), std::nullopt},
        {"2.2", tag(2, frame(3, "TXXX", latin)), std::nullopt},
        {"no tag", "TAG" + latin, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Id3v2Text::userText(c.tag, name), c.value) << c.what;
    // A tag whose header claims more than there is: read as far as it goes.
    EXPECT_EQ(Id3v2Text::userText(tag(3, frame(3, "TXXX", latin), 0, 4000).left(60), name), week);

    // The comment: the first one without a description, in any encoding.
    const QString said = QStringLiteral("Полить ✿ цветы");
    EXPECT_EQ(Id3v2Text::comment(
                  tag(3, frame(3, "COMM", "\0rusiTunNORM\0 0 0"_qba) +
                             frame(3, "COMM", "\1rus\xFF\xFE\0\0\xFF\xFE"_qba + utf16le(said)))),
              said);
    EXPECT_EQ(Id3v2Text::comment(tag(4, frame(4, "COMM", "\3rus\0"_qba + said.toUtf8()))), said);
    EXPECT_EQ(Id3v2Text::comment(tag(4, frame(4, "COMM", "\3ru"_qba))), std::nullopt);
}

// What the encoder and the tag library write to a note, read back without
// the library.
TEST(Id3v2Text, ReadsTheRuleTheTagLibraryWrote)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("task.mp3");
    ASSERT_EQ(Mp3Fixture::makeTask(path, 1.0, "call_the_office_at_nine"), "");
    EXPECT_FALSE(TaskRepeat::read(path).rule);
    ASSERT_EQ(TaskRepeat::write(path, *RepeatRule::fromWord("weekdays")), 0);
    EXPECT_EQ(TaskRepeat::read(path).rule, RepeatRule::fromWord("weekdays"));
    ASSERT_EQ(Id3v2::setUserText(path, TaskRepeat::FrameName, "every_hour"), 0);
    const TaskRepeat::Found damaged = TaskRepeat::read(path);
    EXPECT_FALSE(damaged.rule);
    EXPECT_TRUE(damaged.damaged);
    ASSERT_EQ(Id3v2::setUserText(path, TaskRepeat::FrameName, ""), 0);
    EXPECT_FALSE(TaskRepeat::read(path).damaged);
}
