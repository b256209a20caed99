#include "taskcatalog.h"

#include "id3v1tag.h"
#include "leadingnumber.h"
#include "mp3inforeader.h"
#include "rekrusiy.h"
#include "tasklists.h"
#include "taskname.h"
#include "taskrepeat.h"

#include <algorithm>

namespace TaskCatalog {

QList<Entry> read(const QString& mediaFolder, const QDateTime& now)
{
    QList<Entry> tasks, bad;
    for (const QString& name : Rekrusiy::enumerate(mediaFolder, TaskLists::kPattern)) {
        Entry e;
        e.file = name;
        const QString path = mediaFolder + name;
        if (const auto tag = Id3v1Tag::read(path))
            e.comment = Id3v1Tag::shownComment(path, tag->comment);
        Mp3Info info;
        if (ReadMp3Info(path, info) == Mp3Read::Ok && !info.length.isEmpty())
            e.seconds = leadingNumber(info.length);
        const TaskRepeat::Found repeat = TaskRepeat::read(path);
        e.repeat = repeat.rule;
        e.repeatDamaged = repeat.damaged;
        const auto parsed = TaskName::parse(name);
        if (!parsed) {
            bad << e;
            continue;
        }
        e.due = parsed->moment();
        if (TaskName::isDue(*parsed, now))
            e.state = State::Past;
        else if (TaskName::classify(parsed->date, now.date()) == TaskName::Day::Today)
            e.state = State::Today;
        else
            e.state = State::Later;
        tasks << e;
    }
    // The enumeration is in name order already, so equal moments keep it.
    std::stable_sort(tasks.begin(), tasks.end(),
                     [](const Entry& a, const Entry& b) { return a.due < b.due; });
    return tasks + bad;
}

QString stateKey(State state)
{
    switch (state) {
    case State::Past:
        return QStringLiteral("past");
    case State::Today:
        return QStringLiteral("today");
    case State::Later:
        return QStringLiteral("later");
    case State::BadName:
        break;
    }
    return QStringLiteral("bad");
}

} // namespace TaskCatalog
