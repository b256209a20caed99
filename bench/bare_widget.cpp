// The floor of "exec to first frame": a bare frameless Qt widget of the
// given size (bare_widget WIDTH HEIGHT), shown at once.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w(nullptr, Qt::FramelessWindowHint);
    w.resize(argc > 2 ? atoi(argv[1]) : 400, argc > 2 ? atoi(argv[2]) : 300);
    w.show();
    return app.exec();
}
