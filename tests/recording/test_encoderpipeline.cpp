#include "durablefile.h"
#include "encoderpipeline.h"
#include "filesizelimit.h"
#include "mixerlevels.h"
#include "notefile.h"
#include "notejournal.h"
#include "paths.h"
#include "textcodec.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

// A 16-bit mono 22050 Hz WAV of `frames` samples of `level`.
QByteArray wav(int frames, qint16 level = 5000)
{
    QByteArray data;
    for (int i = 0; i < frames; ++i) {
        const qint16 s = (i % 2) ? level : qint16(-level);
        data.append(char(s & 0xff)).append(char((s >> 8) & 0xff));
    }
    const auto u32 = [](quint32 v) {
        return QByteArray(1, char(v & 0xff)) + char((v >> 8) & 0xff) + char((v >> 16) & 0xff) +
               char((v >> 24) & 0xff);
    };
    const auto u16 = [](quint16 v) { return QByteArray(1, char(v & 0xff)) + char(v >> 8); };
    return "RIFF" + u32(quint32(36 + data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) +
           u32(22050) + u32(44100) + u16(2) + u16(16) + "data" + u32(quint32(data.size())) + data;
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

void touch(const QString& path, const QDateTime& when)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

// A program folder with Media/, a scratch folder, and a pipeline between
// them whose watch ticks quickly.
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
        m_pipeline = std::make_unique<EncoderPipeline>(m_program, m_scratch);
        m_pipeline->timer3()->setInterval(20);
        QObject::connect(m_pipeline.get(), &EncoderPipeline::controlButtonNormal,
                         [this] { m_events << QStringLiteral("picOK"); });
        QObject::connect(m_pipeline.get(), &EncoderPipeline::imyFileMp3Reset,
                         [this](const QString& r) { m_events << QStringLiteral("reset ") + r; });
        QObject::connect(m_pipeline.get(), &EncoderPipeline::hintChanged,
                         [this](const QString& h) { m_events << QStringLiteral("hint ") + h; });
        QObject::connect(m_pipeline.get(), &EncoderPipeline::menuRequested,
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
        QFile::remove(path);
        writeFile(path, ("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + m_dir.filePath("args.txt") +
                         "\"\nout=\"$9\"\n" + body + "\n")
                            .toUtf8());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Runs events until every job has ended.
    void waitForTheJobs(EncoderPipeline* pipeline = nullptr)
    {
        if (!pipeline)
            pipeline = m_pipeline.get();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (pipeline->jobsInFlight() == 0)
                loop.quit();
        });
        poll.start(10);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        ASSERT_EQ(pipeline->jobsInFlight(), 0) << "the jobs must end";
        ASSERT_FALSE(pipeline->isWatching()) << "the watch must end";
    }

    // A saved recording in its own note folder; returns the folder.
    QString record(const QByteArray& wavBytes = wav(2205))
    {
        const QString folder = m_pipeline->newNoteFolder();
        EXPECT_FALSE(folder.isEmpty());
        if (!wavBytes.isNull())
            writeFile(folder + QStringLiteral("test.wav"), wavBytes);
        return folder;
    }
    void start(const QString& folder, const QString& comment, bool intoFile = false,
               const QString& saveTarget = QString(), const QString& task = kTask,
               bool deviceFailed = false)
    {
        m_pipeline->startEncoder(
            {folder, comment, intoFile, saveTarget, m_scratch + task, deviceFailed, {}});
    }
    // Records, starts the job and returns once it has ended.
    QString encode(const QString& comment, bool intoFile = false,
                   const QString& saveTarget = QString())
    {
        const QString folder = record();
        start(folder, comment, intoFile, saveTarget);
        waitForTheJobs();
        return folder;
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
    QStringList noteFolders() const
    {
        return QDir(m_scratch).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }

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
    const QString folder = encode(QStringLiteral("Купить_хлеб"));

    EXPECT_EQ(args(),
              (QStringList{"-b48", "--resample", "22.05", "--tl", "Ola-Brenvik", "--tc",
                           QStringLiteral("Купить_хлеб"), folder + "test.wav", folder + "Z.mp3"}));
    EXPECT_TRUE(folder.startsWith(m_scratch));
    const QByteArray mp3 = readAll(media());
    ASSERT_TRUE(mp3.startsWith("FRAMES"));
    ASSERT_EQ(mp3.size(), 6 + 200 + 128);
    const QByteArray t = mp3.right(128);
    EXPECT_EQ(t.left(3), QByteArray("TAG"));
    EXPECT_EQ(t.mid(63, 30), field("Ola-Brenvik"));
    // Windows-1251 bytes of "Купить_хлеб".
    EXPECT_EQ(t.mid(97, 30), field(QByteArray("\xCA\xF3\xEF\xE8\xF2\xFC_\xF5\xEB\xE5\xE1")));
    EXPECT_TRUE(noteFolders().isEmpty()) << "the note's scratch files must go";
    // The task field is free as soon as the job has its target.
    EXPECT_EQ(m_events,
              (QStringList{"reset " + m_scratch, "picOK", QStringLiteral("hint Запись сохранена."),
                           "menu", "saved " + media()}));
}

TEST_F(Pipeline, EmptyCommentBecomesTheDefault)
{
    fakeEncoder(kGoodEncoder);
    encode(QString());
    EXPECT_EQ(args().value(6), QStringLiteral("Без_комментарий."));
    EXPECT_EQ(readAll(media()).right(128).mid(97, 30),
              field(Cp1251::encode(QStringLiteral("Без_комментарий."))));
}

TEST_F(Pipeline, NotesInFlightTogetherEachArrive)
{
    // The first encoder is slow; the second note starts meanwhile. One
    // script for both: rewritten in between, it could be gone or half
    // written when the first process gets to run it.
    fakeEncoder(QStringLiteral("[ \"$7\" = first ] && sleep 0.6; ") + kGoodEncoder);
    start(record(), QStringLiteral("first"), false, {},
          QStringLiteral("07.12.2026 14ч 30м 05.mp3"));
    start(record(), QStringLiteral("second"), false, {},
          QStringLiteral("07.12.2026 15ч 00м 09.mp3"));
    EXPECT_EQ(m_pipeline->jobsInFlight(), 2);
    waitForTheJobs();
    EXPECT_EQ(readAll(media(QStringLiteral("07.12.2026 14ч 30м 05.mp3"))).right(128).mid(97, 30),
              field("first"));
    EXPECT_EQ(readAll(media(QStringLiteral("07.12.2026 15ч 00м 09.mp3"))).right(128).mid(97, 30),
              field("second"));
    EXPECT_EQ(m_events.filter(QStringLiteral("saved ")).size(), 2);
    EXPECT_TRUE(noteFolders().isEmpty());
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

TEST_F(Pipeline, TheEncodersExitIsSeenWithoutWaitingForTheTick)
{
    m_pipeline->timer3()->setInterval(60000);
    fakeEncoder(kGoodEncoder);
    encode(QStringLiteral("x"));
    EXPECT_TRUE(QFile::exists(media()));
}

struct FailCase
{
    const char* name;
    const char* encoder; // nullptr: no encoder at all
    const char* hintPart;
};

TEST_F(Pipeline, FailingEncoderKeepsTheNoteAndItsJournalForTheNextStart)
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
        const QString folder = encode(QStringLiteral("x"));
        ASSERT_EQ(m_events.size(), 5) << qPrintable(m_events.join(QLatin1Char('|')));
        EXPECT_EQ(m_events[1], QStringLiteral("picOK"));
        EXPECT_TRUE(m_events[2].contains(QString::fromUtf8(c.hintPart))) << qPrintable(m_events[2]);
        EXPECT_TRUE(m_events[2].contains(folder + "test.wav"));
        EXPECT_EQ(m_events[4], QStringLiteral("failed"));
        EXPECT_EQ(readAll(folder + "test.wav"), wav(2205));
        EXPECT_TRUE(NoteJournal::read(folder).has_value());
        EXPECT_FALSE(QFile::exists(media()));
    }
    // Every failed note waits in its own folder: none was overwritten.
    EXPECT_EQ(noteFolders().size(), 4);
}

