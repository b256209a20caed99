#pragma once

#include "taskcatalog.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Clock;
class QIODevice;

// Quillmur without its window: lists, adds, snoozes and exports the tasks of
// Media/. It needs no display and no sound server, changes no mixer setting
// and takes no single-instance lock, so it may run while the window is open;
// the window's lists show the changes when they are next built. A new task
// goes the way of a recorded one: the same name rules, encoder, tag and
// safe move into Media/.
//
// Exit status: 0 done; 1 the command was wrong (unknown option, bad date,
// missing file, a past day), with one line in Russian on standard error;
// 2 the program could not do it.
class CommandLine
{
public:
    enum Status { Ok = 0, UserError = 1, Failure = 2 };

    struct Command
    {
        enum class Action { Help, Version, List, Add, Snooze, ExportIcs, Set, Get };
        Action action = Action::Help;
        bool json = false; // --list
        QString audio;     // --add
        QString at;        // --add: "DD.MM.YYYY HH:MM"
        QString comment;   // --add
        QString repeat;    // --add: a rule's word, or empty
        int minutes = 0;   // --snooze
        QString icsFile;   // --export-ics: a path, or "-" for standard output
        QString option;    // --set: the option's name
        QString value;     // --set: "on" or "off"
    };

    struct Parsed
    {
        std::optional<Command> command;
        QString error; // when there is no command: the line for standard error
    };

    struct Environment
    {
        QString programFolder;
        QString scratchFolder;  // for --add, ending in '/'; empty when none could be had
        QString scratchProblem; // why there is none
        const Clock* clock = nullptr;
        std::function<void(int ms)> wait; // the naming's pause before its retry
        QIODevice* out = nullptr;
        QIODevice* err = nullptr;
    };

    // How long --add waits for the encoder before it leaves the note to the
    // next start of the window.
    static constexpr int kEncoderMs = 10 * 60 * 1000;
    static constexpr int kMaxSnoozeMinutes = 366 * 24 * 60;

    // True when the arguments ask for the command line: any argument except
    // the "-minimized" that a start with a window state passes.
    static bool isCommand(int argc, char** argv);
    // The whole run from main(): a core application (no display), the real
    // folders, clock and standard streams.
    static int exec(int argc, char** argv);

    // `arguments` without the program's own name.
    static Parsed parse(const QStringList& arguments);
    static QString helpText();

    explicit CommandLine(Environment env);
    int run(const Command& command);

private:
    int dispatch(const Command& command);
    int list(bool json);
    int add(const Command& command);
    int snooze(int minutes);
    int exportIcs(const QString& file);
    int setOption(const Command& command);
    void warnAboutComment(const QString& given, const QString& typed);
    void warnAboutDamagedRule(const TaskCatalog::Entry& e);

    int userError(const QString& message);
    int failure(const QString& message);
    void print(const QString& text);
    // Standard output; the first failure is kept and ends the run with 2.
    void write(const QByteArray& bytes);
    bool mediaReady();
    QString mediaFolder() const;

    Environment m_env;
    int m_outputError = 0;
};
