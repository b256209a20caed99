#pragma once

#include <QtGlobal>

// Rounding to the nearest whole number with halves to even, the one rule
// every piece of the suite's arithmetic rounds by (dial, level monitor, mixer
// percentages, playback bar, MP3 sizes). Independent of the floating-point
// rounding mode.
qint64 roundHalfEven(double v);

// n / d (d > 0) rounded the same way, in whole numbers only; n may be negative.
qint64 divideHalfEven(qint64 n, qint64 d);
