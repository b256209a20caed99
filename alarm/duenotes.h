#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The notes that are due when the alarm sounds, found the way the watcher
// finds them (it passes nothing on), and the line the bar shows about them.
namespace DueNotes {

// How many due notes the alarm speaks after its chime, and for how long
// each at most.
constexpr int MaxSpoken = 3;
constexpr int MaxSpokenMs = 60 * 1000;

// The program folder of the player's own folder (Data/).
QString programFolderOf(const QString& ownFolder);

// The paths of every note of <programFolder>/Media/ due at `now`, the one
// due longest first.
QStringList find(const QString& programFolder, const QDateTime& now);

// The line under the bar's title: the comment of the first due note, its
// underscores shown as blanks (the encoder's command line carries them for
// blanks), and "(и ещё N)" when N more are due. Empty when nothing is due or
// the first note has no comment (no tag, or an empty one): the bar then
// shows its title alone, as for an alarm started by hand. A note left
// without its words is still spoken, and the count of the others would say
// little on its own.
QString caption(const QStringList& duePaths);

} // namespace DueNotes
