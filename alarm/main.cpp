// Tinkra: the alarm. Plays Data/1.mp3 for five seconds with the speakers
// turned up, in a small bar that stays on top, then puts the mixer back.
#include "alarmbar.h"
#include "alarmstart.h"
#include "display.h"
#include "mciexecute.h"
#include "paths.h"
#include "shutdownsignals.h"

#include <QApplication>

int main(int argc, char** argv)
{
    preferX11Platform();
    // Before the mixer is touched: a kill or a logout from here on ends the
    // alarm the orderly way (once the event loop runs).
    ShutdownSignals::catchEarly();
    // The lock, the mixer and the sound first; the bar can wait for them.
    AlarmStart start(Paths::programFolder());
    const AlarmStart::Result& started = start.result();
    if (started.alreadyRunning)
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tinkra"));
    QApplication::setQuitOnLastWindowClosed(false);
    ShutdownSignals stopRequests;
    if (started.error != 0)
        showMciError(started.error, started.detail);

    // The user's settings go back at once, then the program ends, which
    // ends the sound.
    AlarmSound& sound = start.sound();
    const auto end = [&] {
        sound.RestoreSound();
        QCoreApplication::exit(0);
    };
    QObject::connect(&stopRequests, &ShutdownSignals::received, &app, end);

    // Always the small bar: it is what "minimized" looks like for this player.
    AlarmBar bar;
    bar.show();
    QObject::connect(&bar, &AlarmBar::timeUp, &app, end);
    bar.timer1().start();
    const int rc = app.exec();
    // However the loop ended (the session manager may end it too).
    sound.RestoreSound();
    return rc;
}
