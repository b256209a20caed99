#include "folderlisting.h"
#include "folderwatch.h"
#include "rekrusiy.h"
#include "taskfolder.h"
#include "tasklists.h"
#include "testclock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

namespace {

// A Media folder holding empty files of the given names.
struct Media
{
    QTemporaryDir dir;
    QString folder() const { return dir.path() + "/"; }
    void add(const QString& name)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
    }
};

QDateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

enum List { Past = 0, Today = 1, Tomorrow = 2, All = 3 };

bool listed(const QString& name, List list, const QDateTime& now)
{
    Media media;
    media.add(name);
    TestClock clock(now);
    return TaskLists::build(list, media.folder(), clock).contains(name);
}

} // namespace

TEST(TaskLists, MembershipAgainstTheClock)
{
    const struct
    {
        const char* name;
        QDateTime now;
        bool past, today, tomorrow, all;
    } cases[] = {
        // Due today at 14:30:05: overdue from that very second on.
        {"06.12.2026 14ч 30м 05.mp3", at(2026, 12, 6, 14, 30, 4), false, true, false, true},
        {"06.12.2026 14ч 30м 05.mp3", at(2026, 12, 6, 14, 30, 5), true, true, false, true},
        {"06.12.2026 14ч 30м 05.mp3", at(2026, 12, 6, 23, 59, 59), true, true, false, true},
        {"05.12.2026 23ч 59м 59.mp3", at(2026, 12, 6, 0, 0, 0), true, false, false, true},
        {"07.12.2026 00ч 00м 00.mp3", at(2026, 12, 6, 14, 0, 0), false, false, true, true},
        {"08.12.2026 09ч 00м 00.mp3", at(2026, 12, 6, 14, 0, 0), false, false, false, true},
        // Midnight goes by the calendar date.
        {"07.12.2026 00ч 00м 00.mp3", at(2026, 12, 6, 23, 59, 59), false, false, true, true},
        {"07.12.2026 00ч 00м 00.mp3", at(2026, 12, 7, 0, 0, 0), true, true, false, true},
        {"01.01.2027 08ч 00м 00.mp3", at(2026, 12, 31, 23, 59, 59), false, false, true, true},
        {"31.12.2026 08ч 00м 00.mp3", at(2027, 1, 1, 0, 0, 0), true, false, false, true},
        // Names that are not task names: text tests only, never a crash.
        {"note.mp3.bak", at(2026, 12, 6, 14, 0, 0), false, false, false, true},
        {"notes.mp3", at(2026, 12, 6, 14, 0, 0), false, false, false, true},
        {"31.02.2026 10ч 00м 00.mp3", at(2026, 12, 6, 14, 0, 0), false, false, false, true},
        {"06.12.2026 утро.mp3", at(2026, 12, 6, 14, 0, 0), false, true, false, true},
        {"06.12.2026.mp3", at(2026, 12, 6, 14, 0, 0), false, true, false, true},
        {"05.12.2026 утро.mp3", at(2026, 12, 6, 14, 0, 0), true, false, false, true},
        {"07.12.2026.mp3", at(2026, 12, 6, 14, 0, 0), false, false, true, true},
        {"ab.cd.efgh 14ч 30м 05.mp3", at(2026, 12, 6, 14, 0, 0), false, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString("%1 at %2").arg(c.name, c.now.toString(Qt::ISODate)).toStdString());
        EXPECT_EQ(listed(c.name, Past, c.now), c.past);
        EXPECT_EQ(listed(c.name, Today, c.now), c.today);
        EXPECT_EQ(listed(c.name, Tomorrow, c.now), c.tomorrow);
        EXPECT_EQ(listed(c.name, All, c.now), c.all);
    }
}

