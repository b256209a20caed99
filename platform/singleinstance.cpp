#include "singleinstance.h"

#include "paths.h"

#include <QFile>

#include <unistd.h>

SingleInstance::SingleInstance(const QString& programName, const QString& folder)
    : m_path(lockFile(folder.isEmpty() ? Paths::runtimeFolder() : folder, programName)),
      m_lock(std::make_unique<QLockFile>(m_path))
{
    // A copy that runs never refreshes the lock, so it must not go stale by age.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (m_adopted < 0)
        return;
    // As QLockFile lets go: the name first, then the kernel lock.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_adopted);
}

SingleInstance::Outcome SingleInstance::acquire()
{
    m_problem.clear();
    errno = 0;
    if (m_lock->tryLock(0))
        return Outcome::Acquired;
    const int err = errno;
    const QString reason = err != 0 ? QStringLiteral(": ") + qt_error_string(err) : QString();
    if (m_lock->error() == QLockFile::LockFailedError) {
        // Qt takes over the lock of a copy that has ended, unless it cannot
        // create the helper file it needs for that (a full folder): then no
        // copy runs, whatever the failure says.
        const qint64 pid = holder(m_path);
        if (pid == 0 || processRuns(pid))
            return Outcome::Running;
        m_problem =
            QStringLiteral("%1: left by a copy that has ended (%2) and cannot be replaced%3")
                .arg(m_path)
                .arg(pid)
                .arg(reason);
        return Outcome::NoLock;
    }
    m_problem = m_path + (reason.isEmpty() ? QStringLiteral(": cannot be created") : reason);
    return Outcome::NoLock;
}
