#pragma once

#include <QString>

class Clock;

// The rule of the calendar panel: a chosen day is accepted when it is today
// or later (by the injected clock); a past day is refused and the last
// accepted day stays. The accepted day, month and year are kept together, so
// a refused day in another year cannot lend the task its year.
class DayChoice
{
public:
    enum class Outcome { Accepted, Past, Invalid };

    explicit DayChoice(const Clock& clock);

    // Genitive month name, 1 = "Января" .. 12 = "Декабря"; empty out of range.
    static QString monthName(int month);
    // "  5  Января  2008 года": two spaces before the day, the month and the year.
    static QString caption(int day, int month, int year);

    // Offers the day d.m.y. A date that does not exist (a calendar that is
    // gone reads as zeros) is refused like a past day but without a warning.
    Outcome choose(int day, int month, int year);

    bool hasChoice() const { return m_year != 0; }
    // Two digits, "05"; empty before the first accepted day.
    QString chosenDay() const { return m_day; }
    QString chosenMonth() const { return m_month; }
    int chosenYear() const { return m_year; }
    QString chosenCaption() const { return m_caption; }

private:
    const Clock& m_clock;
    QString m_day;
    QString m_month;
    int m_year = 0;
    QString m_caption;
};
