#include "notejournal.h"

#include "durablefile.h"

#include <QFile>
#include <QStringList>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const QString NoteJournal::kFileName = QStringLiteral("note.txt");

namespace {

QString encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

QString NoteJournal::toText() const
{
    QString text = QStringLiteral("kind=%1\ntarget=%2\ncomment=%3\n")
                       .arg(kind == Kind::Task ? QStringLiteral("task") : QStringLiteral("file"),
                            encoded(target), encoded(comment));
    if (!repeat.isEmpty())
        text += QStringLiteral("repeat=") + encoded(repeat) + QLatin1Char('\n');
    if (!placed.isEmpty())
        text += QStringLiteral("placed=") + encoded(placed) + QLatin1Char('\n');
    return text;
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
        } else if (key == QLatin1String("repeat")) {
            journal.repeat = value;
        } else if (key == QLatin1String("placed")) {
            journal.placed = value;
        }
    }
    if (!haveKind || !haveTarget || journal.target.isEmpty())
        return std::nullopt;
    return journal;
}

int NoteJournal::write(const QString& folder) const
{
    return DurableFile::write(folder + kFileName, toText().toUtf8());
}

std::optional<NoteJournal> NoteJournal::read(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder + kFileName).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st
    {
    };
    QByteArray text;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        text.resize(64 * 1024);
        qint64 got = 0;
        ssize_t n;
        while (got < text.size() &&
               (n = ::read(fd, text.data() + got, size_t(text.size() - got))) > 0)
            got += n;
        text.truncate(int(got));
    }
    ::close(fd);
    if (text.isEmpty())
        return std::nullopt;
    return fromText(QString::fromUtf8(text));
}
