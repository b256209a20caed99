#include "taskname.h"

#include "clock.h"

#include <QFileInfo>

namespace TaskName {

namespace {
const QChar kHourMark(0x0447);   // ч
const QChar kMinuteMark(0x043C); // м
} // namespace

QString twoDigits(int number)
{
    return number >= 0 && number < 10 ? QStringLiteral("0") + QString::number(number)
                                      : QString::number(number);
}

bool digitsAt(QStringView s, int pos, int count, int* value)
{
    if (pos < 0 || pos + count > s.size())
        return false;
    int v = 0;
    for (int i = pos; i < pos + count; ++i) {
        const QChar c = s.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
    }
    *value = v;
    return true;
}

QString twoDigits(const QString& number)
{
    bool ok = false;
    const int v = number.trimmed().toInt(&ok);
    return ok ? twoDigits(v) : number;
}

QString dateText(const QDate& date)
{
    return twoDigits(date.day()) + QLatin1Char('.') + twoDigits(date.month()) + QLatin1Char('.') +
           QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString compose(const QString& day, const QString& month, int year, const QString& hourText,
                const QString& minuteText, const QTime& now)
{
    return day + QLatin1Char('.') + month + QLatin1Char('.') +
           QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')) + QLatin1Char(' ') +
           twoDigits(hourText) + kHourMark + QLatin1Char(' ') + twoDigits(minuteText) +
           kMinuteMark + QLatin1Char(' ') + twoDigits(now.second()) + QStringLiteral(".mp3");
}

QString bareName(const QString& field)
{
    return field.right(Length);
}

std::optional<Parsed> parse(const QString& name)
{
    if (name.size() != Length)
        return std::nullopt;
    if (name.at(2) != QLatin1Char('.') || name.at(5) != QLatin1Char('.') ||
        name.at(10) != QLatin1Char(' ') || name.at(13) != kHourMark ||
        name.at(14) != QLatin1Char(' ') || name.at(17) != kMinuteMark ||
        name.at(18) != QLatin1Char(' ') || name.mid(21) != QLatin1String(".mp3"))
        return std::nullopt;
    int d, m, y;
    Parsed p;
    if (!digitsAt(name, 0, 2, &d) || !digitsAt(name, 3, 2, &m) || !digitsAt(name, 6, 4, &y) ||
        !digitsAt(name, 11, 2, &p.hour) || !digitsAt(name, 15, 2, &p.minute) ||
        !digitsAt(name, 19, 2, &p.second))
        return std::nullopt;
    if (p.hour > 23 || p.minute > 59 || p.second > 59)
        return std::nullopt;
    p.date = QDate(y, m, d);
    if (!p.date.isValid())
        return std::nullopt;
    return p;
}

Day classify(const QDate& due, const QDate& today)
{
    const qint64 diff = today.daysTo(due);
    if (diff < 0)
        return Day::Past;
    if (diff == 0)
        return Day::Today;
    if (diff == 1)
        return Day::Tomorrow;
    return Day::Later;
}

QDateTime localMoment(const QDate& date, const QTime& time)
{
    QDateTime moment(date, time);
    if (!moment.isValid()) {
        // Clock changes happen on whole minutes: the next minute the clock
        // shows that day.
        for (QTime t(time.hour(), time.minute()); !moment.isValid();) {
            t = t.addSecs(60);
            if (t < time)
                break; // past midnight: no such zone
            moment = QDateTime(date, t);
        }
        return moment;
    }
    for (const int back : {3600, 1800, 7200}) {
        const QDateTime earlier = moment.addSecs(-back);
        if (earlier.date() == date && earlier.time() == time)
            return earlier;
    }
    return moment;
}

QDateTime Parsed::moment() const
{
    return localMoment(date, QTime(hour, minute, second));
}

bool isDue(const Parsed& task, const QDateTime& now)
{
    return isDue(task, now.date(), now.time().msecsSinceStartOfDay() / 1000);
}

bool isDue(const Parsed& task, const QDate& today, int secondOfDay)
{
    switch (classify(task.date, today)) {
    case Day::Past:
        return true;
    case Day::Today:
        return secondOfDay >= task.dueSecondOfDay();
    default:
        return false;
    }
}

QString appendWithRetry(const QString& field, const Request& r, const QString& mediaDir,
                        const Clock& clock, const std::function<void(int)>& wait)
{
    const auto make = [&] {
        return compose(r.day, r.month, r.year, r.hourText, r.minuteText, clock.now().time());
    };
    QString result = field + make();
    if (QFileInfo::exists(mediaDir + QLatin1Char('/') + bareName(result))) {
        wait(1010);
        result += make();
    }
    return result;
}

} // namespace TaskName
