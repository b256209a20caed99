#include "duewatch.h"

#include <QProcess>

DueWatch::DueWatch(const QString& programFolder, const Clock& clock, Starter start, QObject* parent)
    : QObject(parent), m_programFolder(programFolder), m_scan(clock), m_start(std::move(start))
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

ScanResult DueWatch::tick()
{
    const ScanResult found =
        m_scan.ScanDueTasks(m_programFolder + QStringLiteral("/Media/"), DueScan::taskPattern());
    emit mediaReadable(found.folderReadable);
    if (found.badNames > 0)
        emit badNamesFound(found.badNames);
    if (found.alert) {
        // "Minimized, not activated": the player shows only its small bar.
        m_start(m_programFolder + QStringLiteral("/Data/Tinkra"), {QStringLiteral("-minimized")});
        emit alertRaised();
    }
    return found;
}
