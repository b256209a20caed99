// The watcher's scan of Media/: the due rule through real folders, names that
// are no task names, and what the pattern and the file kinds let through.
#include "duescan.h"
#include "duewatch.h"
#include "testclock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

// A program folder with an empty Media/ and Data/.
struct ProgramFolder
{
    QTemporaryDir dir;
    ProgramFolder()
    {
        QDir(dir.path()).mkpath(QStringLiteral("Media"));
        QDir(dir.path()).mkpath(QStringLiteral("Data"));
    }
    QString media() const { return dir.path() + QStringLiteral("/Media/"); }
    void add(const QString& name) const
    {
        QFile f(media() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
        f.write("ID3");
    }
};

struct DueCase
{
    const char* what;
    QString name;
    QDateTime now;
    bool due;
};

TEST(DueScan, DueRuleThroughTheScan)
{
    const DueCase cases[] = {
        {"a second before its time", "07.12.2026 14ч 30м 00.mp3", at(2026, 12, 7, 14, 29, 59),
         false},
        {"the last millisecond before", "07.12.2026 14ч 30м 00.mp3",
         at(2026, 12, 7, 14, 29, 59, 999), false},
        {"at its second", "07.12.2026 14ч 30м 00.mp3", at(2026, 12, 7, 14, 30, 0), true},
        {"later that day", "07.12.2026 14ч 30м 00.mp3", at(2026, 12, 7, 18, 0, 0), true},
        {"the due second counts", "07.12.2026 18ч 00м 42.mp3", at(2026, 12, 7, 18, 0, 41), false},
        {"yesterday, early morning", "06.12.2026 23ч 00м 00.mp3", at(2026, 12, 7, 0, 0, 1), true},
        {"last year", "31.12.2025 12ч 00м 00.mp3", at(2026, 12, 7, 9, 0, 0), true},
        {"tomorrow", "08.12.2026 00ч 00м 00.mp3", at(2026, 12, 7, 23, 59, 59), false},
        {"tomorrow has come", "08.12.2026 00ч 00м 00.mp3", at(2026, 12, 8, 0, 0, 0), true},
        {"next month", "07.01.2027 09ч 00м 00.mp3", at(2026, 12, 7, 9, 0, 0), false},
        {"23:59:30, a second early", "07.12.2026 23ч 59м 30.mp3", at(2026, 12, 7, 23, 59, 29),
         false},
        {"23:59:30 on time", "07.12.2026 23ч 59м 30.mp3", at(2026, 12, 7, 23, 59, 30), true},
        {"23:59:30 after midnight", "07.12.2026 23ч 59м 30.mp3", at(2026, 12, 8, 0, 0, 5), true},
        {"new year's eve after midnight", "31.12.2026 23ч 59м 30.mp3", at(2027, 1, 1, 0, 0, 5),
         true},
    };
    for (const DueCase& c : cases) {
        ProgramFolder folder;
        folder.add(c.name);
        TestClock clock(c.now);
        const ScanResult r = DueScan(clock).ScanDueTasks(folder.media(), QStringLiteral("*.mp3*"));
        EXPECT_EQ(r.alert, c.due) << c.what;
        EXPECT_EQ(r.badNames, 0) << c.what;
        EXPECT_EQ(r.scanned, 1) << c.what;
    }
}

struct FolderCase
{
    const char* what;
    QStringList names;
    bool alert;
    int badNames;
    int scanned;
};

// Now is 07.12.2026 14:30:00. Whatever order the file system lists them in,
// a stray name neither hides a due task nor makes one.
TEST(DueScan, FolderContents)
{
    const QString due = QStringLiteral("07.12.2026 14ч 00м 00.mp3");
    const QString later = QStringLiteral("07.12.2026 15ч 00м 00.mp3");
    const FolderCase cases[] = {
        {"empty", {}, false, 0, 0},
        {"bad name before a due task", {"notes.mp3", due}, true, 1, 2},
        {"bad name after a due task", {due, "notes.mp3"}, true, 1, 2},
        {"several bad names around a due task",
         {"notes.mp3", "31.02.2026 10ч 00м 00.mp3", due, "07.12.2026 1xч 00м 00.mp3"},
         true,
         3,
         4},
        {"bad name, nothing due", {"notes.mp3", later}, false, 1, 2},
        {"two due tasks", {due, "01.01.2026 08ч 00м 00.mp3", later}, true, 0, 3},
        {"only a text file", {"a.txt"}, false, 0, 0},
        {"a task name with another extension", {"07.12.2026 14ч 00м 00.wav"}, false, 0, 0},
        {"pattern goes on after .mp3", {"notes.mp3.bak"}, false, 1, 1},
        // Only the date and time positions are read.
        {"a task going on after .mp3", {"07.12.2026 14ч 00м 00.mp3.bak"}, true, 0, 1},
        {"upper-case extension", {"07.12.2026 14ч 00м 00.MP3"}, true, 0, 1},
        {"other marks and separators", {"07.12.2026_14h_00m_00 call.mp3"}, true, 0, 1},
        {"no time positions", {"07.12.2026.mp3"}, false, 1, 1},
        {"not a time", {"07.12.2026 24ч 00м 00.mp3", "07.12.2026 10ч 60м 00.mp3"}, false, 2, 2},
        {"date without its full stops", {"07-12-2026 14ч 00м 00.mp3"}, false, 1, 1},
        {"hidden files are not looked at", {".07.12.2026 14ч 00м 00.mp3", ".x.mp3"}, false, 0, 0},
        // Names are judged from their bytes; these must read as the decoded
        // text does.
        {"a byte order mark in front is not part of the name",
         {QStringLiteral("\uFEFF07.12.2026 14ч 00м 00.mp3")},
         true,
         0,
         1},
        {"a character beyond the first plane takes two positions",
         {QStringLiteral("07.12.2026 14\U0001F60000м 00.mp3"),
          QStringLiteral("07.12.2026 13\U0001F600 00м 00.mp3")},
         true,
         1,
         2},
        {"marks from other scripts", {QStringLiteral("07.12.2026 14時 00分 00.mp3")}, true, 0, 1},
        {"the extension with look-alike letters",
         {QStringLiteral("07.12.2026 14ч 00м 00.ｍp3")},
         false,
         0,
         0},
    };
    TestClock clock(at(2026, 12, 7, 14, 30, 0));
    for (const FolderCase& c : cases) {
        ProgramFolder folder;
        for (const QString& n : c.names)
            folder.add(n);
        const ScanResult r = DueScan(clock).ScanDueTasks(folder.media(), QStringLiteral("*.mp3*"));
        EXPECT_EQ(r.alert, c.alert) << c.what;
        EXPECT_EQ(r.badNames, c.badNames) << c.what;
        EXPECT_EQ(r.scanned, c.scanned) << c.what;
        // The alarm player's list of due notes follows the same rule.
        EXPECT_EQ(!DueScan::dueNames(folder.media(), clock.now()).isEmpty(), c.alert) << c.what;
    }
}

// The due notes the alarm speaks and the watcher announces: the one due
// longest first, whatever order the names sort or list in.
TEST(DueScan, DueNamesLongestDueFirst)
{
    ProgramFolder folder;
    for (const char* name :
         {"07.12.2026 14ч 00м 00.mp3", "01.01.2026 08ч 00м 00.mp3", "07.12.2026 09ч 00м 05 b.mp3",
          "07.12.2026 09ч 00м 05 a.mp3", "07.12.2026 15ч 00м 00.mp3", "notes.mp3"})
        folder.add(QString::fromUtf8(name));
    const QDateTime now = at(2026, 12, 7, 14, 30, 0);
    const QStringList all = {"01.01.2026 08ч 00м 00.mp3", "07.12.2026 09ч 00м 05 a.mp3",
                             "07.12.2026 09ч 00м 05 b.mp3", "07.12.2026 14ч 00м 00.mp3"};
    EXPECT_EQ(DueScan::dueNames(folder.media(), now), all);
    EXPECT_EQ(DueScan::dueNames(folder.media(), now, 3), all.mid(0, 3));
    EXPECT_TRUE(DueScan::dueNames(folder.media() + "missing/", now).isEmpty());
}

// Bytes that are not UTF-8 (a name copied from another system): neither
// skipped nor read as a task, but reported.
TEST(DueScan, NamesThatAreNotUtf8AreBadNames)
{
    ProgramFolder folder;
    const QByteArray raw = QFile::encodeName(folder.media()) + "06.12.2026 09\xd7 00\xcc 00.mp3";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    TestClock clock(at(2026, 12, 7, 14, 30, 0));
    const ScanResult r = DueScan(clock).ScanDueTasks(folder.media(), QStringLiteral("*.mp3*"));
    EXPECT_EQ(r.scanned, 1);
    EXPECT_EQ(r.badNames, 1);
    EXPECT_FALSE(r.alert);
}

// A link counts as what it points to.
TEST(DueScan, LinksCountAsTheirTargets)
{
    ProgramFolder folder;
    folder.add(QStringLiteral("a.txt"));
    QDir(folder.dir.path()).mkpath(QStringLiteral("folder"));
    const struct
    {
        const char* name;
        QString target;
    } links[] = {
        {"07.12.2026 14ч 00м 00.mp3", folder.media() + QStringLiteral("a.txt")},
        {"07.12.2026 14ч 00м 01.mp3", folder.dir.path() + QStringLiteral("/folder")},
        {"07.12.2026 14ч 00м 02.mp3", folder.dir.path() + QStringLiteral("/gone")},
    };
    for (const auto& l : links)
        ASSERT_TRUE(QFile::link(l.target, folder.media() + QString::fromUtf8(l.name)));
    TestClock clock(at(2026, 12, 7, 14, 30, 0));
    const ScanResult r = DueScan(clock).ScanDueTasks(folder.media(), QStringLiteral("*.mp3*"));
    EXPECT_EQ(r.scanned, 1);
    EXPECT_TRUE(r.alert);
}

TEST(DueScan, FoldersAndMissingMediaAreNotTasks)
{
    ProgramFolder folder;
    // A folder that looks like a due task is not a file.
    QDir(folder.media()).mkpath(QStringLiteral("07.12.2026 14ч 00м 00.mp3"));
    TestClock clock(at(2026, 12, 7, 14, 30, 0));
    ScanResult r = DueScan(clock).ScanDueTasks(folder.media(), QStringLiteral("*.mp3*"));
    EXPECT_FALSE(r.alert);
    EXPECT_EQ(r.scanned, 0);
    EXPECT_TRUE(r.folderReadable);

    r = DueScan(clock).ScanDueTasks(folder.dir.path() + QStringLiteral("/NoMedia/"),
                                    QStringLiteral("*.mp3*"));
    EXPECT_FALSE(r.alert);
    EXPECT_EQ(r.badNames, 0);
    EXPECT_FALSE(r.folderReadable);

    // A folder without the right to list it (root may list anything).
    if (geteuid() != 0) {
        QDir(folder.media()).mkpath(QStringLiteral("x"));
        ASSERT_EQ(::chmod(QFile::encodeName(folder.media()).constData(), 0), 0);
        r = DueScan(clock).ScanDueTasks(folder.media(), QStringLiteral("*.mp3*"));
        ::chmod(QFile::encodeName(folder.media()).constData(), 0755);
        EXPECT_FALSE(r.folderReadable);
    }
}

// The watch tick: one alarm player start per tick however many tasks are
// due, with the window-state argument, and a bad-name report beside it.
TEST(DueWatch, OneAlertPerTick)
{
    ProgramFolder folder;
    TestClock clock(at(2026, 12, 7, 14, 29, 0));
    QList<QPair<QString, QStringList>> starts;
    DueWatch watch(folder.dir.path(), clock, [&](const QString& p, const QStringList& a) {
        starts.append({p, a});
    });
    int alerts = 0, badReports = 0;
    QObject::connect(&watch, &DueWatch::alertRaised, [&] { ++alerts; });
    QObject::connect(&watch, &DueWatch::badNamesFound, [&](int n) {
        ++badReports;
        EXPECT_EQ(n, 1);
    });
    EXPECT_EQ(watch.timer().interval(), 60000);
    EXPECT_TRUE(watch.timer().isActive());

    folder.add(QStringLiteral("07.12.2026 14ч 30м 00.mp3"));
    folder.add(QStringLiteral("07.12.2026 14ч 30м 10.mp3"));
    folder.add(QStringLiteral("readme.mp3"));

    watch.tick(); // 14:29: nothing due yet
    EXPECT_TRUE(starts.isEmpty());
    EXPECT_EQ(badReports, 1);

    clock.advanceMinutes(1); // 14:30:00: one of them due
    watch.tick();
    clock.advanceMinutes(1); // 14:31:00: both due, still one start
    watch.tick();
    ASSERT_EQ(starts.size(), 2);
    EXPECT_EQ(alerts, 2);
    EXPECT_EQ(badReports, 3);
    for (const auto& s : starts) {
        EXPECT_EQ(s.first, folder.dir.path() + QStringLiteral("/Data/Tinkra"));
        EXPECT_EQ(s.second, QStringList{QStringLiteral("-minimized")});
    }

    // The watcher never touches the files: the tasks stay due.
    EXPECT_EQ(QDir(folder.media()).entryList(QDir::Files).size(), 3);
}

} // namespace
