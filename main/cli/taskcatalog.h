#pragma once

#include "repeatrule.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The tasks of Media/ with what the task panel shows of each (due moment,
// comment, length), for the command line. A name that does not follow the
// task name format exactly is a bad name: listed apart, never moved.
namespace TaskCatalog {

enum class State {
    Past,    // due: its day is over, or it is today and its second has come
    Today,   // today, still ahead
    Later,   // a later day
    BadName, // no task name
};

struct Entry
{
    QString file;
    State state = State::BadName;
    QDateTime due;                    // local time; invalid for a bad name
    QString comment;                  // from the ID3v1 tag; empty without one
    std::optional<int> seconds;       // playing length; none when not readable as MP3
    std::optional<RepeatRule> repeat; // none: a one-time note
    bool repeatDamaged = false;       // a rule frame that cannot be read: one-time
    // With ContentId::Read: "<40 hex digits>@quillmur" from the file's size,
    // its first 64 KiB and its last 128 bytes (see IcsExport::uid); empty
    // when it could not be read.
    QByteArray contentId;
};

enum class ContentId { Skip, Read };

// How much of a note's start its content id reads, and the id itself from
// the note's size, that much of its start, and what follows it of its last
// 128 bytes.
constexpr qint64 kContentIdHead = 64 * 1024;
QByteArray contentId(qint64 size, const QByteArray& head, const QByteArray& last);

// Every name of `mediaFolder` (ending in '/') that the lists show, read at
// the moment `now`: the tasks in due order (equal moments by name), then the
// bad names in name order.
QList<Entry> read(const QString& mediaFolder, const QDateTime& now);

// The same entries one at a time, in the same order, each note's file read
// just before its entry is handed on: what is written as it comes needs no
// more memory for ten thousand notes than for ten. The names are sorted
// first, from the names alone; each file is then opened once. With
// ContentId::Read over many notes, the files are read a few hundred ahead
// and their ids hashed on a second thread meanwhile; `each` is always called
// on the calling thread.
void forEach(const QString& mediaFolder, const QDateTime& now,
             const std::function<void(const Entry&)>& each, ContentId id = ContentId::Skip);

// "past", "today", "later", "bad": the stable words of --list --json.
QString stateKey(State state);

} // namespace TaskCatalog
