#pragma once

#include <QtGlobal>

// What expanding one image's LZW codes came to.
struct LzwExpanded
{
    qint64 count = 0;       // indexes written from the start of the output
    bool outOfData = false; // the codes ran out before the output was full
    bool badCode = false;   // a code named a string not made yet
};

// Expands the LZW codes of one GIF image (its data sub-blocks already joined:
// `dataBytes` bytes at `codes`, followed by eight readable bytes) into colour
// indexes in [begin, end), stopping at the end code, at the end of the data
// or when the output is full. Nothing is written past `end`.
LzwExpanded expandLzw(const quint8* codes, qsizetype dataBytes, int minCodeSize, quint8* begin,
                      quint8* end);
