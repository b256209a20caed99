#pragma once

#include <QString>

#include <optional>

// The small journal a note's job keeps next to its scratch files before the
// encoder starts: where the finished note goes and which comment its tag
// carries. A start-up after a kill, a power failure or an encoder failure
// finishes every job that still has its journal.
//
// One "key=value" line each, values percent-encoded, so any path and any
// comment survive.
struct NoteJournal
{
    static const QString kFileName; // "note.txt"

    enum class Kind { Task, File };
    Kind kind = Kind::Task;
    // Task: the bare 25-character task name (Media/ is the program's);
    // File: the whole path chosen in the save dialog, ".mp3" included.
    QString target;
    QString comment;
    // Written just before the note is moved into place: the name it goes
    // to. A start-up that finds the note already there only cleans up.
    QString placed;
    // A task's repeat rule as its file keeps it ("daily", "monthly:31"), or
    // empty for a one-time note.
    QString repeat;

    QString toText() const;
    static std::optional<NoteJournal> fromText(const QString& text);

    // Written whole or not at all (a temporary name, flushed, then
    // renamed). Returns 0 or the errno of the failure.
    int write(const QString& folder) const;
    // Only a regular file is read, without ever waiting on it: a FIFO or a
    // device under the name gives nothing.
    static std::optional<NoteJournal> read(const QString& folder);

    bool operator==(const NoteJournal& o) const
    {
        return kind == o.kind && target == o.target && comment == o.comment && placed == o.placed &&
               repeat == o.repeat;
    }
};
