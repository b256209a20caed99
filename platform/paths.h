#pragma once

#include <QString>

// Where the suite keeps its files on a Linux desktop.
namespace Paths {

// The folder of the running executable; Tinkra's is the Data folder. Also
// works before the application object exists.
QString programFolder();

// The private per-user scratch folder for the recordings being made
// (~/.cache/Quillmur/), created with mode 0700 when missing. Ends with '/'.
// Returns an empty text when no private folder can be had there; the reason
// is then given by scratchFolderProblem(). Never falls back to another
// folder: the recordings are the user's private words.
QString scratchFolder();
// Why the last scratchFolder() gave nothing, naming the folder; empty when
// it gave a folder.
QString scratchFolderProblem();

// Makes `folder` a usable private folder: created when missing (mode 0700),
// a folder (after following links) owned by this user, closed to others and
// writable. Returns an empty text when it is, else the reason in the hint
// line's words.
QString preparePrivateFolder(const QString& folder);

// The per-user runtime folder for locks and small state files
// ($XDG_RUNTIME_DIR, else a private folder under the cache).
QString runtimeFolder();

} // namespace Paths
