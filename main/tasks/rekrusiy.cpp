#include "rekrusiy.h"

#include "clock.h"
#include "folderlisting.h"
#include "taskname.h"

#include <QStringDecoder>

#include <algorithm>
#include <vector>

namespace Rekrusiy {

namespace {

// Every filter shares this frame; `keep` is its test.
template <typename Test>
void fill(const QStringList& names, int& count, QStringList& lines, Test keep)
{
    for (const QString& name : names) {
        ++count;
        if (keep(name))
            lines.append(name);
    }
}

// A character as case-insensitive comparisons see it (not a surrogate).
char16_t folded(char16_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
    return char16_t(QChar::toCaseFolded(char32_t(c)));
}

} // namespace

Listing list(const QString& folder, const QString& pattern)
{
    // Normal files only; a name that is not UTF-8 is listed with replacement
    // characters, so the user can see and delete it.
    //
    // Years of notes are tens of thousands of names. Their texts go into one
    // buffer and the sort folds only the first characters that differ, where
    // QString::compare folds every one; the texts are made in list order at
    // the end, so whoever walks the list walks memory in order too. The order
    // is exactly QString::compare's, ignoring case, then with case.
    struct Span
    {
        quint32 at = 0, size = 0;
    };
    Listing out;
    std::vector<char16_t> text;
    std::vector<Span> spans;
    QStringDecoder utf8(QStringDecoder::Utf8);
    FolderListing::forEachName(
        folder, pattern,
        [&](const FolderListing::Name& n) {
            const size_t at = text.size();
            if (n.text) {
                text.insert(text.end(), n.text->utf16(), n.text->utf16() + n.text->size());
            } else {
                // Plain UTF-8: never more UTF-16 units than bytes.
                text.resize(at + size_t(n.bytes.size()) + 1);
                const QChar* end =
                    utf8.appendToBuffer(reinterpret_cast<QChar*>(text.data() + at), n.bytes);
                text.resize(size_t(reinterpret_cast<const char16_t*>(end) - text.data()));
            }
            spans.push_back({quint32(at), quint32(text.size() - at)});
        },
        &out.throughLinks);

    const auto view = [&](const Span& s) {
        return QStringView(text.data() + s.at, qsizetype(s.size));
    };
    std::vector<quint32> order(spans.size());
    for (quint32 i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](quint32 i, quint32 j) {
        const Span& a = spans[i];
        const Span& b = spans[j];
        const char16_t* x = text.data() + a.at;
        const char16_t* y = text.data() + b.at;
        const quint32 n = std::min(a.size, b.size);
        int c = 0;
        for (quint32 k = 0; k < n && c == 0; ++k) {
            if (x[k] == y[k])
                continue;
            if (QChar::isSurrogate(x[k]) || QChar::isSurrogate(y[k])) {
                c = view(a).compare(view(b), Qt::CaseInsensitive);
                break;
            }
            c = int(folded(x[k])) - int(folded(y[k]));
        }
        if (c == 0)
            c = int(a.size) - int(b.size);
        if (c != 0)
            return c < 0;
        return view(a) < view(b);
    });
    out.names.reserve(qsizetype(order.size()));
    for (const quint32 i : order)
        out.names.append(view(spans[i]).toString());
    return out;
}

QStringList enumerate(const QString& folder, const QString& pattern)
{
    return list(folder, pattern).names;
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

void FillAll(const QStringList& names, int& count, QStringList& lines)
{
    count += int(names.size());
    lines.append(names);
}

void FillToday(const QStringList& names, int& count, const Clock& clock, QStringList& lines)
{
    const QString today = TaskName::dateText(clock.now().date());
    fill(names, count, lines, [&](const QString& name) { return name.left(10) == today; });
}

void FillTomorrow(const QStringList& names, int& count, const Clock& clock, QStringList& lines)
{
    const QDate today = clock.now().date();
    fill(names, count, lines, [&](const QString& name) {
        const auto date = dateOf(name);
        return date && today.daysTo(*date) == 1;
    });
}

void FillPast(const QStringList& names, int& count, const Clock& clock, QStringList& lines)
{
    // One reading of the clock for the whole list, so a list built across a
    // second (or midnight) boundary is still consistent.
    const QDateTime now = clock.now();
    const QString today = TaskName::dateText(now.date());
    fill(names, count, lines, [&](const QString& name) {
        if (name.left(10) == today)
            return AddIfDue(name, now);
        const auto date = dateOf(name);
        return date && now.date().daysTo(*date) < 0;
    });
}

void FillAll(const QString& folder, int& count, const QString& pattern, QStringList& lines)
{
    FillAll(enumerate(folder, pattern), count, lines);
}

void FillToday(const QString& folder, int& count, const QString& pattern, const Clock& clock,
               QStringList& lines)
{
    FillToday(enumerate(folder, pattern), count, clock, lines);
}

void FillTomorrow(const QString& folder, int& count, const QString& pattern, const Clock& clock,
                  QStringList& lines)
{
    FillTomorrow(enumerate(folder, pattern), count, clock, lines);
}

void FillPast(const QString& folder, int& count, const QString& pattern, const Clock& clock,
              QStringList& lines)
{
    FillPast(enumerate(folder, pattern), count, clock, lines);
}

} // namespace Rekrusiy
