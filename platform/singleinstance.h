#pragma once

#include <QLockFile>
#include <QString>

#include <cerrno>
#include <memory>

#include <signal.h>

// One running copy per user and program: a lock file in the per-user runtime
// folder. A lock left by a crashed copy is recognised as stale and taken over.
class SingleInstance
{
public:
    enum class Outcome {
        Acquired, // this process is the only copy and holds the lock
        Running,  // another copy holds it
        NoLock,   // the lock could not be created; problem() says why
    };

    // `folder` is where the lock lives; empty: the per-user runtime folder.
    explicit SingleInstance(const QString& programName, const QString& folder = QString());
    ~SingleInstance();

    Outcome acquire();
    // Takes over the lock already held on this instance's file
    // (quicklock.h), instead of acquire(); released the same way.
    void adopt(int fd) { m_adopted = fd; }
    // Why the last acquire() gave NoLock, naming the lock file.
    const QString& problem() const { return m_problem; }

    // "<folder>/<programName>.lock"
    static QString lockFile(const QString& folder, const QString& programName)
    {
        return folder + QLatin1Char('/') + programName + QStringLiteral(".lock");
    }

    // Whether a live process holds `programName`'s lock in `folder`, read
    // from the lock file alone. Nothing is locked, so a copy that starts
    // meanwhile never finds its lock busy because of the look.
    static bool isRunning(const QString& folder, const QString& programName)
    {
        return processRuns(holder(lockFile(folder, programName)));
    }

private:
    // The process a lock file names; 0 when there is none or it cannot be
    // read (also while a copy is still writing it).
    static qint64 holder(const QString& lockFile)
    {
        qint64 pid = 0;
        QString host, app;
        return QLockFile(lockFile).getLockInfo(&pid, &host, &app) ? pid : 0;
    }
    // Signal 0 only asks whether the process is there; one of another user
    // answers EPERM. An id no process can have is nobody's.
    static bool processRuns(qint64 pid)
    {
        return pid > 0 && pid == pid_t(pid) && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
    }

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QString m_problem;
    int m_adopted = -1;
};
