#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <functional>
#include <optional>

class Clock;

// A reminder is one MP3 file in Media/ whose 25-character name carries its due
// moment: "DD.MM.YYYY HHч MMм SS.mp3". Quillmur writes these names and Vestrel
// reads them, so both go through this one place. All texts are built from
// numbers, never from the locale.
namespace TaskName {

constexpr int Length = 25;

// "7" -> "07", "0" -> "00", "12" -> "12". Texts that are not numbers are kept.
QString twoDigits(const QString& number);
QString twoDigits(int number);

// The number written by `count` ASCII digits at `pos` of `s`, for readers of
// the fixed positions of a name; false (value untouched) when any is not one.
bool digitsAt(QStringView s, int pos, int count, int* value);

// DD.MM.YYYY, as the readers write today's date when they compare.
QString dateText(const QDate& date);

// The 25-character name; the seconds come from the clock time `now`.
QString compose(const QString& day, const QString& month, int year, const QString& hourText,
                const QString& minuteText, const QTime& now);

// The bare name of the task being made: the last 25 characters of the field.
QString bareName(const QString& field);

struct Parsed
{
    QDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int dueSecondOfDay() const { return hour * 3600 + minute * 60 + second; }
    // The moment the task falls due, in local time (see localMoment).
    QDateTime moment() const;
};

// The local moment a clock on the wall shows as `date` `time`, as the due
// rule reads it: a time the spring clock change skips is the first moment
// after it that the clock shows; an hour that occurs twice means its first
// occurrence.
QDateTime localMoment(const QDate& date, const QTime& time);

// Reads the fixed positions of a task name. Anything that does not follow the
// format exactly (separators, marks, digits, a real calendar date, ".mp3" at
// the end) gives no value.
std::optional<Parsed> parse(const QString& name);

enum class Day { Past, Today, Tomorrow, Later };
Day classify(const QDate& due, const QDate& today);

// A task is due once its day has come and, on its own day, once the whole
// seconds since midnight reach its due second. Past days are always due.
bool isDue(const Parsed& task, const QDateTime& now);
// The same with the moment already split into its day and its whole seconds
// since midnight, for readers that judge many names against one moment.
bool isDue(const Parsed& task, const QDate& today, int secondOfDay);

// The inputs of a name being composed at confirmation.
struct Request
{
    QString day;
    QString month;
    int year = 0;
    QString hourText;
    QString minuteText;
};

// Appends a freshly composed name to `field` (the scratch path being built).
// When a file of that name already exists in `mediaDir`, waits through `wait`
// (1010 ms) and composes once more: the clock's seconds have moved on. There
// is exactly one retry; the second name is taken as it is.
QString appendWithRetry(const QString& field, const Request& request, const QString& mediaDir,
                        const Clock& clock, const std::function<void(int)>& wait);

} // namespace TaskName
