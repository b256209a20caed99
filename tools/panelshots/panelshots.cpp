// Renders the main window with each panel in front into PNG files, for
// looking at the artwork without clicking through the program:
//   panelshots PROGRAM_FOLDER OUTPUT_FOLDER
#include "calendarpanel.h"
#include "clock.h"
#include "dragwindow.h"
#include "mainwindow.h"
#include "mci.h"
#include "settingspanel.h"

#include <QApplication>
#include <QDir>
#include <QFrame>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    MainWindowServices services;
    services.mixer = createAlsaMixer();
    services.send = [](const QString& command) { return mciSendString(command); };
    services.waveInput = createAlsaWaveInput();
    services.fileDialog = runFileDialog;
    services.dragWindow = DragWindow;
    MainWindow window(QString::fromLocal8Bit(argv[1]), QDir::tempPath() + "/", Clock::system(),
                      std::move(services));
    window.show();
    window.grab().save(out + "/start.png");
    window.buildMenu();
    window.grab().save(out + "/menu.png");
    for (const char* name : {"fraSpisok", "FrTimer", "fraCalendar", "fraMonitor", "FraSteret",
                             "fraNastroiki", "FraAbobe", "fraSpravka"}) {
        window.showPanel(window.panel(QLatin1String(name)));
        window.grab().save(out + "/" + name + ".png");
    }
    // The settings panel as its menu item opens it: the menu printed.
    if (auto* settings = window.findChild<SettingsPanel*>()) {
        window.showPanel(window.panel(QStringLiteral("fraNastroiki")));
        settings->drawSettingsMenu();
        window.grab().save(out + "/settings-menu.png");
    }
    // The calendar as the new reminder's third step shows it: a day chosen.
    if (auto* calendar = window.findChild<CalendarPanel*>()) {
        window.showPanel(window.panel(QStringLiteral("fraCalendar")));
        calendar->cmdCalen_Click();
        calendar->ShowChosenDay();
        window.grab().save(out + "/calendar-day.png");
    }
    return 0;
}
