#include "duescan.h"

#include "clock.h"
#include "folderlisting.h"
#include "taskname.h"

DueScan::DueScan(const Clock& clock) : m_clock(clock) {}

ScanResult DueScan::ScanDueTasks(const QString& folder, const QString& pattern) const
{
    ScanResult result;
    // One reading of the clock for the whole pass: every name is judged
    // against the same moment.
    const QDateTime now = m_clock.now();
    const FolderListing::Result listing = FolderListing::list(folder, pattern);
    result.folderReadable = listing.readable;
    for (const FolderListing::Entry& e : listing.entries) {
        ++result.scanned;
        // A name that is not UTF-8 is shown with replacement characters; what
        // it says cannot be trusted, so it is reported rather than read.
        const Due due = e.exactName ? CheckDueTime(e.name, now) : Due::BadName;
        if (due == Due::Yes)
            result.alert = true;
        else if (due == Due::BadName)
            ++result.badNames;
    }
    return result;
}

std::optional<TaskName::Parsed> DueScan::dueMoment(const QString& name)
{
    int d, mo, y;
    TaskName::Parsed p;
    // The date text is read as DD.MM.YYYY, its full stops included.
    if (name.size() < 21 || name.at(2) != QLatin1Char('.') || name.at(5) != QLatin1Char('.') ||
        !TaskName::digitsAt(name, 0, 2, &d) || !TaskName::digitsAt(name, 3, 2, &mo) ||
        !TaskName::digitsAt(name, 6, 4, &y) || !TaskName::digitsAt(name, 11, 2, &p.hour) ||
        !TaskName::digitsAt(name, 15, 2, &p.minute) || !TaskName::digitsAt(name, 19, 2, &p.second))
        return std::nullopt;
    p.date = QDate(y, mo, d);
    if (!p.date.isValid() || !QTime::isValid(p.hour, p.minute, p.second))
        return std::nullopt;
    return p;
}

DueScan::Due DueScan::CheckDueTime(const QString& name, const QDateTime& now)
{
    const auto task = dueMoment(name);
    if (!task)
        return Due::BadName;
    return TaskName::isDue(*task, now) ? Due::Yes : Due::No;
}
