#pragma once

#include <QString>
#include <QStringList>

class Clock;

// The four lists of the task panel, in the order of their selector labels:
// past (overdue) tasks, today's, tomorrow's and all.
namespace TaskLists {

constexpr int kCount = 4;
inline const QString kPattern = QStringLiteral("*.mp3*");

struct Kind
{
    QString caption;      // selector label text, leading blanks included
    QString statusPrefix; // hint line text before the number of lines
};

// The kind at `index`; nullptr for an index outside 0..3.
const Kind* kind(int index);

// The lines of list `index` for the folder `mediaFolder` (ending in '/').
QStringList build(int index, const QString& mediaFolder, const Clock& clock);
// The same from the folder's names already enumerated (Rekrusiy::enumerate).
QStringList select(int index, const QStringList& names, const Clock& clock);

} // namespace TaskLists
