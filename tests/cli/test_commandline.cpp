#include "../playback/mp3fixture.h"
#include "commandline.h"
#include "filesizelimit.h"
#include "id3v1patch.h"
#include "id3v1tag.h"
#include "id3v2.h"
#include "id3v2text.h"
#include "localzone.h"
#include "mp3inforeader.h"
#include "notejournal.h"
#include "taskname.h"
#include "taskrepeat.h"
#include "testclock.h"
#include "textcodec.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(14, 28, 30));

// A 16-bit stereo WAV of a tone at `rate`, quieter on the right.
QByteArray stereoWav(int rate, double seconds)
{
    const int frames = int(rate * seconds);
    QByteArray pcm(frames * 4, '\0');
    for (int i = 0; i < frames; ++i) {
        const auto s = qint16(6000 * std::sin(2 * M_PI * 330 * i / rate));
        qToLittleEndian<qint16>(s, pcm.data() + 4 * i);
        qToLittleEndian<qint16>(qint16(s / 2), pcm.data() + 4 * i + 2);
    }
    QByteArray wav("RIFF");
    const auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    const auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    u32(36 + pcm.size());
    wav.append("WAVEfmt ");
    u32(16), u16(1), u16(2), u32(rate), u32(rate * 4), u16(4), u16(16);
    wav.append("data");
    u32(pcm.size());
    return wav + pcm;
}

// A program folder with Media/ and lame, a scratch folder, a clock standing
// at 07.12.2026 14:28:30, and the two output streams.
class Cli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_program = m_dir.filePath("Программа");
        m_media = m_program + "/Media/";
        m_scratch = m_dir.filePath("cache") + '/';
        ASSERT_TRUE(QDir().mkpath(m_media));
        ASSERT_TRUE(QDir().mkpath(m_scratch));
        ASSERT_TRUE(QFile::link(QStringLiteral(QUILL_LAME), m_program + "/lame"));
    }

    int run(const QStringList& args)
    {
        m_out.clear();
        m_err.clear();
        const auto parsed = CommandLine::parse(args);
        if (!parsed.command) {
            m_err = parsed.error;
            return CommandLine::UserError;
        }
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        CommandLine::Environment env;
        env.programFolder = m_program;
        env.scratchFolder = m_scratch;
        env.clock = &m_clock;
        env.wait = [this](int ms) {
            m_waits << ms;
            m_clock.advanceSeconds(ms / 1000);
        };
        env.out = m_outDevice ? m_outDevice : &out;
        env.err = &err;
        const int status = CommandLine(env).run(*parsed.command);
        m_out = QString::fromUtf8(out.data());
        m_err = QString::fromUtf8(err.data());
        return status;
    }

    void touch(const QString& name, const QByteArray& bytes = {})
    {
        ASSERT_TRUE(Mp3Fixture::writeFile(m_media + name, bytes)) << qPrintable(name);
    }

    QStringList media() const { return QDir(m_media).entryList(QDir::Files, QDir::Name); }

    QJsonArray listJson()
    {
        EXPECT_EQ(run({"--list", "--json"}), 0) << qPrintable(m_err);
        return QJsonDocument::fromJson(m_out.toUtf8()).array();
    }

    QTemporaryDir m_dir;
    QString m_program, m_media, m_scratch;
    TestClock m_clock{kNow};
    QList<int> m_waits;
    QString m_out, m_err;
    QIODevice* m_outDevice = nullptr; // instead of a buffer for standard output
};

} // namespace

TEST(CommandLineArguments, OnlyMinimizedAndQtsOwnOptionsStartTheWindow)
{
    const struct
    {
        std::vector<const char*> argv;
        bool command;
    } cases[] = {
        {{"Quillmur"}, false},
        {{"Quillmur", "-minimized"}, false},
        {{"Quillmur", "--list"}, true},
        {{"Quillmur", "-minimized", "--help"}, true},
        {{"Quillmur", "list"}, true},
        // Qt's own options reach the window's application.
        {{"Quillmur", "-platform", "xcb"}, false},
        {{"Quillmur", "-style", "fusion", "-display", ":1", "-minimized"}, false},
        {{"Quillmur", "-reverse"}, false},
        {{"Quillmur", "-platform", "xcb", "--list"}, true},
        {{"Quillmur", "-platform"}, true}, // no value: not Qt's
    };
    for (const auto& c : cases) {
        std::vector<char*> argv;
        for (const char* a : c.argv)
            argv.push_back(const_cast<char*>(a));
        EXPECT_EQ(CommandLine::isCommand(int(argv.size()), argv.data()), c.command) << argv.size();
    }
}

