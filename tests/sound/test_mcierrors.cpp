#include "mci.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
        // Stop of a file that is not playing is harmless.
        {QStringLiteral("Stop ") + notMp3, MciOk},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mciSendString(c.command), c.code) << qPrintable(c.command);
        EXPECT_FALSE(mciErrorText(c.code).isEmpty());
    }
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