TEST(TaskLists, NameOrderAndWhatIsEnumerated)
{
    Media media;
    for (const char* name :
         {"31.12.2026 09ч 00м 00.mp3", "01.01.2027 09ч 00м 00.mp3", "15.12.2026 09ч 00м 00.mp3",
          "note.mp3.bak", "NOTE2.MP3", ".hidden.mp3", "07.12.2026 10ч 00м 00.wav", "readme.txt"})
        media.add(name);
    ASSERT_TRUE(QDir(media.dir.path()).mkdir("folder.mp3"));

    TestClock clock(at(2026, 12, 6, 12, 0, 0));
    EXPECT_EQ(TaskLists::build(All, media.folder(), clock),
              (QStringList{"01.01.2027 09ч 00м 00.mp3", "15.12.2026 09ч 00м 00.mp3",
                           "31.12.2026 09ч 00м 00.mp3", "note.mp3.bak", "NOTE2.MP3"}));

    // The filters count every name they visit, listed or not.
    int count = 0;
    QStringList lines;
    Rekrusiy::FillTomorrow(media.folder(), count, TaskLists::kPattern, clock, lines);
    EXPECT_EQ(count, 5);
    EXPECT_TRUE(lines.isEmpty());
    Rekrusiy::FillAll(media.folder(), count, TaskLists::kPattern, lines);
    EXPECT_EQ(count, 10);
}

TEST(TaskLists, MissingOrEmptyFolder)
{
    TestClock clock(at(2026, 12, 6, 12, 0, 0));
    Media empty;
    for (int list = 0; list < TaskLists::kCount; ++list) {
        EXPECT_TRUE(TaskLists::build(list, empty.folder(), clock).isEmpty());
        EXPECT_TRUE(TaskLists::build(list, empty.folder() + "nothing/", clock).isEmpty());
    }
    EXPECT_TRUE(TaskLists::build(4, empty.folder(), clock).isEmpty());
    EXPECT_EQ(TaskLists::kind(4), nullptr);
    EXPECT_EQ(TaskLists::kind(-1), nullptr);
}

TEST(TaskLists, DueSecondReadsTheNameFields)
{
    const QDateTime now = at(2026, 12, 6, 23, 59, 5);
    EXPECT_TRUE(Rekrusiy::AddIfDue("06.12.2026 23ч 59м 05.mp3", now));
    EXPECT_FALSE(Rekrusiy::AddIfDue("06.12.2026 23ч 59м 06.mp3", now));
    EXPECT_FALSE(Rekrusiy::AddIfDue("06.12.2026 2xч 59м 05.mp3", now));
    EXPECT_FALSE(Rekrusiy::AddIfDue("06.12.2026", now));
    EXPECT_EQ(Rekrusiy::dateOf("29.02.2028 x"), QDate(2028, 2, 29));
    EXPECT_FALSE(Rekrusiy::dateOf("29.02.2027 x").has_value());
    EXPECT_FALSE(Rekrusiy::dateOf("1.12.2026 x").has_value());
}

namespace {

// A name whose bytes are not UTF-8, as another system may leave one.
TEST(TaskLists, NameThatIsNotUtf8IsListedAndCanBeDeleted)
{
    Media media;
    const QByteArray raw = QFile::encodeName(media.folder()) + "09.12.2026 \xf7\xe0\xf1.mp3";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    TestClock clock(at(2026, 12, 6, 12, 0, 0));
    const QStringList all = TaskLists::build(All, media.folder(), clock);
    const QString shown = QStringLiteral("09.12.2026 ") + QString(3, QChar::ReplacementCharacter) +
                          QStringLiteral(".mp3");
    ASSERT_EQ(all, QStringList{shown});
    // The task panel deletes through the name the list shows.
    EXPECT_TRUE(FolderListing::remove(media.folder(), shown));
    EXPECT_NE(::access(raw.constData(), F_OK), 0);
    EXPECT_FALSE(FolderListing::remove(media.folder(), shown));
}

} // namespace

