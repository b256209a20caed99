// Tinkra: the alarm. Plays Data/1.mp3 for five seconds with the speakers
// turned up, in a small bar that stays on top, then puts the mixer back.
#include "alarmbar.h"
#include "alarmsound.h"
#include "display.h"
#include "mciexecute.h"
#include "mmixer.h"
#include "paths.h"
#include "singleinstance.h"

#include <QApplication>

int main(int argc, char** argv)
{
    preferX11Platform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tinkra"));
    QApplication::setQuitOnLastWindowClosed(false);

    // One alarm at a time: a second player would take the first one's raised
    // volume for the user's own and leave the speakers at 100 %.
    SingleInstance instance(QStringLiteral("Tinkra"));
    if (!instance.acquire())
        return 0;

    MMixer mixer;
    mixer.OpenMixer(0);
    AlarmSound sound(mixer, AlarmSound::stateFileIn(Paths::runtimeFolder()));
    // Holding the lock, any state file left behind is a killed player's.
    sound.RecoverLeftover();
    sound.PrepareSound();

    // Always the small bar: it is what "minimized" looks like for this player.
    AlarmBar bar;
    bar.show();
    mciExecute(AlarmSound::playCommand(Paths::programFolder()));

    QObject::connect(&bar, &AlarmBar::timeUp, &app, [&] {
        sound.RestoreSound();
        // Ending the process ends the sound.
        QApplication::quit();
    });
    bar.timer1().start();
    return app.exec();
}
