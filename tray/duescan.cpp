#include "duescan.h"

#include "clock.h"
#include "taskname.h"

#include <QDirIterator>

DueScan::DueScan(const Clock& clock) : m_clock(clock) {}

ScanResult DueScan::ScanDueTasks(const QString& folder, const QString& pattern) const
{
    ScanResult result;
    // One reading of the clock for the whole pass: every name is judged
    // against the same moment.
    const QDateTime now = m_clock.now();
    // QDir::Files without QDir::Hidden: normal files only, as the task lists
    // of the main program see them. Name filters are case-insensitive.
    QDirIterator it(folder, QStringList{pattern}, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        ++result.scanned;
        switch (CheckDueTime(it.fileName(), now)) {
        case Due::Yes:
            result.alert = true;
            break;
        case Due::BadName:
            ++result.badNames;
            break;
        case Due::No:
            break;
        }
    }
    return result;
}

DueScan::Due DueScan::CheckDueTime(const QString& name, const QDateTime& now)
{
    const auto task = TaskName::parse(name);
    if (!task)
        return Due::BadName;
    return TaskName::isDue(*task, now) ? Due::Yes : Due::No;
}
