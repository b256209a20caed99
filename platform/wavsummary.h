#pragma once

#include <QString>

#include <optional>

// What a saved recording holds, read back from its WAV file: the number of
// frames and the loudest sample (16-bit scale, 0..32768).
struct WavSummary
{
    qint64 frames = 0;
    int peak = 0;

    // Everything within this of zero counts as silence (about -54 dBFS).
    static constexpr int kSilence = 64;
    bool silent() const { return peak <= kSilence; }

    // No value when the file is missing or not a sound file.
    static std::optional<WavSummary> read(const QString& path);

    // A WAV whose writer was stopped before it wrote its lengths (the
    // header says no data, or more than the file holds): the
    // lengths are set from the file's real size. True when it changed
    // anything.
    static bool repairLength(const QString& path);
};
