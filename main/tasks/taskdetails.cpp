#include "taskdetails.h"

#include "leadingnumber.h"

TaskDetails TaskDetails::from(const Mp3Info& info)
{
    TaskDetails d;
    d.size = QLatin1Char(' ') + info.size;
    d.length = info.length;
    const int t = leadingNumber(d.length);
    if (t >= 60) {
        d.minutes = QString::number(t / 60);
        d.seconds = QString::number(t % 60);
    } else {
        d.minutes = QStringLiteral("0");
        // A Xing length carries " seconds"; show only its number. An unknown
        // length shows as 0 : 0.
        d.seconds = d.length.isEmpty() ? QString() : QString::number(t);
    }
    if (leadingNumber(d.seconds) < 10)
        d.seconds.prepend(QLatin1Char('0'));
    return d;
}
