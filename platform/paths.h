#pragma once

#include <QString>

// Where the suite keeps its files on a Linux desktop.
namespace Paths {

// The folder of the running executable; Tinkra's is the Data folder.
QString programFolder();

// The private per-user scratch folder for test.wav, Z.mp3 and the task file
// being made (~/.cache/Quillmur/), created with mode 0700 when missing.
// Ends with '/'. Returns an empty text when it cannot be created.
QString scratchFolder();

// The per-user runtime folder for locks and small state files
// ($XDG_RUNTIME_DIR, else a private folder under the cache).
QString runtimeFolder();

} // namespace Paths
