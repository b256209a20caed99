// The peer of idle Vestrel: a bare Qt tray program, one icon of the same
// size in the notification area and nothing else.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap icon(24, 24); // the size of Vestrel's frames
    icon.fill(Qt::darkCyan);
    QSystemTrayIcon tray{QIcon(icon)};
    tray.show();
    return app.exec();
}
