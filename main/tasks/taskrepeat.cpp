#include "taskrepeat.h"

#include "id3v2.h"
#include "notefile.h"
#include "taskname.h"

#include <QFile>

namespace TaskRepeat {

namespace {

// Whether the ID3v2 tag at the head of the file may hold the frame: its
// name appears in the tag's bytes (the encoder's own tag is a few hundred
// bytes long).
bool mayHaveFrame(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(10);
    if (header.size() < 10 || !header.startsWith("ID3"))
        return false;
    // A synchsafe size: seven bits a byte.
    const qint64 size = (qint64(quint8(header[6]) & 0x7f) << 21) |
                        ((quint8(header[7]) & 0x7f) << 14) | ((quint8(header[8]) & 0x7f) << 7) |
                        (quint8(header[9]) & 0x7f);
    return file.read(qMin<qint64>(size, 1 << 20)).contains(FrameName);
}

} // namespace

Found read(const QString& path)
{
    Found found;
    if (!mayHaveFrame(path))
        return found;
    const std::optional<QString> text = Id3v2::userText(path, QLatin1String(FrameName));
    if (!text)
        return found;
    found.rule = RepeatRule::fromText(*text);
    found.damaged = !found.rule;
    return found;
}

int write(const QString& path, const RepeatRule& rule)
{
    return Id3v2::setUserText(path, QLatin1String(FrameName), rule.text());
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
