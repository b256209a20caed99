#include "singleinstance.h"

#include "paths.h"
#include "quicklock.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Outcome = SingleInstance::Outcome;

// A process id that ran and has ended.
qint64 endedProcess()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

// The lock a copy that was killed left in `folder`: what a live copy writes,
// with the ended process's id.
void leaveKilledCopysLock(const QString& folder)
{
    QTemporaryDir scratch;
    QLockFile live(SingleInstance::lockFile(scratch.path(), QStringLiteral("Probe")));
    ASSERT_TRUE(live.tryLock(0));
    QFile written(SingleInstance::lockFile(scratch.path(), QStringLiteral("Probe")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    QByteArray text = written.readAll();
    text = QByteArray::number(endedProcess()) + text.mid(text.indexOf('\n'));
    QFile left(SingleInstance::lockFile(folder, QStringLiteral("Probe")));
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.write(text);
}

TEST(SingleInstance, TellsAnotherCopyFromALockThatCannotBeHad)
{
    std::optional<SingleInstance> other;
    struct Case
    {
        const char* what;
        std::function<QString(const QString& dir)> folder;
        Outcome expected;
    };
    const Case cases[] = {
        {"another copy holds it",
         [&other](const QString& dir) {
             other.emplace(QStringLiteral("Probe"), dir);
             EXPECT_EQ(other->acquire(), Outcome::Acquired);
             return dir;
         },
         Outcome::Running},
        // A regular file where the folder should be: no lock can be made
        // there, whoever runs the test.
        {"folder is a file",
         [](const QString& dir) {
             QFile file(dir + QStringLiteral("/run"));
             EXPECT_TRUE(file.open(QIODevice::WriteOnly));
             return file.fileName();
         },
         Outcome::NoLock},
        {"a killed copy's lock",
         [](const QString& dir) {
             leaveKilledCopysLock(dir);
             return dir;
         },
         Outcome::Acquired},
        // Taking over a stale lock needs a second, helper lock file; in a
        // full folder it cannot be made. Its place taken stands in for that.
        {"a killed copy's lock that cannot be replaced",
         [](const QString& dir) {
             leaveKilledCopysLock(dir);
             QDir(dir).mkdir(QStringLiteral("Probe.lock.rmlock"));
             return dir;
         },
         Outcome::NoLock},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString folder = c.folder(dir.path());
        SingleInstance instance(QStringLiteral("Probe"), folder);
        EXPECT_EQ(instance.acquire(), c.expected) << c.what;
        EXPECT_EQ(
            instance.problem().contains(SingleInstance::lockFile(folder, QStringLiteral("Probe"))),
            c.expected == Outcome::NoLock)
            << c.what << ": " << qPrintable(instance.problem());
        // Only looking at the lock: a live holder, this copy or the other.
        EXPECT_EQ(SingleInstance::isRunning(folder, QStringLiteral("Probe")),
                  c.expected != Outcome::NoLock)
            << c.what;
        other.reset();
    }
}

// The alarm's lock taken without Qt is one that Qt, every other copy and the
// other programs read as a running copy's, and that SingleInstance lets go
// of as its own.
TEST(SingleInstance, TheQuickLockIsReadAsACopysOwn)
{
    QTemporaryDir dir;
    const QString path = SingleInstance::lockFile(dir.path(), QStringLiteral("Probe"));
    const int fd = QuickLock::create(path.toStdString(), "Probe");
    ASSERT_GE(fd, 0);
    EXPECT_EQ(QuickLock::create(path.toStdString(), "Probe"), -1) << "made twice";

    QLockFile qt(path);
    EXPECT_FALSE(qt.tryLock(0));
    EXPECT_EQ(qt.error(), QLockFile::LockFailedError);
    qint64 pid = 0;
    QString host, app;
    ASSERT_TRUE(qt.getLockInfo(&pid, &host, &app));
    EXPECT_EQ(pid, ::getpid());
    EXPECT_EQ(app, QStringLiteral("Probe"));
    EXPECT_EQ(host, QSysInfo::machineHostName());
    EXPECT_TRUE(SingleInstance::isRunning(dir.path(), QStringLiteral("Probe")));
    EXPECT_TRUE(QuickLock::holderRuns(path.toStdString()));
    {
        SingleInstance second(QStringLiteral("Probe"), dir.path());
        EXPECT_EQ(second.acquire(), Outcome::Running);
    }
    {
        SingleInstance adopted(QStringLiteral("Probe"), dir.path());
        adopted.adopt(fd);
    }
    EXPECT_FALSE(QFile::exists(path));
    SingleInstance next(QStringLiteral("Probe"), dir.path());
    EXPECT_EQ(next.acquire(), Outcome::Acquired);

    // Whether the holder runs, read as SingleInstance reads it.
    QTemporaryDir other;
    leaveKilledCopysLock(other.path());
    const QString killed = SingleInstance::lockFile(other.path(), QStringLiteral("Probe"));
    EXPECT_FALSE(QuickLock::holderRuns(killed.toStdString()));
    for (const char* text : {"", "12x\nProbe\n", "1", "\n"}) {
        QFile bad(killed);
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write(text);
        bad.close();
        EXPECT_FALSE(QuickLock::holderRuns(killed.toStdString())) << text;
    }
    EXPECT_FALSE(QuickLock::holderRuns((dir.path() + "/none.lock").toStdString()));
}

// The alarm's runtime folder is Qt's, or none when Qt would look elsewhere.
TEST(SingleInstance, TheQuickRuntimeFolderIsQtsOrNone)
{
    const QByteArray kept = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    ::chmod(folder.constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", folder);
    EXPECT_EQ(QuickLock::runtimeFolder(), Paths::runtimeFolder().toStdString());
    EXPECT_EQ(QuickLock::runtimeFolder(), folder.toStdString());
    ::chmod(folder.constData(), 0750);
    EXPECT_EQ(QuickLock::runtimeFolder(), "");
    qputenv("XDG_RUNTIME_DIR", "relative/run");
    EXPECT_EQ(QuickLock::runtimeFolder(), "");
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(QuickLock::runtimeFolder(), "");
    if (!kept.isNull())
        qputenv("XDG_RUNTIME_DIR", kept);
}

} // namespace