TEST(TaskLists, OrderIsQStringsIgnoringCaseThenWithCase)
{
    // Letters whose case folding is not plain ASCII: Cyrillic, the Greek
    // sigmas, the Kelvin sign, the sharp s, Deseret (outside the BMP, in
    // surrogate pairs), and names equal but for case.
    const QStringList alphabet = {
        "a",      "A", "b", "Z",          "0",          "9",          ".",      " ", "_", "ё",
        "Ё",      "е", "я", "Я",          "ч",          "σ",          "ς",      "Σ", "K", "k",
        "\u212A", "ß", "ẞ", "\U00010400", "\U00010428", "\U0001F600", "\uFFFD", "~"};
    Media media;
    QStringList names;
    quint32 seed = 12345;
    for (int i = 0; i < 300; ++i) {
        QString name;
        const int length = 1 + int(seed % 5);
        for (int k = 0; k < length; ++k) {
            seed = seed * 1103515245u + 12345u;
            name += alphabet[int((seed >> 16) % quint32(alphabet.size()))];
        }
        name += ".mp3";
        if (!name.startsWith('.') && !names.contains(name)) { // hidden ones are not listed
            names << name;
            media.add(name);
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    EXPECT_EQ(Rekrusiy::enumerate(media.folder(), TaskLists::kPattern), names);
}

// The kept names never go stale, whoever changes the folder and however.
TEST(TaskFolder, NamesFollowEveryChangeToTheFolder)
{
    QTemporaryDir root;
    const QString media = root.path() + "/Media/";
    ASSERT_TRUE(QDir().mkpath(media));
    const auto touch = [](const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    };
    const auto listed = [&] { return Rekrusiy::enumerate(media, TaskLists::kPattern); };
    touch(media + "b.mp3");
    TaskFolder folder(media);
    folder.prefetch();
    folder.finishReading();
    EXPECT_TRUE(folder.readAhead());
    EXPECT_EQ(folder.names(), QStringList{"b.mp3"});

    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"added", [&] { touch(media + "a.mp3"); }},
        {"removed", [&] { QFile::remove(media + "b.mp3"); }},
        {"renamed", [&] { QFile::rename(media + "a.mp3", media + "c.mp3"); }},
        {"moved in",
         [&] {
             touch(root.path() + "/d.mp3");
             QFile::rename(root.path() + "/d.mp3", media + "d.mp3");
         }},
        {"moved out", [&] { QFile::rename(media + "d.mp3", root.path() + "/d.mp3"); }},
        {"a folder in its place",
         [&] {
             QFile::remove(media + "c.mp3");
             QDir(media).mkdir("c.mp3");
         }},
        {"folder replaced",
         [&] {
             QDir(media).removeRecursively();
             QDir().mkpath(media);
             touch(media + "e.mp3");
         }},
        {"folder gone", [&] { QDir(media).removeRecursively(); }},
        {"folder back",
         [&] {
             QDir().mkpath(media);
             touch(media + "f.mp3");
         }},
        // A link's target can change without the folder changing.
        {"link",
         [&] {
             touch(root.path() + "/g");
             QFile::link(root.path() + "/g", media + "g.mp3");
         }},
        {"link's target gone", [&] { QFile::remove(root.path() + "/g"); }},
        {"link's target back", [&] { touch(root.path() + "/g"); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        change();
        EXPECT_EQ(folder.names(), listed());
        EXPECT_EQ(folder.names(), listed()); // and again, unchanged
    }
}

TEST(TaskFolder, FolderReachedThroughALinkIsReadEveryTime)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkdir("one") && QDir(root.path()).mkdir("two"));
    QFile(root.path() + "/one/1.mp3").open(QIODevice::WriteOnly);
    QFile(root.path() + "/two/2.mp3").open(QIODevice::WriteOnly);
    const QString media = root.path() + "/Media";
    ASSERT_TRUE(QFile::link(root.path() + "/one", media));
    TaskFolder folder(media + "/");
    EXPECT_EQ(folder.names(), QStringList{"1.mp3"});
    // Pointed elsewhere: nothing in either folder changed.
    ASSERT_TRUE(QFile::remove(media) && QFile::link(root.path() + "/two", media));
    EXPECT_EQ(folder.names(), QStringList{"2.mp3"});

    // The same for a parent pointed elsewhere, though the folder itself is
    // watched: the watch follows the folder, not the path.
    ASSERT_TRUE(QDir(root.path()).mkpath("one/sub") && QDir(root.path()).mkpath("two/sub"));
    const QString parent = root.path() + "/p";
    ASSERT_TRUE(QFile::link(root.path() + "/one", parent));
    FolderWatch watch(parent + "/sub/");
    ASSERT_TRUE(watch.rearm());
    EXPECT_TRUE(watch.unchanged());
    ASSERT_TRUE(QFile::remove(parent) && QFile::link(root.path() + "/two", parent));
    EXPECT_FALSE(watch.unchanged());
}