TEST_F(Pipeline, NoFramesMeansNoNoteAndTheHintSaysWhy)
{
    const struct
    {
        const char* name;
        QByteArray wavBytes; // null: no file at all
        bool deviceFailed;
        const char* hint;
    } cases[] = {
        {"device not opened", wav(0), true, "Звук не записан: устройство записи недоступно."},
        {"device gave nothing", wav(0), false, "Звук не записан: устройство записи не дало звука."},
        {"nothing saved", QByteArray(), true, "Звук не записан: устройство записи недоступно."},
    };
    fakeEncoder(kGoodEncoder);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_events.clear();
        QFile::remove(m_dir.filePath("args.txt"));
        start(record(c.wavBytes), QStringLiteral("x"), false, {}, kTask, c.deviceFailed);
        waitForTheJobs();
        EXPECT_FALSE(QFile::exists(m_dir.filePath("args.txt"))) << "the encoder must not run";
        EXPECT_TRUE(m_events.contains(QStringLiteral("hint ") + QString::fromUtf8(c.hint)))
            << qPrintable(m_events.join(QLatin1Char('|')));
        EXPECT_TRUE(m_events.contains(QStringLiteral("failed")));
        EXPECT_TRUE(QDir(m_program + "/Media").isEmpty());
        EXPECT_TRUE(noteFolders().isEmpty());
    }
    // Record into a file: nothing is written at the chosen name either.
    start(record(wav(0)), QStringLiteral("x"), true, m_dir.filePath("notes"), kTask, true);
    waitForTheJobs();
    EXPECT_FALSE(QFile::exists(m_dir.filePath("notes.mp3")));
}

