#pragma once

#include <QLibrary>
#include <QString>

#include <functional>

class QCoreApplication;
class QObject;

// The player's window (the bar and the message box) lives in a module of
// its own beside the player, loaded once the sound plays. The widget
// libraries take several milliseconds to load, more than anything else
// before the sound; the player itself needs only Qt Core.
//
// What the player hands the window module.
struct AlarmWindowContent
{
    QString errorText;            // the message about a failed sound; none when empty
    QString errorDetail;          // what that message names
    QString noteCaption;          // the line about the due notes under the title; none when empty
    std::function<void()> timeUp; // Timer1 ran out: the chime is over
};

// The module's two entry points, by these names:
//   tinkraCreateApplication: builds the application object (a QApplication).
//   tinkraShowBar: shows the message about a failed sound (when there is
//     one), then the bar with its caption, and starts its timer. The caller
//     owns the bar it returns.
// The player and the module are installed together; still, a module of
// another build must be refused rather than misread, so the entry point gets
// a new name whenever AlarmWindowContent changes.
extern "C" {
using CreateAlarmApplication = QCoreApplication* (*)(int* argc, char** argv);
using ShowAlarmWindow = QObject* (*)(const AlarmWindowContent* content);
}

class AlarmWindowModule
{
public:
    // How long the chime lasts (`Timer1`).
    static constexpr int AlarmMs = 5000;

    static QString fileIn(const QString& ownFolder);

    // Loads the module from `ownFolder`; false, with error() saying why,
    // when it cannot be loaded or lacks an entry point.
    bool load(const QString& ownFolder);
    QString error() const { return m_error; }

    CreateAlarmApplication createApplication = nullptr;
    ShowAlarmWindow showWindow = nullptr;

private:
    QLibrary m_library;
    QString m_error;
};

// Whether the bar's application can be made at all, asked of a child
// process: Qt ends a process whose display it cannot open (no X server, a
// Wayland session without Qt's plug-in), and the player must go on to sound
// the alarm and put the mixer back whatever happens to its bar. The child
// is made before anything else (while the player has no other thread), but
// looks only once go() lets it: on a machine with few processors, loading
// the widget libraries beside the sound held the sound back by a third.
class DisplayProbe
{
public:
    DisplayProbe() = default;
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;
    ~DisplayProbe();

    void start(const QString& ownFolder, int argc, char** argv);
    // Lets the child look (once the sound plays, or could not be started).
    void go();
    // Lets the child look if it waits still, then waits at most `ms` for
    // the answer; false, with `why`, when the bar cannot be shown (the
    // child is then ended).
    bool usable(int ms, QString* why);

private:
    qint64 m_pid = -1;
    int m_go = -1; // the pipe's end the child waits on
};