TEST(CommandLineArguments, ReadsCommandsAndRefusesMistakes)
{
    using A = CommandLine::Command::Action;
    const struct
    {
        QStringList args;
        std::optional<A> action; // none: refused with `message` in the error
        const char* message;
    } cases[] = {
        {{"--help"}, A::Help, ""},
        {{"-h"}, A::Help, ""},
        {{"--version"}, A::Version, ""},
        {{"--list", "--json"}, A::List, ""},
        {{"--json", "--list"}, A::List, ""},
        {{"--add=a.wav", "--at=24.12.2026 09:15", "--comment", "x y"}, A::Add, ""},
        {{"--snooze", "10"}, A::Snooze, ""},
        {{"--export-ics", "-"}, A::ExportIcs, ""},
        {{"--set", "notifications=off"}, A::Set, ""},
        {{"--set=voice-after-chime=on"}, A::Set, ""},
        {{"--get"}, A::Get, ""},
        {{"--set", "volume=on"}, std::nullopt, "--set: нужно voice-after-chime=on|off"},
        {{"--set", "notifications=yes"}, std::nullopt, "«notifications=yes»"},
        {{"--set", "notifications"}, std::nullopt, "--set: нужно"},
        {{}, std::nullopt, "не указана команда"},
        {{"--bogus"}, std::nullopt, "неизвестный параметр «--bogus»"},
        {{"list"}, std::nullopt, "лишний аргумент «list»"},
        {{"--list", "extra"}, std::nullopt, "лишний аргумент «extra»"},
        {{"--list", "--list"}, std::nullopt, "дважды"},
        {{"--list", "--snooze", "5"}, std::nullopt, "нельзя давать вместе"},
        {{"--json"}, std::nullopt, "--json без команды"},
        {{"--list", "--comment", "x"}, std::nullopt, "--comment не относится к команде --list"},
        {{"--add", "a.wav", "--json"}, std::nullopt, "--json не относится"},
        {{"--version=2"}, std::nullopt, "не принимает значения"},
        {{"--add", "a.wav"}, std::nullopt, "нужен срок"},
        {{"--add", "a.wav", "--at"}, std::nullopt, "после --at нужно значение"},
        {{"--add", "a.wav", "--at", "31.02.2026 10:00"}, std::nullopt, "неверный срок"},
        {{"--add", "a.wav", "--at", "7.12.2026 10:00"}, std::nullopt, "неверный срок"},
        {{"--add", "a.wav", "--at", "24.12.2026 24:00"}, std::nullopt, "неверный срок"},
        {{"--add", "a.wav", "--at", "24.12.2026"}, std::nullopt, "неверный срок"},
        {{"--add", "", "--at", "24.12.2026 10:00"}, std::nullopt, "не указан звуковой файл"},
        {{"--add", "a.wav", "--at", "24.12.2026 10:00", "--repeat", "hourly"},
         std::nullopt,
         "неизвестное повторение «hourly»"},
        {{"--list", "--repeat", "daily"}, std::nullopt, "--repeat не относится"},
        {{"--snooze", "0"}, std::nullopt, "от 1 до"},
        {{"--snooze", "ten"}, std::nullopt, "«ten»"},
        {{"--snooze"}, std::nullopt, "после --snooze нужно значение"},
        {{"--export-ics", ""}, std::nullopt, "не указан файл"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const auto parsed = CommandLine::parse(c.args);
        if (c.action) {
            ASSERT_TRUE(parsed.command) << qPrintable(parsed.error);
            EXPECT_EQ(parsed.command->action, *c.action);
        } else {
            ASSERT_FALSE(parsed.command);
            EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.message)))
                << qPrintable(parsed.error);
            EXPECT_FALSE(parsed.error.contains('\n'));
        }
    }
    const auto add =
        CommandLine::parse({"--add=a b.wav", "--at", " 24.12.2026 09:15 ", "--comment=x y"});
    ASSERT_TRUE(add.command);
    EXPECT_EQ(add.command->audio, "a b.wav");
    EXPECT_EQ(add.command->at, "24.12.2026 09:15");
    EXPECT_EQ(add.command->comment, "x y");
}

