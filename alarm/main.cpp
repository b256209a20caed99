// Tinkra: the alarm. Plays Data/1.mp3 for five seconds with the speakers
// turned up, in a small bar that stays on top, then puts the mixer back.
#include "alarmstart.h"
#include "alarmwindow.h"
#include "display.h"
#include "mci.h"
#include "paths.h"
#include "shutdownsignals.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

int main(int argc, char** argv)
{
    preferX11Platform();
    // Before the mixer is touched: a kill or a logout from here on ends the
    // alarm the orderly way (once the event loop runs).
    ShutdownSignals::catchEarly();
    const QString ownFolder = Paths::programFolder();
    // Whether a bar can be shown here is asked meanwhile, of a child.
    DisplayProbe display;
    display.start(ownFolder, argc, argv);
    // The lock, the mixer and the sound first; the window can wait for them.
    AlarmStart start(ownFolder);
    const AlarmStart::Result& started = start.result();
    if (started.alreadyRunning) {
        QString unused;
        display.usable(0, &unused); // not left behind
        return 0;
    }
    if (!started.lockProblem.isEmpty())
        std::fprintf(stderr, "Tinkra: playing without the single-instance lock: %s\n",
                     qPrintable(started.lockProblem));

    // Without its window the alarm still sounds for its five seconds and
    // puts the mixer back: a reminder heard is what matters.
    AlarmWindowModule window;
    QString noBar;
    const bool loaded = window.load(ownFolder);
    const bool windowed = display.usable(10000, &noBar) && loaded;
    if (!loaded)
        noBar = window.error();
    if (!windowed)
        std::fprintf(stderr, "Tinkra: the alarm bar cannot be shown: %s\n", qPrintable(noBar));
    std::unique_ptr<QCoreApplication> app(windowed ? window.createApplication(&argc, argv)
                                                   : new QCoreApplication(argc, argv));
    loadQtTranslations();
    QCoreApplication::setApplicationName(QStringLiteral("Tinkra"));
    ShutdownSignals stopRequests;
    const QString errorText = started.error != 0 ? mciErrorText(started.error) : QString();
    if (!windowed && started.error != 0)
        std::fprintf(stderr, "Tinkra: %s %s\n", qPrintable(errorText), qPrintable(started.detail));

    // The user's settings go back at once, then the program ends, which
    // ends the sound.
    AlarmSound& sound = start.sound();
    const auto end = [&] {
        sound.RestoreSound();
        QCoreApplication::exit(0);
    };
    QObject::connect(&stopRequests, &ShutdownSignals::received, app.get(), end);

    std::unique_ptr<QObject> bar;
    const std::function<void()> timeUp = end;
    if (windowed)
        bar.reset(window.showWindow(&errorText, &started.detail, &timeUp));
    else
        QTimer::singleShot(AlarmWindowModule::AlarmMs, Qt::PreciseTimer, app.get(), end);
    const int rc = QCoreApplication::exec();
    // However the loop ended (the session manager may end it too).
    sound.RestoreSound();
    return rc;
}
