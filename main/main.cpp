// Quillmur: records spoken reminders, schedules, lists and plays them.
#include "clock.h"
#include "display.h"
#include "mainwindow.h"
#include "paths.h"
#include "singleinstance.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    preferX11Platform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmur"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/quillmur.png")));

    SingleInstance instance(QStringLiteral("Quillmur"));
    if (!instance.acquire()) {
        QMessageBox::information(nullptr, QStringLiteral("Quillmur"),
                                 QStringLiteral("Программа уже запущена!"));
        return 0;
    }

    MainWindow window(Paths::programFolder(), Paths::scratchFolder(), Clock::system());
    window.show();
    return app.exec();
}