// Due order, not name order; the state follows the due rule to the second;
// comment and length come from the file; bad names come last.
TEST_F(Cli, ListsTasksInDueOrderAndBadNamesApart)
{
    const LocalZone utc("UTC");
    const QString tagged = m_media + "06.12.2026 23ч 59м 59.mp3";
    ASSERT_EQ(Mp3Fixture::makeTask(tagged, 3, "x"), QString());
    ASSERT_TRUE(
        Id3v1Patch::writeAlbumAndComment(tagged, "Ola-Brenvik", Cp1251::encode("Позвонить")));
    touch("01.01.2027 09ч 00м 00.mp3");
    touch("07.12.2026 14ч 28м 30.mp3"); // due this very second
    touch("07.12.2026 14ч 28м 31.mp3"); // one second ahead
    touch("заметка.mp3");
    touch("07.12.2026 14ч 00м 00.mp3.bak");
    touch("список.txt"); // not listed at all

    const QJsonArray tasks = listJson();
    const struct
    {
        const char* file;
        const char* state;
        const char* due;
    } expected[] = {
        {"06.12.2026 23ч 59м 59.mp3", "past", "2026-12-06T23:59:59+00:00"},
        {"07.12.2026 14ч 28м 30.mp3", "past", "2026-12-07T14:28:30+00:00"},
        {"07.12.2026 14ч 28м 31.mp3", "today", "2026-12-07T14:28:31+00:00"},
        {"01.01.2027 09ч 00м 00.mp3", "later", "2027-01-01T09:00:00+00:00"},
        {"07.12.2026 14ч 00м 00.mp3.bak", "bad", nullptr},
        {"заметка.mp3", "bad", nullptr},
    };
    ASSERT_EQ(tasks.size(), std::size(expected)) << qPrintable(m_out);
    for (size_t i = 0; i < std::size(expected); ++i) {
        const QJsonObject o = tasks[int(i)].toObject();
        SCOPED_TRACE(expected[i].file);
        EXPECT_EQ(o.keys(), (QStringList{"comment", "due", "file", "repeat", "seconds", "state"}));
        EXPECT_EQ(o["file"].toString(), QString::fromUtf8(expected[i].file));
        EXPECT_EQ(o["state"].toString(), expected[i].state);
        if (expected[i].due)
            EXPECT_EQ(o["due"].toString(), expected[i].due);
        else
            EXPECT_TRUE(o["due"].isNull());
    }
    // Windows-1251 in the tag, read back as text.
    EXPECT_EQ(tasks[0]["comment"].toString(), QString::fromUtf8("Позвонить"));
    EXPECT_EQ(tasks[0]["seconds"].toInt(), 3);
    EXPECT_TRUE(tasks[1]["seconds"].isNull());

    ASSERT_EQ(run({"--list"}), 0);
    const QStringList lines = m_out.split('\n');
    EXPECT_TRUE(
        lines[0].startsWith(QString::fromUtf8("06.12.2026 23:59:59  прошло    0:03  Позвонить ")))
        << qPrintable(lines[0]);
    EXPECT_TRUE(lines[0].endsWith(QString::fromUtf8("  06.12.2026 23ч 59м 59.mp3")));
    EXPECT_TRUE(lines[2].contains(QString::fromUtf8("сегодня")));
    EXPECT_TRUE(lines[3].contains(QString::fromUtf8("позже")));
    EXPECT_EQ(lines.mid(4, 4),
              (QStringList{"", QString::fromUtf8("Файлы с нестандартным названием:"),
                           QString::fromUtf8("  07.12.2026 14ч 00м 00.mp3.bak"),
                           QString::fromUtf8("  заметка.mp3")}));

    QDir(m_media).removeRecursively();
    EXPECT_EQ(run({"--list"}), CommandLine::Failure);
    EXPECT_TRUE(m_err.contains(QString::fromUtf8("нет папки"))) << qPrintable(m_err);
}

