#include "notejournal.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QUrl>

const QString NoteJournal::kFileName = QStringLiteral("note.txt");

namespace {

QString encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

QString NoteJournal::toText() const
{
    return QStringLiteral("kind=%1\ntarget=%2\ncomment=%3\n")
        .arg(kind == Kind::Task ? QStringLiteral("task") : QStringLiteral("file"), encoded(target),
             encoded(comment));
}

std::optional<NoteJournal> NoteJournal::fromText(const QString& text)
{
    NoteJournal journal;
    bool haveKind = false, haveTarget = false;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            return std::nullopt;
        const QString key = line.left(eq);
        const QString value = QUrl::fromPercentEncoding(line.mid(eq + 1).toLatin1());
        if (key == QLatin1String("kind")) {
            if (value != QLatin1String("task") && value != QLatin1String("file"))
                return std::nullopt;
            journal.kind = value == QLatin1String("task") ? Kind::Task : Kind::File;
            haveKind = true;
        } else if (key == QLatin1String("target")) {
            journal.target = value;
            haveTarget = true;
        } else if (key == QLatin1String("comment")) {
            journal.comment = value;
        }
    }
    if (!haveKind || !haveTarget || journal.target.isEmpty())
        return std::nullopt;
    return journal;
}

bool NoteJournal::write(const QString& folder) const
{
    QSaveFile file(folder + kFileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(toText().toUtf8());
    return file.commit();
}

std::optional<NoteJournal> NoteJournal::read(const QString& folder)
{
    QFile file(folder + kFileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return fromText(QString::fromUtf8(file.read(64 * 1024)));
}
