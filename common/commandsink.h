#pragma once

#include <QString>

#include <functional>

// Where media command strings go ("Play <file> from X to Y", "Pause <file>",
// "Stop <file>"). The program hands in the platform's mciSendString; tests
// hand in a recorder. The returned code is 0 when the command was accepted;
// only the start of a playback looks at it.
using CommandSink = std::function<int(const QString& command)>;
