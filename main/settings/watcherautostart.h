#pragma once

#include "createlink.h"

#include <QString>
#include <QStringList>

#include <functional>

// Settings item 13: an autostart entry that starts the tray watcher at every
// log-on, and a start of the watcher right now, minimized (it then shows only
// its tray icon; a second copy ends by its own single-instance check).
class WatcherAutostart
{
public:
    static const QString kEntryName; // "Предупредить о назначенном задании"

    // Starts a program detached; true when it could be started.
    using Starter = std::function<bool(const QString& program, const QStringList& arguments,
                                       const QString& workingDirectory)>;

    struct Outcome
    {
        Shortcuts::LinkResult link;
        bool started = false;
        // A hint for the user when something failed, empty otherwise.
        QString hint() const;
    };

    explicit WatcherAutostart(const QString& programFolder, Starter starter = detachedStarter());

    QString watcherPath() const { return m_programFolder + QLatin1String("/Vestrel"); }
    // The watcher's picture, shipped in Data; the main program's when missing.
    QString iconPath() const;

    Outcome run() const;

    static Starter detachedStarter();

private:
    QString m_programFolder;
    Starter m_starter;
};
