#include "icsexport.h"

#include "digits.h"
#include "sha1.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <QFile>
#include <QSet>

namespace IcsExport {

namespace {

constexpr int kMaxOctets = 75;

QByteArray utc(const QDateTime& moment)
{
    // The C library's UTC calendar needs no time zone, unlike toUTC().
    const std::time_t seconds = std::time_t(moment.toSecsSinceEpoch());
    std::tm t{};
    if (!gmtime_r(&seconds, &t))
        return moment.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
    char b[128];
    const char* end = putFields(b, {{t.tm_year + 1900, 4},
                                    {t.tm_mon + 1, 2},
                                    {t.tm_mday, 2, 'T'},
                                    {t.tm_hour, 2},
                                    {t.tm_min, 2},
                                    {t.tm_sec, 2, 'Z'}});
    return QByteArray(b, end - b);
}

// Appends `line` folded as contentLine() folds it.
void appendLine(QByteArray& out, QByteArrayView line)
{
    if (line.size() <= kMaxOctets) {
        out.append(line).append("\r\n");
        return;
    }
    int used = 0;
    int limit = kMaxOctets;
    qsizetype from = 0; // the start of the part not yet copied
    for (qsizetype i = 0; i < line.size();) {
        // The whole UTF-8 character: a lead byte and its continuation bytes.
        qsizetype n = 1;
        while (i + n < line.size() && (quint8(line[i + n]) & 0xC0) == 0x80)
            ++n;
        if (used + n > limit) {
            out.append(line.data() + from, i - from);
            out += "\r\n ";
            from = i;
            used = 0;
            limit = kMaxOctets - 1; // the leading blank counts
        }
        used += int(n);
        i += n;
    }
    out.append(line.data() + from, line.size() - from);
    out += "\r\n";
}

} // namespace

QByteArray text(const QString& value)
{
    // Most texts need no escapes: as they are.
    const bool plain = std::all_of(value.begin(), value.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u >= 0x20 && u != 0x7F && u != '\\' && u != ';' && u != ',';
    });
    if (plain)
        return value.toUtf8();
    QString out;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case ';':
            out += QStringLiteral("\\;");
            break;
        case ',':
            out += QStringLiteral("\\,");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += c;
            break;
        default:
            // Other control characters may not appear in a value at all.
            if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
                out += c;
        }
    }
    return out.toUtf8();
}

QByteArray contentLine(const QByteArray& line)
{
    QByteArray out;
    out.reserve(line.size() + line.size() / (kMaxOctets - 1) * 3 + 2);
    appendLine(out, line);
    return out;
}

QByteArray uid(const QString& path)
{
    constexpr qint64 kHead = TaskCatalog::kContentIdHead;
    constexpr qint64 kTail = 128;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return sha1Hex(path.toUtf8(), "@quillmur");
    const qint64 size = file.size();
    const QByteArray head = file.read(kHead);
    QByteArray last;
    if (size > kHead && file.seek(std::max(kHead, size - kTail)))
        last = file.read(kTail);
    return TaskCatalog::contentId(size, head, last);
}

Calendar::Calendar(const QDateTime& stamp, const QString& version)
    : m_stamp(contentLine("DTSTAMP:" + utc(stamp))), m_version(version)
{
}

QByteArray Calendar::begin() const
{
    return contentLine("BEGIN:VCALENDAR") + contentLine("VERSION:2.0") +
           contentLine("PRODID:-//Quillmur//Quillmur " + m_version.toUtf8() + "//RU") +
           contentLine("CALSCALE:GREGORIAN");
}

QByteArray Calendar::event(const TaskCatalog::Entry& task, const QString& mediaFolder)
{
    QByteArray out;
    appendEvent(out, task, mediaFolder);
    return out;
}

void Calendar::appendEvent(QByteArray& out, const TaskCatalog::Entry& task,
                           const QString& mediaFolder)
{
    if (task.state == TaskCatalog::State::BadName)
        return;
    // Each line put together in one buffer kept for all events, then folded
    // into `out`.
    QByteArray& scratch = m_line;
    const auto line = [&out, &scratch](QByteArrayView name, QByteArrayView value = {},
                                       QByteArrayView more = {}) {
        if (name.size() + value.size() + more.size() <= kMaxOctets) {
            out.append(name).append(value).append(more).append("\r\n");
            return;
        }
        scratch.truncate(0);
        scratch.append(name).append(value).append(more);
        appendLine(out, scratch);
    };
    static const QByteArray kDescribed = text(QStringLiteral("Голосовое напоминание Quillmur: "));
    const QByteArray summary =
        text(task.comment.isEmpty() ? QStringLiteral("Напоминание") : task.comment);
    QByteArray id = task.contentId.isEmpty() ? uid(mediaFolder + task.file) : task.contentId;
    if (m_given.contains(id))
        id = sha1Hex(id + task.file.toUtf8(), "@quillmur");
    line("BEGIN:VEVENT");
    line("UID:", id);
    m_given.insert(std::move(id));
    out += m_stamp;
    if (task.repeat) {
        // A repeating note rings at its time of day on the local clock,
        // summer or winter: a floating local time, not a UTC one (whose
        // weekdays and hours would be UTC's).
        line("DTSTART:", task.due.toString(QStringLiteral("yyyyMMdd'T'HHmmss")).toLatin1());
        line("RRULE:", task.repeat->rrule().toLatin1());
    } else {
        line("DTSTART:", utc(task.due));
    }
    line("SUMMARY:", summary);
    line("DESCRIPTION:", kDescribed, text(task.file));
    line("BEGIN:VALARM");
    line("ACTION:DISPLAY");
    line("DESCRIPTION:", summary);
    line("TRIGGER:PT0S");
    line("END:VALARM");
    line("END:VEVENT");
}

QByteArray Calendar::end()
{
    return contentLine("END:VCALENDAR");
}

QByteArray calendar(const QList<TaskCatalog::Entry>& tasks, const QString& mediaFolder,
                    const QDateTime& stamp, const QString& version)
{
    Calendar c(stamp, version);
    QByteArray out = c.begin();
    for (const TaskCatalog::Entry& task : tasks)
        out += c.event(task, mediaFolder);
    return out + Calendar::end();
}

} // namespace IcsExport