TEST_F(Pipeline, SilentRecordingIsSavedWithAWarning)
{
    fakeEncoder(kGoodEncoder);
    const struct
    {
        qint16 level;
        bool warned;
    } cases[] = {{0, true}, {40, true}, {3000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        m_events.clear();
        QFile::remove(media());
        start(record(wav(22050, c.level)), QStringLiteral("x"));
        waitForTheJobs();
        EXPECT_TRUE(QFile::exists(media()));
        EXPECT_EQ(m_events.filter(QStringLiteral("молчит")).size(), c.warned ? 1 : 0)
            << qPrintable(m_events.join(QLatin1Char('|')));
    }
}

TEST_F(Pipeline, ExistingTaskInMediaIsNeverReplaced)
{
    writeFile(media(), "EARLIER TASK");
    fakeEncoder(kGoodEncoder);
    encode(QStringLiteral("x"));
    EXPECT_EQ(readAll(media()), QByteArray("EARLIER TASK"));
    // The new note takes the next free second, as the naming retries do.
    const QString next = QStringLiteral("07.12.2026 14ч 30м 06.mp3");
    EXPECT_TRUE(readAll(media(next)).startsWith("FRAMES"));
    EXPECT_TRUE(m_events.contains(QStringLiteral("hint Запись сохранена: ") + next));
}

TEST_F(Pipeline, MediaThatCannotTakeTheNoteLeavesItWholeInTheScratchFolder)
{
    QDir(m_program).rmdir(QStringLiteral("Media"));
    writeFile(m_program + QStringLiteral("/Media"), "not a folder");
    fakeEncoder(kGoodEncoder);
    const QString folder = encode(QStringLiteral("x"));
    EXPECT_TRUE(m_events.contains(QStringLiteral("failed")));
    EXPECT_TRUE(m_events.filter(QStringLiteral("не перенесено")).size() == 1);
    const QByteArray kept = readAll(folder + QStringLiteral("Z.mp3"));
    EXPECT_EQ(kept.size(), 6 + 200 + 128);
    EXPECT_EQ(kept.right(128).mid(97, 30), field("x"));
    EXPECT_EQ(EncoderJob::planRecovery(folder).step, EncoderJob::Recovery::Place);
}

struct TargetCase
{
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
        if (c.existing)
            writeFile(m_dir.filePath(QString::fromUtf8(c.existing)), "KEEP");
        encode(QStringLiteral("x"), true, m_dir.filePath(QString::fromUtf8(c.chosen)));
        EXPECT_TRUE(readAll(m_dir.filePath(QString::fromUtf8(c.result))).startsWith("FRAMES"));
        if (c.existing) {
            EXPECT_EQ(readAll(m_dir.filePath(QString::fromUtf8(c.existing))), QByteArray("KEEP"));
        }
        EXPECT_TRUE(noteFolders().isEmpty());
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
    const QString folder = record(QByteArray());
    ASSERT_EQ(QProcess::execute(sox, {"-n", "-r", "22050", "-c", "1", "-b", "16",
                                      folder + "test.wav", "synth", "1", "sine", "440"}),
              0);

    const QString comment = QStringLiteral("Позвонить_маме_в_6");
    start(folder, comment);
    waitForTheJobs();
    const QByteArray mp3 = readAll(media());
    ASSERT_GT(mp3.size(), 1000);
    const QByteArray t = mp3.right(128);
    EXPECT_EQ(t.left(3), QByteArray("TAG"));
    EXPECT_EQ(t.mid(63, 30), field("Ola-Brenvik"));
    EXPECT_EQ(t.mid(97, 30), field(Cp1251::encode(comment)));
    EXPECT_EQ(Cp1251::decode(t.mid(97, 30)).remove(QChar(0)), comment);
    EXPECT_TRUE(noteFolders().isEmpty());
    EXPECT_TRUE(m_events.contains(QStringLiteral("hint Запись сохранена.")));
}

// --- Start-up recovery ------------------------------------------------------

TEST_F(Pipeline, RecoveryDecidesFromWhatTheJobLeft)
{
    const QDateTime wavTime = QDateTime::currentDateTime().addSecs(-60);
    const QByteArray tagged = "FRAMES" + tag("Ola-Brenvik", "x");
    const struct
    {
        const char* name;
        bool journal;
        QByteArray wavBytes; // null: none
        const char* mp3Name;
        QByteArray mp3; // null: none
        int mp3Age;     // seconds relative to the WAV
        EncoderJob::Recovery step;
    } cases[] = {
        {"MP3 missing", true, wav(100), "Z.mp3", QByteArray(), 0, EncoderJob::Recovery::Encode},
        {"MP3 untagged", true, wav(100), "Z.mp3", "FRAMES", 5, EncoderJob::Recovery::Encode},
        {"MP3 older than WAV", true, wav(100), "Z.mp3", tagged, -5, EncoderJob::Recovery::Encode},
        {"MP3 complete", true, wav(100), "Z.mp3", tagged, 5, EncoderJob::Recovery::Place},
        {"start-up encoding complete", true, wav(100), "R.mp3", tagged, 5,
         EncoderJob::Recovery::Place},
        {"complete MP3, WAV gone", true, QByteArray(), "Z.mp3", tagged, 0,
         EncoderJob::Recovery::Place},
        {"nothing recorded", true, wav(0), "Z.mp3", QByteArray(), 0, EncoderJob::Recovery::Drop},
        {"no journal", false, wav(100), "Z.mp3", tagged, 5, EncoderJob::Recovery::Skip},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = record(c.wavBytes);
        if (c.journal) {
            ASSERT_EQ((NoteJournal{NoteJournal::Kind::Task, kTask, "x", {}, {}}).write(folder), 0);
        }
        if (!c.wavBytes.isNull())
            touch(folder + "test.wav", wavTime);
        if (!c.mp3.isNull()) {
            writeFile(folder + QString::fromUtf8(c.mp3Name), c.mp3);
            touch(folder + QString::fromUtf8(c.mp3Name), wavTime.addSecs(c.mp3Age));
        }
        const auto plan = EncoderJob::planRecovery(folder);
        EXPECT_EQ(plan.step, c.step);
        if (c.step == EncoderJob::Recovery::Place) {
            EXPECT_EQ(plan.mp3, folder + QString::fromUtf8(c.mp3Name));
        }
    }
}

TEST_F(Pipeline, StartUpFinishesWhatAnEarlierRunLeft)
{
    fakeEncoder(kGoodEncoder);
    const QString taken = QStringLiteral("24.12.2026 12ч 30м 59.mp3");
    writeFile(media(taken), "EARLIER TASK");
    // A complete, tagged note whose name is taken meanwhile.
    const QString complete = record();
    ASSERT_EQ((NoteJournal{NoteJournal::Kind::Task, taken, QStringLiteral("готово"), {}, {}})
                  .write(complete),
              0);
    writeFile(complete + "Z.mp3", "DONE" + tag("Ola-Brenvik", "???"));
    // Killed before the encoder finished: only the WAV.
    const QString killed = record();
    ASSERT_EQ((NoteJournal{NoteJournal::Kind::Task, kTask, QStringLiteral("прерван"), {}, {}})
                  .write(killed),
              0);
    writeFile(killed + "Z.mp3", "HALF");
    // A recording into a file of the user's.
    const QString ownFile = record();
    const QString chosen = m_dir.filePath(QStringLiteral("мой файл.mp3"));
    ASSERT_EQ((NoteJournal{NoteJournal::Kind::File, chosen, QStringLiteral("свой"), {}, {}})
                  .write(ownFile),
              0);
    // Not a job: a folder without a journal stays as it is.
    const QString stranger = record();

    m_pipeline->recoverUnfinished();
    waitForTheJobs();

    EXPECT_EQ(readAll(media(taken)), QByteArray("EARLIER TASK"));
    const QString wrapped = QStringLiteral("24.12.2026 12ч 30м 00.mp3");
    EXPECT_EQ(readAll(media(wrapped)).right(128).mid(97, 30), field(Cp1251::encode("готово")));
    const QByteArray encoded = readAll(media());
    EXPECT_TRUE(encoded.startsWith("FRAMES"));
    EXPECT_EQ(encoded.right(128).mid(97, 30), field(Cp1251::encode("прерван")));
    // Started afresh into its own output: an encoder of the killed run may
    // still be writing Z.mp3.
    EXPECT_TRUE(args().value(8).endsWith(QStringLiteral("/R.mp3")));
    EXPECT_EQ(readAll(chosen).right(128).mid(97, 30), field(Cp1251::encode("свой")));
    EXPECT_EQ(noteFolders(), QStringList{QFileInfo(stranger.chopped(1)).fileName()});
    const QStringList hints = m_events.filter(QStringLiteral("hint "));
    ASSERT_EQ(hints.size(), 1) << qPrintable(m_events.join(QLatin1Char('|')));
    for (const QString& name : {wrapped, kTask, QStringLiteral("мой файл.mp3")})
        EXPECT_TRUE(hints[0].contains(name)) << qPrintable(hints[0]);
    // Recovery does not take the window anywhere.
    EXPECT_FALSE(m_events.contains(QStringLiteral("menu")));
}

TEST_F(Pipeline, StartUpNeitherDoublesNorFollowsLinksNorTakesALiveNote)
{
    fakeEncoder(kGoodEncoder);
    // Moved into Media, then killed before its folder went: only cleaned up,
    // with the partial copy of an earlier try.
    const QString placed = record();
    writeFile(media(), "FRAMES" + tag("Ola-Brenvik", Cp1251::encode("на месте")));
    writeFile(m_program + "/Media/." + kTask + ".a1B2c3", "PART");
    NoteJournal moved{NoteJournal::Kind::Task, kTask, QStringLiteral("на месте"), media(), {}};
    ASSERT_EQ(moved.write(placed), 0);
    // Killed before the recorder wrote the WAV's lengths: the sound is there.
    QByteArray unwritten = wav(22050);
    unwritten.replace(40, 4, QByteArray(4, '\0'));
    const QString noLengths = record(unwritten);
    const QString second = QStringLiteral("07.12.2026 14ч 31м 00.mp3");
    ASSERT_EQ((NoteJournal{NoteJournal::Kind::Task, second, QStringLiteral("без длины"), {}, {}})
                  .write(noLengths),
              0);
    // Another live process's note, its encoder running right now.
    const QString owned = record();
    ASSERT_EQ(
        (NoteJournal{NoteJournal::Kind::Task, kTask, QStringLiteral("чужой"), {}, {}}).write(owned),
        0);
    const NoteFile::FolderLock ownersLock(owned);
    ASSERT_TRUE(ownersLock.held());
    // A link to someone's folder holding what looks like a finished job.
    QTemporaryDir theirs;
    writeFile(theirs.filePath("important.doc"), "KEEP");
    ASSERT_EQ((NoteJournal{NoteJournal::Kind::Task, kTask, "x", {}, {}}).write(theirs.path() + '/'),
              0);
    ASSERT_TRUE(QFile::link(theirs.path(), m_scratch + "note-90"));
    // A FIFO under the journal's name; a WAV without a journal; nothing.
    const QString fifo = record(QByteArray());
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo + NoteJournal::kFileName).constData(), 0600), 0);
    const QString bare = record();
    const QString empty = record(QByteArray());
    // A FIFO for the recording: nothing recorded, and nothing waited on.
    const QString fifoWav = record(QByteArray());
    ASSERT_EQ((NoteJournal{NoteJournal::Kind::Task, kTask, "x", {}, {}}).write(fifoWav), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifoWav + "test.wav").constData(), 0600), 0);

    m_pipeline->recoverUnfinished();
    waitForTheJobs();

    const QString mediaFolder = m_program + "/Media";
    EXPECT_EQ(QDir(mediaFolder).entryList(QDir::Files | QDir::Hidden),
              (QStringList{kTask, second}));
    EXPECT_EQ(readAll(media(second)).right(128).mid(97, 30), field(Cp1251::encode("без длины")));
    EXPECT_EQ(readAll(theirs.filePath("important.doc")), QByteArray("KEEP"));
    EXPECT_TRUE(QFileInfo::exists(theirs.filePath(NoteJournal::kFileName)));
    EXPECT_TRUE(QFileInfo::exists(owned + NoteJournal::kFileName));
    const auto name = [](const QString& folder) { return QFileInfo(folder.chopped(1)).fileName(); };
    EXPECT_EQ(noteFolders(), (QStringList{name(owned), name(fifo), name(bare), "note-90"}));
    // What it cannot finish is told, once.
    const QStringList hints = m_events.filter(QStringLiteral("hint "));
    ASSERT_EQ(hints.size(), 1) << qPrintable(m_events.join(QLatin1Char('|')));
    for (const QString& told : {name(fifo), name(bare)})
        EXPECT_TRUE(hints[0].contains(told)) << qPrintable(hints[0]);
    EXPECT_FALSE(hints[0].contains(name(owned))) << qPrintable(hints[0]);
    EXPECT_TRUE(hints[0].endsWith(QStringLiteral("Восстановлены записи: ") + second + '.'))
        << qPrintable(hints[0]);
    m_events.clear();
    m_pipeline->recoverUnfinished();
    waitForTheJobs();
    EXPECT_EQ(m_events.filter(QStringLiteral("hint ")), QStringList());
}

