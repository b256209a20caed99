#pragma once

#include <QString>

// Brings a recording made elsewhere into the form of the suite's own: a
// 16-bit mono WAV at the recording's sampling rate (the encoder resamples),
// the channels mixed down. Reads anything libsndfile reads (WAV, FLAC, Ogg,
// AIFF, ...) and MPEG audio through libmpg123, so an MP3 is decoded and
// encoded again like every other note.
namespace AudioImport {

enum class Outcome {
    Ok,
    Missing,     // no such file, or not a regular file
    NotAudio,    // neither reader understands it
    Unsupported, // a sound format known by its header that neither reader reads (AAC, M4A, WMA)
    NoSound,     // readable, but not a single frame
    WriteFailed,
};

struct Result
{
    Outcome outcome = Outcome::NotAudio;
    qint64 frames = 0;
    int sampleRate = 0;
    QString detail; // the library's or the system's own words, for WriteFailed
};

// Writes `target` (replacing it) from `source`. On anything but Ok no
// target is left behind.
Result toWav(const QString& source, const QString& target);

} // namespace AudioImport
