#include "savedlevels.h"

#include "mmixer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

bool isVolume(int index)
{
    return index < MMixer::SpeakerMute;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A whole field as a decimal number (an optional sign, digits), else nothing.
std::optional<long> number(std::string_view field)
{
    const std::string digits(field);
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(digits.c_str(), &end, 10);
    if (digits.empty() || end != digits.c_str() + digits.size() || errno != 0 ||
        isBlank(digits.front()))
        return std::nullopt;
    return n;
}

} // namespace

MixerLevels MixerLevels::take(const MMixer& mixer, const std::vector<int>& indices)
{
    std::vector<Control> controls;
    for (int index : indices) {
        Control c;
        c.index = index;
        c.value = isVolume(index) ? std::clamp(mixer.GetVolume(index), 0, 255)
                                  : (mixer.GetMute(index) ? 1 : 0);
        c.channels = mixer.GetChannels(index);
        controls.push_back(std::move(c));
    }
    return MixerLevels(std::move(controls));
}

void MixerLevels::restore(MMixer& mixer) const
{
    for (const Control& c : m_controls) {
        if (!c.channels.empty())
            mixer.SetChannels(c.index, c.channels);
        else if (isVolume(c.index))
            mixer.SetVolume(c.index, c.value);
        else
            mixer.SetMute(c.index, c.value != 0);
    }
}

int MixerLevels::value(int index) const
{
    for (const Control& c : m_controls)
        if (c.index == index)
            return c.value;
    return 0;
}

std::string MixerLevels::toText() const
{
    std::string text;
    for (const Control& c : m_controls) {
        text += std::to_string(c.index) + ' ' + std::to_string(c.value);
        for (long ch : c.channels)
            text += ' ' + std::to_string(ch);
        text += '\n';
    }
    return text;
}

std::optional<MixerLevels> MixerLevels::fromText(std::string_view text)
{
    std::vector<Control> controls;
    while (!text.empty()) {
        const size_t eol = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(std::min(eol + 1, text.size()));
        std::vector<long> numbers;
        while (!line.empty()) {
            const auto start = std::find_if_not(line.begin(), line.end(), isBlank);
            const auto stop = std::find_if(start, line.end(), isBlank);
            if (start != stop) {
                const auto n =
                    number(line.substr(size_t(start - line.begin()), size_t(stop - start)));
                if (!n || *n < 0 || *n > 65535 || numbers.size() == 2 + 32)
                    return std::nullopt;
                numbers.push_back(*n);
            }
            line.remove_prefix(size_t(stop - line.begin()));
        }
        if (numbers.empty())
            continue;
        if (numbers.size() < 2)
            return std::nullopt;
        Control c;
        c.index = int(numbers[0]);
        c.value = int(numbers[1]);
        c.channels.assign(numbers.begin() + 2, numbers.end());
        const bool known = c.index < MMixer::ControlCount &&
                           std::none_of(controls.begin(), controls.end(),
                                        [&](const Control& o) { return o.index == c.index; });
        const bool valid = isVolume(c.index) ? c.value <= 100 : c.value <= 1;
        if (!known || !valid)
            return std::nullopt;
        controls.push_back(std::move(c));
    }
    if (controls.empty())
        return std::nullopt;
    return MixerLevels(std::move(controls));
}
