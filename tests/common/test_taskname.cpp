#include "taskname.h"
#include "testclock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
QDateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}
} // namespace

TEST(TaskNameCompose, PadsFieldsAndAlwaysGivesTwentyFiveCharacters)
{
    struct Case
    {
        QString hour, minute;
        QTime now;
        QString expected;
    };
    const Case cases[] = {
        {"0", "0", QTime(10, 0, 0), "05.03.2027 00ч 00м 00.mp3"},
        {"7", "5", QTime(10, 0, 9), "05.03.2027 07ч 05м 09.mp3"},
        {"23", "59", QTime(23, 59, 59), "05.03.2027 23ч 59м 59.mp3"},
        {"09", "07", QTime(0, 0, 42), "05.03.2027 09ч 07м 42.mp3"},
    };
    for (const Case& c : cases) {
        const QString name = TaskName::compose("05", "03", 2027, c.hour, c.minute, c.now);
        EXPECT_EQ(name, c.expected);
        EXPECT_EQ(name.size(), TaskName::Length);
    }
    EXPECT_EQ(TaskName::bareName("/home/u/.cache/Quillmur/" + cases[1].expected),
              cases[1].expected);
}

TEST(TaskNameParse, ReadsFixedPositions)
{
    const auto p = TaskName::parse("31.12.2008 23ч 59м 05.mp3");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->date, QDate(2008, 12, 31));
    EXPECT_EQ(p->dueSecondOfDay(), 86345);

    const auto early = TaskName::parse("05.12.2008 09ч 30м 17.mp3");
    ASSERT_TRUE(early);
    EXPECT_EQ(early->dueSecondOfDay(), 9 * 3600 + 30 * 60 + 17);
}

TEST(TaskNameParse, RejectsEverythingElse)
{
    for (const char* bad : {
             "note.mp3",
             "note.mp3.bak",
             "",
             "31.12.2008 23ч 59м 05.mp3.bak", // a copy is not a task
             "31.12.2008 23h 59м 05.mp3",     // wrong hour mark
             "31/12/2008 23ч 59м 05.mp3",     // wrong separators
             "32.12.2008 23ч 59м 05.mp3",     // no such day
             "29.02.2027 10ч 00м 00.mp3",     // not a leap year
             "31.12.2008 24ч 00м 00.mp3",     // hour out of range
             "31.12.2008 23ч 60м 00.mp3",
             "31.12.2008 23ч 59м 60.mp3",
             "3a.12.2008 23ч 59м 05.mp3",
             "31.12.2008 23ч 59м 05.wav",
         })
        EXPECT_FALSE(TaskName::parse(QString::fromUtf8(bad))) << bad;
    EXPECT_TRUE(TaskName::parse("29.02.2028 10ч 00м 00.mp3"));
}

TEST(TaskNameClassify, DueRuleAroundTheDueSecondAndMidnight)
{
    const auto task = *TaskName::parse("07.12.2026 14ч 30м 05.mp3");
    EXPECT_FALSE(TaskName::isDue(task, at(2026, 12, 7, 14, 30, 4)));
    EXPECT_TRUE(TaskName::isDue(task, at(2026, 12, 7, 14, 30, 5)));
    // Milliseconds do not count: only whole seconds since midnight.
    EXPECT_FALSE(TaskName::isDue(task, QDateTime(QDate(2026, 12, 7), QTime(14, 30, 4, 999))));
    EXPECT_TRUE(TaskName::isDue(task, at(2026, 12, 8, 0, 0, 0))) << "yesterday's task is due";
    EXPECT_FALSE(TaskName::isDue(task, at(2026, 12, 6, 23, 59, 59))) << "tomorrow's task";

    const auto late = *TaskName::parse("07.12.2026 23ч 59м 30.mp3");
    EXPECT_FALSE(TaskName::isDue(late, at(2026, 12, 7, 23, 59, 29)));
    EXPECT_TRUE(TaskName::isDue(late, at(2026, 12, 7, 23, 59, 59)));
    EXPECT_TRUE(TaskName::isDue(late, at(2026, 12, 8, 0, 0, 0)));

    using TaskName::Day;
    const QDate today(2026, 12, 31);
    EXPECT_EQ(TaskName::classify(QDate(2026, 12, 30), today), Day::Past);
    EXPECT_EQ(TaskName::classify(QDate(2026, 12, 31), today), Day::Today);
    EXPECT_EQ(TaskName::classify(QDate(2027, 1, 1), today), Day::Tomorrow) << "across the year";
    EXPECT_EQ(TaskName::classify(QDate(2027, 1, 2), today), Day::Later);
    EXPECT_EQ(TaskName::dateText(QDate(2027, 1, 2)), "02.01.2027");
}

TEST(TaskNameRetry, TakenNameWaitsOnceAndComposesAgainOnce)
{
    // The clock moves on by a second during the wait. However many names are
    // taken, there is at most one wait of 1010 ms and one second name, used
    // without a further check.
    const struct
    {
        const char* what;
        QList<int> taken; // seconds of the names already in Media
        QList<int> waits;
        QString field;
    } cases[] = {
        {"free name", {}, {}, "/scratch/24.12.2026 07ч 05м 42.mp3"},
        {"taken name", {42}, {1010}, "/scratch/24.12.2026 07ч 05м 42.mp324.12.2026 07ч 05м 43.mp3"},
        {"the second name taken too",
         {42, 43},
         {1010},
         "/scratch/24.12.2026 07ч 05м 42.mp324.12.2026 07ч 05м 43.mp3"},
        {"a later name taken", {43}, {}, "/scratch/24.12.2026 07ч 05м 42.mp3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir media;
        ASSERT_TRUE(media.isValid());
        for (int second : c.taken) {
            QFile f(media.path() + QString("/24.12.2026 07ч 05м %1.mp3").arg(second));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        TestClock clock(at(2026, 12, 7, 14, 10, 42));
        QList<int> waits;
        const auto wait = [&](int ms) {
            waits << ms;
            clock.advanceSeconds(1);
        };
        const TaskName::Request req{"24", "12", 2026, "7", "5"};
        const QString field =
            TaskName::appendWithRetry("/scratch/", req, media.path(), clock, wait);
        EXPECT_EQ(waits, c.waits);
        EXPECT_EQ(field, c.field);
    }
}
