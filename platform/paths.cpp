#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <sys/stat.h>
#include <unistd.h>

namespace Paths {

namespace {

QString g_scratchProblem;

} // namespace

QString preparePrivateFolder(const QString& folder)
{
    if (folder.isEmpty())
        return QStringLiteral("не задана");
    const QByteArray native = QFile::encodeName(folder);
    struct stat st
    {
    };
    if (::stat(native.constData(), &st) != 0) {
        if (!QDir().mkpath(folder) || ::stat(native.constData(), &st) != 0)
            return QStringLiteral("не удаётся создать");
    }
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("это не папка");
    // A folder left by a run under another user (sudo) is not ours to use.
    if (st.st_uid != ::geteuid())
        return QStringLiteral("принадлежит другому пользователю");
    if ((st.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return QStringLiteral("не удаётся закрыть от других");
    QTemporaryFile probe(folder + QStringLiteral("/.probe-XXXXXX"));
    if (!probe.open())
        return QStringLiteral("нет права записи");
    return QString();
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the application object exists (a program that starts work
    // while it is being built): where the kernel says the executable is.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QString scratchFolder()
{
    const QString path =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/Quillmur";
    const QString problem = preparePrivateFolder(path);
    g_scratchProblem = problem.isEmpty() ? QString() : path + QStringLiteral(": ") + problem;
    return problem.isEmpty() ? path + QLatin1Char('/') : QString();
}

QString scratchFolderProblem()
{
    return g_scratchProblem;
}

QString runtimeFolder()
{
    QString path = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (path.isEmpty()) {
        path = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
               "/Quillmur/run";
        preparePrivateFolder(path);
    }
    return path;
}

} // namespace Paths
