// Test helper: another program's always-on-top window over the alarm bar.
//   coverwindow X Y WIDTH HEIGHT PX PY
// Shows a black window on that rectangle, lifts it once over everything, and
// 200 ms later prints the colour the screen shows at the point PX,PY as
// "r,g,b", then ends.
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

QColor screenAt(const QPoint& p)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, p.x(), p.y(), 1, 1)
        .toImage()
        .pixelColor(0, 0);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT PX PY\n", argv[0]);
        return 2;
    }
    const QRect area(atoi(argv[1]), atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    const QPoint probe(atoi(argv[5]), atoi(argv[6]));
    QWidget cover(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    cover.setWindowTitle(QStringLiteral("Cover"));
    QPalette pal = cover.palette();
    pal.setColor(QPalette::Window, Qt::black);
    cover.setPalette(pal);
    cover.setAutoFillBackground(true);
    cover.setGeometry(area);
    cover.show();

    QTimer exposed;
    exposed.setInterval(5);
    QObject::connect(&exposed, &QTimer::timeout, [&] {
        if (!cover.windowHandle() || !cover.windowHandle()->isExposed())
            return;
        exposed.stop();
        cover.raise();
        QGuiApplication::sync();
        QTimer::singleShot(200, [&] {
            const QColor c = screenAt(probe);
            std::printf("%d,%d,%d\n", c.red(), c.green(), c.blue());
            QCoreApplication::quit();
        });
    });
    exposed.start();
    return app.exec();
}
