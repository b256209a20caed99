#include "duenotes.h"

#include "duescan.h"
#include "id3v1tag.h"

#include <QDir>

namespace DueNotes {

QString programFolderOf(const QString& ownFolder)
{
    return QDir::cleanPath(ownFolder + QStringLiteral("/.."));
}

QStringList find(const QString& programFolder, const QDateTime& now)
{
    const QString media = programFolder + QStringLiteral("/Media/");
    QStringList paths;
    // All of them, not just the spoken ones: the bar counts the rest.
    for (const QString& name : DueScan::dueNames(media, now))
        paths << media + name;
    return paths;
}

QString caption(const QStringList& duePaths)
{
    if (duePaths.isEmpty())
        return QString();
    const auto tag = Id3v1Tag::read(duePaths.first());
    const QString comment = tag ? Id3v1Tag::shownComment(duePaths.first(), tag->comment)
                                      .replace(QLatin1Char('_'), QLatin1Char(' '))
                                      .simplified()
                                : QString();
    if (comment.isEmpty())
        return QString();
    if (duePaths.size() == 1)
        return comment;
    return QStringLiteral("%1 (и ещё %2)").arg(comment).arg(duePaths.size() - 1);
}

} // namespace DueNotes
