#pragma once

#include "mp3info.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>

// The MP3 header reader behind the size and length display. It looks for the
// first frame header in the first 4096 bytes, decodes it with small formulas
// and estimates the length from the file size and the bitrate, or from the
// frame count of a Xing header.

// How much of the start of a file the reader looks at.
constexpr int kMp3ScanBytes = 4096;

// low <= value <= high.
bool InRange(quint8 value, quint8 low, quint8 high);

// Length and average bitrate of a Xing file of `fileSize` bytes holding
// `frames` frames: {"97 Kbit (VBR)", "25 seconds"}. No value when the count is
// too small to give a whole second (57 frames or fewer).
std::optional<std::pair<QString, QString>> VbrLength(qint64 fileSize, qint32 frames);

// Fills `info` from the first bytes of a file (`head`, at most 4096 are used)
// and the file's length. The size is always set; the other fields are left
// as they were when no frame header is found, in which case false is
// returned. A bitrate of 0 leaves the length empty.
bool DecodeMp3Info(const QByteArray& head, qint64 fileSize, Mp3Info& info);

// The length of an ID3 version 2 tag (header, body and footer) that starts
// the file, judged from its first 10 bytes; 0 when there is none. Its frames
// may hold bytes that look like a frame header, so the scan starts after it.
qint64 Id3v2Length(const QByteArray& first10);

class QFile;

// Opens `path` for reading only when it is a regular file (after following
// links), without ever blocking: a FIFO, a device or a socket under a task's
// name is refused, not waited on. False when refused or unreadable.
bool OpenRegularFile(QFile& file, const QString& path);

enum class Mp3Read { Ok, NotMp3, Unreadable };

// Reads the file at `path` (from the end of a leading ID3 version 2 tag,
// if any) and decodes it as above. NotMp3 means the caller owes the user the
// "Not a MP3 file..." message, also for anything that is not a regular file;
// Unreadable (no such file, no permission) leaves `info` untouched.
Mp3Read ReadMp3Info(const QString& path, Mp3Info& info);
