#include "encoderpipeline.h"
#include "textcodec.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString kTask = QStringLiteral("07.12.2026 14ч 30м 05.mp3");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(path);
    f.write(bytes);
}

// A 128-byte ID3v1 tag as an encoder would write it.
QByteArray tag(const QByteArray& album, const QByteArray& comment)
{
    QByteArray t = "TAG" + QByteArray(125, '\0');
    t.replace(63, album.size(), album);
    t.replace(97, comment.size(), comment);
    return t;
}

QByteArray field(const QByteArray& bytes)
{
    return bytes + QByteArray(30 - bytes.size(), '\0');
}

// A program folder with Media/, a scratch folder holding test.wav, and a
// pipeline between them whose watch ticks quickly.
class Pipeline : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_program = m_dir.filePath(QStringLiteral("Программа"));
        m_scratch = m_dir.filePath(QStringLiteral("cache")) + QLatin1Char('/');
        QDir().mkpath(m_program + QStringLiteral("/Media"));
        QDir().mkpath(m_scratch);
        writeFile(m_scratch + QStringLiteral("test.wav"), QByteArray("RIFF....WAVE"));
        m_pipeline = std::make_unique<EncoderPipeline>(m_program, m_scratch);
        m_pipeline->timer3()->setInterval(20);
        QObject::connect(m_pipeline.get(), &EncoderPipeline::controlButtonNormal,
                         [this] { m_events << QStringLiteral("picOK"); });
        QObject::connect(m_pipeline.get(), &EncoderPipeline::imyFileMp3Reset,
                         [this](const QString& r) { m_events << QStringLiteral("reset ") + r; });
        QObject::connect(m_pipeline.get(), &EncoderPipeline::hint,
                         [this](const QString& h) { m_events << QStringLiteral("hint ") + h; });
        QObject::connect(m_pipeline.get(), &EncoderPipeline::showMenu,
                         [this] { m_events << QStringLiteral("menu"); });
        QObject::connect(m_pipeline.get(), &EncoderPipeline::saved,
                         [this](const QString& p) { m_events << QStringLiteral("saved ") + p; });
        QObject::connect(m_pipeline.get(), &EncoderPipeline::failed,
                         [this](const QString&) { m_events << QStringLiteral("failed"); });
    }

    // A stand-in encoder: a shell script run with the real argument list.
    void fakeEncoder(const QString& body)
    {
        const QString path = m_program + QStringLiteral("/lame");
        writeFile(path, ("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + m_dir.filePath("args.txt") +
                         "\"\nout=\"$9\"\n" + body + "\n")
                            .toUtf8());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void waitForTheWatch()
    {
        QEventLoop loop;
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        QObject::connect(m_pipeline.get(), &EncoderPipeline::showMenu, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        loop.exec();
        ASSERT_FALSE(m_pipeline->isWatching()) << "the watch must end";
    }

    // Starts the encoder and the watch; returns once the watch has ended.
    void encode(const QString& comment, int panelMode = 33, const QString& saveTarget = QString())
    {
        m_pipeline->startEncoder(comment, panelMode, saveTarget, m_scratch + kTask);
        m_pipeline->startWatch();
        waitForTheWatch();
    }

    QStringList args() const
    {
        return QString::fromUtf8(readAll(m_dir.filePath(QStringLiteral("args.txt"))))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QString media(const QString& name = kTask) const
    {
        return m_program + QStringLiteral("/Media/") + name;
    }
    bool testWavKept() const { return QFile::exists(m_scratch + QStringLiteral("test.wav")); }

    QTemporaryDir m_dir;
    QString m_program;
    QString m_scratch;
    std::unique_ptr<EncoderPipeline> m_pipeline;
    QStringList m_events;
};

// Writes a finished MP3 stand-in: some frames and a tag whose comment is
// not what the user typed (lame turns Cyrillic into question marks).
const QString kGoodEncoder =
    QStringLiteral("printf 'FRAMES' > \"$out\"; head -c 200 /dev/zero >> \"$out\"; "
                   "printf 'TAG' >> \"$out\"; head -c 60 /dev/zero >> \"$out\"; "
                   "printf 'Ola-Brenvik' >> \"$out\"; head -c 23 /dev/zero >> \"$out\"; "
                   "printf 'XXXXXXXXXXX' >> \"$out\"; head -c 20 /dev/zero >> \"$out\"");

TEST_F(Pipeline, TaskEndsInMediaWithItsTagAndTheWindowIsToldInOrder)
{
    fakeEncoder(kGoodEncoder);
    encode(QStringLiteral("Купить_хлеб"));

    EXPECT_EQ(args(), (QStringList{"-b48", "--resample", "22.05", "--tl", "Ola-Brenvik", "--tc",
                                   QStringLiteral("Купить_хлеб"), m_scratch + "test.wav",
                                   m_scratch + "Z.mp3"}));
    const QByteArray mp3 = readAll(media());
    ASSERT_TRUE(mp3.startsWith("FRAMES"));
    ASSERT_EQ(mp3.size(), 6 + 200 + 128);
    const QByteArray t = mp3.right(128);
    EXPECT_EQ(t.left(3), QByteArray("TAG"));
    EXPECT_EQ(t.mid(63, 30), field("Ola-Brenvik"));
    // Windows-1251 bytes of "Купить_хлеб".
    EXPECT_EQ(t.mid(97, 30), field(QByteArray("\xCA\xF3\xEF\xE8\xF2\xFC_\xF5\xEB\xE5\xE1")));
    EXPECT_FALSE(QFile::exists(m_scratch + "Z.mp3"));
    EXPECT_FALSE(QFile::exists(m_scratch + kTask));
    EXPECT_FALSE(testWavKept());
    EXPECT_EQ(m_events, (QStringList{"picOK", "reset " + m_scratch,
                                     QStringLiteral("hint Запись сохранена."), "menu",
                                     "saved " + media()}));
}

TEST_F(Pipeline, EmptyCommentBecomesTheDefault)
{
    fakeEncoder(kGoodEncoder);
    encode(QString());
    EXPECT_EQ(args().value(6), QStringLiteral("Без_комментарий."));
    EXPECT_EQ(readAll(media()).right(128).mid(97, 30),
              field(Cp1251::encode(QStringLiteral("Без_комментарий."))));
}

TEST_F(Pipeline, StaleOutputOfAnEarlierRunIsNotTakenForTheNewOne)
{
    // A finished-looking Z.mp3 from before; the encoder takes a while.
    writeFile(m_scratch + "Z.mp3", "OLD" + QByteArray(300, 'o') + tag("Ola-Brenvik", "old"));
    fakeEncoder(QStringLiteral("sleep 0.5; ") + kGoodEncoder);
    m_pipeline->startEncoder(QStringLiteral("new"), 33, QString(), m_scratch + kTask);
    EXPECT_FALSE(QFile::exists(m_scratch + "Z.mp3"));
    m_pipeline->tick(); // still running: nothing happens
    EXPECT_TRUE(m_events.isEmpty());
    m_pipeline->startWatch();
    waitForTheWatch();
    EXPECT_TRUE(readAll(media()).startsWith("FRAMES"));
}

TEST_F(Pipeline, TagAloneIsNotTheEndWhileTheEncoderRuns)
{
    // A tag appears early, the real content comes later.
    fakeEncoder(QStringLiteral("printf 'EARLY' > \"$out\"; head -c 200 /dev/zero >> \"$out\"; "
                               "printf 'TAG' >> \"$out\"; head -c 125 /dev/zero >> \"$out\"; "
                               "sleep 0.6; ") +
                kGoodEncoder);
    encode(QStringLiteral("x"));
    EXPECT_TRUE(readAll(media()).startsWith("FRAMES"));
}

struct FailCase {
    const char* name;
    const char* encoder; // nullptr: no encoder at all
    const char* hintPart;
};

TEST_F(Pipeline, FailingEncoderEndsTheWatchWithAHintAndKeepsTheRecording)
{
    const FailCase cases[] = {
        {"missing", nullptr, "lame"},
        {"exit code", "printf 'TAG' > \"$out\"; exit 3", "код 3"},
        {"no tag", "printf 'frames only' > \"$out\"", "MP3"},
        {"killed", "kill -9 $$", "Ошибка"},
    };
    for (const FailCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_events.clear();
        QFile::remove(m_program + "/lame");
        if (c.encoder)
            fakeEncoder(QString::fromUtf8(c.encoder));
        encode(QStringLiteral("x"));
        ASSERT_EQ(m_events.size(), 5) << qPrintable(m_events.join(QLatin1Char('|')));
        EXPECT_EQ(m_events[0], QStringLiteral("picOK"));
        EXPECT_EQ(m_events[1], "reset " + m_scratch);
        EXPECT_TRUE(m_events[2].startsWith(QStringLiteral("hint ")));
        EXPECT_TRUE(m_events[2].contains(QString::fromUtf8(c.hintPart))) << qPrintable(m_events[2]);
        EXPECT_TRUE(m_events[2].contains(m_scratch + "test.wav"));
        EXPECT_EQ(m_events[3], QStringLiteral("menu"));
        EXPECT_EQ(m_events[4], QStringLiteral("failed"));
        EXPECT_TRUE(testWavKept());
        EXPECT_FALSE(QFile::exists(media()));
    }
}

TEST_F(Pipeline, ExistingTaskInMediaIsNeverReplaced)
{
    writeFile(media(), "EARLIER TASK");
    fakeEncoder(kGoodEncoder);
    encode(QStringLiteral("x"));
    EXPECT_EQ(readAll(media()), QByteArray("EARLIER TASK"));
    // The new recording waits under its task name in the scratch folder.
    EXPECT_TRUE(readAll(m_scratch + kTask).startsWith("FRAMES"));
    EXPECT_TRUE(m_events.contains(QStringLiteral("hint Задание не перенесено в Media: ") +
                                  m_scratch + kTask));
}

struct TargetCase {
    const char* chosen;   // saveTarget, relative to the temporary folder
    const char* existing; // a file already there, or nullptr
    const char* result;
};

TEST_F(Pipeline, RecordIntoAFileAppendsMp3AndKeepsExistingFiles)
{
    const TargetCase cases[] = {
        {"Мои заметки/notes", nullptr, "Мои заметки/notes.mp3"},
        {"Мои заметки/notes.mp3", nullptr, "Мои заметки/notes.mp3.mp3"},
        {"Мои заметки/old", "Мои заметки/old.mp3", "Мои заметки/old (2).mp3"},
    };
    QDir(m_dir.path()).mkpath(QStringLiteral("Мои заметки"));
    fakeEncoder(kGoodEncoder);
    for (const TargetCase& c : cases) {
        SCOPED_TRACE(c.chosen);
        writeFile(m_scratch + "test.wav", "RIFF");
        if (c.existing)
            writeFile(m_dir.filePath(QString::fromUtf8(c.existing)), "KEEP");
        encode(QStringLiteral("x"), EncoderPipeline::kRecordIntoFile,
               m_dir.filePath(QString::fromUtf8(c.chosen)));
        EXPECT_TRUE(readAll(m_dir.filePath(QString::fromUtf8(c.result))).startsWith("FRAMES"));
        if (c.existing) {
            EXPECT_EQ(readAll(m_dir.filePath(QString::fromUtf8(c.existing))), QByteArray("KEEP"));
        }
        EXPECT_FALSE(testWavKept());
        EXPECT_FALSE(QFile::exists(media()));
    }
}

TEST_F(Pipeline, RealLameWritesTheTagInWindows1251)
{
    const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    ASSERT_FALSE(lame.isEmpty()) << "lame must be installed (tools/setup-deps.sh)";
    ASSERT_TRUE(QFile::link(lame, m_program + "/lame"));
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    ASSERT_FALSE(sox.isEmpty()) << "sox must be installed (tools/setup-deps.sh)";
    QFile::remove(m_scratch + "test.wav");
    ASSERT_EQ(QProcess::execute(sox, {"-n", "-r", "22050", "-c", "1", "-b", "16",
                                      m_scratch + "test.wav", "synth", "1", "sine", "440"}),
              0);

    const QString comment = QStringLiteral("Позвонить_маме_в_6");
    encode(comment);
    const QByteArray mp3 = readAll(media());
    ASSERT_GT(mp3.size(), 1000);
    const QByteArray t = mp3.right(128);
    EXPECT_EQ(t.left(3), QByteArray("TAG"));
    EXPECT_EQ(t.mid(63, 30), field("Ola-Brenvik"));
    EXPECT_EQ(t.mid(97, 30), field(Cp1251::encode(comment)));
    EXPECT_EQ(Cp1251::decode(t.mid(97, 30)).remove(QChar(0)), comment);
    EXPECT_FALSE(testWavKept());
    EXPECT_TRUE(m_events.contains(QStringLiteral("hint Запись сохранена.")));
}

TEST(EncoderArguments, AreTheOptionLineOneByOne)
{
    // A comment with shell characters stays one argument.
    EXPECT_EQ(EncoderPipeline::encoderArguments(QStringLiteral("$(rm_-rf);`x`"), "/a b/test.wav",
                                                "/a b/Z.mp3"),
              (QStringList{"-b48", "--resample", "22.05", "--tl", "Ola-Brenvik", "--tc",
                           "$(rm_-rf);`x`", "/a b/test.wav", "/a b/Z.mp3"}));
    EXPECT_EQ(EncoderPipeline::commentFor(QString()), QStringLiteral("Без_комментарий."));
    EXPECT_EQ(EncoderPipeline::commentFor(QStringLiteral("a_b")), QStringLiteral("a_b"));
}

} // namespace
