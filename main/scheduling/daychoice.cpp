#include "daychoice.h"

#include "clock.h"

#include <QDate>

DayChoice::DayChoice(const Clock& clock) : m_clock(clock) {}

QString DayChoice::monthName(int month)
{
    static const char* const kNames[] = {"Января",   "Февраля", "Марта",  "Апреля",
                                         "Мая",      "Июня",    "Июля",   "Августа",
                                         "Сентября", "Октября", "Ноября", "Декабря"};
    if (month < 1 || month > 12)
        return {};
    return QString::fromUtf8(kNames[month - 1]);
}

QString DayChoice::caption(int day, int month, int year)
{
    return QStringLiteral("  ") + QString::number(day) + QStringLiteral("  ") + monthName(month) +
           QStringLiteral("  ") + QString::number(year) + QStringLiteral(" года");
}

DayChoice::Outcome DayChoice::choose(int day, int month, int year)
{
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1)
        return Outcome::Invalid;
    if (m_clock.now().date().daysTo(date) < 0)
        return Outcome::Past;
    m_caption = caption(day, month, year);
    m_day = QString::asprintf("%02d", day);
    m_month = QString::asprintf("%02d", month);
    m_year = year;
    return Outcome::Accepted;
}
