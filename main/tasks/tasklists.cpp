#include "tasklists.h"

#include "rekrusiy.h"

namespace TaskLists {

const Kind* kind(int index)
{
    static const Kind kinds[kCount] = {
        {QStringLiteral(" Прошедшие"), QStringLiteral("Прошедшие задачи - ")},
        {QStringLiteral("Текущие"), QStringLiteral("Всего задач на сегодня - ")},
        {QStringLiteral("На завтра"), QStringLiteral("Всего задач на завтра - ")},
        {QStringLiteral(" Все задачи"), QStringLiteral("Всего задач-")},
    };
    return index >= 0 && index < kCount ? &kinds[index] : nullptr;
}

QStringList build(int index, const QString& mediaFolder, const Clock& clock)
{
    return kind(index) ? select(index, Rekrusiy::enumerate(mediaFolder, kPattern), clock)
                       : QStringList();
}

QStringList select(int index, const QStringList& names, const Clock& clock)
{
    QStringList lines;
    int count = 0; // the filters count what they visit; nobody reads it
    switch (index) {
    case 0:
        Rekrusiy::FillPast(names, count, clock, lines);
        break;
    case 1:
        Rekrusiy::FillToday(names, count, clock, lines);
        break;
    case 2:
        Rekrusiy::FillTomorrow(names, count, clock, lines);
        break;
    case 3:
        Rekrusiy::FillAll(names, count, lines);
        break;
    default:
        break;
    }
    return lines;
}

} // namespace TaskLists
