#pragma once

// Rounding to the nearest whole number with halves to even, the one rule
// every piece of the suite's arithmetic rounds by (dial, level monitor, mixer
// percentages, playback bar, MP3 sizes). Independent of the floating-point
// rounding mode.
long long roundHalfEven(double v);

// n / d (d > 0) rounded the same way, in whole numbers only; n may be negative.
long long divideHalfEven(long long n, long long d);
