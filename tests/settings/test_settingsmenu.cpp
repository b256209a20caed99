#include "settingsmenu.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using Action = SettingsMenu::Action;

// A pointer path over the box (twips; nullopt: the pointer leaves the box)
// and what a click at its end does.
struct Case
{
    const char* name;
    std::vector<std::optional<std::pair<int, int>>> path;
    quint8 panelMode;
    Action action;
    int shownBand; // -1: no highlight
    bool captured;
};

constexpr int kWidth = 3000;
const auto kLeave = std::nullopt;

std::pair<int, int> at(int x, int y)
{
    return {x, y};
}

const Case kCases[] = {
    {"click before any hover", {}, 0, Action::None, -1, false},
    {"hover outside sideways only", {at(0, 400), at(kWidth, 400)}, 0, Action::None, -1, false},
    {"item 10 highlighted", {at(1500, 400)}, 10, Action::BrowseSaved, 0, true},
    {"item 10 at the right edge", {at(kWidth - 15, 400)}, 10, Action::BrowseSaved, 0, true},
    {"item 10 then up out of the box", {at(1500, 400), at(1500, -30)}, 10, Action::None, -1, true},
    {"item 10 then onto its line", {at(1500, 400), at(1500, 840)}, 10, Action::None, -1, true},
    {"item 10 then out sideways", {at(1500, 400), at(0, 400)}, 10, Action::None, -1, false},
    {"item 10 then out to the right",
     {at(1500, 400), at(kWidth, 400)},
     10,
     Action::None,
     -1,
     false},
    {"item 10 then leave", {at(1500, 400), kLeave}, 10, Action::None, -1, false},
    {"item 11", {at(1500, 1000)}, 11, Action::ChooseOwn, 1, true},
    {"item 11 without its highlight",
     {at(1500, 1000), at(1500, 1470)},
     11,
     Action::ChooseOwn,
     -1,
     true},
    {"item 12", {at(1500, 1800)}, 12, Action::RestoreDefault, 2, true},
    {"item 12 after leaving", {at(1500, 1800), kLeave}, 12, Action::RestoreDefault, -1, false},
    {"item 13", {at(1500, 2500)}, 13, Action::InstallWatcher, 3, true},
    {"item 13 then the gap",
     {at(1500, 2500), at(1500, 3000)},
     13,
     Action::InstallWatcher,
     -1,
     true},
    {"item 13 then the bottom line",
     {at(1500, 2500), at(1500, 3660)},
     13,
     Action::InstallWatcher,
     -1,
     true},
    {"below the items", {at(1500, 2500), at(1500, 3675)}, 14, Action::None, -1, false},
    {"gap first keeps 0", {at(1500, 3000)}, 0, Action::None, -1, true},
    {"down through all items",
     {at(1500, 400), at(1500, 1000), at(1500, 1800), at(1500, 2500)},
     13,
     Action::InstallWatcher,
     3,
     true},
    {"back up from below", {at(1500, 3700), at(1500, 1000)}, 11, Action::ChooseOwn, 1, true},
    {"band borders are not inside",
     {at(1500, 1000), at(1500, 2070)},
     11,
     Action::ChooseOwn,
     -1,
     true},
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class SettingsMenuRules : public testing::TestWithParam<Case>
{
};

TEST_P(SettingsMenuRules, HoverThenClick)
{
    const Case& c = GetParam();
    SettingsMenu menu(kWidth);
    for (const auto& step : c.path) {
        if (step)
            menu.move(step->first, step->second);
        else
            menu.leave();
    }
    const SettingsMenu::Click click = menu.click();
    EXPECT_EQ(quint8(click.panelMode), c.panelMode);
    EXPECT_EQ(click.action, c.action);
    EXPECT_EQ(menu.itemCode(), c.panelMode);
    for (int band = 0; band < SettingsMenu::kBandCount; ++band)
        EXPECT_EQ(menu.highlightShown(band), band == c.shownBand) << "band " << band;
    EXPECT_EQ(menu.captured(), c.captured);
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsMenuRules, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

} // namespace
