#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// How a note repeats. A one-time note has no rule; a repeating one keeps its
// rule in its own file (the ID3v2 tag), so that a copy keeps it too. Its
// name still holds its next moment, and the watch treats it as any other.
struct RepeatRule
{
    enum class Kind { Daily, Weekdays, Weekly, Monthly };
    // The description of the ID3v2 user-defined text frame that keeps it.
    static constexpr const char* FrameName = "QUILLMUR_REPEAT";
    Kind kind = Kind::Daily;
    // Monthly: the day of the month it was made for (1-31); a shorter month
    // gets its last day, and the next one the day again.
    int monthDay = 0;

    // "daily", "weekdays", "weekly", "monthly" as the command line takes
    // them; no value for anything else.
    static std::optional<RepeatRule> fromWord(const QString& word);
    // The text kept in the file: the word, and for a monthly rule its day
    // ("monthly:31"). No value for a text that is no rule (a damaged frame).
    static std::optional<RepeatRule> fromText(const QString& text);
    QString word() const;
    QString text() const;
    // "FREQ=DAILY", "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", ... for a calendar.
    QString rrule() const;
    // How the lists say it: "каждый день", "по будням", ...
    QString shown() const;

    // The first moment after `now` at which the note falls due again, at the
    // time of day of `due` (its current moment, as its name gives it), read
    // on the local clock as the due rule reads it. No value past the year 9999.
    std::optional<QDateTime> nextAfter(const QDate& dueDate, const QTime& dueTime,
                                       const QDateTime& now) const;

    bool operator==(const RepeatRule& other) const
    {
        return kind == other.kind && monthDay == other.monthDay;
    }
};
