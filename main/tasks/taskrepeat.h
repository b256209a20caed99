#pragma once

#include "repeatrule.h"

#include <QDateTime>
#include <QString>

#include <optional>

// The repeat rule of a task file, kept in its ID3v2 tag (a user-defined text
// frame), so that a copy of the file keeps it. The name, the ID3v1 tag and
// the audio are those of a one-time note.
namespace TaskRepeat {

// The frame's description.
constexpr const char* FrameName = RepeatRule::FrameName;

struct Found
{
    std::optional<RepeatRule> rule;
    // The file has the frame, but no rule can be read from it: the task is
    // one-time, and the lists say so.
    bool damaged = false;
};

// What the file at `path` holds. Cheap for a file without the frame (most
// of them): only the head of the ID3v2 tag is read.
Found read(const QString& path);

// Keeps `rule` in the file; 0 or an errno.
int write(const QString& path, const RepeatRule& rule);

// Moves the task `file` of `mediaFolder`, done for now, to the first moment
// after `now` that `rule` gives from its current moment: the file renamed
// (its tags and audio untouched), a taken name getting the next free second.
// The new name, or no value with `error` saying why.
std::optional<QString> moveToNext(const QString& mediaFolder, const QString& file,
                                  const RepeatRule& rule, const QDateTime& now,
                                  QString* error = nullptr);

} // namespace TaskRepeat
