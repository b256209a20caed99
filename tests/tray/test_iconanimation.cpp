#include "iconanimation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> runSpin(IconAnimation& a)
{
    std::vector<int> shown;
    for (int guard = 0; guard < 1000; ++guard) {
        const auto f = a.step();
        if (!f)
            return shown;
        shown.push_back(*f);
    }
    ADD_FAILURE() << "the spin never stops";
    return shown;
}

// One alert: frames 1..9 five times over (45 steps), never frame 0; the next
// alert starts again at frame 1 and is just as long.
TEST(IconAnimation, FiveTurnsOfNineFrames)
{
    std::vector<int> expected;
    for (int pass = 0; pass < 5; ++pass)
        for (int f = 1; f <= 9; ++f)
            expected.push_back(f);

    IconAnimation a;
    EXPECT_EQ(runSpin(a), expected);
    EXPECT_EQ(a.cycleCount(), 0);
    EXPECT_EQ(runSpin(a), expected);
}

} // namespace
