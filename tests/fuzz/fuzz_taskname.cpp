// Task names come from whatever files a user drops into Media/: parsing must
// never crash, every name it accepts must compose back to itself, and the
// watcher's reading of a name's bytes must agree with its reading of the text.
#include "duescan.h"
#include "taskname.h"

#include <QDateTime>
#include <QStringDecoder>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    // The watcher judges names from their bytes: it must read a name as its
    // text reads (valid UTF-8 without a byte order mark, as a folder gives it).
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError() && !bytes.startsWith("\xEF\xBB\xBF")) {
        const QDateTime at(QDate(2026, 12, 7), QTime(14, 30, 0));
        if (DueScan::CheckDueBytes(bytes, at.date(), 14 * 3600 + 30 * 60) !=
            DueScan::CheckDueTime(text, at))
            std::abort();
    }
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
