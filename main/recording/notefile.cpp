#include "notefile.h"

#include "taskname.h"

#include "durablefile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace NoteFile {

FolderLock::FolderLock(const QString& folder)
{
    QString path = folder;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    m_fd = fd;
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FolderLock::FolderLock(FolderLock&& other) noexcept : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

namespace {

void say(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Across file systems: a copy under a dot name that neither the lists nor
// the watcher look at, shown under its name only when whole.
bool copyAcross(const QString& source, const QString& target, QString* error)
{
    const QFileInfo src(source);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        say(error, in.errorString());
        return false;
    }
    const QFileInfo dst(target);
    struct stat st
    {
    };
    const bool known = ::stat(QFile::encodeName(source).constData(), &st) == 0;
    DurableFile::Writer part;
    // The note's own permissions, not a temporary file's private ones.
    bool ok = part.open(target, known ? int(st.st_mode & 0777) : -1);
    QByteArray block;
    qint64 copied = 0;
    while (ok && !(block = in.read(1 << 20)).isEmpty()) {
        ok = part.write(block);
        copied += block.size();
    }
    if (ok && (copied != src.size() || in.error() != QFileDevice::NoError)) {
        say(error, QStringLiteral("не удалось прочитать %1").arg(DurableFile::shown(source)));
        return false;
    }
    if (!ok || !part.commit(false)) {
        say(error, DurableFile::problem(part.error(), dst.absolutePath()));
        return false; // the partial copy removes itself
    }
    in.close();
    QFile::remove(source);
    return true;
}

} // namespace

bool moveComplete(const QString& source, const QString& target, QString* error)
{
    const QFileInfo src(source);
    if (!src.isFile()) {
        say(error, QStringLiteral("нет файла %1").arg(source));
        return false;
    }
    // The data first, so that the new name never points at a file whose
    // blocks a power cut lost.
    if (const int err = DurableFile::sync(source)) {
        say(error, DurableFile::problem(err, src.absolutePath()));
        return false;
    }
    const int err = DurableFile::renameNoReplace(source, target);
    if (err == EXDEV)
        return copyAcross(source, target, error);
    if (err != 0) {
        say(error, DurableFile::problem(err, QFileInfo(target).absolutePath()));
        return false;
    }
    DurableFile::syncFolderOf(target);
    return true;
}

void removePartialCopies(const QString& target)
{
    const QFileInfo info(target);
    QDir folder(info.absolutePath());
    const QString pattern = QLatin1Char('.') + info.fileName() + QStringLiteral(".??????");
    for (const QString& name :
         folder.entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System))
        folder.remove(name);
}

QString freeFileName(const QString& wanted)
{
    if (!QFileInfo::exists(wanted) && !QFileInfo(wanted).isSymLink())
        return wanted;
    const QFileInfo info(wanted);
    const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

std::optional<QString> freeTaskName(const QString& mediaFolder, const QString& name)
{
    const auto parsed = TaskName::parse(name);
    if (!parsed)
        return std::nullopt;
    const auto taken = [&](const QString& n) {
        const QFileInfo f(mediaFolder + QLatin1Char('/') + n);
        return f.exists() || f.isSymLink();
    };
    for (int step = 0; step < 60; ++step) {
        const int second = (parsed->second + step) % 60;
        const QString candidate = name.left(19) + TaskName::twoDigits(second) + name.mid(21);
        if (!taken(candidate))
            return candidate;
    }
    return std::nullopt;
}

std::optional<QString> moveTask(const QString& mediaFolder, const QString& file,
                                const QDateTime& until, QString* error)
{
    const QString wanted = TaskName::compose(
        TaskName::twoDigits(until.date().day()), TaskName::twoDigits(until.date().month()),
        until.date().year(), TaskName::twoDigits(until.time().hour()),
        TaskName::twoDigits(until.time().minute()), until.time());
    // The move never replaces a file, so a name taken meanwhile only means
    // one more look.
    QString why;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::optional<QString> name = freeTaskName(mediaFolder, wanted);
        if (!name) {
            why = QStringLiteral("все секунды минуты заняты");
            break;
        }
        if (moveComplete(mediaFolder + file, mediaFolder + *name, &why))
            return name;
    }
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace NoteFile
