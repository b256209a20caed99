#include "iconanimation.h"

std::optional<int> IconAnimation::step()
{
    if (m_frame == FrameCount - 1) {
        m_frame = 0;
        ++m_cycles;
    }
    if (m_cycles == Passes) {
        m_cycles = 0;
        return std::nullopt;
    }
    return ++m_frame;
}
