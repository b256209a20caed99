#pragma once

#include "mp3info.h"

#include <QString>

// The size and length captions of the selected task: the hidden captions
// `labSize` and `labLength` (whole seconds, read by playback) and the visible
// minutes and seconds beside the playback buttons.
struct TaskDetails
{
    QString size;    // labSize: " 72128 bytes"
    QString length;  // labLength: "12", "25 seconds", or empty when unknown
    QString minutes; // labLength2
    QString seconds; // labLength3, two digits: 7 s -> "07"; "0" when unknown

    static TaskDetails from(const Mp3Info& info);
};
