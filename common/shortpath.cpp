#include "shortpath.h"

#include <QFileInfo>

QString ShortPath(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : QString();
}
