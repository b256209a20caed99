#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

// Lists the names in one folder the way the suite's wildcard listings have
// always seen them: normal files only (no folders, no dot files), a pattern
// such as "*.mp3*" matched without regard to case, in the order the file
// system gives them. Unlike QDir it also lists names whose bytes are not
// UTF-8 (copied from another system, for example), showing the odd bytes as
// replacement characters, so they can be reported and deleted instead of
// staying invisible.
namespace FolderListing {

// Each name as it is visited, for readers that judge a name by its bytes:
// `bytes` is the name as stored (valid only during the call).
struct Name
{
    QByteArrayView bytes;
    bool exactName = true; // false: not UTF-8
    // The name as text when it had to be decoded to be judged (bytes that
    // are not plain UTF-8), else null: `bytes` then holds it exactly.
    const QString* text = nullptr;
};
// False when the folder is missing or cannot be read. `throughLinks`, when
// given, is set when some name's kind had to be looked up elsewhere (a link,
// or a file system that does not say): the listing can then change without
// the folder changing.
bool forEachName(const QString& folder, const QString& pattern,
                 const std::function<void(const Name&)>& visit, bool* throughLinks = nullptr);

// Deletes the file `name` of `folder` as a listing showed it; a name shown
// with replacement characters deletes the first such file it stands for.
bool remove(const QString& folder, const QString& name);

} // namespace FolderListing
