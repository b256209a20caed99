#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace Paths {

namespace {
bool makePrivateFolder(const QString& path)
{
    QDir dir(path);
    if (!dir.exists() && !QDir().mkpath(path))
        return false;
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
} // namespace

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString scratchFolder()
{
    const QString path =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/Quillmur";
    return makePrivateFolder(path) ? path + QLatin1Char('/') : QString();
}

QString runtimeFolder()
{
    QString path = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (path.isEmpty()) {
        path = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
               "/Quillmur/run";
        makePrivateFolder(path);
    }
    return path;
}

} // namespace Paths
