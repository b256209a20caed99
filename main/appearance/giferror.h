#pragma once

// Why a GIF could not be decoded. Every way a file can be malformed has its
// own value, so the caller (and the command-line tool) can say which.
enum class GifError {
    None,
    Unreadable,         // the file could not be opened or read
    Truncated,          // the data end before the trailer
    BadSignature,       // not "GIF87a" or "GIF89a"
    BadScreenSize,      // logical screen empty or too large to hold
    BadFrameSize,       // an image too large to hold
    BadGraphicControl,  // graphic control extension of the wrong size or unterminated
    BadBlockIntroducer, // neither extension, image descriptor nor trailer
    NoColorTable,       // an image with neither a global nor a local colour table
    BadCodeSize,        // LZW minimum code size outside 2..9
    BadCode,            // an LZW code beyond the next free table entry
};

// The enumerator's name, e.g. "Truncated".
const char* gifErrorName(GifError error);
