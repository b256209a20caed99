// When a repeating note falls due again: the rules through month ends, leap
// days, the clock changes and a year end, and the texts kept in the file.
#include "localzone.h"
#include "repeatrule.h"

#include <gtest/gtest.h>

namespace {

QDateTime at(int y, int mo, int d, int h, int mi)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi));
}

TEST(RepeatRule, NextMomentAfterNow)
{
    const LocalZone berlin("Europe/Berlin");
    const struct
    {
        const char* what;
        const char* rule;
        QDateTime due; // the moment its name gives
        QDateTime now;
        QDateTime next;
    } cases[] = {
        {"daily, just done", "daily", at(2026, 12, 7, 9, 0), at(2026, 12, 7, 9, 30),
         at(2026, 12, 8, 9, 0)},
        {"daily, waited for months", "daily", at(2026, 1, 1, 9, 0), at(2026, 12, 7, 8, 0),
         at(2026, 12, 7, 9, 0)},
        {"daily, across the year end", "daily", at(2026, 12, 31, 23, 30), at(2026, 12, 31, 23, 45),
         at(2027, 1, 1, 23, 30)},
        {"weekdays, Friday to Monday", "weekdays", at(2026, 12, 11, 9, 0), at(2026, 12, 11, 9, 5),
         at(2026, 12, 14, 9, 0)},
        {"weekdays, done on Sunday", "weekdays", at(2026, 12, 11, 9, 0), at(2026, 12, 13, 20, 0),
         at(2026, 12, 14, 9, 0)},
        {"weekly, the same weekday", "weekly", at(2026, 12, 8, 7, 0), at(2026, 12, 8, 8, 0),
         at(2026, 12, 15, 7, 0)},
        {"weekly, weeks late", "weekly", at(2026, 11, 3, 7, 0), at(2026, 12, 9, 12, 0),
         at(2026, 12, 15, 7, 0)},
        {"weekly, late on its own weekday", "weekly", at(2026, 11, 3, 7, 0), at(2026, 12, 8, 6, 0),
         at(2026, 12, 8, 7, 0)},
        {"monthly, the 31st to February's end", "monthly:31", at(2027, 1, 31, 10, 0),
         at(2027, 1, 31, 11, 0), at(2027, 2, 28, 10, 0)},
        {"monthly, back to the 31st", "monthly:31", at(2027, 2, 28, 10, 0), at(2027, 2, 28, 11, 0),
         at(2027, 3, 31, 10, 0)},
        {"monthly, a leap day", "monthly:29", at(2028, 1, 29, 10, 0), at(2028, 1, 29, 12, 0),
         at(2028, 2, 29, 10, 0)},
        {"monthly without its day: the name's", "monthly", at(2027, 4, 15, 10, 0),
         at(2027, 6, 20, 10, 0), at(2027, 7, 15, 10, 0)},
        {"a time the spring change skips", "daily", at(2027, 3, 27, 2, 30), at(2027, 3, 27, 3, 0),
         at(2027, 3, 28, 3, 0)},
        {"the hour that occurs twice: its first", "daily", at(2027, 10, 30, 2, 30),
         at(2027, 10, 30, 3, 0), QDateTime(QDate(2027, 10, 31), QTime(0, 30), Qt::UTC)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto rule = RepeatRule::fromText(c.rule);
        ASSERT_TRUE(rule);
        const auto next = rule->nextAfter(c.due.date(), c.due.time(), c.now);
        ASSERT_TRUE(next);
        EXPECT_EQ(next->toUTC(), c.next.toUTC()) << qPrintable(next->toString());
        EXPECT_GT(*next, c.now);
    }
}

TEST(RepeatRule, TextsAndCalendarRules)
{
    const struct
    {
        const char* text;
        const char* rrule; // nullptr: not a rule
    } cases[] = {
        {"daily", "FREQ=DAILY"},
        {"weekdays", "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR"},
        {"weekly", "FREQ=WEEKLY"},
        {"monthly", "FREQ=MONTHLY"},
        {"monthly:15", "FREQ=MONTHLY"},
        {"monthly:30", "FREQ=MONTHLY;BYMONTHDAY=28,29,30;BYSETPOS=-1"},
        {"monthly:0", nullptr},
        {"monthly:32", nullptr},
        {"daily:3", nullptr},
        {"hourly", nullptr},
        {"", nullptr},
        {"Daily", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto rule = RepeatRule::fromText(c.text);
        ASSERT_EQ(bool(rule), c.rrule != nullptr);
        if (!rule)
            continue;
        EXPECT_EQ(rule->rrule(), c.rrule);
        EXPECT_EQ(RepeatRule::fromText(rule->text()), rule);
    }
    EXPECT_FALSE(RepeatRule::fromWord("monthly:31")); // the command line takes words only
}

} // namespace
