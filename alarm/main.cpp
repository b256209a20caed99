// Tinkra: the alarm. Plays Data/1.mp3 for five seconds with the speakers
// turned up, in a small bar that stays on top, then puts the mixer back.
#include "alarmbar.h"
#include "alarmsound.h"
#include "display.h"
#include "mciexecute.h"
#include "mmixer.h"
#include "paths.h"
#include "shutdownsignals.h"
#include "singleinstance.h"

#include <QApplication>

int main(int argc, char** argv)
{
    preferX11Platform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tinkra"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Before the mixer is touched: a kill or a logout from here on ends the
    // alarm the orderly way.
    ShutdownSignals stopRequests;

    // One alarm at a time: a second player would take the first one's raised
    // volume for the user's own and leave the speakers at 100 %.
    SingleInstance instance(QStringLiteral("Tinkra"));
    if (!instance.acquire())
        return 0;

    MMixer mixer(createAlsaMixer());
    mixer.OpenMixer(0);
    AlarmSound sound(mixer, AlarmSound::stateFileIn(Paths::runtimeFolder()));
    // Holding the lock, any state file left behind is a killed player's.
    sound.RecoverLeftover();
    sound.PrepareSound();
    // The sound first, the bar after it: building and mapping the window
    // takes longer than the sound needs to start.
    playAlarm(Paths::programFolder());

    // The user's settings go back at once, then the program ends, which
    // ends the sound.
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
