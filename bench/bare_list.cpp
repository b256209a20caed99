// The floor of "exec to the past tasks counted": a bare frameless Qt window
// of the given size showing given lines (bare_list WIDTH HEIGHT FILE, one
// line of FILE each) in a QListWidget with uniform item sizes in the task
// panel's place, shown at once.
#include <QApplication>
#include <QFile>
#include <QListWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 4)
        return 2;
    QFile file(QString::fromLocal8Bit(argv[3]));
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeLast(); // after the last line's end
    QWidget w(nullptr, Qt::FramelessWindowHint);
    w.resize(atoi(argv[1]), atoi(argv[2]));
    auto* list = new QListWidget(&w);
    list->setGeometry(58, 123, 200, 94);
    list->setUniformItemSizes(true);
    list->addItems(lines);
    list->setCurrentRow(0);
    w.show();
    return app.exec();
}
