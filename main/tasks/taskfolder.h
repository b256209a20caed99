#pragma once

#include "folderwatch.h"
#include "rekrusiy.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

// The names of the task folder in list order, read once and then kept for
// as long as the folder is seen not to change: with years of notes, reading
// and sorting the names is most of what building a list costs, and the
// panel builds one at every press of a selector. Whatever changes the
// folder (this program, the watcher, the user in a file manager) makes the
// next call read it again; so does any doubt (a link among the names, a
// network folder).
class TaskFolder
{
public:
    explicit TaskFolder(const QString& mediaFolder);
    ~TaskFolder();
    TaskFolder(const TaskFolder&) = delete;
    TaskFolder& operator=(const TaskFolder&) = delete;

    // Starts reading the folder on a thread of its own (the program does so
    // while Qt starts and the window draws its first frame); names() takes
    // the result. Does nothing while a reading is on its way.
    void prefetch();
    // `done` is called once the names read ahead are in: on the reading
    // thread, or at once on this one when they already are.
    void whenRead(std::function<void()> done);
    // Whether what prefetch() started is done (names() will not wait).
    bool readAhead() const { return m_readAhead; }
    // Waits for what prefetch() started.
    void finishReading();
    const QString& folder() const { return m_folder; }
    // The names as Rekrusiy::enumerate(folder, TaskLists::kPattern) gives
    // them now.
    QStringList names();

private:
    struct Read
    {
        Rekrusiy::Listing listing;
        bool watched = false;
    };
    Read read();
    void keep(Read r);

    QString m_folder;
    FolderWatch m_watch;
    std::thread m_reader;
    std::atomic<bool> m_readAhead{false};
    std::mutex m_doneLock;
    std::function<void()> m_done;
    Read m_pending;
    QStringList m_names;
    bool m_kept = false;
};
