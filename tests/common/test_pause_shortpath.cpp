#include "pause.h"
#include "shortpath.h"
#include "shutdownsignals.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <csignal>

#include <pthread.h>

TEST(Pause, WaitsAtLeastTheTimeWhileEventsRun)
{
    int fired = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++fired; });
    ticker.start(20);
    QElapsedTimer t;
    t.start();
    Pause(150);
    EXPECT_GE(t.elapsed(), 150);
    EXPECT_GE(fired, 3) << "timers must keep firing during a pause";
    Pause(0);
}

TEST(ShortPath, CanonicalForExistingEmptyForMissing)
{
    QTemporaryDir dir;
    const QString name = dir.path() + QStringLiteral("/24.12.2026 07ч 05м 42.mp3");
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(ShortPath(dir.path() + "/./24.12.2026 07ч 05м 42.mp3"),
              QFileInfo(name).canonicalFilePath());
    EXPECT_TRUE(ShortPath(dir.path() + "/missing.mp3").isEmpty());
    EXPECT_TRUE(ShortPath(QString()).isEmpty());
}

// A kill, an interrupt or a hang-up reaches the event loop as a request to
// end; the process itself is not ended by it. Ones a program held back
// until it could catch them (the alarm's first stage does) come too.
TEST(ShutdownSignals, ReachTheEventLoop)
{
    sigset_t watched;
    sigemptyset(&watched);
    for (int s : ShutdownSignals::Watched)
        sigaddset(&watched, s);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &watched, nullptr), 0);
    for (int s : ShutdownSignals::Watched)
        ASSERT_EQ(::raise(s), 0); // held back
    ShutdownSignals stop;
    QList<int> got;
    QObject::connect(&stop, &ShutdownSignals::received, [&](int s) { got.append(s); });
    for (int s : ShutdownSignals::Watched)
        ASSERT_EQ(::raise(s), 0);
    EXPECT_TRUE(got.isEmpty()) << "no work inside the handler";
    QElapsedTimer t;
    t.start();
    while (got.size() < 6 && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (QList<int>{SIGHUP, SIGHUP, SIGINT, SIGINT, SIGTERM, SIGTERM}));
}
