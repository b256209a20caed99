#include "durablefile.h"

#include "durablewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DurableFile {

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

QString folderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

mode_t defaultMode()
{
    // The umask can only be read by setting it; nothing else here creates
    // files at the same moment.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

QString reason(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("нет места на диске");
    case EFBIG:
        return QStringLiteral("файл слишком велик");
    case EROFS:
        return QStringLiteral("диск только для чтения");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет прав на запись");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("нет такой папки");
    case EIO:
        return QStringLiteral("ошибка диска");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

QString shown(const QString& path)
{
    const QString home = QDir::homePath();
    return path.startsWith(home + QLatin1Char('/')) ? QStringLiteral("~") + path.mid(home.size())
                                                    : path;
}

QString problem(int err, const QString& folder)
{
    QString where = folder;
    while (where.size() > 1 && where.endsWith(QLatin1Char('/')))
        where.chop(1);
    return QStringLiteral("%1 в %2").arg(reason(err), shown(where));
}

int sync(const QString& path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno;
    const int rc = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return rc;
}

int syncFolderOf(const QString& path)
{
    return sync(folderOf(path));
}

int renameNoReplace(const QString& from, const QString& to)
{
    const QByteArray f = native(from), t = native(to);
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the flag: a hard link never replaces either.
    if (::link(f.constData(), t.constData()) != 0)
        return errno;
    ::unlink(f.constData());
    return 0;
}

Writer::~Writer()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporary.isEmpty())
        ::unlink(native(m_temporary).constData());
}

bool Writer::failed(int err)
{
    if (m_error == 0)
        m_error = err;
    return false;
}

bool Writer::open(const QString& path, int mode)
{
    m_path = path;
    const QFileInfo info(path);
    QByteArray name = native(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                             QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(errno);
    m_fd = fd;
    m_temporary = QFile::decodeName(name);
    if (::fchmod(fd, mode < 0 ? defaultMode() : mode_t(mode)) != 0)
        return failed(errno);
    return true;
}

bool Writer::write(const char* data, qint64 size)
{
    if (m_fd < 0 || m_error != 0)
        return failed(m_error != 0 ? m_error : EBADF);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failed(errno);
        }
        if (n == 0)
            return failed(ENOSPC);
        data += n;
        size -= n;
    }
    return true;
}

bool Writer::commit(bool replace)
{
    if (m_fd < 0 || m_error != 0)
        return failed(m_error != 0 ? m_error : EBADF);
    // The data on the disk before the name points at it: after a power cut
    // the name gives the whole file or nothing.
    if (::fsync(m_fd) != 0)
        return failed(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return failed(errno);
    if (replace) {
        if (::rename(native(m_temporary).constData(), native(m_path).constData()) != 0)
            return failed(errno);
    } else if (const int err = renameNoReplace(m_temporary, m_path)) {
        return failed(err);
    }
    m_temporary.clear();
    // The folder's entry too; a failure here leaves a whole file.
    syncFolderOf(m_path);
    return true;
}

int write(const QString& path, const QByteArray& bytes)
{
    return writeWhole(native(path).constData(), bytes.constData(), size_t(bytes.size()));
}

} // namespace DurableFile
