#pragma once

#include "earlysound.h"
#include "mcierror.h"

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

// A short English description of an error code, for callers that show it
// (the alarm player's message box).
QString mciErrorText(int code);

// Whether the playback of `file` (named as in its Play command) is still
// sounding: false once it has played to its end or its " to Y", after
// Stop, or when it was never started.
bool mciIsPlaying(const QString& file);

// Takes over what `early` made before the media commands were first used
// (the alarm's first moments, see earlysound.h): its chime, playing already,
// or else its cued MP3, as the device that `cueCommand` ("Cue <file>") would
// have opened, so that "Play <file>" and "Stop <file>" reach it. False, with
// the MP3 closed, when the command is not a Cue, nothing was opened, or
// <file> is open already.
bool mciAdopt(const QString& cueCommand, EarlySound& early);

// Ends every recording and playback and joins their worker threads. Also runs
// by itself when the process exits; calling it twice is harmless.
void mciShutdown();
