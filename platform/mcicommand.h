#pragma once

#include <QString>

#include <optional>

// One media command string taken apart. Pure: no sound device involved.
struct MciCommand
{
    enum class Verb { Open, Record, Stop, Save, Close, Play, Pause, Cue };

    Verb verb = Verb::Play;
    // The alias (open, record, save, close) or the rest of the command after
    // the verb (stop, play, pause, cue: an alias or a file name, blanks kept).
    QString target;
    // save: the path after the alias.
    QString path;
    // play: " from X to Y" in milliseconds, when given.
    std::optional<qint64> fromMs;
    std::optional<qint64> toMs;
};

// Parses a command case-insensitively; nothing when the verb is unknown or
// a required part is missing.
std::optional<MciCommand> parseMciCommand(const QString& command);
