#pragma once

#include <QString>

// The suite's media command strings, understood case-insensitively:
//
//   open new type waveaudio alias A     a new recorder under the alias A
//   record A                            capture from ALSA "default"
//                                       (16-bit mono 22050 Hz); after a
//                                       stop it appends to what was taken
//   stop A                              stop capturing, keep the samples
//   save A <path>                       write what was taken as a WAV file
//   close A                             drop the recorder and its samples
//   Play <file>[ from X to Y]           decode the MP3 and play it on ALSA
//                                       "default" on a worker thread; X and
//                                       Y are milliseconds; after Pause it
//                                       resumes where it stood
//   Pause <file>                        hold the playback, keep the position
//   Stop <file>                         end the playback and rewind
//   Cue <file>                          open the decoder and the sound
//                                       device ahead, silently, so that a
//                                       later Play starts without waiting
//
// A file name is the rest of the command after the verb (minus a trailing
// " from X to Y"), so names with blanks work. Every call returns at once:
// capture and playback run on worker threads. Returns 0 on success or one of
// the MciError codes; it never throws.
int mciSendString(const QString& command);

// Error codes returned by mciSendString (0 is success).
enum MciError : int {
    MciOk = 0,
    MciUnknownCommand = 261, // verb not understood or malformed command
    MciAliasInUse = 289,     // open of an alias that is already open
    MciNoSuchDevice = 263,   // alias never opened (or already closed)
    MciFileNotFound = 275,   // Play of a missing file
    MciCannotDecode = 277,   // not an MP3 that the decoder accepts
    MciNoSoundDevice = 278,  // ALSA "default" could not be opened
    MciWriteFailed = 282,    // save could not write the WAV file
    MciDiskFull = 283,       // ... because the disk is full
    MciWriteProtected = 284, // ... because the folder is read-only or not ours
};

// A short English description of an error code, for callers that show it
// (the alarm player's message box).
QString mciErrorText(int code);

// Whether the playback of `file` (named as in its Play command) is still
// sounding: false once it has played to its end or its " to Y", after
// Stop, or when it was never started.
bool mciIsPlaying(const QString& file);

// Ends every recording and playback and joins their worker threads. Also runs
// by itself when the process exits; calling it twice is harmless.
void mciShutdown();
