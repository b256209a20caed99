#include "watcherautostart.h"

#include <QFileInfo>
#include <QProcess>

const QString WatcherAutostart::kEntryName = QStringLiteral("Предупредить о назначенном задании");

WatcherAutostart::WatcherAutostart(const QString& programFolder, Starter starter)
    : m_programFolder(programFolder), m_starter(std::move(starter))
{
}

QString WatcherAutostart::iconPath() const
{
    const QString own = m_programFolder + QLatin1String("/Data/vestrel.png");
    if (QFileInfo(own).isFile())
        return own;
    return m_programFolder + QLatin1String("/Data/quillmur.png");
}

WatcherAutostart::Outcome WatcherAutostart::run() const
{
    Outcome outcome;
    // A normal window at log-on: the watcher then stays visible beside its icon.
    outcome.link = Shortcuts::CreateLink(Shortcuts::StartUp, kEntryName, watcherPath(), QString(),
                                         iconPath(), m_programFolder, QString(), 1);
    // Watching starts even when the entry could not be written: the user asked
    // for it, only the next log-on is lost.
    outcome.started = m_starter(watcherPath(), {QStringLiteral("-minimized")}, m_programFolder);
    return outcome;
}

WatcherAutostart::Starter WatcherAutostart::detachedStarter()
{
    return [](const QString& program, const QStringList& arguments, const QString& folder) {
        return QProcess::startDetached(program, arguments, folder);
    };
}

QString WatcherAutostart::Outcome::hint() const
{
    QString text;
    if (!link.ok()) {
        const QString folder = QFileInfo(link.entry).path();
        text = link.entry.isEmpty()
                   ? QStringLiteral("Не удалось добавить в автозагрузку.")
                   : QStringLiteral("Не удалось добавить в автозагрузку: нет доступа к %1")
                         .arg(folder);
    }
    if (!started) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QStringLiteral("Не удалось запустить Vestrel.");
    }
    return text;
}
