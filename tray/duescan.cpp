#include "duescan.h"

#include "clock.h"
#include "folderlisting.h"
#include "taskname.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The date and time positions end at character 21 (counted in UTF-16 units,
// as a QString counts them).
constexpr int kPositions = 21;

// Decodes valid UTF-8 (without a byte order mark in front) until `max` UTF-16 units are out (one
// more when the last character needs a surrogate pair); returns how many were written.
int decodeHead(QByteArrayView utf8, char16_t* out, int max)
{
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const qsizetype n = utf8.size();
    qsizetype i = 0;
    int k = 0;
    while (i < n && k < max) {
        const unsigned c = s[i];
        char32_t u;
        if (c < 0x80) {
            out[k++] = char16_t(c);
            ++i;
            continue;
        }
        if (c < 0xE0) {
            u = ((c & 0x1F) << 6) | (s[i + 1] & 0x3F);
            i += 2;
        } else if (c < 0xF0) {
            u = ((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            i += 3;
        } else {
            u = ((c & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6) |
                (s[i + 3] & 0x3F);
            i += 4;
        }
        if (u >= 0x10000) {
            out[k++] = char16_t(0xD800 + ((u - 0x10000) >> 10));
            out[k++] = char16_t(0xDC00 + ((u - 0x10000) & 0x3FF));
        } else {
            out[k++] = char16_t(u);
        }
    }
    return k;
}

} // namespace

DueScan::DueScan(const Clock& clock) : m_clock(clock) {}

ScanResult DueScan::ScanDueTasks(const QString& folder, const QString& pattern) const
{
    ScanResult result;
    // One reading of the clock for the whole pass: every name is judged
    // against the same moment.
    const QDateTime now = m_clock.now();
    const QDate today = now.date();
    const int secondOfDay = now.time().msecsSinceStartOfDay() / 1000;
    result.folderReadable =
        FolderListing::forEachName(folder, pattern, [&](const FolderListing::Name& n) {
            ++result.scanned;
            // A name that is not UTF-8 would be shown with replacement
            // characters; what it says cannot be trusted, so it is reported
            // rather than read.
            const Due due = !n.exactName ? Due::BadName
                            : n.text     ? CheckDueTime(*n.text, now)
                                         : CheckDueBytes(n.bytes, today, secondOfDay);
            if (due == Due::Yes)
                result.alert = true;
            else if (due == Due::BadName)
                ++result.badNames;
        });
    return result;
}

std::optional<TaskName::Parsed> DueScan::dueMoment(QStringView name)
{
    int d, mo, y;
    TaskName::Parsed p;
    // The date text is read as DD.MM.YYYY, its full stops included.
    if (name.size() < kPositions || name.at(2) != QLatin1Char('.') ||
        name.at(5) != QLatin1Char('.') || !TaskName::digitsAt(name, 0, 2, &d) ||
        !TaskName::digitsAt(name, 3, 2, &mo) || !TaskName::digitsAt(name, 6, 4, &y) ||
        !TaskName::digitsAt(name, 11, 2, &p.hour) || !TaskName::digitsAt(name, 15, 2, &p.minute) ||
        !TaskName::digitsAt(name, 19, 2, &p.second))
        return std::nullopt;
    p.date = QDate(y, mo, d);
    if (!p.date.isValid() || !QTime::isValid(p.hour, p.minute, p.second))
        return std::nullopt;
    return p;
}

DueScan::Due DueScan::CheckDueTime(QStringView name, const QDateTime& now)
{
    const auto task = dueMoment(name);
    if (!task)
        return Due::BadName;
    return TaskName::isDue(*task, now) ? Due::Yes : Due::No;
}

DueScan::Due DueScan::CheckDueBytes(QByteArrayView utf8Name, const QDate& today, int secondOfDay)
{
    char16_t head[kPositions + 1];
    const int n = decodeHead(utf8Name, head, kPositions);
    const auto task = dueMoment(QStringView(head, n));
    if (!task)
        return Due::BadName;
    return TaskName::isDue(*task, today, secondOfDay) ? Due::Yes : Due::No;
}

QStringList DueScan::dueNames(const QString& folder, const QDateTime& now, int max)
{
    std::vector<std::pair<QDateTime, QString>> due;
    FolderListing::forEachName(folder, taskPattern(), [&](const FolderListing::Name& n) {
        if (!n.exactName)
            return;
        QString name = n.text ? *n.text : QString::fromUtf8(n.bytes);
        const auto task = dueMoment(name);
        if (task && TaskName::isDue(*task, now))
            due.emplace_back(task->moment(), std::move(name));
    });
    std::sort(due.begin(), due.end());
    QStringList names;
    for (const auto& [moment, name] : due) {
        if (max > 0 && names.size() == max)
            break;
        names << name;
    }
    return names;
}
