#pragma once

#include <string>

// The single-instance lock (singleinstance.h) as the alarm takes it in its
// first moments, before Qt is loaded: only in the plain case, where no lock
// file is there at all. The file is created and held exactly as Qt's
// QLockFile does it (the same lines, the same kernel lock), so every other
// copy and program reads it as usual; SingleInstance::adopt() then takes it
// over. Any other case (a copy that runs, a file a killed copy left, an error)
// is left to SingleInstance.
namespace QuickLock {

// The held lock's descriptor, or -1 when the file is there already or
// cannot be made.
int create(const std::string& path, const std::string& program);

// Whether the lock file `path` names a process that runs
// (SingleInstance::isRunning, without Qt).
bool holderRuns(const std::string& path);

// The per-user runtime folder as Qt finds it ($XDG_RUNTIME_DIR, when it is
// a folder of this user's that only they can enter); empty when Qt would
// have to look elsewhere or put it right.
std::string runtimeFolder();

} // namespace QuickLock
