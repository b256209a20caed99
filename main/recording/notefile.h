#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// Putting a finished note in its place without ever leaving half a file or
// replacing one.
namespace NoteFile {

// A note's folder owned by this process while the object lives: an flock(2)
// on the folder, which the kernel drops when the process ends however it
// ends. A start-up leaves the folders that another live process owns alone.
// A link is never followed: a link in the scratch folder is nobody's note.
class FolderLock
{
public:
    FolderLock() = default;
    // Tries once, without waiting; see held().
    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Moves `source` to `target`, which must not exist. Within one file system a
// rename; across file systems a copy to a hidden name (a dot name) in the
// target's folder, with the source's permissions, flushed and checked
// against the source's size, then renamed there. Either way the note's data
// and then the target folder's entry are flushed to the disk before this
// returns: after a power cut the note is whole under its name or still at
// the source. On any failure nothing is left at the target, the source stays
// whole and `error` (when given) says why in the user's words.
bool moveComplete(const QString& source, const QString& target, QString* error = nullptr);

// `wanted` when free, else "<base> (2).<suffix>", "(3)", ...
QString freeFileName(const QString& wanted);

// A task name that is free in `mediaFolder`: `name` itself, else the same
// minute with the next free second (as the naming retries give), wrapping
// within the minute. No value when all sixty are taken or `name` is not a
// task name.
std::optional<QString> freeTaskName(const QString& mediaFolder, const QString& name);

// Moves the task `file` of `mediaFolder` to the moment `until`: the task
// name of that minute, with the next free second when it is taken, never
// replacing a file; the tags and the audio stay as they are. The new name,
// or no value with `error` (when given) saying why.
std::optional<QString> moveTask(const QString& mediaFolder, const QString& file,
                                const QDateTime& until, QString* error = nullptr);

// Removes what a move across file systems that was cut short left beside
// `target`: its hidden partial copies.
void removePartialCopies(const QString& target);

} // namespace NoteFile
