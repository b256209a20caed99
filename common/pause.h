#pragma once

// Waits at least `ms` milliseconds while the event loop keeps running, so the
// window stays responsive and timers keep firing. Time is measured on a
// monotonic clock, so a wait across midnight or a clock change is not cut
// short or stretched. Callers must not rely on state staying unchanged.
void Pause(int ms);
