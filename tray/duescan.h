#pragma once

#include <QDateTime>
#include <QString>

class Clock;

// What one pass over Media/ found.
struct ScanResult
{
    bool alert = false; // at least one task is due
    int badNames = 0;   // names that match the pattern but are no task names
    int scanned = 0;    // names looked at
};

// The watcher's scan of the task folder: reads names only, never opens,
// renames or deletes a file. A name that does not follow the task format is
// counted and passed over, so one stray file cannot hide the due tasks listed
// after it.
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
    static Due CheckDueTime(const QString& name, const QDateTime& now);

private:
    const Clock& m_clock;
};
