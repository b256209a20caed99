#pragma once

#include "taskcatalog.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

// The tasks as an iCalendar file (RFC 5545) for any calendar program: one
// event per task, starting at its due moment (written in UTC, so the event
// keeps its moment wherever the calendar lives), the comment as its summary,
// a display alarm at the start, and a UID made from the file's content (which
// a snooze's rename leaves alone), so that importing again updates the same
// events instead of doubling them.
namespace IcsExport {

// A TEXT value: backslash, semicolon, comma and line breaks escaped, other
// control characters dropped. UTF-8.
QByteArray text(const QString& value);

// One content line, ending in CRLF, folded so that no line is longer than
// 75 octets; a fold never splits a UTF-8 character.
QByteArray contentLine(const QByteArray& line);

// "<40 hex digits>@quillmur" from the file at `path`: its size, its first
// 64 KiB and its last 128 bytes (the tag with the comment), so the same
// note keeps its UID under any name. An unreadable file gets one from its
// name.
QByteArray uid(const QString& path);

// The whole calendar of the tasks of `mediaFolder` (ending in '/'). Bad
// names are left out. A note copied under a second name would share its
// UID: every copy after the first gets one from its content and its name.
// `stamp` is the moment of the export (DTSTAMP).
QByteArray calendar(const QList<TaskCatalog::Entry>& tasks, const QString& mediaFolder,
                    const QDateTime& stamp, const QString& version);

// The same calendar in parts, written as the tasks come: the opening lines,
// one event a task (none for a bad name), the closing line.
class Calendar
{
public:
    Calendar(const QDateTime& stamp, const QString& version);
    QByteArray begin() const;
    QByteArray event(const TaskCatalog::Entry& task, const QString& mediaFolder);
    // The same event added to the end of `out`.
    void appendEvent(QByteArray& out, const TaskCatalog::Entry& task, const QString& mediaFolder);
    static QByteArray end();

private:
    QSet<QByteArray> m_given; // the UIDs written so far
    QByteArray m_stamp;       // the DTSTAMP line, folded
    QString m_version;
    QByteArray m_line; // where each line is put together
};

} // namespace IcsExport
