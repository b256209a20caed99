#pragma once

#include <QString>

// The whole number a caption starts with: "12" -> 12, "25 seconds" -> 25,
// " 7" -> 7, "" or "abc" -> 0. Length captions carry a unit for Xing files,
// and the playback counters must read them without failing.
int leadingNumber(const QString& text);
