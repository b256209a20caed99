#include "icsexport.h"
#include "sha1.h"

#include <QCryptographicHash>

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <random>

namespace {

TaskCatalog::Entry task(const QString& file, const QDateTime& due, const QString& comment)
{
    TaskCatalog::Entry e;
    e.file = file;
    e.due = due;
    e.comment = comment;
    e.state = TaskCatalog::State::Later;
    return e;
}

} // namespace

TEST(IcsExport, EscapesTextValues)
{
    const struct
    {
        QString value;
        QByteArray expected;
    } cases[] = {
        {"Купить_хлеб", QString("Купить_хлеб").toUtf8()},
        {"a,b;c\\d", "a\\,b\\;c\\\\d"},
        {"line\r\nnext", "line\\nnext"},
        {QString("bell") + QChar(7) + QChar(0x7F) + "\tend", "bell\tend"},
        {QString::fromUtf8("note 🎤"), QString::fromUtf8("note 🎤").toUtf8()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(IcsExport::text(c.value), c.expected);
    }
}

// Lines of at most 75 octets, each whole UTF-8, that unfold to the original.
TEST(IcsExport, FoldsLongLinesWithoutSplittingCharacters)
{
    const QByteArray lines[] = {
        "SUMMARY:short", "DESCRIPTION:" + QByteArray(200, 'x'),
        "SUMMARY:" + QString(100, QChar(0x44F)).toUtf8(),           // two octets each
        "SUMMARY:" + QString::fromUtf8("x🎤").repeated(40).toUtf8(), // one and four
    };
    for (const QByteArray& line : lines) {
        SCOPED_TRACE(line.left(20).toStdString());
        const QByteArray folded = IcsExport::contentLine(line);
        ASSERT_TRUE(folded.endsWith("\r\n"));
        const QList<QByteArray> parts = folded.chopped(2).split('\n');
        QByteArray unfolded;
        for (int i = 0; i < parts.size(); ++i) {
            QByteArray part = parts[i];
            if (i + 1 < parts.size()) {
                ASSERT_TRUE(part.endsWith('\r'));
                part.chop(1);
            }
            EXPECT_LE(part.size(), 75);
            if (i > 0) {
                ASSERT_TRUE(part.startsWith(' '));
                part.remove(0, 1);
            }
            // Each physical line decodes on its own: no character was cut.
            EXPECT_EQ(QString::fromUtf8(part).toUtf8(), part);
            EXPECT_FALSE(QString::fromUtf8(part).contains(QChar::ReplacementCharacter));
            unfolded += part;
        }
        EXPECT_EQ(unfolded, line);
        EXPECT_EQ(parts.size() > 1, line.size() > 75);
    }
}

TEST(IcsExport, OneEventPerTaskAtItsMomentInUtc)
{
    const QTimeZone moscow("Europe/Moscow");
    ASSERT_TRUE(moscow.isValid());
    auto bad = task("заметка.mp3", QDateTime(), "x");
    bad.state = TaskCatalog::State::BadName;
    const QList<TaskCatalog::Entry> tasks = {
        task("24.12.2026 09ч 15м 30.mp3", QDateTime(QDate(2026, 12, 24), QTime(9, 15, 30), moscow),
             "Позвонить, маме"),
        task("25.12.2026 10ч 00м 00.mp3", QDateTime(QDate(2026, 12, 25), QTime(10, 0), moscow), ""),
        bad,
    };
    const QDateTime stamp(QDate(2026, 12, 7), QTime(14, 28, 30), Qt::UTC);
    QTemporaryDir dir;
    const QString media = dir.path() + '/';
    const auto note = [&](const QString& name, const QByteArray& bytes) {
        QFile f(media + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    note(tasks[0].file, QByteArray(70000, 'a') + "first");
    note(tasks[1].file, QByteArray(70000, 'a') + "other");
    const QByteArray ics = IcsExport::calendar(tasks, media, stamp, "1.0.0");

    // Every line ends in CRLF; no bare LF anywhere.
    EXPECT_TRUE(ics.startsWith("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"));
    EXPECT_TRUE(ics.endsWith("END:VCALENDAR\r\n"));
    EXPECT_EQ(ics.count("\n"), ics.count("\r\n"));
    EXPECT_EQ(ics.count("BEGIN:VEVENT"), 2);
    EXPECT_EQ(ics.count("BEGIN:VALARM"), 2);
    EXPECT_EQ(ics.count("TRIGGER:PT0S"), 2);
    EXPECT_TRUE(ics.contains("DTSTART:20261224T061530Z\r\n"));
    EXPECT_TRUE(ics.contains("DTSTART:20261225T070000Z\r\n"));
    EXPECT_EQ(ics.count("DTSTAMP:20261207T142830Z\r\n"), 2);
    EXPECT_TRUE(ics.contains("SUMMARY:" + QString("Позвонить\\, маме").toUtf8() + "\r\n"));
    EXPECT_FALSE(ics.contains(QString("заметка").toUtf8()));
    // A published calendar would want an organizer.
    EXPECT_FALSE(ics.contains("METHOD:"));

    // The UID follows the note, not its name: a snoozed (renamed) note keeps
    // it, so importing again moves the event instead of doubling it; notes
    // that differ only after their first 64 KiB (the tag) differ.
    const QByteArray uid = IcsExport::uid(media + tasks[0].file);
    EXPECT_NE(uid, IcsExport::uid(media + tasks[1].file));
    // What it has always been made of: the size, the first 64 KiB, the last 128 bytes.
    const QByteArray content = QByteArray(70000, 'a') + "first";
    EXPECT_EQ(uid, QCryptographicHash::hash("70005" + content.left(65536) + content.right(128),
                                            QCryptographicHash::Sha1)
                           .toHex() +
                       "@quillmur");
    EXPECT_TRUE(ics.contains("UID:" + uid + "\r\n"));
    EXPECT_EQ(ics, IcsExport::calendar(tasks, media, stamp, "1.0.0"));
    ASSERT_TRUE(QFile::rename(media + tasks[0].file, media + "24.12.2026 09ч 25м 30.mp3"));
    EXPECT_EQ(IcsExport::uid(media + "24.12.2026 09ч 25м 30.mp3"), uid);
    // A copy under a second name is an event of its own.
    ASSERT_TRUE(QFile::copy(media + "24.12.2026 09ч 25м 30.mp3", media + tasks[0].file));
    auto copies = tasks;
    copies[1].file = "24.12.2026 09ч 25м 30.mp3";
    const QByteArray both = IcsExport::calendar(copies, media, stamp, "1.0.0");
    EXPECT_EQ(both.count("UID:" + uid), 1);
    EXPECT_EQ(both.count("UID:"), 2);
}

// The ids are SHA-1, whichever way it is computed here: every length around
// the block and padding edges, fed in two pieces cut anywhere.
TEST(IcsExport, Sha1MatchesQtsOwn)
{
    std::mt19937 random(7);
    for (int length = 0; length < 300; ++length) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random());
        const int cut = length == 0 ? 0 : int(random() % unsigned(length + 1));
        Sha1 hash;
        hash.add(QByteArrayView(bytes).first(cut));
        hash.add(QByteArrayView(bytes).sliced(cut));
        ASSERT_EQ(hash.hex("@x"),
                  QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex() + "@x")
            << length << " bytes cut at " << cut;
    }
}

// The ids a folder's listing reads (hashed beside the reading when there are
// many notes) are each note's own, in the listing's order.
TEST(IcsExport, ListingReadsEachNotesOwnId)
{
    QTemporaryDir dir;
    const QString media = dir.path() + '/';
    const QDateTime now(QDate(2026, 12, 1), QTime(12, 0));
    for (int i = 0; i < 700; ++i) {
        const QDateTime due = now.addSecs(qint64(i) * 3571);
        QFile f(media + due.toString("dd.MM.yyyy HHч mmм ss") + ".mp3");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Empty, short, and past the 64 KiB the id reads.
        const int size = i % 97 == 0 ? 70000 + i : i * 5;
        f.write(QByteArray(size, char('a' + i % 26)) + QByteArray::number(i).repeated(i % 3));
    }
    QFile bad(media + "заметка.mp3");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a task's name");
    bad.close();

    QStringList order;
    TaskCatalog::forEach(media, now, [&](const TaskCatalog::Entry& e) { order << e.file; });
    ASSERT_EQ(order.size(), 701);
    // Taken as fast as they come: the reading runs ahead of the hashing.
    QList<TaskCatalog::Entry> read;
    read.reserve(701);
    TaskCatalog::forEach(
        media, now, [&](const TaskCatalog::Entry& e) { read << e; }, TaskCatalog::ContentId::Read);
    ASSERT_EQ(read.size(), 701);
    for (int i = 0; i < 701; ++i) {
        EXPECT_EQ(read[i].file, order[i]) << i;
        EXPECT_EQ(read[i].contentId, IcsExport::uid(media + read[i].file)) << i;
    }
}
