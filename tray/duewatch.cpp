#include "duewatch.h"

#include "clock.h"
#include "desktopnotices.h"
#include "id3v1tag.h"
#include "notefile.h"
#include "suiteoptions.h"
#include "taskrepeat.h"

#include <QProcess>

#include <cstdio>

DueWatch::DueWatch(const QString& programFolder, const Clock& clock, Starter start, QObject* parent)
    : QObject(parent), m_programFolder(programFolder), m_clock(clock), m_scan(clock),
      m_start(std::move(start))
{
    if (!m_start) {
        m_start = [](const QString& program, const QStringList& arguments) {
            // Like every start in the suite, a failure is not looked at.
            QProcess::startDetached(program, arguments);
        };
    }
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(Interval);
    connect(&m_timer, &QTimer::timeout, this, &DueWatch::tick);
    m_timer.start();
}

void DueWatch::setNotices(DesktopNotices* notices)
{
    if (m_notices)
        disconnect(m_notices, nullptr, this, nullptr);
    m_notices = notices;
    if (m_notices)
        connect(m_notices, &DesktopNotices::actionInvoked, this, &DueWatch::noticeAction);
}

ScanResult DueWatch::tick()
{
    const ScanResult found = m_scan.ScanDueTasks(mediaFolder(), DueScan::taskPattern());
    emit mediaReadable(found.folderReadable);
    if (found.badNames > 0)
        emit badNamesFound(found.badNames);
    if (found.alert) {
        // "Minimized, not activated": the player shows only its small bar.
        m_start(m_programFolder + QStringLiteral("/Data/Tinkra"), {QStringLiteral("-minimized")});
        emit alertRaised();
    }
    if (m_notices)
        updateNotices(found);
    return found;
}

void DueWatch::updateNotices(const ScanResult& found)
{
    // Nothing due and nothing shown, or no one to show it: the folder is not
    // read a second time.
    if (!m_notices->available() || (!found.alert && !m_notices->hasNotices()))
        return;
    // Read on every tick, so that turning notices off takes effect at once.
    if (!SuiteOptions::read(m_programFolder).notifications) {
        m_notices->update({}, false);
        return;
    }
    QList<DueNotice> due;
    if (found.alert) {
        const QString media = mediaFolder();
        for (const QString& name : DueScan::dueNames(media, m_clock.now())) {
            const auto moment = DueScan::dueMoment(name);
            if (!moment)
                continue;
            const auto tag = Id3v1Tag::read(media + name);
            const QString comment =
                tag ? Id3v1Tag::shownComment(media + name, tag->comment) : QString();
            due.append({name, NoticeBook::body(comment, moment->date, moment->hour, moment->minute),
                        bool(TaskRepeat::read(media + name).rule)});
        }
    }
    m_notices->update(due, true);
}

void DueWatch::noticeAction(NoticeBook::Action action, const QString& name)
{
    const QString media = mediaFolder();
    switch (action) {
    case NoticeBook::Action::Play:
        // The player plays the note alone, at the volume the user has set.
        m_start(m_programFolder + QStringLiteral("/Data/Tinkra"),
                {QStringLiteral("--note"), media + name});
        break;
    case NoticeBook::Action::Snooze: {
        // As the command line's --snooze: a taken name gets the next free
        // second.
        QString error;
        const QDateTime until = m_clock.now().addSecs(qint64(SnoozeMinutes) * 60);
        if (NoteFile::moveTask(media, name, until, &error))
            m_notices->withdraw(name);
        else
            std::fprintf(stderr, "Vestrel: %s was not snoozed: %s\n", qPrintable(name),
                         qPrintable(error));
        break;
    }
    case NoticeBook::Action::Open:
        emit openRequested();
        break;
    case NoticeBook::Action::Done: {
        // A repeating task done for now: on to its next time, as the
        // window's delete question does it.
        QString error;
        const auto rule = TaskRepeat::read(media + name).rule;
        if (rule && TaskRepeat::moveToNext(media, name, *rule, m_clock.now(), &error))
            m_notices->withdraw(name);
        else if (rule)
            std::fprintf(stderr, "Vestrel: %s was not moved on: %s\n", qPrintable(name),
                         qPrintable(error));
        break;
    }
    }
}
