#include "singleinstance.h"

#include "paths.h"

#include <QLockFile>

SingleInstance::SingleInstance(const QString& programName)
    : m_lock(std::make_unique<QLockFile>(Paths::runtimeFolder() + "/" + programName + ".lock"))
{
    // A copy that runs never refreshes the lock, so it must not go stale by age.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire()
{
    return m_lock->tryLock(0);
}