TEST_F(Pipeline, RecoveryHintPutsWhatFailedFirstAndCountsLongLists)
{
    fakeEncoder(kGoodEncoder);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ((NoteJournal{NoteJournal::Kind::Task, QStringLiteral("заметка.mp3"), "x", {}, {}})
                      .write(record()),
                  0);
    }
    ASSERT_EQ((NoteJournal{NoteJournal::Kind::Task, kTask, "x", {}, {}}).write(record()), 0);
    m_pipeline->recoverUnfinished();
    waitForTheJobs();
    const QStringList hints = m_events.filter(QStringLiteral("hint "));
    ASSERT_EQ(hints.size(), 1) << qPrintable(m_events.join(QLatin1Char('|')));
    EXPECT_TRUE(hints[0].startsWith(QStringLiteral("hint Не восстановлены: 3 записей, они в ") +
                                    m_scratch.chopped(1) + '.'))
        << qPrintable(hints[0]);
    EXPECT_FALSE(hints[0].contains(QStringLiteral("занято")));
    EXPECT_TRUE(hints[0].endsWith(QStringLiteral("Восстановлены записи: ") + kTask + '.'));
    // One failure alone says why.
    m_events.clear();
    for (const QString& folder : noteFolders().mid(1))
        QDir(m_scratch + folder).removeRecursively();
    EncoderPipeline again(m_program, m_scratch);
    QObject::connect(&again, &EncoderPipeline::hintChanged,
                     [this](const QString& h) { m_events << h; });
    again.recoverUnfinished();
    waitForTheJobs(&again);
    ASSERT_EQ(m_events.size(), 1);
    EXPECT_TRUE(m_events[0].contains(QStringLiteral("заметка.mp3 (")) &&
                m_events[0].contains(QStringLiteral("не имя задания")))
        << qPrintable(m_events[0]);
}

