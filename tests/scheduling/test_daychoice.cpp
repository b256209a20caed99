#include "daychoice.h"
#include "loword.h"
#include "testclock.h"

#include <gtest/gtest.h>

namespace {
QDateTime at(int y, int m, int d, int hh = 10, int mm = 0, int ss = 0)
{
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss));
}
} // namespace

TEST(DayChoice, CaptionsWithGenitiveMonths)
{
    EXPECT_EQ(DayChoice::caption(5, 1, 2008), QStringLiteral("  5  Января  2008 года"));
    EXPECT_EQ(DayChoice::caption(20, 12, 2008), QStringLiteral("  20  Декабря  2008 года"));
    const char* const names[] = {"Января", "Февраля", "Марта",    "Апреля",  "Мая",    "Июня",
                                 "Июля",   "Августа", "Сентября", "Октября", "Ноября", "Декабря"};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(DayChoice::monthName(m), QString::fromUtf8(names[m - 1])) << m;
    EXPECT_TRUE(DayChoice::monthName(0).isEmpty());
    EXPECT_TRUE(DayChoice::monthName(13).isEmpty());
}

TEST(DayChoice, AcceptsTodayAndLaterWithTwoDigitTexts)
{
    TestClock clock(at(2008, 1, 5));
    DayChoice c(clock);
    const struct
    {
        int d, m, y;
        const char* day;
        const char* month;
        const char* caption;
    } cases[] = {
        {5, 1, 2008, "05", "01", "  5  Января  2008 года"},
        {20, 12, 2008, "20", "12", "  20  Декабря  2008 года"},
        {1, 1, 2009, "01", "01", "  1  Января  2009 года"},
    };
    for (const auto& k : cases) {
        ASSERT_EQ(c.choose(k.d, k.m, k.y), DayChoice::Outcome::Accepted) << k.caption;
        EXPECT_EQ(c.chosenDay(), QString::fromLatin1(k.day));
        EXPECT_EQ(c.chosenMonth(), QString::fromLatin1(k.month));
        EXPECT_EQ(c.chosenYear(), k.y);
        EXPECT_EQ(c.chosenCaption(), QString::fromUtf8(k.caption));
    }
}

TEST(DayChoice, PastDayRefusedThenFutureDayAccepted)
{
    TestClock clock(at(2008, 1, 5, 23, 59, 59));
    DayChoice c(clock);
    ASSERT_EQ(c.choose(5, 1, 2008), DayChoice::Outcome::Accepted);

    EXPECT_EQ(c.choose(4, 1, 2008), DayChoice::Outcome::Past); // yesterday
    EXPECT_EQ(c.chosenDay(), QStringLiteral("05"));
    EXPECT_EQ(c.chosenCaption(), QStringLiteral("  5  Января  2008 года"));

    // One second later it is the 6th: the 5th has become a past day.
    clock.advanceSeconds(1);
    EXPECT_EQ(c.choose(5, 1, 2008), DayChoice::Outcome::Past);
    EXPECT_EQ(c.choose(6, 1, 2008), DayChoice::Outcome::Accepted);
    EXPECT_EQ(c.choose(7, 2, 2008), DayChoice::Outcome::Accepted);
    EXPECT_EQ(c.chosenDay(), QStringLiteral("07"));
    EXPECT_EQ(c.chosenMonth(), QStringLiteral("02"));
}

TEST(DayChoice, YearStaysWithTheAcceptedDay)
{
    TestClock clock(at(2008, 12, 30));
    DayChoice c(clock);
    ASSERT_EQ(c.choose(31, 12, 2008), DayChoice::Outcome::Accepted);
    // The same day and month a year earlier is refused; the year that goes
    // into the task name is still the accepted one.
    EXPECT_EQ(c.choose(31, 12, 2007), DayChoice::Outcome::Past);
    EXPECT_EQ(c.chosenYear(), 2008);
}

TEST(DayChoice, NoDateFromAGoneCalendar)
{
    TestClock clock(at(2008, 1, 5));
    DayChoice c(clock);
    EXPECT_EQ(c.choose(0, 0, 0), DayChoice::Outcome::Invalid);
    EXPECT_FALSE(c.hasChoice());
    ASSERT_EQ(c.choose(20, 12, 2008), DayChoice::Outcome::Accepted);
    EXPECT_EQ(c.choose(31, 2, 2009), DayChoice::Outcome::Invalid);
    EXPECT_EQ(c.choose(0, 0, 0), DayChoice::Outcome::Invalid);
    EXPECT_EQ(c.chosenDay(), QStringLiteral("20"));
    EXPECT_EQ(c.chosenYear(), 2008);
}

TEST(LoWord, LowSixteenBitsSignExtended)
{
    const struct
    {
        quint32 in;
        qint16 out;
    } cases[] = {
        {0x0001FFFFu, -1},    {0x00010005u, 5}, {0x00008000u, -32768},
        {0x00007FFFu, 32767}, {0xFFFF0000u, 0}, {0x12348001u, -32767},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoWord(c.in), c.out) << std::hex << c.in;
}
