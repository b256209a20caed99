#pragma once

#include <QString>

// Tells whether a folder's names may have changed since a moment of the
// caller's choosing, without reading the folder again: a kernel watch
// (inotify) on the folder itself. Anything that adds, removes, renames or
// changes the attributes of an entry, or moves, removes or unmounts the
// folder, counts as a change, whoever does it. Where changes could come
// unseen (a network or user-space file system, a folder reached through a
// link that may be pointed elsewhere) the watch refuses to start and every
// question answers "changed".
class FolderWatch
{
public:
    explicit FolderWatch(const QString& folder);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Forgets what happened so far: from now on, unchanged() answers for the
    // time since this call. False when the folder cannot be watched.
    bool rearm();
    // True when nothing was seen to change since the last rearm() that
    // returned true, and the path still leads to the folder watched then.
    bool unchanged();

private:
    bool drain(); // false: something happened, or the watch is broken
    void close();

    QByteArray m_path;
    int m_fd = -1;
    bool m_armed = false;
    unsigned long long m_device = 0, m_inode = 0;
};