// Due tasks move to now + minutes, keeping their content; a taken name gets
// the next free second; tasks still ahead and bad names stay.
TEST_F(Cli, SnoozeMovesEveryDueTask)
{
    touch("06.12.2026 09ч 00м 00.mp3", "yesterday");
    touch("07.12.2026 14ч 28м 30.mp3", "this second");
    touch("07.12.2026 14ч 28м 31.mp3", "ahead");
    touch("07.12.2026 14ч 38м 30.mp3", "already there");
    touch("05.12.2026 10ч 00м 00.mp3.bak", "bad");

    ASSERT_EQ(run({"--snooze", "10"}), 0) << qPrintable(m_err);
    EXPECT_EQ(m_out, QString::fromUtf8("06.12.2026 09ч 00м 00.mp3 -> 07.12.2026 14ч 38м 31.mp3\n"
                                       "07.12.2026 14ч 28м 30.mp3 -> 07.12.2026 14ч 38м 32.mp3\n"));
    EXPECT_EQ(media(), (QStringList{"05.12.2026 10ч 00м 00.mp3.bak", "07.12.2026 14ч 28м 31.mp3",
                                    "07.12.2026 14ч 38м 30.mp3", "07.12.2026 14ч 38м 31.mp3",
                                    "07.12.2026 14ч 38м 32.mp3"}));
    QFile moved(m_media + "07.12.2026 14ч 38м 31.mp3");
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.readAll(), "yesterday");

    // Nothing due any more: a second snooze moves nothing. Across midnight
    // the new name carries the next day.
    ASSERT_EQ(run({"--snooze", "10"}), 0);
    EXPECT_EQ(m_out, "");
    m_clock.set(QDateTime(QDate(2026, 12, 7), QTime(23, 55, 0)));
    ASSERT_EQ(run({"--snooze", "10"}), 0);
    EXPECT_EQ(m_out.count('\n'), 4);
    EXPECT_TRUE(m_out.contains(QString::fromUtf8("-> 08.12.2026 00ч 05м 00.mp3\n")))
        << qPrintable(m_out);
    EXPECT_TRUE(m_out.contains(QString::fromUtf8("-> 08.12.2026 00ч 05м 03.mp3\n")));
}

