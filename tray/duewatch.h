#pragma once

#include "duescan.h"
#include "noticebook.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class Clock;
class DesktopNotices;

// The once-a-minute watch of Vestrel: scans Media/ and, when a task is due,
// starts the alarm player and shows a desktop notice for each due task. The
// window shows the results (icon spin, message); this class needs no display.
class DueWatch : public QObject
{
    Q_OBJECT
public:
    // Starts a program detached; the arguments carry the window state.
    using Starter = std::function<void(const QString& program, const QStringList& arguments)>;

    static constexpr int Interval = 60000;

    // `programFolder` is Vestrel's own folder; `start` defaults to a detached
    // process start.
    DueWatch(const QString& programFolder, const Clock& clock, Starter start = {},
             QObject* parent = nullptr);

    // The watch timer (`Timer1`): first tick one interval after start.
    QTimer& timer() { return m_timer; }

    // One watch tick; returns what the scan found.
    ScanResult tick();

    // The desktop notices to keep on each tick (none when not set). Their
    // buttons play the note, move the task by SnoozeMinutes, or ask for
    // the main program.
    void setNotices(DesktopNotices* notices);
    static constexpr int SnoozeMinutes = 10;

signals:
    // Media/ holds names that are no task names.
    void badNamesFound(int count);
    // The alarm player was started (once per tick, however many tasks are due).
    void alertRaised();
    // Whether Media/ could be read on this tick (no message is shown when it
    // cannot; the tray's tool tip says so).
    void mediaReadable(bool readable);
    // A notice's "Открыть": the main program is to be opened.
    void openRequested();

private:
    QString mediaFolder() const { return m_programFolder + QStringLiteral("/Media/"); }
    void updateNotices(const ScanResult& found);
    void noticeAction(NoticeBook::Action action, const QString& name);

    QString m_programFolder;
    const Clock& m_clock;
    DueScan m_scan;
    Starter m_start;
    QTimer m_timer;
    DesktopNotices* m_notices = nullptr;
};
