#include "taskrepeat.h"

#include "id3v2text.h"
#include "notefile.h"
#include "taskname.h"

#include <QFile>

namespace TaskRepeat {

namespace {

// The ID3v2 tag at the head of the file when it may hold the frame: its
// name appears in the tag's bytes; else nothing.
QByteArray tagWithFrame(const QString& path)
{
    QByteArray tag = Id3v2Text::tagOf(path);
    return tag.indexOf(FrameName, 10) >= 0 ? tag : QByteArray();
}

} // namespace

Found read(const QString& path)
{
    Found found;
    const QByteArray tag = tagWithFrame(path);
    if (tag.isEmpty())
        return found;
    const std::optional<QString> text = Id3v2Text::userText(tag, QString::fromLatin1(FrameName));
    if (!text)
        return found;
    found.rule = RepeatRule::fromText(*text);
    found.damaged = !found.rule;
    return found;
}

std::optional<QString> moveToNext(const QString& mediaFolder, const QString& file,
                                  const RepeatRule& rule, const QDateTime& now, QString* error)
{
    const std::optional<TaskName::Parsed> task = TaskName::parse(file);
    if (!task) {
        if (error)
            *error = QStringLiteral("в названии нет срока");
        return std::nullopt;
    }
    const std::optional<QDateTime> next =
        rule.nextAfter(task->date, QTime(task->hour, task->minute, task->second), now);
    if (!next) {
        if (error)
            *error = QStringLiteral("следующего раза нет");
        return std::nullopt;
    }
    return NoteFile::moveTask(mediaFolder, file, *next, error);
}

} // namespace TaskRepeat