// The clock changes: a time the spring change skips cannot be asked for, and
// a task named with one (as the dial can make) is due at the first moment
// after it; an hour that occurs twice means its first occurrence. List,
// order and calendar agree, and the offset is told.
TEST_F(Cli, TimesAroundTheClockChanges)
{
    const LocalZone berlin("Europe/Berlin");
    const QString wav = m_dir.filePath("note.wav");
    ASSERT_TRUE(Mp3Fixture::writeFile(wav, stereoWav(22050, 1)));
    EXPECT_EQ(run({"--add", wav, "--at", "28.03.2027 02:30"}), CommandLine::UserError);
    EXPECT_TRUE(m_err.contains(QString::fromUtf8("времени «28.03.2027 02:30» не будет")))
        << qPrintable(m_err);
    EXPECT_TRUE(media().isEmpty());

    touch(QString::fromUtf8("28.03.2027 02ч 30м 00.mp3"));
    touch(QString::fromUtf8("28.03.2027 02ч 45м 00.mp3"));
    touch(QString::fromUtf8("28.03.2027 03ч 10м 00.mp3"));
    touch(QString::fromUtf8("31.10.2027 02ч 30м 00.mp3"));
    const QJsonArray tasks = listJson();
    ASSERT_EQ(tasks.size(), 4);
    const char* const due[] = {"2027-03-28T03:00:00+02:00", "2027-03-28T03:00:00+02:00",
                               "2027-03-28T03:10:00+02:00", "2027-10-31T02:30:00+02:00"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(tasks[i]["due"].toString(), due[i]) << i;
    EXPECT_EQ(tasks[0]["file"].toString(), QString::fromUtf8("28.03.2027 02ч 30м 00.mp3"));
    ASSERT_EQ(run({"--list"}), 0);
    EXPECT_TRUE(m_out.startsWith(QString::fromUtf8("28.03.2027 03:00:00  позже ")))
        << qPrintable(m_out);
    ASSERT_EQ(run({"--export-ics", "-"}), 0);
    for (const char* start :
         {"DTSTART:20270328T010000Z", "DTSTART:20270328T011000Z", "DTSTART:20271031T003000Z"})
        EXPECT_TRUE(m_out.contains(start)) << start;
}

// A repeating note: its rule in the file's ID3v2 tag (kept by a snooze's
// rename and by "done"'s move to the next time), shown by the lists and the
// calendar; a damaged rule is a one-time note with a warning.
TEST_F(Cli, RepeatingNotes)
{
    const QString wav = m_dir.filePath("note.wav");
    ASSERT_TRUE(Mp3Fixture::writeFile(wav, stereoWav(22050, 1)));
    ASSERT_EQ(run({"--add", wav, "--at", "07.12.2026 08:00", "--repeat", "daily"}), 0)
        << qPrintable(m_err);
    ASSERT_EQ(run({"--add", wav, "--at", "31.12.2026 10:00", "--repeat", "monthly"}), 0)
        << qPrintable(m_err);
    const QString daily = QString::fromUtf8("07.12.2026 08ч 00м 30.mp3");
    EXPECT_EQ(TaskRepeat::read(m_media + daily).rule, RepeatRule::fromWord("daily"));
    const auto monthly = TaskRepeat::read(m_media + QString::fromUtf8("31.12.2026 10ч 00м 30.mp3"));
    ASSERT_TRUE(monthly.rule);
    EXPECT_EQ(monthly.rule->text(), "monthly:31");
    const QJsonArray tasks = listJson();
    EXPECT_EQ(tasks[0]["repeat"].toString(), "daily");
    EXPECT_EQ(tasks[1]["repeat"].toString(), "monthly");
    ASSERT_EQ(run({"--list"}), 0);
    EXPECT_TRUE(m_out.split('\n')[0].endsWith(QString::fromUtf8("  ↻ каждый день")))
        << qPrintable(m_out);
    ASSERT_EQ(run({"--export-ics", "-"}), 0);
    EXPECT_TRUE(m_out.contains("DTSTART:20261207T080030\r\nRRULE:FREQ=DAILY\r\n"));
    EXPECT_TRUE(m_out.contains("RRULE:FREQ=MONTHLY;BYMONTHDAY=28,29,30,31;BYSETPOS=-1\r\n"));

    // Done for today: the next time after now, the file's bytes untouched.
    const QByteArray bytes = [&] {
        QFile f(m_media + daily);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QString error;
    const auto moved = TaskRepeat::moveToNext(m_media, daily, *RepeatRule::fromWord("daily"),
                                              m_clock.now(), &error);
    ASSERT_TRUE(moved) << qPrintable(error);
    EXPECT_EQ(*moved, QString::fromUtf8("08.12.2026 08ч 00м 30.mp3"));
    QFile next(m_media + *moved);
    ASSERT_TRUE(next.open(QIODevice::ReadOnly));
    EXPECT_EQ(next.readAll(), bytes);

    // A frame whose rule cannot be read: one-time, with a warning.
    ASSERT_EQ(Id3v2::setUserText(m_media + *moved, TaskRepeat::FrameName, "every_hour"), 0);
    const QJsonArray again = listJson();
    EXPECT_TRUE(again[0]["repeat"].isNull());
    EXPECT_TRUE(m_err.contains(QString::fromUtf8("повреждена запись о повторении")))
        << qPrintable(m_err);
    EXPECT_EQ(Id3v1Tag::read(m_media + *moved)->album, "Ola-Brenvik");
}

// The options live in a file of their own: index.txt's one line is never
// touched, lines the program does not know stay, and a folder that cannot
// be written is a failure that says why.
TEST_F(Cli, SetAndGetTheOptionsBesideTheSettingsLine)
{
    ASSERT_TRUE(QDir().mkpath(m_program + "/Data"));
    const QString index = m_program + "/Data/index.txt";
    const QByteArray line = "C:\\Picture\\fon.gif\r\n";
    ASSERT_TRUE(Mp3Fixture::writeFile(index, line));
    EXPECT_EQ(run({"--get"}), CommandLine::Ok);
    EXPECT_EQ(m_out, "voice-after-chime=off\nnotifications=on\n");
    ASSERT_TRUE(Mp3Fixture::writeFile(m_program + "/Data/options.txt",
                                      "later-option=on\nnotifications=off\n"));
    EXPECT_EQ(run({"--set", "voice-after-chime=on"}), CommandLine::Ok) << qPrintable(m_err);
    EXPECT_EQ(run({"--get"}), CommandLine::Ok);
    EXPECT_EQ(m_out, "voice-after-chime=on\nnotifications=off\n");
    const auto contents = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    };
    EXPECT_EQ(contents(m_program + "/Data/options.txt"),
              "voice-after-chime=on\nnotifications=off\nlater-option=on\n");
    EXPECT_EQ(contents(index), line);

    {
        const FileSizeLimit full(16);
        EXPECT_EQ(run({"--set", "notifications=on"}), CommandLine::Failure);
    }
    EXPECT_TRUE(m_err.contains("настройка не сохранена: файл слишком велик")) << qPrintable(m_err);
    EXPECT_EQ(run({"--get"}), CommandLine::Ok);
    EXPECT_EQ(m_out, "voice-after-chime=on\nnotifications=off\n");
}

TEST_F(Cli, ExportsTheCalendarToAFileOrStandardOutput)
{
    touch("24.12.2026 09ч 15м 30.mp3");
    touch("заметка.mp3");
    ASSERT_EQ(run({"--export-ics", "-"}), 0) << qPrintable(m_err);
    EXPECT_TRUE(m_out.startsWith("BEGIN:VCALENDAR\r\n"));
    EXPECT_EQ(m_out.count("BEGIN:VEVENT"), 1);

    const QString file = m_dir.filePath("tasks.ics");
    ASSERT_EQ(run({"--export-ics", file}), 0);
    QFile ics(file);
    ASSERT_TRUE(ics.open(QIODevice::ReadOnly));
    EXPECT_EQ(ics.readAll().count("BEGIN:VEVENT"), 1);

    // A file that cannot be written is the program's failure, not a wrong command.
    EXPECT_EQ(run({"--export-ics", m_dir.filePath("no/such/folder/tasks.ics")}),
              CommandLine::Failure);
    EXPECT_TRUE(m_err.startsWith(QString::fromUtf8("Quillmur: не удалось записать")))
        << qPrintable(m_err);

    // Output that cannot be written is a failure too, whichever command wrote it.
    QFile full("/dev/full");
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    m_outDevice = &full;
    for (const QStringList& args :
         {QStringList{"--export-ics", "-"}, {"--list"}, {"--list", "--json"}, {"--get"}}) {
        EXPECT_EQ(run(args), CommandLine::Failure) << qPrintable(args.join(' '));
        EXPECT_EQ(m_err,
                  QString::fromUtf8("Quillmur: не удалось записать вывод: нет места на диске\n"));
    }
    m_outDevice = nullptr;

    // No task, no calendar: one with no event is not a calendar.
    QFile::remove(m_media + "24.12.2026 09ч 15м 30.mp3");
    EXPECT_EQ(run({"--export-ics", "-"}), CommandLine::UserError);
    EXPECT_TRUE(m_err.contains(QString::fromUtf8("нечего выгружать"))) << qPrintable(m_err);
    EXPECT_TRUE(m_out.isEmpty());
}

// A recording from elsewhere becomes a task like a recorded one: the name
// from the day, the time and the clock's seconds, the encoder's format, the
// comment as the comment field would hold it, nothing left in the scratch
// folder.
TEST_F(Cli, AddMakesATaskFromARecording)
{
    const QString wav = m_dir.filePath("stereo 44100.wav");
    ASSERT_TRUE(Mp3Fixture::writeFile(wav, stereoWav(44100, 2)));
    const QString mp3 = m_dir.filePath("elsewhere.mp3");
    ASSERT_EQ(Mp3Fixture::makeTask(mp3, 3, "old"), QString());
    const struct
    {
        QString input;
        QStringList comment;
        QString expectedComment;
        int seconds;
    } cases[] = {
        {wav,
         {"--comment", "Купить хлеб и молоко к ужину сегодня"},
         "Купить_хлеб_и_молоко_к_ужину_",
         2},
        {mp3, {}, "Без_комментарий.", 3},
        // Control characters never reach the tags: the field cannot type them.
        {wav, {"--comment", "Красный\x1b[31m\r\nтекст\x7f"}, "Красный[31mтекст", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        QDir(m_media).removeRecursively();
        QDir().mkpath(m_media);
        ASSERT_EQ(run(QStringList{"--add", c.input, "--at", "24.12.2026 09:15"} + c.comment), 0)
            << qPrintable(m_err);
        EXPECT_EQ(m_out, QString::fromUtf8("24.12.2026 09ч 15м 30.mp3\n"));
        const QString task = m_media + QString::fromUtf8("24.12.2026 09ч 15м 30.mp3");
        Mp3Info info;
        ASSERT_EQ(ReadMp3Info(task, info), Mp3Read::Ok);
        EXPECT_EQ(info.version, "MPEG 2.0");
        EXPECT_EQ(info.layer, "layer 3");
        EXPECT_EQ(info.bitrate, "48Kbit");
        EXPECT_EQ(info.frequency, "22050 Hz");
        EXPECT_EQ(info.mode, " Mono");
        EXPECT_EQ(info.length.toInt(), c.seconds);
        const auto tag = Id3v1Tag::read(task);
        ASSERT_TRUE(tag);
        EXPECT_EQ(tag->album, "Ola-Brenvik");
        EXPECT_EQ(tag->comment, c.expectedComment);
        EXPECT_EQ(QDir(m_scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList());
    }

    // Characters Windows-1251 lacks: "?" in ID3v1, as typed in the encoder's
    // ID3v2 comment whatever the caller's locale, and shown from there.
    {
        const QByteArray locale = qgetenv("LC_ALL");
        qputenv("LC_ALL", "C");
        QDir(m_media).removeRecursively();
        QDir().mkpath(m_media);
        const int status =
            run({"--add", wav, "--at", "24.12.2026 09:15", "--comment", "Полить ✿ цветы"});
        qputenv("LC_ALL", locale);
        ASSERT_EQ(status, 0) << qPrintable(m_err);
        const QString task = m_media + QString::fromUtf8("24.12.2026 09ч 15м 30.mp3");
        EXPECT_EQ(Id3v1Tag::read(task)->comment, QString::fromUtf8("Полить_?_цветы"));
        EXPECT_EQ(Id3v2Text::comment(Id3v2Text::tagOf(task)), QString::fromUtf8("Полить_✿_цветы"));
        EXPECT_EQ(listJson()[0].toObject()["comment"].toString(),
                  QString::fromUtf8("Полить_✿_цветы"));
        // One that disagrees (written by something else) is not believed.
        ASSERT_TRUE(
            Id3v1Patch::writeAlbumAndComment(task, "Ola-Brenvik", Cp1251::encode("Полить ? розы")));
        EXPECT_EQ(listJson()[0].toObject()["comment"].toString(),
                  QString::fromUtf8("Полить ? розы"));
    }

    // Any found in a file or a name are shown, not obeyed, by the plain list.
    const QString task = m_media + QString::fromUtf8("24.12.2026 09ч 15м 30.mp3");
    ASSERT_TRUE(Id3v1Patch::writeAlbumAndComment(task, "Ola-Brenvik", "a\tb\x1b[0m\r"));
    touch(QString::fromUtf8("заметка\x1b[2J\nx.mp3"));
    ASSERT_EQ(run({"--list"}), 0);
    const QStringList lines = m_out.split('\n');
    ASSERT_EQ(lines.size(), 5) << qPrintable(m_out);
    // Columns padded in characters, not bytes.
    EXPECT_EQ(lines[0], QString::fromUtf8("24.12.2026 09:15:30  позже     0:02  a\\tb\\x1b[0m\\r") +
                            QString(17, ' ') + QString::fromUtf8("  24.12.2026 09ч 15м 30.mp3"))
        << qPrintable(lines[0]);
    EXPECT_EQ(lines[3], QString::fromUtf8("  заметка\\x1b[2J\\nx.mp3"));
    QFile::remove(m_media + QString::fromUtf8("заметка\x1b[2J\nx.mp3"));

    // The name is taken: one retry 1010 ms later, with the clock's new second.
    ASSERT_EQ(run({"--add", wav, "--at", "24.12.2026 09:15"}), 0) << qPrintable(m_err);
    EXPECT_EQ(m_waits, QList<int>{1010});
    EXPECT_EQ(m_out, QString::fromUtf8("24.12.2026 09ч 15м 31.mp3\n"));

    // Today at a time already gone is a day the calendar accepts: due at once.
    ASSERT_EQ(run({"--add", wav, "--at", "07.12.2026 08:00"}), 0) << qPrintable(m_err);
    EXPECT_EQ(listJson()[0].toObject()["state"].toString(), "past");
}

TEST_F(Cli, AddRefusesWhatCannotBecomeATask)
{
    const QString wav = m_dir.filePath("note.wav");
    ASSERT_TRUE(Mp3Fixture::writeFile(wav, stereoWav(22050, 1)));
    const QString text = m_dir.filePath("note.txt");
    ASSERT_TRUE(Mp3Fixture::writeFile(text, "not a sound at all\n"));
    const QString empty = m_dir.filePath("empty.wav");
    ASSERT_TRUE(Mp3Fixture::writeFile(empty, stereoWav(22050, 0)));
    const QString noise = m_dir.filePath("noise.mp3"); // a frame sync and then rubbish
    ASSERT_TRUE(Mp3Fixture::writeFile(noise, QByteArray("\xff\xfb") + QByteArray(3000, '\x5a')));
    // Sound formats neither reader reads, known by their first bytes.
    const QString m4a = m_dir.filePath("voice.m4a");
    ASSERT_TRUE(Mp3Fixture::writeFile(m4a, QByteArray("\0\0\0\x20"
                                                      "ftypM4A ",
                                                      12) +
                                               QByteArray(3000, '\x5a')));
    const QString aac = m_dir.filePath("voice.aac"); // ADTS frames
    ASSERT_TRUE(Mp3Fixture::writeFile(aac, QByteArray::fromHex("fff150802e7ffc") +
                                               QByteArray(3000, '\x21')));

    const struct
    {
        QString input;
        const char* at;
        int status;
        const char* message;
    } cases[] = {
        {wav, "06.12.2026 23:59", 1, "Этот день уже прошел!!! (06.12.2026)"},
        {m_dir.filePath("missing.wav"), "24.12.2026 09:15", 1, "нет файла «"},
        {m_dir.path(), "24.12.2026 09:15", 1, "нет файла «"},
        {text, "24.12.2026 09:15", 1, "не звуковой файл"},
        {noise, "24.12.2026 09:15", 1, "не звуковой файл"},
        {empty, "24.12.2026 09:15", 1, "нет звука"},
        {m4a, "24.12.2026 09:15", 1, "этот звуковой формат не поддерживается"},
        {aac, "24.12.2026 09:15", 1, "этот звуковой формат не поддерживается"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(run({"--add", c.input, "--at", c.at}), c.status);
        EXPECT_TRUE(m_err.startsWith("Quillmur: ")) << qPrintable(m_err);
        EXPECT_TRUE(m_err.contains(QString::fromUtf8(c.message))) << qPrintable(m_err);
        EXPECT_EQ(m_err.count('\n'), 1);
        EXPECT_EQ(m_out, "");
    }
    EXPECT_EQ(media(), QStringList());
    EXPECT_EQ(QDir(m_scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

    // Without the encoder the program fails and says so; its job goes with
    // it (the sound is the user's own file), so trying again once the
    // encoder is back makes one task, not two.
    QFile::remove(m_program + "/lame");
    EXPECT_EQ(run({"--add", wav, "--at", "24.12.2026 09:15"}), CommandLine::Failure);
    EXPECT_TRUE(m_err.contains("lame")) << qPrintable(m_err);
    EXPECT_TRUE(m_err.contains("задание не создано")) << qPrintable(m_err);
    EXPECT_EQ(QDir(m_scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    ASSERT_TRUE(QFile::link(QStringLiteral(QUILL_LAME), m_program + "/lame"));
    EXPECT_EQ(run({"--add", wav, "--at", "24.12.2026 09:15"}), CommandLine::Ok);
    EXPECT_EQ(media(), QStringList{QString::fromUtf8("24.12.2026 09ч 15м 30.mp3")});

    // A scratch folder too full for the sound: the reason and the place,
    // and no half-written file left behind.
    int status = 0;
    {
        const FileSizeLimit full(4096);
        status = run({"--add", wav, "--at", "25.12.2026 09:15"});
    }
    EXPECT_EQ(status, CommandLine::Failure);
    EXPECT_TRUE(m_err.contains(QString::fromUtf8("файл слишком велик в ") + m_scratch.chopped(1)))
        << qPrintable(m_err);
    EXPECT_EQ(QDir(m_scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());

    // Made, but not quite as given: said on stderr, and still a success.
    QByteArray silence = stereoWav(22050, 1);
    silence.replace(44, silence.size() - 44, QByteArray(silence.size() - 44, '\0'));
    const QString quiet = m_dir.filePath("quiet.wav");
    ASSERT_TRUE(Mp3Fixture::writeFile(quiet, silence));
    EXPECT_EQ(run({"--add", quiet, "--at", "24.12.2026 09:15", "--comment",
                   "Позвонить ✿ в поликлинику и записаться"}),
              CommandLine::Ok);
    EXPECT_TRUE(m_err.contains(QString::fromUtf8("тишина"))) << qPrintable(m_err);
    EXPECT_TRUE(m_err.contains(QString::fromUtf8("обрезан до 29 знаков"))) << qPrintable(m_err);
    EXPECT_TRUE(m_err.contains(QString::fromUtf8("заменены на «?»"))) << qPrintable(m_err);
    ASSERT_EQ(run({"--add", wav, "--at", "24.12.2026 09:15", "--comment", "Коротко"}), 0);
    EXPECT_EQ(m_err, "");
    for (const QString& task : media())
        QFile::remove(m_media + task);
}
