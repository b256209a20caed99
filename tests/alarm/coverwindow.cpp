// Test helper: another program's always-on-top window over the alarm bar.
//   coverwindow X Y WIDTH HEIGHT PX PY
// Shows a red window on that rectangle and prints "shown" once it is on
// the screen. Then reads the alarm player's process id from its input and,
// looking at the point PX,PY (inside the bar):
//   1. waits until the bar shows there, over the cover;
//   2. freezes the player (SIGSTOP), so that the bar cannot lift itself,
//      lifts the cover over everything and waits until it is seen there;
//   3. lets the player go on and waits until the bar shows there again.
// Prints the colour seen last as "r,g,b" and ends; when a step does not
// come about (within a minute: only a broken bar waits that long), the line
// before it says which.
//
//   coverwindow --watch PX PY
// Only looks: prints "ready", then the colour at PX,PY as soon as the bar
// shows there (else after a minute, the line "the bar is not seen" and the
// colour seen last). Looking many times a second from before the player
// starts, it sees a bar that a loaded machine draws late in its five seconds.
#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace {

QColor screenAt(const QPoint& p)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, p.x(), p.y(), 1, 1)
        .toImage()
        .pixelColor(0, 0);
}

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString rgb(const QColor& c)
{
    return QStringLiteral("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue());
}

constexpr int StepMs = 60000;
const QColor BarColour(128, 255, 255);
// Unlike the bar and the screen's background.
const QColor CoverColour(200, 0, 0);

} // namespace

int watch(const QPoint& probe)
{
    say(QStringLiteral("ready"));
    QColor seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        seen = screenAt(probe);
        if (seen != BarColour)
            return;
        say(rgb(seen));
        QCoreApplication::exit(0);
    });
    QTimer::singleShot(StepMs, [&] {
        say(QStringLiteral("the bar is not seen"));
        say(rgb(seen));
        QCoreApplication::exit(1);
    });
    poll.start();
    return QCoreApplication::exec();
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--watch") == 0)
        return watch(QPoint(atoi(argv[2]), atoi(argv[3])));
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT PX PY | --watch PX PY\n", argv[0]);
        return 2;
    }
    const QRect area(atoi(argv[1]), atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    const QPoint probe(atoi(argv[5]), atoi(argv[6]));
    QWidget cover(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    cover.setWindowTitle(QStringLiteral("Cover"));
    QPalette pal = cover.palette();
    pal.setColor(QPalette::Window, CoverColour);
    cover.setPalette(pal);
    cover.setAutoFillBackground(true);
    cover.setGeometry(area);
    cover.show();

    pid_t player = 0;
    // Whatever happens, the player is not left frozen.
    const auto thaw = [&] {
        if (player > 0)
            ::kill(player, SIGCONT);
    };
    enum Step { Showing, WaitingForPlayer, BarOverCover, CoverOverBar, BarBack };
    Step step = Showing;
    QColor seen;
    QTimer stepClock; // how long the current step has been going on
    QTimer poll;
    poll.setInterval(10);
    const auto finish = [&](int code) {
        thaw();
        poll.stop();
        say(rgb(seen));
        QCoreApplication::exit(code);
    };
    const auto next = [&](Step s) {
        step = s;
        stepClock.start(StepMs);
    };
    QObject::connect(&stepClock, &QTimer::timeout, [&] {
        switch (step) {
        case Showing:
            say(QStringLiteral("the cover window is not shown"));
            break;
        case WaitingForPlayer:
            say(QStringLiteral("no player process id came"));
            break;
        case BarOverCover:
            say(QStringLiteral("the bar is not seen over the cover"));
            break;
        case CoverOverBar:
            say(QStringLiteral("the cover is not seen over the frozen bar"));
            break;
        case BarBack:
            say(QStringLiteral("the bar does not come back over the cover"));
            break;
        }
        finish(1);
    });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    input.setEnabled(false);
    std::string line;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char c = 0;
        ssize_t n = 0;
        while ((n = ::read(STDIN_FILENO, &c, 1)) == 1 && c != '\n')
            line += c;
        // A whole line, or the end of the input (then the step's clock tells).
        input.setEnabled(false);
        if (n != 1)
            return;
        player = pid_t(std::atol(line.c_str()));
        next(BarOverCover);
        poll.start();
    });

    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (step == Showing) {
            if (!cover.windowHandle() || !cover.windowHandle()->isExposed())
                return;
            say(QStringLiteral("shown"));
            poll.stop();
            next(WaitingForPlayer);
            input.setEnabled(true);
            return;
        }
        seen = screenAt(probe);
        switch (step) {
        case BarOverCover:
            if (seen != BarColour)
                return;
            // Frozen, the bar cannot lift itself: the cover seen over it
            // shows that the lift took.
            ::kill(player, SIGSTOP);
            cover.raise();
            QGuiApplication::sync();
            next(CoverOverBar);
            break;
        case CoverOverBar:
            if (seen != CoverColour)
                return;
            ::kill(player, SIGCONT);
            next(BarBack);
            break;
        case BarBack:
            if (seen == BarColour)
                finish(0);
            break;
        default:
            break;
        }
    });
    next(Showing);
    poll.start();
    return app.exec();
}
