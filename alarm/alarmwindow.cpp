// The module the player loads for its window (see alarmwindow.h).
#include "alarmwindow.h"
#include "alarmbar.h"
#include "display.h"

#include <QApplication>

extern "C" Q_DECL_EXPORT QCoreApplication* tinkraCreateApplication(int* argc, char** argv)
{
    preferX11Platform();
    auto* app = new QApplication(*argc, argv);
    // The alarm ends with its timer: closing the message about a failed
    // sound must not end it early.
    QApplication::setQuitOnLastWindowClosed(false);
    return app;
}

extern "C" Q_DECL_EXPORT QObject* tinkraShowBar(const AlarmWindowContent* content)
{
    if (!content->errorText.isEmpty())
        showMciError(content->errorText, content->errorDetail);
    // Always the small bar: it is what "minimized" looks like for this player.
    auto* bar = new AlarmBar;
    bar->setNoteCaption(content->noteCaption);
    QObject::connect(bar, &AlarmBar::timeUp, bar, content->timeUp);
    bar->show();
    bar->timer1().start();
    return bar;
}
