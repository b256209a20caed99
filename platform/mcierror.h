#pragma once

// Error codes of the media command strings (mci.h); 0 is success.
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
