#pragma once

#include "taskcatalog.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The tasks as an iCalendar file (RFC 5545) for any calendar program: one
// event per task, starting at its due moment (written in UTC, so the event
// keeps its moment wherever the calendar lives), the comment as its summary,
// a display alarm at the start, and a UID made from the file name, so that
// importing again updates the same events instead of doubling them.
namespace IcsExport {

// A TEXT value: backslash, semicolon, comma and line breaks escaped, other
// control characters dropped. UTF-8.
QByteArray text(const QString& value);

// One content line, ending in CRLF, folded so that no line is longer than
// 75 octets; a fold never splits a UTF-8 character.
QByteArray contentLine(const QByteArray& line);

// "<40 hex digits>@quillmur": the same name always gives the same UID.
QByteArray uid(const QString& fileName);

// The whole calendar. Bad names are left out. `stamp` is the moment of the
// export (DTSTAMP).
QByteArray calendar(const QList<TaskCatalog::Entry>& tasks, const QDateTime& stamp,
                    const QString& version);

} // namespace IcsExport
