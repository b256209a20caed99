#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class Clock;

// The list filters of the task panel. Each enumerates one folder (no
// subfolders) with a wildcard pattern, ordinary files only (no folders, no
// hidden files), adds 1 to `count` for every name it visits and appends the
// names it keeps to `lines`. The result is in name order. Names that are not
// task names are kept by FillAll only, and by FillToday when they start with
// today's date: the date and time tests skip them.
namespace Rekrusiy {

// The names in `folder` matching `pattern` ("*.mp3*" matches note.mp3.bak
// too), in ascending text order.
QStringList enumerate(const QString& folder, const QString& pattern);
struct Listing
{
    QStringList names;         // as enumerate() gives them
    bool throughLinks = false; // some name's kind was looked up through a link
};
Listing list(const QString& folder, const QString& pattern);

// The same names held compactly: all their texts in one buffer, for a
// reader that goes through years of names once (the command line).
class SortedNames
{
public:
    SortedNames() = default;
    SortedNames(SortedNames&& other) noexcept;
    SortedNames& operator=(SortedNames&& other) noexcept;
    SortedNames(const SortedNames&) = delete;
    SortedNames& operator=(const SortedNames&) = delete;
    ~SortedNames();

    quint32 size() const { return m_count; }
    // Name `i` in list order; valid while this object lives.
    QStringView at(quint32 i) const;
    bool throughLinks = false; // as in Listing

private:
    friend SortedNames sortedNames(const QString& folder, const QString& pattern);
    struct Span
    {
        quint32 at, size;
    };
    char16_t* m_text = nullptr;
    size_t m_textSize = 0, m_textCapacity = 0;
    Span* m_spans = nullptr;
    quint32 m_count = 0, m_spanCapacity = 0;
};
SortedNames sortedNames(const QString& folder, const QString& pattern);

// The due date carried by the first ten characters (DD.MM.YYYY), if any.
std::optional<QDate> dateOf(const QString& name);

// A name dated today is due once the whole seconds since midnight reach its
// hour, minute and second fields. A name without readable fields never is.
bool AddIfDue(const QString& name, const QDateTime& now);

void FillAll(const QString& folder, int& count, const QString& pattern, QStringList& lines);
void FillToday(const QString& folder, int& count, const QString& pattern, const Clock& clock,
               QStringList& lines);
void FillTomorrow(const QString& folder, int& count, const QString& pattern, const Clock& clock,
                  QStringList& lines);
void FillPast(const QString& folder, int& count, const QString& pattern, const Clock& clock,
              QStringList& lines);

// The same filters over names already enumerated.
void FillAll(const QStringList& names, int& count, QStringList& lines);
void FillToday(const QStringList& names, int& count, const Clock& clock, QStringList& lines);
void FillTomorrow(const QStringList& names, int& count, const Clock& clock, QStringList& lines);
void FillPast(const QStringList& names, int& count, const Clock& clock, QStringList& lines);

} // namespace Rekrusiy
