// Prints where the named controls of the main window are, in window pixels,
// so scripts can click them on the real program:
//   widgetmap PROGRAM_FOLDER YYYY-MM-DD
// Lines: "<objectName>[#index] x y width height" (centre first: x y are the
// control's centre), and "day:<n> x y" for the cells of the open calendar
// on the month of the given date.
#include "calendarpanel.h"
#include "dragwindow.h"
#include "mainwindow.h"
#include "testclock.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QTableView>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER YYYY-MM-DD\n", argv[0]);
        return 2;
    }
    const QDate date = QDate::fromString(QString::fromLatin1(argv[2]), Qt::ISODate);
    TestClock clock(QDateTime(date, QTime(12, 0)));
    MainWindowServices services;
    services.mixer = createAlsaMixer();
    services.send = [](const QString&) { return 0; };
    services.waveInput = createAlsaWaveInput();
    services.fileDialog = runFileDialog;
    services.dragWindow = DragWindow;
    MainWindow window(QString::fromLocal8Bit(argv[1]), QStringLiteral("/tmp/"), clock,
                      std::move(services));
    window.show();
    QTextStream out(stdout);
    const auto put = [&](const QString& name, const QRect& r) {
        out << name << ' ' << r.center().x() << ' ' << r.center().y() << ' ' << r.width() << ' '
            << r.height() << '\n';
    };
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const QRect r(w->mapTo(&window, QPoint(0, 0)), w->size());
        const QVariant index = w->property("Index");
        put(w->objectName() + (index.isValid() ? "#" + index.toString() : QString()), r);
    }
    window.calendar()->cmdCalen_Click();
    if (auto* cal = window.calendar()->findChild<QCalendarWidget*>()) {
        auto* view = cal->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
        QAbstractItemModel* model = view->model();
        for (int r = 1; r < model->rowCount(); ++r)
            for (int c = 1; c < model->columnCount(); ++c) {
                const QModelIndex i = model->index(r, c);
                const int day = i.data().toInt();
                if ((r == 1 && day > 20) || (r >= 5 && day < 15))
                    continue; // a neighbouring month's day
                const QRect cell = view->visualRect(i);
                const QPoint at = view->viewport()->mapTo(&window, cell.center());
                out << "day:" << day << ' ' << at.x() << ' ' << at.y() << '\n';
            }
    }
    return 0;
}
