#pragma once

#include <QString>

// Shortcuts as XDG desktop entries: the Linux form of a shell shortcut in one
// of the user's special folders. An entry "<name>.desktop" starts its target
// when the desktop opens it (the autostart folder: at log-on).
namespace Shortcuts {

// The special folders a shortcut can go to, numbered as callers pass them.
enum Dest : int { Desktop = 0, Programs = 1, StartMenu = 2, StartUp = 3 };

// The outcome of CreateLink; `entry` is the file written or meant.
struct LinkResult
{
    enum Status {
        Saved,
        UnknownDestination, // Dest outside 0..3: no folder to write to
        FolderUnavailable,  // the folder (or subfolder) is missing and cannot be made
        NotSaved            // the entry file could not be written
    };
    Status status = NotSaved;
    QString entry;
    bool ok() const { return status == Saved; }
};

// The folder of a destination, honouring XDG_CONFIG_HOME and XDG_DATA_HOME:
// Desktop is the XDG desktop folder, Programs and StartMenu are the user's
// applications folder, StartUp is the autostart folder. Empty for any other
// number.
QString specialFolder(int dest);

// Quotes one Exec argument as the Desktop Entry rules want it: arguments with
// blanks or reserved characters go in double quotes with ", `, $ and \ escaped.
QString quoteExecArgument(const QString& argument);

// The text of a desktop entry. `winStyle` 2, 6 and 7 (minimized) start the
// target with the argument "-minimized"; others start it plainly. A hot key
// has no place in a desktop entry and is not written.
QByteArray desktopEntry(const QString& name, const QString& path, const QString& icon,
                        const QString& workingDirectory, qint16 winStyle);

// Writes "<name>.desktop" into the destination folder (and `subFolder` inside
// it when given), creating missing folders and replacing an entry of the same
// name whole: the old entry stays intact when the new one cannot be written.
LinkResult CreateLink(int dest, const QString& name, const QString& path, const QString& hotKey,
                      const QString& icon, const QString& workingDirectory,
                      const QString& subFolder, qint16 winStyle);

} // namespace Shortcuts
