// Quillmur's window, in a module of its own that the program loads when it
// is not asked for a command (see main.cpp).
#include "clock.h"
#include "display.h"
#include "dragwindow.h"
#include "filedialogrunner.h"
#include "mainwindow.h"
#include "mci.h"
#include "mixerlevels.h"
#include "paths.h"
#include "shutdownsignals.h"
#include "singleinstance.h"
#include "systemmixer.h"
#include "taskfolder.h"
#include "waveinput.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <cstdio>

extern "C" Q_DECL_EXPORT int quillmurWindowMain(int argc, char** argv)
{
    preferX11Platform();
    // This thread is Qt's main thread before another one uses Qt.
    QThread::currentThread();
    // The past tasks' names are read while Qt starts and the window is built.
    auto taskFolder =
        std::make_shared<TaskFolder>(Paths::programFolder() + QStringLiteral("/Media/"));
    taskFolder->prefetch();
    QApplication app(argc, argv);
    loadQtTranslations();
    QApplication::setApplicationName(QStringLiteral("Quillmur"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/quillmur.png")));
    ShutdownSignals stopRequests;

    SingleInstance instance(QStringLiteral("Quillmur"));
    const SingleInstance::Outcome lock = instance.acquire();
    if (lock == SingleInstance::Outcome::Running) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Quillmur"),
                        QStringLiteral("Программа уже запущена!"), QMessageBox::Ok);
        // A kill or a logout ends the message as it would the program.
        QObject::connect(&stopRequests, &ShutdownSignals::received, &box, &QDialog::reject);
        box.exec();
        return 0;
    }
    // No lock to be had is not another copy: the program runs, and says so.
    if (lock == SingleInstance::Outcome::NoLock)
        std::fprintf(stderr, "Quillmur: running without the single-instance lock: %s\n",
                     qPrintable(instance.problem()));

    MainWindowServices services;
    services.mixer = createAlsaMixer();
    services.send = [](const QString& command) { return mciSendString(command); };
    services.waveInput = createAlsaWaveInput();
    services.fileDialog = runFileDialog;
    services.dragWindow = DragWindow;
    services.taskFolder = std::move(taskFolder);
    services.levelsFile = MixerLevelsFile::in(Paths::runtimeFolder(), QStringLiteral("Quillmur"));
    MainWindow window(Paths::programFolder(), Paths::scratchFolder(), Clock::system(),
                      std::move(services), MainWindow::StartUp::AfterFirstFrame);
    // A kill, a logout or a closed terminal ends the program as its exit
    // button does; the window's end puts the sound settings back.
    QObject::connect(&stopRequests, &ShutdownSignals::received, &window, [&window] {
        window.close();
        QCoreApplication::exit(0);
    });
    if (lock == SingleInstance::Outcome::NoLock)
        window.setHint(QStringLiteral("Не удаётся создать файл блокировки: ") + instance.problem());
    window.show();
    return app.exec();
}
