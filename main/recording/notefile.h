#pragma once

#include <QString>

#include <optional>

// Putting a finished note in its place without ever leaving half a file or
// replacing one.
namespace NoteFile {

// Moves `source` to `target`, which must not exist. Within one file system a
// rename; across file systems a copy to a hidden name (a dot name) in the
// target's folder, flushed and checked against the source's size, then
// renamed there. On any failure nothing is left at the target, the source
// stays whole and `error` (when given) says why.
bool moveComplete(const QString& source, const QString& target, QString* error = nullptr);

// `wanted` when free, else "<base> (2).<suffix>", "(3)", ...
QString freeFileName(const QString& wanted);

// A task name that is free in `mediaFolder`: `name` itself, else the same
// minute with the next free second (as the naming retries give), wrapping
// within the minute. No value when all sixty are taken or `name` is not a
// task name.
std::optional<QString> freeTaskName(const QString& mediaFolder, const QString& name);

} // namespace NoteFile
