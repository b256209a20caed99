#pragma once

#include "taskname.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class Clock;

// What one pass over Media/ found.
struct ScanResult
{
    bool alert = false;         // at least one task is due
    int badNames = 0;           // names whose date and time cannot be read
    int scanned = 0;            // names looked at
    bool folderReadable = true; // false: Media/ is missing or cannot be read
};

// The watcher's scan of the task folder: reads names only, never opens,
// renames or deletes a file. Of a name only the date and time positions are
// read (1-10 the date DD.MM.YYYY, 12-13 hour, 16-17 minute, 20-21 second);
// whatever else it holds, "06.12.2026 09ч 00м 00.MP3" or a name going on
// after .mp3 is a task like any other. A name whose positions give no valid
// date and time, or whose bytes are not UTF-8, is a bad name: it is counted
// and passed over, so one stray file cannot hide the due tasks listed after
// it.
class DueScan
{
public:
    enum class Due { No, Yes, BadName };

    explicit DueScan(const Clock& clock);

    // Looks at every normal (not hidden) file of `folder` whose name matches
    // the wildcard `pattern`, in the order the file system gives them.
    ScanResult ScanDueTasks(const QString& folder, const QString& pattern) const;

    // The due rule for one name: due when its day is past, or when it is
    // today and the whole seconds since midnight have reached its due second.
    static Due CheckDueTime(QStringView name, const QDateTime& now);

    // The same rule for a name as the folder stores it (UTF-8 bytes, known
    // to be valid), against a moment split into its day and its whole
    // seconds since midnight. Builds no text: only the first characters,
    // as far as the time positions, are decoded.
    static Due CheckDueBytes(QByteArrayView utf8Name, const QDate& today, int secondOfDay);

    // The due date and time read from the name's date and time positions.
    static std::optional<TaskName::Parsed> dueMoment(QStringView name);

    // The names of the files the watch looks at.
    static QString taskPattern() { return QStringLiteral("*.mp3*"); }
    // The names of the tasks of `folder` that are due at `now` by the same
    // rule, the one due longest first (then by name); at most `max` of them
    // (all when 0). Bad names are passed over.
    static QStringList dueNames(const QString& folder, const QDateTime& now, int max = 0);

private:
    const Clock& m_clock;
};
