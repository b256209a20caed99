// The window with years of tasks, each path against a bare Qt window doing
// the least the same picture needs, in the same run (offscreen, wall time,
// median of several runs):
//
//   "Все задачи": the press to the list drawn (the past list shown before it,
//                 as in the window), against a bare QListWidget of the same
//                 lines with uniform item sizes, filled and drawn
//   start:        the longest the window leaves a press waiting between its
//                 first frame and "Прошедшие задачи - N" on its hint line;
//                 and, for reference, how long that takes here, against the
//                 bare window made, filled and shown (the program itself,
//                 which reads the names while Qt starts, is timed against a
//                 bare window in bench_startup)
//
//   bench_tasklist [RUNS [COUNT]]     (default: 5 runs of 50000 tasks)
#include "benchrows.h"
#include "clock.h"
#include "fakeservices.h"
#include "mainwindow.h"
#include "tasklistpanel.h"
#include "taskpanelcontext.h"
#include "windowstate.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double measure(int runs, const std::function<double()>& once)
{
    std::vector<double> all;
    for (int i = 0; i < runs; ++i)
        all.push_back(once());
    return median(all);
}

std::string ms(double s)
{
    char b[32];
    std::snprintf(b, sizeof b, "%.0f ms", s * 1000);
    return b;
}

// COUNT past tasks a few hours apart from 2014 on (50000 reach 2023).
QStringList makeTasks(const QString& media, int count)
{
    QDir().mkpath(media);
    // Eight MPEG-2 layer III frames (48 kbit/s, 22.05 kHz, mono) and a tag:
    // what the panel reads of the first task is a note.
    QByteArray frame(156, '\0');
    frame[0] = char(0xff);
    frame[1] = char(0xf3);
    frame[2] = char(0x60);
    frame[3] = char(0xc4);
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(97, 7, "Pokupki");
    const QByteArray note = frame.repeated(8) + tag;
    QStringList names;
    QDateTime t(QDate(2014, 1, 1), QTime(0, 0), Qt::UTC);
    for (int i = 0; i < count; ++i, t = t.addSecs(97 * 60 + 13)) {
        const QString name = t.toString(QStringLiteral("dd.MM.yyyy HH'ч' mm'м' ss'.mp3'"));
        QFile f(media + name);
        f.open(QIODevice::WriteOnly);
        f.write(note);
        names << name;
    }
    names.sort();
    return names;
}

// The bare peer: a list of the lines, in the panel's place and font.
double bareList(const QStringList& lines, bool show)
{
    QElapsedTimer clock;
    clock.start();
    QWidget window;
    window.resize(200, 300);
    auto* list = new QListWidget(&window);
    list->setGeometry(0, 123, 200, 94);
    QFont small = list->font();
    small.setPointSize(8);
    list->setFont(small);
    list->setUniformItemSizes(true);
    list->addItems(lines);
    list->setCurrentRow(0);
    if (show)
        window.show();
    window.grab();
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const int count = argc > 2 ? std::atoi(argv[2]) : 50000;

    QTemporaryDir folder;
    const QStringList lines = makeTasks(folder.path() + "/Media/", count);
    // The start picture the window shows first.
    QDir(folder.path()).mkpath("Data");
    QImage picture(200, 300, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.save(folder.path() + "/Data/1.jpg", "JPG");
    const QString tasks = QString::number(count) + " tasks";

    // "Все задачи" pressed in the list panel.
    WindowState state;
    TaskPanelContext context;
    context.clock = &Clock::system();
    context.programFolder = folder.path();
    context.playback.send = [](const QString&) { return 0; };
    context.playback.shortPath = [](const QString& s) { return s; };
    context.playback.wait = [](int) {};
    context.playback.state = &state;
    context.showError = [](const QString&, const QString&) {};
    const double all = measure(runs, [&] {
        TaskListPanel panel(context);
        panel.resize(200, 300);
        // As in the window, the past list is what the panel showed first.
        panel.showList(0);
        panel.show();
        panel.grab();
        QElapsedTimer clock;
        clock.start();
        panel.showList(3);
        panel.grab();
        return clock.nsecsElapsed() / 1e9;
    });
    const double bareAll = measure(runs, [&] { return bareList(lines, false); });
    printRow("\"Все задачи\", " + tasks.toStdString(), ms(all), ms(bareAll), all / bareAll, 1.5);

    // The window's start: shown, then the past list's count on the hint line.
    const QString counted = QStringLiteral("Прошедшие задачи - ") + QString::number(count);
    double longestWait = 0;
    const double start = measure(runs, [&] {
        FakeServices fakes;
        MainWindow window(folder.path(), folder.path() + "/scratch/", Clock::system(), fakes.make(),
                          MainWindow::StartUp::AfterFirstFrame);
        window.show();
        window.grab(); // the first frame; the rest of the start follows it
        QElapsedTimer clock;
        clock.start();
        // A press would wait as long as the longest turn of the event loop.
        QElapsedTimer turn;
        turn.start();
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            longestWait = std::max(longestWait, turn.nsecsElapsed() / 1e9);
            turn.restart();
        });
        probe.start();
        QElapsedTimer limit;
        limit.start();
        while (window.hint() != counted) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (limit.elapsed() > 120000) {
                std::fprintf(stderr, "bench_tasklist: the hint line says \"%s\"\n",
                             qPrintable(window.hint()));
                std::exit(1);
            }
        }
        return clock.nsecsElapsed() / 1e9;
    });
    const double bareStart = measure(runs, [&] { return bareList(lines, true); });
    // For reference: here the names are read only from the window's making
    // on, where the program reads them while Qt starts; bench_startup times
    // the program itself against the bare window.
    printRowText("window start to \"" + counted.toStdString() + "\", in process, for reference",
                 ms(start), ms(bareStart), ratioText(start / bareStart), "-", true);
    printRowText("window start: longest a press waits", ms(longestWait), "-", "-", "<= 100 ms",
                 longestWait <= 0.1);
    return 0;
}
