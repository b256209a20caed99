#include "buttonzones.h"

#include <gtest/gtest.h>

TEST(ButtonZones, ThirdsWithBordersBelongingToNoZone)
{
    struct Case
    {
        int y;
        ButtonZone zone;
    };
    const Case cases[] = {
        {0, ButtonZone::None},  {1, ButtonZone::Up},    {29, ButtonZone::Up},
        {30, ButtonZone::None}, {31, ButtonZone::Ok},   {59, ButtonZone::Ok},
        {60, ButtonZone::None}, {61, ButtonZone::Down}, {89, ButtonZone::Down},
        {90, ButtonZone::None}, {-5, ButtonZone::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zoneAt(c.y, 90), c.zone) << "y=" << c.y;
    // Height 91: thirds are whole units (30), the lower zone starts after 61.
    EXPECT_EQ(zoneAt(61, 91), ButtonZone::None);
    EXPECT_EQ(zoneAt(62, 91), ButtonZone::Down);
}
