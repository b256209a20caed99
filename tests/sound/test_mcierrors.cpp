#include "mci.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Failures that must come back as codes without touching a sound device.
TEST(MciErrors, BadCommandsReturnCodesAndNeverThrow)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString notMp3 = dir.filePath(QStringLiteral("заметка.mp3"));
    QFile f(notMp3);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4000, 'x'));
    f.close();
    const QString fifo = dir.filePath(QStringLiteral("канал.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    struct Case
    {
        QString command;
        int code;
    };
    const Case cases[] = {
        {QStringLiteral("frobnicate mywav"), MciUnknownCommand},
        {QString(), MciUnknownCommand},
        {QStringLiteral("Stop "), MciUnknownCommand},
        {QStringLiteral("record nosuchalias"), MciNoSuchDevice},
        {QStringLiteral("save nosuchalias /tmp/x.wav"), MciNoSuchDevice},
        {QStringLiteral("close nosuchalias"), MciNoSuchDevice},
        {QStringLiteral("Play ") + dir.filePath(QStringLiteral("нет такого.mp3")), MciFileNotFound},
        {QStringLiteral("Play ") + dir.filePath(QStringLiteral("нет такого.mp3")) +
             QStringLiteral(" from 0 to 10"),
         MciFileNotFound},
        {QStringLiteral("Pause ") + dir.filePath(QStringLiteral("нет.mp3")), MciFileNotFound},
        {QStringLiteral("Play ") + notMp3, MciCannotDecode},
        {QStringLiteral("Cue ") + dir.filePath(QStringLiteral("нет такого.mp3")), MciFileNotFound},
        {QStringLiteral("Cue ") + notMp3, MciCannotDecode},
        {QStringLiteral("Play ") + fifo, MciFileNotFound},
        {QStringLiteral("Cue ") + dir.path(), MciFileNotFound},
        // Stop of a file that is not playing is harmless.
        {QStringLiteral("Stop ") + notMp3, MciOk},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mciSendString(c.command), c.code) << qPrintable(c.command);
        EXPECT_FALSE(mciErrorText(c.code).isEmpty());
    }
}

// Opening a FIFO for reading waits for a writer, which for a FIFO named like
// a task never comes. Here the name keeps turning into a FIFO and back into
// a file that is no MP3 while it is cued, so a look at the name before
// opening it cannot keep the FIFO out.
TEST(MciErrors, FifoUnderTheNameNeverHoldsTheCaller)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo")));
    const QByteArray notMp3 = QFile::encodeName(dir.filePath(QStringLiteral("other")));
    const QByteArray name = QFile::encodeName(dir.filePath(QStringLiteral("задача.mp3")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    QFile f(QFile::decodeName(notMp3));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4000, 'x'));
    f.close();

    std::atomic<bool> done{false};
    std::thread flip([&] {
        const QByteArray next = name + ".next";
        for (int i = 0; !done; ++i) {
            ::unlink(next.constData());
            if (::symlink((i % 2 ? fifo : notMp3).constData(), next.constData()) == 0)
                ::rename(next.constData(), name.constData());
        }
    });
    const QString cue = QStringLiteral("Cue ") + QFile::decodeName(name);
    for (int i = 0; i < 300; ++i) {
        auto call = std::async(std::launch::async, [&cue] { return mciSendString(cue); });
        // Only a guard against hanging for good: the call returns at once.
        if (call.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            ADD_FAILURE() << "Cue waits for a writer of the FIFO";
            // A writer that comes and goes lets the stuck call end.
            const int writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
            break;
        }
        const int rc = call.get();
        EXPECT_TRUE(rc == MciFileNotFound || rc == MciCannotDecode) << rc;
    }
    done = true;
    flip.join();
}

TEST(MciErrors, AliasLifeCycleWithoutRecording)
{
    EXPECT_EQ(mciSendString(QStringLiteral("open new type waveaudio alias probe")), MciOk);
    EXPECT_EQ(mciSendString(QStringLiteral("OPEN new type waveaudio alias PROBE")), MciAliasInUse);
    // Nothing recorded yet: an empty but valid WAV.
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("пустой файл.wav"));
    EXPECT_EQ(mciSendString(QStringLiteral("save probe ") + wav), MciOk);
    QFile saved(wav);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.read(4), QByteArray("RIFF"));
    EXPECT_EQ(mciSendString(QStringLiteral("save probe /nonexistent-dir/x.wav")), MciWriteFailed);
    EXPECT_EQ(mciSendString(QStringLiteral("stop probe")), MciOk);
    EXPECT_EQ(mciSendString(QStringLiteral("close Probe")), MciOk);
    EXPECT_EQ(mciSendString(QStringLiteral("close probe")), MciNoSuchDevice);
    mciShutdown();
    mciShutdown();
}

} // namespace
