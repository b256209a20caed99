#pragma once

#include <QString>

// What the header reader tells about an MP3 file: eleven texts, empty until
// set. The leading blanks of some texts (" Mono", " No") belong to them.
struct Mp3Info
{
    QString bitrate;   // "48Kbit", or "97 Kbit (VBR)" for a Xing file
    QString mode;      // " Stereo", " Joint Stereo", " 2 Channel", " Mono"
    QString copyright; // " Yes" / " No"
    QString crc;       // "Yes" / "No"
    QString emphasis;  // " None", " 50/15 microsec", " invalid", " CITT j. 17"
    QString frequency; // "22050 Hz"
    QString layer;     // "layer 1".."layer 3"
    QString length;    // whole seconds, "25 seconds" for a Xing file; empty when unknown
    QString version;   // "MPEG 1.0" / "MPEG 2.0"
    QString original;  // " Yes" / " No"
    QString size;      // "72128 bytes"
};
