#include "repeatrule.h"

#include "taskname.h"

#include <QStringList>

namespace {

struct Word
{
    RepeatRule::Kind kind;
    const char* word;
    const char* rrule;
    const char* shown;
};

const Word kWords[] = {
    {RepeatRule::Kind::Daily, "daily", "FREQ=DAILY", "каждый день"},
    {RepeatRule::Kind::Weekdays, "weekdays", "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", "по будням"},
    {RepeatRule::Kind::Weekly, "weekly", "FREQ=WEEKLY", "каждую неделю"},
    {RepeatRule::Kind::Monthly, "monthly", "FREQ=MONTHLY", "каждый месяц"},
};

const Word& wordOf(RepeatRule::Kind kind)
{
    for (const Word& w : kWords) {
        if (w.kind == kind)
            return w;
    }
    return kWords[0];
}

// The day `day` of the month of `month`, or its last day.
QDate clamped(const QDate& month, int day)
{
    return QDate(month.year(), month.month(), qMin(day, month.daysInMonth()));
}

} // namespace

std::optional<RepeatRule> RepeatRule::fromWord(const QString& word)
{
    for (const Word& w : kWords) {
        if (word == QLatin1String(w.word))
            return RepeatRule{w.kind, 0};
    }
    return std::nullopt;
}

std::optional<RepeatRule> RepeatRule::fromText(const QString& text)
{
    const QString word = text.section(QLatin1Char(':'), 0, 0);
    std::optional<RepeatRule> rule = fromWord(word);
    if (!rule)
        return std::nullopt;
    if (text.contains(QLatin1Char(':'))) {
        bool ok = false;
        const int day = text.section(QLatin1Char(':'), 1).toInt(&ok);
        if (rule->kind != Kind::Monthly || !ok || day < 1 || day > 31)
            return std::nullopt;
        rule->monthDay = day;
    }
    return rule;
}

QString RepeatRule::word() const
{
    return QLatin1String(wordOf(kind).word);
}

QString RepeatRule::text() const
{
    if (kind == Kind::Monthly && monthDay > 0)
        return word() + QLatin1Char(':') + QString::number(monthDay);
    return word();
}

QString RepeatRule::rrule() const
{
    if (kind == Kind::Monthly && monthDay > 28) {
        // The day, or the last one where the month is shorter: the latest
        // of the days from the 28th to it that the month has.
        QStringList days;
        for (int day = 28; day <= monthDay; ++day)
            days << QString::number(day);
        return QStringLiteral("FREQ=MONTHLY;BYMONTHDAY=%1;BYSETPOS=-1").arg(days.join(','));
    }
    return QLatin1String(wordOf(kind).rrule);
}

QString RepeatRule::shown() const
{
    return QString::fromUtf8(wordOf(kind).shown);
}

std::optional<QDateTime> RepeatRule::nextAfter(const QDate& dueDate, const QTime& dueTime,
                                               const QDateTime& now) const
{
    const int anchor = monthDay > 0 ? monthDay : dueDate.day();
    // The first candidate day: never before the note's own day, and not
    // more than a step before today (a note may have waited for months).
    QDate day = dueDate;
    const QDate today = now.date();
    switch (kind) {
    case Kind::Daily:
    case Kind::Weekdays:
        day = qMax(dueDate, today.addDays(-1));
        break;
    case Kind::Weekly:
        if (today > dueDate)
            day = dueDate.addDays((dueDate.daysTo(today) / 7) * 7 - 7);
        break;
    case Kind::Monthly:
        if (today > dueDate) {
            const int months =
                (today.year() - dueDate.year()) * 12 + today.month() - dueDate.month() - 1;
            day = clamped(QDate(dueDate.year(), dueDate.month(), 1).addMonths(qMax(0, months)),
                          anchor);
        }
        break;
    }
    for (int step = 0; step < 400 && day.isValid() && day.year() <= 9999; ++step) {
        const bool counts = kind != Kind::Weekdays || day.dayOfWeek() <= 5;
        if (counts) {
            const QDateTime moment = TaskName::localMoment(day, dueTime);
            if (moment > now)
                return moment;
        }
        switch (kind) {
        case Kind::Daily:
        case Kind::Weekdays:
            day = day.addDays(1);
            break;
        case Kind::Weekly:
            day = day.addDays(7);
            break;
        case Kind::Monthly:
            day = clamped(QDate(day.year(), day.month(), 1).addMonths(1), anchor);
            break;
        }
    }
    return std::nullopt;
}
