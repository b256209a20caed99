#pragma once

#include <QString>

#include <memory>

class QLockFile;

// One running copy per user and program: a lock file in the per-user runtime
// folder. A lock left by a crashed copy is recognised as stale and taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& programName);
    ~SingleInstance();

    // True when this process is the only copy (and now holds the lock).
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
