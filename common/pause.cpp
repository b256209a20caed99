#include "pause.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

void Pause(int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    // A precise single-shot timer wakes the nested loop; the loop sleeps in
    // between instead of spinning. The outer check covers early wake-ups.
    while (elapsed.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(int(ms - elapsed.elapsed()), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
