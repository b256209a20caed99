#pragma once

#include <QString>
#include <QStringList>

// What Tinkra was asked to do. Without arguments, or with the "-minimized"
// the watcher passes, it is the alarm; "--note FILE" (or "--note=FILE")
// plays that one note once at the current volume and does nothing else: no
// chime, no mixer change, no bar and no single-instance lock, so it may play
// beside a running alarm. Other arguments are left to Qt, as before.
struct TinkraArguments
{
    QString noteFile; // --note: the file to play; empty for the alarm
    QString error;    // what is wrong with the arguments; empty when nothing

    // `arguments` without the program's own name.
    static TinkraArguments parse(const QStringList& arguments);
    static TinkraArguments parse(int argc, char** argv);
};
