#pragma once

#include <QByteArray>
#include <QString>

// Files that are either whole on the disk or not there at all, and errors
// that say what went wrong in the user's words.
//
// A file is written under a hidden temporary name in its own folder
// (".<name>.XXXXXX"), every write checked, flushed to the disk, and only
// then renamed to its name; the folder's entry is flushed last. A full disk,
// a read-only folder or a kill half way leaves the old file (or none) and at
// most the hidden temporary name, never a short file under the real name.
namespace DurableFile {

// Why a file operation failed, in the hint line's words: "нет места на
// диске", "диск только для чтения", "нет прав на запись", ...
QString reason(int err);
// "<reason> в <folder>", the folder written with "~" for the home folder.
QString problem(int err, const QString& folder);
// The home folder written as "~": the hint line is short.
QString shown(const QString& path);

// Flushes a file or a folder (its entries) to the disk; the errno on
// failure, else 0.
int sync(const QString& path);
int syncFolderOf(const QString& path);

// One file being written: open() makes the hidden temporary file, write()
// appends, commit() flushes, closes, renames and flushes the folder. A
// writer destroyed without a successful commit() removes its temporary file.
class Writer
{
public:
    Writer() = default;
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // `mode`: the file's permissions; -1 gives 0666 less the umask.
    bool open(const QString& path, int mode = -1);
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // `replace`: an existing file of the name is replaced; otherwise the
    // commit fails (EEXIST) and leaves it alone.
    bool commit(bool replace = true);

    // The errno of the first failure; 0 when none.
    int error() const { return m_error; }
    const QString& temporaryName() const { return m_temporary; }

private:
    bool failed(int err);

    QString m_path;
    QString m_temporary;
    int m_fd = -1;
    int m_error = 0;
};

// Writes `bytes` as the whole of `path`. Returns 0, or the errno of the
// failure (nothing then changed at `path`).
int write(const QString& path, const QByteArray& bytes);

// rename(2) that fails with EEXIST instead of replacing an existing target.
// Returns 0 or the errno.
int renameNoReplace(const QString& from, const QString& to);

} // namespace DurableFile
