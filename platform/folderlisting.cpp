#include "folderlisting.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace FolderListing {

namespace {

struct DirCloser
{
    void operator()(DIR* d) const { closedir(d); }
};

// The name as text, and whether that text gives back the same bytes.
Entry decode(const char* bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    Entry e;
    e.name = utf8(QByteArrayView(bytes));
    e.exactName = !utf8.hasError();
    return e;
}

template <typename Visit> bool forEachFile(const QString& folder, const QString& pattern, Visit visit)
{
    const QByteArray path = QFile::encodeName(folder);
    std::unique_ptr<DIR, DirCloser> dir(opendir(path.constData()));
    if (!dir)
        return false;
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(pattern),
                                   QRegularExpression::CaseInsensitiveOption);
    const int fd = dirfd(dir.get());
    while (const dirent* d = readdir(dir.get())) {
        if (d->d_name[0] == '.')
            continue; // hidden, and "." and ".."
        struct stat st;
        if (fstatat(fd, d->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;
        Entry e = decode(d->d_name);
        if (!match.match(e.name).hasMatch())
            continue;
        if (!visit(d->d_name, std::move(e)))
            break;
    }
    return true;
}

} // namespace

Result list(const QString& folder, const QString& pattern)
{
    Result r;
    r.readable = forEachFile(folder, pattern, [&](const char*, Entry e) {
        r.entries.push_back(std::move(e));
        return true;
    });
    return r;
}

bool remove(const QString& folder, const QString& name)
{
    const QString path = folder.endsWith(QLatin1Char('/')) ? folder + name
                                                           : folder + QLatin1Char('/') + name;
    if (QFile::remove(path))
        return true;
    if (!name.contains(QChar::ReplacementCharacter))
        return false;
    QByteArray raw;
    forEachFile(folder, QStringLiteral("*"), [&](const char* bytes, const Entry& e) {
        if (e.exactName || e.name != name)
            return true;
        raw = bytes;
        return false;
    });
    if (raw.isEmpty())
        return false;
    const QByteArray dir = QFile::encodeName(folder);
    return unlink((dir + '/' + raw).constData()) == 0;
}

} // namespace FolderListing
