// Quillmur: records spoken reminders, schedules, lists and plays them.
//
// The program itself needs only Qt Core: its commands (--list, --add...)
// run here, without a display and without the widget libraries, which take
// longer to load than listing years of notes. The window is a module beside
// the program's data (Data/libQuillmurWindow.so), loaded when no command is
// given.
#include "commandline.h"
#include "paths.h"

#include <QLibrary>

#include <cstdio>

int main(int argc, char** argv)
{
    // Options are the command line's: no display, no sound, no lock.
    if (CommandLine::isCommand(argc, argv))
        return CommandLine::exec(argc, argv);
    QLibrary window(Paths::programFolder() + QStringLiteral("/Data/libQuillmurWindow.so"));
    using WindowMain = int (*)(int, char**);
    const auto run = window.load()
                         ? reinterpret_cast<WindowMain>(window.resolve("quillmurWindowMain"))
                         : nullptr;
    if (!run) {
        std::fprintf(stderr, "Quillmur: the window cannot be loaded: %s\n",
                     qPrintable(window.errorString()));
        return 1;
    }
    return run(argc, argv);
}
