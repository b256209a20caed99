#include "rekrusiy.h"

#include "clock.h"
#include "folderlisting.h"
#include "taskname.h"

#include <algorithm>

namespace Rekrusiy {

namespace {

// Every filter shares this frame; `keep` is its test.
template <typename Test>
void fill(const QString& folder, int& count, const QString& pattern, QStringList& lines, Test keep)
{
    for (const QString& name : enumerate(folder, pattern)) {
        ++count;
        if (keep(name))
            lines.append(name);
    }
}

} // namespace

QStringList enumerate(const QString& folder, const QString& pattern)
{
    // Normal files only; a name that is not UTF-8 is listed with replacement
    // characters, so the user can see and delete it.
    QStringList names;
    for (const FolderListing::Entry& e : FolderListing::list(folder, pattern).entries)
        names.append(e.name);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

std::optional<QDate> dateOf(const QString& name)
{
    int d, m, y;
    if (name.size() < 10 || name.at(2) != QLatin1Char('.') || name.at(5) != QLatin1Char('.') ||
        !TaskName::digitsAt(name, 0, 2, &d) || !TaskName::digitsAt(name, 3, 2, &m) ||
        !TaskName::digitsAt(name, 6, 4, &y))
        return std::nullopt;
    const QDate date(y, m, d);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

bool AddIfDue(const QString& name, const QDateTime& now)
{
    int h, m, s;
    if (!TaskName::digitsAt(name, 11, 2, &h) || !TaskName::digitsAt(name, 15, 2, &m) ||
        !TaskName::digitsAt(name, 19, 2, &s))
        return false;
    const int due = h * 3600 + m * 60 + s;
    return now.time().msecsSinceStartOfDay() / 1000 >= due;
}

void FillAll(const QString& folder, int& count, const QString& pattern, QStringList& lines)
{
    fill(folder, count, pattern, lines, [](const QString&) { return true; });
}

void FillToday(const QString& folder, int& count, const QString& pattern, const Clock& clock,
               QStringList& lines)
{
    const QString today = TaskName::dateText(clock.now().date());
    fill(folder, count, pattern, lines,
         [&](const QString& name) { return name.left(10) == today; });
}

void FillTomorrow(const QString& folder, int& count, const QString& pattern, const Clock& clock,
                  QStringList& lines)
{
    const QDate today = clock.now().date();
    fill(folder, count, pattern, lines, [&](const QString& name) {
        const auto date = dateOf(name);
        return date && today.daysTo(*date) == 1;
    });
}

void FillPast(const QString& folder, int& count, const QString& pattern, const Clock& clock,
              QStringList& lines)
{
    // One reading of the clock for the whole list, so a list built across a
    // second (or midnight) boundary is still consistent.
    const QDateTime now = clock.now();
    const QString today = TaskName::dateText(now.date());
    fill(folder, count, pattern, lines, [&](const QString& name) {
        if (name.left(10) == today)
            return AddIfDue(name, now);
        const auto date = dateOf(name);
        return date && now.date().daysTo(*date) < 0;
    });
}

} // namespace Rekrusiy
