#include "singleinstance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

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

} // namespace