TEST(NoteJournal, RoundTripsAnyTargetAndComment)
{
    const NoteJournal journals[] = {
        {NoteJournal::Kind::Task, kTask, QStringLiteral("Купить_хлеб"), "/m/Media/" + kTask, {}},
        {NoteJournal::Kind::File,
         QStringLiteral("/home/Анна/My notes/a=b%20\nc.mp3"),
         QStringLiteral("50%_=_done\r"),
         {},
         {}},
        {NoteJournal::Kind::Task, kTask, QString(), {}, {}},
        {NoteJournal::Kind::Task, kTask, QStringLiteral("Оплатить"), {}, "monthly:31"},
    };
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    for (const NoteJournal& j : journals) {
        SCOPED_TRACE(qPrintable(j.target));
        ASSERT_EQ(j.write(folder), 0);
        const auto back = NoteJournal::read(folder);
        ASSERT_TRUE(back.has_value());
        EXPECT_TRUE(*back == j);
    }
    for (const char* bad : {"", "kind=task\n", "target=x\n", "kind=mp3\ntarget=x\n",
                            "kind=task\ntarget=\n", "kind=task\ngarbage\ntarget=x\n"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(NoteJournal::fromText(QString::fromUtf8(bad)).has_value());
    }

    // A full disk (a file size limit stands in for it, for root too): the
    // write says so, and what was there before stays whole, with nothing
    // half written beside it. The mixer's levels file is written the same way.
    const NoteJournal before{NoteJournal::Kind::Task, kTask, QStringLiteral("до"), {}, {}};
    ASSERT_EQ(before.write(folder), 0);
    int journalError = 0;
    bool levelsWritten = true;
    {
        const FileSizeLimit full(0);
        journalError =
            NoteJournal{NoteJournal::Kind::Task, kTask, QStringLiteral("после"), {}, {}}.write(
                folder);
        levelsWritten = MixerLevelsFile(folder + "levels").write(MixerLevels({{0, 30, {}}}));
    }
    EXPECT_EQ(journalError, EFBIG);
    EXPECT_FALSE(levelsWritten);
    EXPECT_TRUE(*NoteJournal::read(folder) == before);
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{NoteJournal::kFileName});
    EXPECT_EQ(DurableFile::problem(ENOSPC, QDir::homePath() + "/.cache/Quillmur/"),
              QStringLiteral("нет места на диске в ~/.cache/Quillmur"));

    // Never waited on: a FIFO under the journal's name is no journal.
    QTemporaryDir other;
    ASSERT_EQ(::mkfifo(QFile::encodeName(other.filePath(NoteJournal::kFileName)).constData(), 0600),
              0);
    EXPECT_FALSE(NoteJournal::read(other.path() + '/').has_value());
}

