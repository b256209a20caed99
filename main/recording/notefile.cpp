#include "notefile.h"

#include "taskname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace NoteFile {

namespace {

// rename(2) that fails instead of replacing an existing target.
bool renameNoReplace(const QString& from, const QString& to, int* err)
{
    const QByteArray f = QFile::encodeName(from), t = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the flag: a hard link never replaces either.
        if (::link(f.constData(), t.constData()) == 0) {
            ::unlink(f.constData());
            return true;
        }
    }
    *err = errno;
    return false;
}

void say(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString systemText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

} // namespace

bool moveComplete(const QString& source, const QString& target, QString* error)
{
    const QFileInfo src(source);
    if (!src.isFile()) {
        say(error, QStringLiteral("нет файла %1").arg(source));
        return false;
    }
    int err = 0;
    if (renameNoReplace(source, target, &err))
        return true;
    if (err != EXDEV) {
        say(error, systemText(err));
        return false;
    }

    // Another file system: copy under a dot name that neither the lists nor
    // the watcher look at, and show it under its name only when whole.
    const QFileInfo dst(target);
    QTemporaryFile part(dst.absolutePath() + QStringLiteral("/.") + dst.fileName() +
                        QStringLiteral(".XXXXXX"));
    QFile in(source);
    if (!part.open() || !in.open(QIODevice::ReadOnly)) {
        say(error, part.errorString());
        return false;
    }
    QByteArray block;
    bool ok = true;
    while (ok && !(block = in.read(1 << 20)).isEmpty())
        ok = part.write(block) == block.size();
    ok = ok && part.flush() && ::fsync(part.handle()) == 0 && part.size() == in.size() &&
         in.size() == src.size();
    if (!ok) {
        say(error,
            part.errorString().isEmpty() ? QStringLiteral("не хватает места") : part.errorString());
        return false; // the temporary file removes itself
    }
    if (!renameNoReplace(part.fileName(), target, &err)) {
        say(error, systemText(err));
        return false;
    }
    part.setAutoRemove(false);
    in.close();
    QFile::remove(source);
    return true;
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

} // namespace NoteFile
