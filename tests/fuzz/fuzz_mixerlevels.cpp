// Feeds arbitrary bytes to the reader of the levels a killed run left
// (Tinkra.sound, Quillmur.sound). Whatever it accepts must be within the
// mixer table and read back the same from its own text form.
#include "mmixer.h"
#include "savedlevels.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto levels =
        MixerLevels::fromText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!levels)
        return 0;
    for (const MixerLevels::Control& c : levels->controls())
        if (c.index < 0 || c.index >= MMixer::ControlCount || c.value < 0 || c.value > 100 ||
            c.channels.size() > 32)
            std::abort();
    if (!(MixerLevels::fromText(levels->toText()) == levels))
        std::abort();
    return 0;
}