TEST(NoteFile, FreeTaskNameTakesTheNextSecondWithinTheMinute)
{
    QTemporaryDir dir;
    const auto name = [](int s) {
        return QStringLiteral("24.12.2026 12ч 30м %1.mp3").arg(s, 2, 10, QLatin1Char('0'));
    };
    EXPECT_EQ(NoteFile::freeTaskName(dir.path(), name(5)), name(5));
    writeFile(dir.filePath(name(5)), "x");
    writeFile(dir.filePath(name(6)), "x");
    EXPECT_EQ(NoteFile::freeTaskName(dir.path(), name(5)), name(7));
    writeFile(dir.filePath(name(59)), "x");
    EXPECT_EQ(NoteFile::freeTaskName(dir.path(), name(59)), name(0));
    for (int s = 0; s < 60; ++s)
        writeFile(dir.filePath(name(s)), "x");
    EXPECT_FALSE(NoteFile::freeTaskName(dir.path(), name(5)).has_value());
    EXPECT_FALSE(NoteFile::freeTaskName(dir.path(), QStringLiteral("notes.mp3")).has_value());
}

TEST(NoteFile, MoveNeverReplacesAndLeavesNoPartOnAnotherFileSystem)
{
    QTemporaryDir here;
    const QString source = here.filePath("Z.mp3");
    writeFile(source, QByteArray(300000, 'm'));
    writeFile(here.filePath("taken.mp3"), "KEEP");
    QString error;
    EXPECT_FALSE(NoteFile::moveComplete(source, here.filePath("taken.mp3"), &error));
    EXPECT_EQ(readAll(here.filePath("taken.mp3")), QByteArray("KEEP"));
    EXPECT_EQ(QFileInfo(source).size(), 300000);

    // /dev/shm is a file system of its own on most machines.
    struct stat a
    {
    }, b{};
    QTemporaryDir there(QStringLiteral("/dev/shm/quill-move-XXXXXX"));
    if (!there.isValid() || ::stat(QFile::encodeName(here.path()).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(there.path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system to move across";
    // Readable by others as any file the user makes, not private as a
    // temporary file.
    QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                      QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    ASSERT_TRUE(NoteFile::moveComplete(source, there.filePath("task.mp3"), &error))
        << qPrintable(error);
    EXPECT_EQ(QFileInfo(there.filePath("task.mp3")).permissions() & 0x0777,
              QFile::Permissions(0x0644));
    EXPECT_EQ(readAll(there.filePath("task.mp3")), QByteArray(300000, 'm'));
    EXPECT_FALSE(QFile::exists(source));
    EXPECT_EQ(QDir(there.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"task.mp3"});
}

TEST(ScratchFolder, OnlyAPrivateFolderOfOurOwnWillDo)
{
    QTemporaryDir dir;
    const QString fresh = dir.filePath("cache/Quillmur");
    EXPECT_EQ(Paths::preparePrivateFolder(fresh), QString());
    EXPECT_EQ(QFileInfo(fresh).permissions() & 0x0777, QFile::Permissions(0x0700));
    const QString open = dir.filePath("open");
    QDir().mkpath(open);
    QFile::setPermissions(open, QFile::Permissions(0x7755));
    EXPECT_EQ(Paths::preparePrivateFolder(open), QString());
    EXPECT_EQ(QFileInfo(open).permissions() & 0x0077, QFile::Permissions(0));

    // Removed meanwhile by a cache cleaner: the next note makes it again.
    const QString gone = dir.filePath("gone/Quillmur/");
    EXPECT_EQ(EncoderPipeline::makeNoteFolder(gone), gone + "note-1/");
    EXPECT_EQ(QFileInfo(gone).permissions() & 0x0777, QFile::Permissions(0x0700));

    writeFile(dir.filePath("file"), "x");
    EXPECT_FALSE(Paths::preparePrivateFolder(dir.filePath("file")).isEmpty());
    EXPECT_FALSE(Paths::preparePrivateFolder(dir.filePath("file/Quillmur")).isEmpty());
    EXPECT_FALSE(Paths::preparePrivateFolder(QString()).isEmpty());
    if (::geteuid() == 0) {
        // A folder left by another user (here: nobody) is not taken over.
        const QString foreign = dir.filePath("foreign");
        QDir().mkpath(foreign);
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
        EXPECT_EQ(Paths::preparePrivateFolder(foreign),
                  QStringLiteral("принадлежит другому пользователю"));
    }
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
