#pragma once

#include <optional>

// The spin of the tray icon during an alert: frames 1 to 9, five passes,
// ending on frame 9. Frame 0 is the resting picture and is never shown by
// the spin itself.
class IconAnimation
{
public:
    static constexpr int FrameCount = 10;
    static constexpr int Passes = 5;

    // One step of the rotation timer: the frame to show now, or nothing when
    // the spin is over (the timer stops and the icon keeps the last frame).
    std::optional<int> step();

    int frameIndex() const { return m_frame; }
    int cycleCount() const { return m_cycles; }

private:
    int m_frame = 0;
    int m_cycles = 0;
};
