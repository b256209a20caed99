// Vestrel: watches Media/ once a minute from the notification area and sounds
// the alarm while a reminder is due.
#include "clock.h"
#include "desktopnotices.h"
#include "display.h"
#include "paths.h"
#include "shutdownsignals.h"
#include "singleinstance.h"
#include "watcherwindow.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char** argv)
{
    preferX11Platform();
    QApplication app(argc, argv);
    loadQtTranslations();
    QApplication::setApplicationName(QStringLiteral("Vestrel"));
    // The window may be hidden for good; the watcher ends from its menu.
    QApplication::setQuitOnLastWindowClosed(false);
    ShutdownSignals stopRequests;

    SingleInstance instance(QStringLiteral("Vestrel"));
    switch (instance.acquire()) {
    case SingleInstance::Outcome::Acquired:
        break;
    case SingleInstance::Outcome::Running: {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vestrel"),
                        QStringLiteral("Программа уже запущена!"), QMessageBox::Ok);
        // A kill or a logout ends the message as it would the program.
        QObject::connect(&stopRequests, &ShutdownSignals::received, &box, &QDialog::reject);
        box.exec();
        return 0;
    }
    case SingleInstance::Outcome::NoLock:
        // Not another copy: the reminders are still watched.
        std::fprintf(stderr, "Vestrel: running without the single-instance lock: %s\n",
                     qPrintable(instance.problem()));
        break;
    }

    // Outlives the window, so it can withdraw its notices at the end.
    DesktopNotices notices(Paths::programFolder() + QStringLiteral("/Data/quillmur.png"));
    WatcherWindow window(Paths::programFolder(), Clock::system());
    window.watch().setNotices(&notices);
    QApplication::setWindowIcon(window.frame(0));
    QObject::connect(&window, &WatcherWindow::ended, &app, &QApplication::quit);
    // A kill or a logout ends the watcher as its menu's "Выход" does.
    QObject::connect(&stopRequests, &ShutdownSignals::received, &window, [&window] {
        window.close();
        QCoreApplication::exit(0);
    });
    // Started minimized (by the main program): only the tray icon is seen.
    if (!app.arguments().mid(1).contains(QStringLiteral("-minimized")))
        window.show();
    return app.exec();
}
