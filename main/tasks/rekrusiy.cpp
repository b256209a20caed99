#include "rekrusiy.h"

#include "clock.h"
#include "folderlisting.h"
#include "taskname.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>
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

// Grows a malloc'd array: large ones are moved by the kernel without a copy
// and without holding both at once, so years of names never need twice
// their memory on the way.
template <typename T, typename Size> void grow(T*& data, Size& capacity, size_t needed)
{
    if (needed <= capacity)
        return;
    const size_t wanted = std::max(needed, capacity < 256 ? size_t(256) : size_t(capacity) * 2);
    T* more = static_cast<T*>(std::realloc(data, wanted * sizeof(T)));
    if (!more || wanted > std::numeric_limits<Size>::max())
        throw std::bad_alloc();
    data = more;
    capacity = Size(wanted);
}

} // namespace

SortedNames::SortedNames(SortedNames&& other) noexcept
{
    *this = std::move(other);
}

SortedNames& SortedNames::operator=(SortedNames&& other) noexcept
{
    std::swap(m_text, other.m_text);
    std::swap(m_textSize, other.m_textSize);
    std::swap(m_textCapacity, other.m_textCapacity);
    std::swap(m_spans, other.m_spans);
    std::swap(m_count, other.m_count);
    std::swap(m_spanCapacity, other.m_spanCapacity);
    std::swap(throughLinks, other.throughLinks);
    return *this;
}

SortedNames::~SortedNames()
{
    std::free(m_text);
    std::free(m_spans);
}

QStringView SortedNames::at(quint32 i) const
{
    return QStringView(m_text + m_spans[i].at, qsizetype(m_spans[i].size));
}

SortedNames sortedNames(const QString& folder, const QString& pattern)
{
    // Normal files only; a name that is not UTF-8 is listed with replacement
    // characters, so the user can see and delete it.
    //
    // Years of notes are tens of thousands of names. Their texts go into one
    // buffer and the sort folds only the first characters that differ, where
    // QString::compare folds every one. The order is exactly
    // QString::compare's, ignoring case, then with case.
    SortedNames out;
    QStringDecoder utf8(QStringDecoder::Utf8);
    FolderListing::forEachName(
        folder, pattern,
        [&](const FolderListing::Name& n) {
            const size_t at = out.m_textSize;
            // Plain UTF-8 never takes more UTF-16 units than bytes.
            const size_t most = n.text ? size_t(n.text->size()) : size_t(n.bytes.size()) + 1;
            grow(out.m_text, out.m_textCapacity, at + most);
            grow(out.m_spans, out.m_spanCapacity, size_t(out.m_count) + 1);
            if (n.text) {
                std::copy(n.text->utf16(), n.text->utf16() + n.text->size(), out.m_text + at);
                out.m_textSize = at + size_t(n.text->size());
            } else {
                const QChar* end =
                    utf8.appendToBuffer(reinterpret_cast<QChar*>(out.m_text + at), n.bytes);
                out.m_textSize = size_t(reinterpret_cast<const char16_t*>(end) - out.m_text);
            }
            out.m_spans[out.m_count++] = {quint32(at), quint32(out.m_textSize - at)};
        },
        &out.throughLinks);

    const char16_t* text = out.m_text;
    const auto view = [text](const SortedNames::Span& s) {
        return QStringView(text + s.at, qsizetype(s.size));
    };
    std::sort(out.m_spans, out.m_spans + out.m_count,
              [&](const SortedNames::Span& a, const SortedNames::Span& b) {
                  const char16_t* x = text + a.at;
                  const char16_t* y = text + b.at;
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
    return out;
}

Listing list(const QString& folder, const QString& pattern)
{
    // The texts are made in list order, so whoever walks the list walks
    // memory in order too.
    const SortedNames sorted = sortedNames(folder, pattern);
    Listing out;
    out.throughLinks = sorted.throughLinks;
    out.names.reserve(qsizetype(sorted.size()));
    for (quint32 i = 0; i < sorted.size(); ++i)
        out.names.append(sorted.at(i).toString());
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
    if (lines.isEmpty())
        lines = names; // shared, not copied name by name
    else
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
