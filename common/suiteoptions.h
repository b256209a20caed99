#pragma once

#include <QString>

#include <optional>

// The suite's own settings beyond the one line of Data/index.txt (which
// other programs and stored files rely on): Data/options.txt, one
// "name=on|off" a line. A missing file, line or value is the default; lines
// of other names are kept as they are when the file is written.
struct SuiteOptions
{
    // After the alarm's chime, play the due notes themselves.
    bool voiceAfterChime = false;
    // Show a desktop notification for each due task.
    bool notifications = true;

    static QString path(const QString& programFolder);
    static SuiteOptions read(const QString& programFolder);
    // Writes the file whole or not at all; the errno on failure, else 0.
    static int write(const QString& programFolder, const SuiteOptions& options);

    // The names as written in the file and on the command line.
    static const char* const VoiceAfterChime; // "voice-after-chime"
    static const char* const Notifications;   // "notifications"
    // Sets one option by name from "on" or "off"; false for an unknown name
    // or value.
    bool set(const QString& name, const QString& value);
    // "voice-after-chime=off\nnotifications=on\n"
    QString text() const;
};
