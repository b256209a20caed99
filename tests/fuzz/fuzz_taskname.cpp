// Task names come from whatever files a user drops into Media/: parsing must
// never crash, and every name it accepts must compose back to itself.
#include "taskname.h"

#include <QDateTime>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const auto parsed = TaskName::parse(name);
    if (!parsed)
        return 0;
    const QString again = TaskName::compose(
        TaskName::twoDigits(parsed->date.day()), TaskName::twoDigits(parsed->date.month()),
        parsed->date.year(), QString::number(parsed->hour), QString::number(parsed->minute),
        QTime(0, 0, parsed->second));
    if (again != name)
        std::abort();
    const QDateTime now(QDate(2026, 12, 7), QTime(14, 30, 0));
    (void)TaskName::isDue(*parsed, now);
    return 0;
}
